#pragma once

#include "fakes/FakeServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// What the settings window's tests share: a store on the virtual clock with docks, the passes
// of the event loop that views refresh on, and key presses as X delivers them.
struct SettingsFixture : ::testing::Test {
    explicit SettingsFixture(std::vector<Dock> docks = {}) : fakes(std::move(docks)) {}

    // Runs the views' refreshes and Qt's deferred deletions.
    void settle() {
        fakes.scheduler.runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        fakes.scheduler.runPending();
    }
    // The writes of docks.json that the changes so far cause once the save delay has passed.
    int writesAfterDelay() {
        const int before = fakes.fileSystem.writeCount;
        fakes.scheduler.advance(std::chrono::seconds(1));
        return fakes.fileSystem.writeCount - before;
    }
    const Dock& stored(std::size_t index = 0) const { return (*fakes.store.docks)[index]; }

    FakeServices fakes;
};

// A key press (and its release) with the X keycode as its native scan code. Sent as Qt sends
// a synthesised press, so that the application's shortcuts get their say first.
inline void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                     std::uint32_t scanCode, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, scanCode, 0, 0, text);
    QApplication::sendEvent(target, &release);
}
