// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SettingsWindow.h"

#include "platform/WindowActivation.h"

#include <QAction>
#include <QVBoxLayout>

SettingsWindow::SettingsWindow(const PreferencesView::Services& services,
                               WindowActivation& activation, QWidget* parent)
    : QWidget(parent, Qt::Window), activation_(activation),
      preferences_(new PreferencesView(services, this)) {
    setWindowTitle(tr("Moorline Settings"));
    setMinimumSize(720, 480);
    resize(760, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(preferences_);
    connect(preferences_, &PreferencesView::quitRequested, this, &SettingsWindow::quitRequested);

    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    auto* quitAction = new QAction(tr("Quit Moorline"), this);
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quitAction, &QAction::triggered, this, &SettingsWindow::quitRequested);
    addActions({closeAction, quitAction});
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::present(const LaunchToken& token) {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    activation_.activate(winId(), token);
}
