// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SettingsWindow.h"

#include "platform/WindowActivation.h"
#include "platform/WindowHints.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace {
// Room left for the window manager's frame around the window, which is not known before the
// window is first shown.
const QMargins frameAllowance(8, 40, 8, 8);
} // namespace

SettingsWindow::SettingsWindow(const PreferencesView::Services& services,
                               WindowActivation& activation, WindowHints& hints, QWidget* parent)
    : QWidget(parent, Qt::Window), activation_(activation), hints_(hints),
      preferences_(new PreferencesView(services, this)) {
    setWindowTitle(tr("Moorline Settings"));
    setMinimumSize(720, 480);
    resize(760, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(preferences_);
    connect(preferences_, &PreferencesView::quitRequested, this, &SettingsWindow::quitRequested);

    auto* closeAction = new QAction(tr("Close"), this);
    // Escape too, as in a dialog; the hot key recorder keeps it while it records.
    closeAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    auto* quitAction = new QAction(tr("Quit Moorline"), this);
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quitAction, &QAction::triggered, this, &SettingsWindow::quitRequested);
    addActions({closeAction, quitAction});
}

SettingsWindow::~SettingsWindow() = default;

QRect SettingsWindow::placement(const QSize& size, const QRect& available) {
    const QRect inside = available.marginsRemoved(frameAllowance);
    const QSize fitted = size.boundedTo(inside.size()).expandedTo(QSize(1, 1));
    QRect placed(QPoint(), fitted);
    placed.moveCenter(inside.center());
    return placed;
}

void SettingsWindow::placeOnPointersScreen() {
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // A small screen gets a smaller window rather than one that reaches off it.
    setMinimumSize(minimumSize().boundedTo(available.marginsRemoved(frameAllowance).size()));
    setGeometry(placement(size(), available));
}

void SettingsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Above the docks while the user works in it; among ordinary windows once they turn away.
    if (event->type() == QEvent::ActivationChange && isVisible())
        hints_.setAbove(windowHandle(), isActiveWindow());
}

void SettingsWindow::present(const LaunchToken& token) {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (!isVisible())
        placeOnPointersScreen();
    show();
    raise();
    activateWindow();
    activation_.activate(winId(), token);
}
