// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>

#include <chrono>
#include <functional>

class QWindow;

// Runs an action once the windows on screen now have drawn their first frame: after each has
// been exposed (Qt draws and flushes a window as it handles its first exposure), on a later pass
// of the event loop, behind the drawing Qt has queued meanwhile. What is not needed for the first
// frame waits for it, so that it does not delay it. A window that is never exposed holds nothing
// up for longer than `patience`.
class FirstFrame final : public QObject {
    Q_OBJECT
public:
    FirstFrame(std::function<void()> action, std::chrono::milliseconds patience,
               QObject* parent = nullptr);
    ~FirstFrame() override;

    bool isDone() const { return done_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void exposed(QWindow* window);
    void finish();

    std::function<void()> action_;
    QSet<QObject*> waiting_;
    QTimer patience_;
    bool posted_ = false;
    bool done_ = false;
};
