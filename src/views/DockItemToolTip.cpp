// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemToolTip.h"

#include "models/DockItem.h"

#include <QStringList>

namespace {

constexpr qsizetype longestName = 200;
constexpr qsizetype longestDetail = 300;
constexpr qsizetype clippingLines = 3;
constexpr qsizetype longestLine = 80;

QString escaped(const QString& text, qsizetype length) {
    return DockItemToolTip::bounded(text, length).toHtmlEscaped();
}

QString dockletDetail(DockletKind docklet) {
    switch (docklet) {
    case DockletKind::clock:
        return DockItemToolTip::tr("The time. Click to open your calendar.");
    case DockletKind::trash:
        return DockItemToolTip::tr(
            "Click to open the Trash; drop files here to move them to the Trash.");
    case DockletKind::diskSpace:
        return DockItemToolTip::tr("Free space for your home folder. Click to open it.");
    case DockletKind::cpuMeter:
        return DockItemToolTip::tr("How busy the processor is. Click to open a system monitor.");
    case DockletKind::separator:
        break;
    }
    return {};
}

QString clippingDetail(const QString& text) {
    // Only the start of a long clipping is read: its first lines, each cut short.
    const QStringList lines =
        text.left(clippingLines * (longestLine + 1) * 4).split(QLatin1Char('\n'));
    QStringList shown;
    for (qsizetype i = 0; i < lines.size() && i < clippingLines; ++i)
        shown << escaped(lines[i], longestLine);
    QString detail = shown.join(QStringLiteral("<br/>"));
    if (lines.size() > clippingLines)
        detail += QStringLiteral("<br/>\u2026");
    return detail;
}

QString detail(const DockItem& item) {
    switch (item.kind) {
    case DockItemKind::application:
        return DockItemToolTip::tr("Application: %1")
            .arg(escaped(item.path.value_or(QString()), longestDetail));
    case DockItemKind::file:
        return DockItemToolTip::tr("File: %1")
            .arg(escaped(item.path.value_or(QString()), longestDetail));
    case DockItemKind::folder:
        return DockItemToolTip::tr("Folder: %1")
            .arg(escaped(item.path.value_or(QString()), longestDetail));
    case DockItemKind::url:
        return escaped(item.urlString.value_or(QString()), longestDetail);
    case DockItemKind::clippingText:
        return clippingDetail(item.textContent ? item.textContent->toString() : QString());
    case DockItemKind::docklet:
        return item.docklet ? dockletDetail(*item.docklet).toHtmlEscaped() : QString();
    case DockItemKind::separator:
        break;
    }
    return {};
}

} // namespace

QString DockItemToolTip::bounded(const QString& text, qsizetype length) {
    if (text.size() <= length)
        return text;
    qsizetype head = length / 2;
    qsizetype tail = length - head - 1;
    if (head > 0 && text.at(head - 1).isHighSurrogate())
        --head;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.left(head) + QChar(0x2026) + text.right(tail);
}

QString DockItemToolTip::text(const DockItem& item) {
    const QString name = QStringLiteral("<b>%1</b>").arg(escaped(item.name, longestName));
    const QString more = detail(item);
    // Rich text, so that a name that looks like markup is shown as it is written.
    return more.isEmpty() ? name : name + QStringLiteral("<br/>") + more;
}
