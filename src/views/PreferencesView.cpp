// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/PreferencesView.h"

#include "platform/Scheduler.h"
#include "store/DockStore.h"
#include "support/IconResolver.h"
#include "views/ElidedLine.h"
#include "views/GeneralSettingsView.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int idRole = Qt::UserRole;
constexpr int kindRole = Qt::UserRole + 1;
// "General" header, the General row, "Docks" header; the docks follow.
constexpr int generalRow = 1;
constexpr int firstDockRow = 3;

struct KindEntry {
    DockKind kind;
    const char* title;
    const char* symbol;
};
constexpr KindEntry kindEntries[] = {
    {DockKind::items, QT_TRANSLATE_NOOP("PreferencesView", "Launcher Dock"), "square.grid.2x2"},
    {DockKind::applicationSwitcher, QT_TRANSLATE_NOOP("PreferencesView", "Application Dock"),
     "macwindow.on.rectangle"},
    {DockKind::clippings, QT_TRANSLATE_NOOP("PreferencesView", "Clippings Dock"),
     "doc.on.clipboard"},
};

QString symbolOf(DockKind kind) {
    for (const KindEntry& entry : kindEntries)
        if (entry.kind == kind)
            return QLatin1String(entry.symbol);
    return {};
}

QListWidgetItem* makeHeader(const QString& title) {
    auto* header = new QListWidgetItem(title);
    header->setFlags(Qt::NoItemFlags);
    QFont font = header->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.85);
    header->setFont(font);
    return header;
}

} // namespace

PreferencesView::PreferencesView(const Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    detail_ = new QStackedWidget;
    general_ = new GeneralSettingsView(services_.launchAtLogin, services_.store);
    detail_->addWidget(general_);
    connect(general_, &GeneralSettingsView::quitRequested, this, &PreferencesView::quitRequested);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(makeSidebarColumn());
    splitter->addWidget(detail_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 520});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    // The sidebar shows each dock's name and kind, in the list's order; the editor follows its
    // own dock.
    storeChanges_ = services_.store.observeChanges([this](const DockChange& change) {
        if (sidebarMayBeStale(change))
            refreshTask_.request();
    });
    refresh();
}

PreferencesView::~PreferencesView() = default;

QWidget* PreferencesView::makeSidebarColumn() {
    auto* column = new QWidget;
    column->setMinimumWidth(180);
    addButton_ = new QToolButton(column);
    addButton_->setIcon(IconResolver::symbol(QStringLiteral("plus")));
    addButton_->setToolTip(tr("New Dock"));
    addButton_->setAccessibleName(tr("New Dock"));
    addButton_->setAutoRaise(true);
    addButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(tr("New Dock"), addButton_);
    for (const KindEntry& entry : kindEntries)
        connect(menu->addAction(tr(entry.title)), &QAction::triggered, this,
                [this, kind = entry.kind] { services_.store.addDock(kind); });
    addButton_->setMenu(menu);

    sidebar_ = new QListWidget(column);
    sidebar_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The header over the single General row says nothing a screen reader should say twice.
    QListWidgetItem* generalHeader = makeHeader(tr("General"));
    generalHeader->setData(Qt::AccessibleTextRole, tr("Settings"));
    sidebar_->addItem(generalHeader);
    auto* general =
        new QListWidgetItem(IconResolver::symbol(QStringLiteral("gearshape")), tr("General"));
    sidebar_->addItem(general);
    sidebar_->addItem(makeHeader(tr("Docks")));
    sidebar_->setCurrentItem(general);
    connect(sidebar_, &QListWidget::itemSelectionChanged, this, &PreferencesView::selectionChanged);

    auto* toolbar = new QHBoxLayout;
    toolbar->addStretch(1);
    toolbar->addWidget(addButton_);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(toolbar);
    layout->addWidget(sidebar_, 1);
    return column;
}

bool PreferencesView::sidebarMayBeStale(const DockChange& change) const {
    if (change.facets & DockFacet::listing)
        return true;
    if (!(change.facets & DockFacet::appearance))
        return false;
    // Of a dock's appearance the sidebar shows the kind only (an opacity slider is dragged
    // right beside it).
    const Dock* dock = services_.store.dock(change.dockId);
    const QListWidgetItem* row = rowOf(change.dockId);
    return !dock || !row || row->data(kindRole) != static_cast<int>(dock->kind);
}

DockEditorView* PreferencesView::editor() const {
    return detail_->currentWidget() == editor_ ? editor_ : nullptr;
}

void PreferencesView::refresh() {
    syncRows();
    showDetail();
}

void PreferencesView::syncRows() {
    // In place, row by row: a rebuilt list would lose the selection, the scroll position and
    // the keyboard focus at every change of any dock.
    const QSignalBlocker blocker(sidebar_);
    const auto& docks = *services_.store.docks;
    const int wanted = firstDockRow + static_cast<int>(docks.size());
    while (sidebar_->count() > wanted)
        delete sidebar_->takeItem(sidebar_->count() - 1);
    while (sidebar_->count() < wanted)
        sidebar_->addItem(new QListWidgetItem);
    for (std::size_t i = 0; i < docks.size(); ++i) {
        const Dock& dock = docks[i];
        QListWidgetItem* row = sidebar_->item(firstDockRow + static_cast<int>(i));
        // The sidebar shows a line of the name: a name of megabytes is cut first.
        const QString shown = ElidedLine::bounded(dock.name);
        if (row->text() != shown)
            row->setText(shown);
        const int kind = static_cast<int>(dock.kind);
        if (row->data(kindRole) != kind) {
            row->setIcon(IconResolver::symbol(symbolOf(dock.kind)));
            row->setData(kindRole, kind);
        }
        if (row->data(idRole) != dock.id)
            row->setData(idRole, dock.id);
    }
    QListWidgetItem* selected = rowOf(selectedDockId_);
    if (!selected)
        sidebar_->clearSelection();
    else if (!selected->isSelected())
        sidebar_->setCurrentItem(selected);
}

QListWidgetItem* PreferencesView::rowOf(const std::optional<QUuid>& dockId) const {
    if (!dockId)
        return sidebar_->item(generalRow);
    for (int row = firstDockRow; row < sidebar_->count(); ++row)
        if (sidebar_->item(row)->data(idRole) == *dockId)
            return sidebar_->item(row);
    return nullptr;
}

void PreferencesView::select(const std::optional<QUuid>& dockId) {
    if (QListWidgetItem* row = rowOf(dockId))
        sidebar_->setCurrentItem(row);
}

void PreferencesView::selectionChanged() {
    const auto rows = sidebar_->selectedItems();
    if (rows.isEmpty())
        return;
    const QVariant id = rows.first()->data(idRole);
    selectedDockId_ = id.isValid() ? std::optional<QUuid>(id.toUuid()) : std::nullopt;
    showDetail();
}

void PreferencesView::showDetail() {
    const bool dockShown = selectedDockId_ && services_.store.indexOf(*selectedDockId_);
    if (editor_ && (!dockShown || editor_->dockId() != *selectedDockId_)) {
        // Later: this may run while the old editor is still on the stack of calls.
        detail_->removeWidget(editor_);
        editor_->hide();
        editor_->deleteLater();
        editor_ = nullptr;
    }
    if (!dockShown) {
        detail_->setCurrentWidget(general_);
        return;
    }
    if (!editor_) {
        editor_ = new DockEditorView(*selectedDockId_, services_.editor());
        detail_->addWidget(editor_);
    }
    detail_->setCurrentWidget(editor_);
}
