// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/GeneralSettingsView.h"

#include "runtime/LaunchAtLogin.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

GeneralSettingsView::GeneralSettingsView(LaunchAtLogin& launchAtLogin, QWidget* parent)
    : QWidget(parent), launchAtLogin_(launchAtLogin),
      switch_(new QCheckBox(tr("&Launch Moorline at Login"))) {
    switch_->setObjectName(QStringLiteral("launchAtLogin"));
    auto* startup = new QGroupBox(tr("Startup"), this);
    (new QVBoxLayout(startup))->addWidget(switch_);
    // Only the user's clicks register: the page's own reading of the state is not a change.
    connect(switch_, &QCheckBox::clicked, this, [this](bool enabled) {
        launchAtLogin_.setEnabled(enabled);
        // A refused change is logged, and the switch goes back to what is true.
        reload();
    });

    auto* about = new QGroupBox(tr("About"), this);
    auto* text = new QLabel(
        tr("Moorline is a customizable dock and launcher utility: create floating docks of "
           "applications, files, folders, URLs, and docklets, an application switcher, and a "
           "clippings tray for text and files."),
        about);
    text->setWordWrap(true);
    text->setForegroundRole(QPalette::PlaceholderText);
    (new QVBoxLayout(about))->addWidget(text);

    auto* quit = new QPushButton(tr("&Quit Moorline"), this);
    quit->setObjectName(QStringLiteral("quit"));
    connect(quit, &QPushButton::clicked, this, &GeneralSettingsView::quitRequested);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(startup);
    layout->addWidget(about);
    layout->addWidget(quit, 0, Qt::AlignLeft);
    layout->addStretch(1);
    reload();
}

void GeneralSettingsView::reload() {
    const QSignalBlocker blocker(switch_);
    switch_->setChecked(launchAtLogin_.isEnabled());
}

void GeneralSettingsView::showEvent(QShowEvent* event) {
    reload();
    QWidget::showEvent(event);
}
