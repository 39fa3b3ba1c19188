// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DroppedItems.h"

#include "models/ReferenceDate.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

#include <algorithm>

namespace DroppedItems {

namespace {

const QString mozUrlType = QStringLiteral("text/x-moz-url");

bool isUsable(const QUrl& url) {
    if (url.isLocalFile())
        return !localPath(url).isEmpty();
    return url.isValid() && !url.scheme().isEmpty();
}

bool isApplication(const QString& path) {
    // The file's own extension, case as written: "Tool.APP" is a folder like any other.
    return path.endsWith(QStringLiteral(".desktop")) ||
           QFileInfo(path).suffix() == QStringLiteral("app");
}

QString utf16(const QByteArray& bytes) {
    // Browsers write the host's byte order, with or without a byte order mark.
    const auto* data = reinterpret_cast<const char16_t*>(bytes.constData());
    QString text = QString::fromUtf16(data, bytes.size() / 2);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QString localPath(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

QHash<QString, QString> linkTitles(const QMimeData& data) {
    QHash<QString, QString> titles;
    // Asked for even when not listed: Qt on X11 lists a browser's text/x-moz-url as a plain
    // text/uri-list, but still hands it over when asked by name.
    const QByteArray bytes = data.data(mozUrlType);
    if (bytes.isEmpty())
        return titles;
    const QStringList lines = utf16(bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const QString title = lines[i + 1].trimmed();
        if (!title.isEmpty())
            titles.insert(QUrl(lines[i].trimmed()).toString(QUrl::FullyEncoded), title);
    }
    return titles;
}

DockItem makeLink(const QUrl& url, const QString& title) {
    DockItem item;
    item.id = QUuid::createUuid();
    item.kind = DockItemKind::url;
    const QString text = url.toString(QUrl::FullyEncoded);
    item.name = !title.isEmpty() ? title : !url.host().isEmpty() ? url.host() : text;
    item.urlString = text;
    item.createdAt = ReferenceDate::now();
    return item;
}

std::optional<QUrl> webAddress(const QString& text) {
    // Longer than any address anyone drags; a page of text is read no further.
    constexpr qsizetype longest = 8192;
    if (text.size() > longest)
        return std::nullopt;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() ||
        std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isSpace(); }))
        return std::nullopt;
    const bool bare = trimmed.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
    const QUrl url(bare ? QStringLiteral("https://") + trimmed : trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")))
        return std::nullopt;
    return url;
}

bool hasUsableUrl(const QMimeData& data) {
    if (!data.hasUrls())
        return data.hasText() && webAddress(data.text()).has_value();
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), isUsable);
}

DockItem fromPath(const QString& path, const FileSystem& fileSystem, Rules rules) {
    return rules.desktopEntriesAsApplications && isApplication(path)
               ? DockItem::makeApplication(path, fileSystem)
               : DockItem::makeFileOrFolder(path, fileSystem);
}

namespace {

std::vector<DockItem> urlItems(const QMimeData& data, const FileSystem& fileSystem, Rules rules) {
    std::vector<DockItem> items;
    if (!data.hasUrls())
        return items;
    const QList<QUrl> urls = data.urls();
    // Titles only matter for links; a drop of files does not wait for another round trip.
    const bool hasLinks =
        std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return !url.isLocalFile(); });
    const QHash<QString, QString> titles = hasLinks ? linkTitles(data) : QHash<QString, QString>();
    items.reserve(std::size_t(urls.size()));
    for (const QUrl& url : urls) {
        if (!isUsable(url))
            continue;
        if (!url.isLocalFile()) {
            items.push_back(makeLink(url, titles.value(url.toString(QUrl::FullyEncoded))));
            continue;
        }
        items.push_back(fromPath(localPath(url), fileSystem, rules));
    }
    return items;
}

} // namespace

std::vector<DockItem> fromMimeData(const QMimeData& data, const FileSystem& fileSystem,
                                   Rules rules) {
    std::vector<DockItem> items = urlItems(data, fileSystem, rules);
    if (!items.empty() || !data.hasText())
        return items;
    const QString text = data.text();
    if (const std::optional<QUrl> link = webAddress(text)) {
        items.push_back(makeLink(*link, {}));
        return items;
    }
    if (!rules.textAsClipping)
        return items;
    // Kept exactly as dropped, surrounding space and line feeds included.
    if (!text.isEmpty())
        items.push_back(DockItem::makeClipping(text));
    return items;
}

} // namespace DroppedItems
