// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FirstFrame.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

const auto drawnEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

FirstFrame::FirstFrame(std::function<void()> action, std::chrono::milliseconds patience,
                       QObject* parent)
    : QObject(parent), action_(std::move(action)) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QWindow* window = widget->windowHandle();
        if (!widget->isVisible() || !window || window->isExposed())
            continue;
        window->installEventFilter(this);
        waiting_.insert(window);
        connect(window, &QObject::destroyed, this, [this](QObject* gone) {
            waiting_.remove(gone);
            if (waiting_.isEmpty())
                finish();
        });
    }
    patience_.setSingleShot(true);
    connect(&patience_, &QTimer::timeout, this, [this] {
        for (QObject* window : std::as_const(waiting_))
            window->removeEventFilter(this);
        waiting_.clear();
        finish();
    });
    patience_.start(patience);
    if (waiting_.isEmpty())
        finish();
}

FirstFrame::~FirstFrame() = default;

bool FirstFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && waiting_.contains(watched)) {
        auto* window = static_cast<QWindow*>(watched);
        if (window->isExposed())
            exposed(window);
    }
    return false;
}

void FirstFrame::exposed(QWindow* window) {
    window->removeEventFilter(this);
    disconnect(window, &QObject::destroyed, this, nullptr);
    waiting_.remove(window);
    if (waiting_.isEmpty())
        finish();
}

void FirstFrame::finish() {
    if (posted_)
        return;
    posted_ = true;
    patience_.stop();
    // The exposure being handled draws the window once this returns; repaints Qt queued
    // meanwhile (the content of a panel made on the pass after its map) are posted at low
    // priority, and are handled before an event posted after them at the same priority.
    QCoreApplication::postEvent(this, new QEvent(drawnEvent), Qt::LowEventPriority);
}

void FirstFrame::customEvent(QEvent* event) {
    if (event->type() != drawnEvent || done_)
        return;
    done_ = true;
    if (action_)
        std::exchange(action_, {})();
}
