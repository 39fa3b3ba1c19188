// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/GeneralSettingsView.h"

#include "runtime/LaunchAtLogin.h"
#include "store/DockStore.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

GeneralSettingsView::GeneralSettingsView(LaunchAtLogin& launchAtLogin, DockStore& store,
                                         QWidget* parent)
    : QWidget(parent), launchAtLogin_(launchAtLogin),
      switch_(new QCheckBox(tr("Launch Moorline at Login"))), saveProblem_(new QLabel(this)) {
    // Until a save works again: where no tray shows its notice, this is the place to look.
    saveProblem_->setObjectName(QStringLiteral("saveProblem"));
    saveProblem_->setTextFormat(Qt::PlainText);
    saveProblem_->setWordWrap(true);
    saveProblem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    saveProblem_->setStyleSheet(QStringLiteral("QLabel { color: #c01c28; }"));
    saveProblemSubscription_ = store.saveProblem.sink([this](const QString& problem) {
        saveProblem_->setText(
            tr("Moorline cannot save your docks: %1\nYour changes are kept and saved as soon as "
               "writing works again.")
                .arg(problem));
        saveProblem_->setAccessibleName(saveProblem_->text());
        saveProblem_->setVisible(!problem.isEmpty());
    });

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

    auto* quit = new QPushButton(tr("Quit Moorline"), this);
    quit->setObjectName(QStringLiteral("quit"));
    connect(quit, &QPushButton::clicked, this, &GeneralSettingsView::quitRequested);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(saveProblem_);
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
