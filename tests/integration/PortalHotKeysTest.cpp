// SPDX-License-Identifier: GPL-3.0-or-later
// Hot keys through the desktop portal's GlobalShortcuts: the real backend and hot key manager on
// the test's own session bus, against a stand-in portal (support/shortcut-portal.py).
#include "backends/desktop/PortalHotKeys.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/HotKeyBinding.h"
#include "platform/QtScheduler.h"
#include "runtime/HotKeyManager.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Status = HotKeyBackend::Answer::Status;

namespace {

bool portalOnBus() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        u"org.freedesktop.portal.Desktop"_qs);
}

// The hot keys of two docks, "Files" (F) and "Tools" (T), with the portal in one of its moods.
struct PortalRig {
    explicit PortalRig(const QString& mode) {
        // The last rig's portal is killed after its backend goes, which closes its session.
        Session::waitUntil([] { return !portalOnBus(); });
        QFile::remove(log);
        portal.start(
            u"/usr/bin/python3"_qs,
            {QStringLiteral(MOORLINE_SOURCE_DIR "/tests/integration/support/shortcut-portal.py"),
             mode, log});
        EXPECT_TRUE(Session::waitUntil(portalOnBus, 10s));
        hotKeys.registerHotKey(
            files, 2, HotKeyBinding::controlKey | HotKeyBinding::optionKey,
            [this](std::uint32_t) { fired += 'F'; }, u"Files"_qs);
        hotKeys.registerHotKey(
            tools, 40, HotKeyBinding::cmdKey, [this](std::uint32_t) { fired += 'T'; }, u"Tools"_qs);
    }
    QStringList calls() const {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n')
                                              : QStringList();
    }
    // Has the portal send Activated or Deactivated ("Activated Deactivated"...) for the dock.
    void send(const QUuid& dock, const QString& members) {
        QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.portal.Desktop"_qs,
                                                           u"/org/freedesktop/portal/desktop"_qs,
                                                           u"org.moorline.Test"_qs, u"Send"_qs);
        QDBusConnection::sessionBus().call(call << members << dock.toString(QUuid::WithoutBraces));
    }
    bool answered(const QUuid& dock, Status status) {
        return Session::waitUntil([&] {
            const auto answer = hotKeys.answer(dock);
            return answer && answer->status == status;
        });
    }

    QString log = QDir::temp().filePath(u"moorline-shortcut-portal.log"_qs);
    Session::ChildProcesses portal;
    QtScheduler scheduler;
    PortalHotKeys backend{scheduler};
    HotKeyManager hotKeys{backend, scheduler};
    QUuid files{u"00000000-0000-0000-0000-000000000001"_qs};
    QUuid tools{u"00000000-0000-0000-0000-000000000002"_qs};
    std::string fired;
};

} // namespace

TEST(PortalHotKeysTest, BindsADockShortcutEachAndFiresTheDockActivated) {
    PortalRig rig(u"bind"_qs);
    ASSERT_TRUE(rig.answered(rig.files, Status::bound));
    EXPECT_EQ(rig.hotKeys.answer(rig.tools)->trigger, u"Press LOGO+k"_qs);
    EXPECT_EQ(rig.calls().filter(u"bind"_qs),
              QStringList{u"bind 00000000-0000-0000-0000-000000000001 Files CTRL+ALT+d;"
                          u"00000000-0000-0000-0000-000000000002 Tools LOGO+k"_qs});

    // A press fires its own dock; held, its repeats are the one press. Each check waits for
    // the other dock's press, which the portal sent after.
    rig.send(rig.files, u"Activated Deactivated"_qs);
    rig.send(rig.tools, u"Activated Deactivated"_qs);
    ASSERT_TRUE(Session::waitUntil([&] { return rig.fired == "FT"; })) << rig.fired;
    rig.send(rig.files, u"Activated Activated Activated Deactivated"_qs);
    rig.send(rig.tools, u"Activated"_qs);
    EXPECT_TRUE(Session::waitUntil([&] { return rig.fired == "FTFT"; })) << rig.fired;

    // A hot key given up: the rest are bound afresh.
    rig.hotKeys.unregister(rig.tools);
    ASSERT_TRUE(Session::waitUntil([&] { return rig.calls().filter(u"bind"_qs).size() == 2; }));
    EXPECT_FALSE(rig.calls().filter(u"bind"_qs).last().contains(u"Tools"_qs));
}

// A portal that never answers is the sway session test's: the program starts and runs on.
TEST(PortalHotKeysTest, ARefusedEmptyOrMissingPortalIsSaidSo) {
    const std::pair<const char*, Status> cases[] = {
        {"refuse", Status::refused}, {"empty", Status::refused}, {"none", Status::unavailable}};
    for (const auto& [mode, status] : cases) {
        SCOPED_TRACE(mode);
        PortalRig rig(QString::fromLatin1(mode));
        EXPECT_TRUE(rig.answered(rig.files, status));
        EXPECT_TRUE(rig.answered(rig.tools, status));
    }
}
