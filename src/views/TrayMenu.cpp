// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TrayMenu.h"

#include "platform/Notifications.h"
#include "runtime/KeyChordFormatter.h"
#include "store/DockStore.h"
#include "support/IconResolver.h"
#include "views/ElidedLine.h"
#include "views/MenuText.h"

#include <QIcon>
#include <QLoggingCategory>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

Q_LOGGING_CATEGORY(lcMenu, "moorline.menu", QtWarningMsg)

struct KindEntry {
    DockKind kind;
    const char* title;
};

constexpr KindEntry newDockEntries[] = {
    {DockKind::items, QT_TRANSLATE_NOOP("TrayMenu", "Launcher Dock")},
    {DockKind::applicationSwitcher, QT_TRANSLATE_NOOP("TrayMenu", "Application Dock")},
    {DockKind::clippings, QT_TRANSLATE_NOOP("TrayMenu", "Clippings Dock")},
};

// The dock's chord in the menu's shortcut column, as the desktop writes chords.
QString chordColumn(const HotKeyBinding& hotKey) {
    if (!hotKey.isComplete())
        return {};
    return QLatin1Char('\t') + KeyChordFormatter::string(hotKey.keyCode, hotKey.modifiers);
}

} // namespace

TrayMenu::TrayMenu(DockStore& store, Scheduler& scheduler, Notifications& notifications,
                   QObject* parent)
    : QObject(parent), store_(store), notifications_(notifications),
      menu_(std::make_unique<QMenu>()), rebuildTask_(scheduler, [this] { rebuild(); }) {
    storeChanges_ = store_.observeChanges([this](const DockChange& change) {
        if (change.facets & (DockFacet::listing | DockFacet::hotKey))
            rebuildTask_.request();
    });
    saveProblem_ =
        store_.saveProblem.sink([this](const QString& problem) { saveProblemChanged(problem); });
    rebuild();
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::show() {
    if (!trayIcon_) {
        trayIcon_ =
            std::make_unique<QSystemTrayIcon>(QIcon(QStringLiteral(":/moorline/moorline.svg")));
        trayIcon_->setToolTip(tr("Moorline"));
        trayIcon_->setContextMenu(menu_.get());
        // A left click opens the same menu: the icon has nothing else to do.
        connect(trayIcon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger)
                        menu_->popup(QCursor::pos());
                });
    }
    trayIcon_->show();
}

void TrayMenu::saveProblemChanged(const QString& problem) {
    // Once when saving starts to fail, once when it works again; not at every retry.
    if (!problem.isEmpty() && !toldOfSaveProblem_) {
        toldOfSaveProblem_ = true;
        qCWarning(lcMenu) << "cannot save:" << problem;
        tell(tr("Moorline cannot save your docks"),
             tr("%1\nYour changes are kept and saved as soon as writing works again.").arg(problem),
             true);
    } else if (problem.isEmpty() && toldOfSaveProblem_) {
        toldOfSaveProblem_ = false;
        tell(tr("Moorline saved your docks"),
             tr("Your changes are in %1 again.").arg(store_.filePath()), false);
    }
}

void TrayMenu::tell(const QString& summary, const QString& body, bool warning) {
    // Without a tray host the icon, and its messages, show nowhere.
    if (trayIcon_ && trayIcon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable())
        trayIcon_->showMessage(summary, body,
                               warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
    else
        notifications_.notify(summary, body);
}
void TrayMenu::rebuild() {
    menu_->clear();
    for (const Dock& dock : *store_.docks) {
        QAction* toggle =
            menu_->addAction(menuText(ElidedLine::bounded(dock.name)) + chordColumn(dock.hotKey));
        toggle->setCheckable(true);
        toggle->setChecked(dock.isVisible);
        connect(toggle, &QAction::toggled, this,
                [this, id = dock.id](bool visible) { store_.setVisible(id, visible); });
    }
    menu_->addSeparator();
    QMenu* newDock = menu_->addMenu(tr("New Dock"));
    for (const KindEntry& entry : newDockEntries)
        connect(newDock->addAction(tr(entry.title)), &QAction::triggered, this,
                [this, kind = entry.kind] { store_.addDock(kind); });
    QAction* preferences = menu_->addAction(IconResolver::symbol(QStringLiteral("gearshape")),
                                            tr("Preferences\u2026"));
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(preferences, &QAction::triggered, this, &TrayMenu::preferencesRequested);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(tr("Quit Moorline"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &TrayMenu::quitRequested);
}
