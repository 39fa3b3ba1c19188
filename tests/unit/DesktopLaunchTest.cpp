// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DesktopLaunch.h"
#include "fakes/FakeServices.h"
#include "models/DockItem.h"

#include <gtest/gtest.h>

namespace {

using Requests = QStringList;

DockItem item(DockItemKind kind, std::optional<QString> path = {},
              std::optional<QString> url = {}) {
    DockItem result;
    result.id = QUuid::createUuid();
    result.kind = kind;
    result.name = u"Item"_qs;
    result.path = std::move(path);
    result.urlString = std::move(url);
    return result;
}

DockItem withUrl(const QString& text) {
    return item(DockItemKind::url, {}, text);
}

// Every field filled, so that a kind that ignores its own field would still be caught using
// another one.
DockItem withEverything(DockItemKind kind) {
    DockItem result =
        item(kind, u"/usr/share/applications/xterm.desktop"_qs, u"https://example.com/"_qs);
    result.textContent = u"copied"_qs;
    result.docklet = DockletKind::clock;
    return result;
}

Requests opened(const DockItem& dockItem) {
    FakeServices f;
    DesktopLaunch::open(dockItem, f.launcher, f.desktop, f.clipboard);
    return f.desktop.requests;
}

Requests revealed(const DockItem& dockItem) {
    FakeDesktop desktop;
    DesktopLaunch::reveal(dockItem, desktop);
    return desktop.requests;
}

const QString entry = u"/usr/share/applications/xterm.desktop"_qs;

} // namespace

TEST(DesktopLaunchTest, OnlyAnApplicationItemLaunchesADesktopEntry) {
    struct Case {
        DockItemKind kind;
        const char* path;
        const char* request; // nullptr: nothing
    };
    const Case cases[] = {
        {DockItemKind::application, "/usr/share/applications/xterm.desktop",
         "launch /usr/share/applications/xterm.desktop launch-1"},
        {DockItemKind::application, "/opt/tool/tool.app", "openPath /opt/tool/tool.app"},
        {DockItemKind::application, "/nowhere/broken.desktop", nullptr}, // not a launcher
        {DockItemKind::file, "/usr/share/applications/xterm.desktop",
         "openPath /usr/share/applications/xterm.desktop"},
        {DockItemKind::folder, "/usr/share/applications/xterm.desktop",
         "openPath /usr/share/applications/xterm.desktop"},
        {DockItemKind::file, "/home/ann/notes.txt", "openPath /home/ann/notes.txt"},
        {DockItemKind::docklet, "/usr/share/applications/xterm.desktop", nullptr},
        {DockItemKind::separator, "/usr/share/applications/xterm.desktop", nullptr},
    };
    for (const Case& c : cases) {
        FakeServices f;
        f.desktop.addLauncher(entry, u"xterm"_qs);
        DockItem dockItem = withEverything(c.kind);
        dockItem.path = QString::fromUtf8(c.path);
        DesktopLaunch::open(dockItem, f.launcher, f.desktop, f.clipboard);
        EXPECT_EQ(f.desktop.requests,
                  c.request ? Requests{QString::fromUtf8(c.request)} : Requests{})
            << storedText(c.kind) << " " << c.path;
        EXPECT_TRUE(f.launchConfirmation.questions.isEmpty());
        EXPECT_FALSE(f.clipboard.text);
        EXPECT_TRUE(opened(item(c.kind)).isEmpty()) << "no path";
    }
}

TEST(DesktopLaunchTest, OpensOnlyTextThatParsesStrictlyAsAUrlWithAScheme) {
    struct Case {
        const char* text;
        const char* opened; // nullptr: nothing is opened
    };
    const Case cases[] = {
        {"https://example.com/a?b=c#d", "https://example.com/a?b=c#d"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"file:///tmp/My%20File.txt", "file:///tmp/My%20File.txt"},
        {"ssh://host:22", "ssh://host:22"},
        {"https://exämple.com/ü", "https://xn--exmple-cua.com/%C3%BC"},
        {"example.com", nullptr},
        {"/tmp/file", nullptr},
        {"not a url", nullptr},
        {"https://example.com/a b", nullptr},
        {"http://[::1", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(opened(withUrl(QString::fromUtf8(c.text))),
                  c.opened ? Requests{u"openUrl "_qs + QString::fromUtf8(c.opened)} : Requests{})
            << c.text;
    }
    EXPECT_TRUE(opened(item(DockItemKind::url)).isEmpty()) << "no URL text";
}

TEST(DesktopLaunchTest, OpeningAClippingReplacesTheClipboardText) {
    FakeServices f;
    FakeDesktop& desktop = f.desktop;
    FakeClipboard& clipboard = f.clipboard;
    clipboard.setText(u"older"_qs);
    DockItem clipping = withEverything(DockItemKind::clippingText);
    clipping.textContent = u"Grüße\nzweite Zeile"_qs;
    DesktopLaunch::open(clipping, f.launcher, desktop, clipboard);
    EXPECT_EQ(clipboard.text, u"Grüße\nzweite Zeile"_qs);
    EXPECT_EQ(clipboard.writes, 2);
    EXPECT_TRUE(desktop.requests.isEmpty());

    DesktopLaunch::open(item(DockItemKind::clippingText), f.launcher, desktop, clipboard);
    EXPECT_EQ(clipboard.writes, 2) << "a clipping without text leaves the clipboard alone";

    clipping.textContent = QString();
    DesktopLaunch::open(clipping, f.launcher, desktop, clipboard);
    EXPECT_EQ(clipboard.text, QString()) << "an empty text is still a text";
}

TEST(DesktopLaunchTest, RevealsPathsAsFileUrlsAndUrlsUnchanged) {
    const QString path = u"/home/ann/Mes documents/été #1.txt"_qs;
    const QString url = u"file:///home/ann/Mes%20documents/%C3%A9t%C3%A9%20%231.txt"_qs;
    const std::pair<DockItem, QString> cases[] = {
        {item(DockItemKind::application, path), url},
        {item(DockItemKind::file, path), url},
        {item(DockItemKind::folder, path), url},
        {item(DockItemKind::folder), {}},
        {withUrl(u"https://example.com/page"_qs), u"https://example.com/page"_qs},
        {withUrl(u"ftp://host/dir/"_qs), u"ftp://host/dir/"_qs},
        {withUrl(u"mailto:a@b.c"_qs), u"mailto:a@b.c"_qs},
        {withUrl(u"no scheme here"_qs), {}},
        {withEverything(DockItemKind::docklet), {}},
        {withEverything(DockItemKind::separator), {}},
        {withEverything(DockItemKind::clippingText), {}},
    };
    for (const auto& [dockItem, shown] : cases)
        EXPECT_EQ(revealed(dockItem),
                  shown.isEmpty() ? Requests{} : Requests{u"reveal "_qs + shown})
            << storedText(dockItem.kind) << " " << qPrintable(dockItem.path.value_or(u""_qs));
}
