// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockItem.h"

#include "models/ReferenceDate.h"
#include "platform/FileSystem.h"

#include <QTextBoundaryFinder>

namespace {

DockItem makeItem(DockItemKind kind, QString name) {
    DockItem item;
    item.id = QUuid::createUuid();
    item.kind = kind;
    item.name = std::move(name);
    item.createdAt = ReferenceDate::now();
    return item;
}

bool isUnicodeSpace(QChar c) {
    // QChar::isSpace covers the Unicode White_Space property: line breaks, NBSP, U+2028 and U+3000.
    return c.isSpace();
}

} // namespace

DockItem DockItem::makeApplication(const QString& path, const FileSystem& fileSystem) {
    // A desktop entry's display name is its Name key; a file name (an entry without one, or an
    // application folder) keeps all but its extension, which is a suffix only at the very end:
    // "Snap.app Reader" keeps its letters.
    QString name = fileSystem.displayName(path);
    for (const QLatin1String suffix : {QLatin1String(".desktop"), QLatin1String(".app")}) {
        if (name.endsWith(suffix) && name.size() > suffix.size()) {
            name.chop(suffix.size());
            break;
        }
    }
    DockItem item = makeItem(DockItemKind::application, name);
    item.path = path;
    return item;
}

DockItem DockItem::makeFileOrFolder(const QString& path, const FileSystem& fileSystem) {
    const bool isFolder = fileSystem.exists(path) && fileSystem.isDirectory(path);
    DockItem item = makeItem(isFolder ? DockItemKind::folder : DockItemKind::file,
                             fileSystem.displayName(path));
    item.path = path;
    return item;
}

DockItem DockItem::makeClipping(const QString& text) {
    DockItem item = makeItem(DockItemKind::clippingText, clippingName(text));
    item.textContent = text;
    return item;
}

DockItem DockItem::makeDocklet(DockletKind docklet, const QString& name) {
    DockItem item = makeItem(DockItemKind::docklet, name);
    item.docklet = docklet;
    return item;
}

QString DockItem::clippingName(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isUnicodeSpace(text[begin]))
        ++begin;
    while (end > begin && isUnicodeSpace(text[end - 1]))
        --end;
    QString summary = text.mid(begin, end - begin);
    summary.replace(QChar(u'\n'), QChar(u' '));
    if (summary.isEmpty())
        return QStringLiteral("Clipping");

    // Count what the user sees as characters (grapheme clusters), not code units.
    constexpr int limit = 40;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, summary);
    int clusters = 0;
    qsizetype cut = -1;
    while (finder.toNextBoundary() != -1) {
        ++clusters;
        if (clusters == limit)
            cut = finder.position();
        if (clusters > limit)
            return summary.left(cut) + QChar(u'\u2026');
    }
    return summary;
}

size_t qHash(const DockItem& item, size_t seed) noexcept {
    QtPrivate::QHashCombine combine;
    seed = combine(seed, item.id);
    seed = combine(seed, static_cast<int>(item.kind));
    seed = combine(seed, item.name);
    seed = combine(seed, item.path.value_or(QString()));
    seed = combine(seed, item.path.has_value());
    seed = combine(seed, item.urlString.value_or(QString()));
    seed = combine(seed, item.urlString.has_value());
    seed = combine(seed, item.docklet ? static_cast<int>(*item.docklet) + 1 : 0);
    seed = combine(seed, item.textContent.value_or(DockText()));
    seed = combine(seed, item.textContent.has_value());
    seed = combine(seed, item.customIconData.value_or(QByteArray()));
    seed = combine(seed, item.customIconData.has_value());
    seed = combine(seed, item.createdAt);
    return seed;
}
