#include "views/MenuBarView.h"

#include "store/DockStore.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

struct KindEntry {
    DockKind kind;
    const char* title;
};

constexpr KindEntry newDockEntries[] = {
    {DockKind::items, "Launcher Dock"},
    {DockKind::applicationSwitcher, "Application Dock"},
    {DockKind::clippings, "Clippings Dock"},
};

} // namespace

MenuBarView::MenuBarView(DockStore& store, QObject* parent)
    : QObject(parent), store_(store), menu_(std::make_unique<QMenu>()) {
    willChange_ = store_.onObjectWillChange([this] { scheduleRebuild(); });
    rebuild();
}

MenuBarView::~MenuBarView() = default;

void MenuBarView::show() {
    if (!trayIcon_) {
        trayIcon_ =
            std::make_unique<QSystemTrayIcon>(QIcon(QStringLiteral(":/moorline/moorline.svg")));
        trayIcon_->setToolTip(QStringLiteral("Moorline"));
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

void MenuBarView::scheduleRebuild() {
    // The store tells us before it changes; read it on the next pass, once per burst.
    if (rebuildPending_)
        return;
    rebuildPending_ = true;
    QTimer::singleShot(0, this, [this] { rebuild(); });
}

void MenuBarView::rebuild() {
    rebuildPending_ = false;
    menu_->clear();
    for (const Dock& dock : *store_.docks) {
        QAction* toggle = menu_->addAction(dock.name);
        toggle->setCheckable(true);
        toggle->setChecked(dock.isVisible);
        connect(toggle, &QAction::toggled, this, [this, id = dock.id](bool visible) {
            const auto index = store_.indexOf(id);
            if (!index)
                return;
            store_.docks.mutate(
                [&](std::vector<Dock>& docks) { docks[*index].isVisible = visible; });
            store_.scheduleSave();
        });
    }
    menu_->addSeparator();
    QMenu* newDock = menu_->addMenu(QStringLiteral("New Dock"));
    for (const KindEntry& entry : newDockEntries)
        connect(newDock->addAction(QLatin1String(entry.title)), &QAction::triggered, this,
                [this, kind = entry.kind] { store_.addDock(kind); });
    QAction* preferences = menu_->addAction(QIcon::fromTheme(QStringLiteral("preferences-system")),
                                            QStringLiteral("Preferences\u2026"));
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(preferences, &QAction::triggered, this, &MenuBarView::preferencesRequested);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(QStringLiteral("Quit Moorline"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &MenuBarView::quitRequested);
}
