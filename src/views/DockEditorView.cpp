// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockEditorView.h"

#include "platform/Scheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "support/IconResolver.h"
#include "views/ColumnsStepper.h"
#include "views/DeleteConfirmation.h"
#include "views/EditorSlider.h"
#include "views/HotKeyRecorderView.h"
#include "views/ItemGridLayout.h"
#include "views/SettingsSection.h"
#include "views/TintColorButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QToolButton>

#include <cmath>

namespace {

template <typename E> struct Option {
    E value;
    const char* title;
};

// The pickers' choices in the order they are offered (the orientation's is not the order of
// its cases).
constexpr Option<DockKind> kindOptions[] = {
    {DockKind::items, QT_TRANSLATE_NOOP("DockEditorView", "Launcher Dock")},
    {DockKind::applicationSwitcher, QT_TRANSLATE_NOOP("DockEditorView", "Application Dock")},
    {DockKind::clippings, QT_TRANSLATE_NOOP("DockEditorView", "Clippings Dock")},
};
constexpr Option<DockStyle> styleOptions[] = {
    {DockStyle::tabbedPalette, QT_TRANSLATE_NOOP("DockEditorView", "Tabbed Palette")},
    {DockStyle::bar, QT_TRANSLATE_NOOP("DockEditorView", "Simple Bar")},
};
constexpr Option<DockOrientation> orientationOptions[] = {
    {DockOrientation::vertical, QT_TRANSLATE_NOOP("DockEditorView", "Vertical")},
    {DockOrientation::horizontal, QT_TRANSLATE_NOOP("DockEditorView", "Horizontal")},
};
constexpr Option<ScreenEdge> edgeOptions[] = {
    {ScreenEdge::left, QT_TRANSLATE_NOOP("DockEditorView", "Left")},
    {ScreenEdge::right, QT_TRANSLATE_NOOP("DockEditorView", "Right")},
    {ScreenEdge::top, QT_TRANSLATE_NOOP("DockEditorView", "Top")},
    {ScreenEdge::bottom, QT_TRANSLATE_NOOP("DockEditorView", "Bottom")},
};

struct DockletButton {
    DockletKind kind;
    const char* title;
    const char* symbol;
};
constexpr DockletButton dockletButtons[] = {
    {DockletKind::clock, QT_TRANSLATE_NOOP("DockEditorView", "Clock"), "clock"},
    {DockletKind::trash, QT_TRANSLATE_NOOP("DockEditorView", "Trash"), "trash"},
    {DockletKind::diskSpace, QT_TRANSLATE_NOOP("DockEditorView", "Disk Space"), "internaldrive"},
    {DockletKind::cpuMeter, QT_TRANSLATE_NOOP("DockEditorView", "CPU Meter"), "cpu"},
    {DockletKind::separator, QT_TRANSLATE_NOOP("DockEditorView", "Separator"), "line.diagonal"},
};

QString translated(const char* text) {
    return QCoreApplication::translate("DockEditorView", text);
}

template <typename E, std::size_t N>
QComboBox* makePicker(const Option<E> (&options)[N], const char* field, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(field));
    for (const auto& option : options)
        box->addItem(translated(option.title), static_cast<int>(option.value));
    return box;
}

template <typename E> E pickedValue(const QComboBox* box, int index) {
    return static_cast<E>(box->itemData(index).toInt());
}

// The controls show the store's values without reporting them, and only where they differ, so
// that a picker that is open stays open and a cursor stays where it is.
template <typename E> void showPicked(QComboBox* box, E value) {
    const int index = box->findData(static_cast<int>(value));
    if (index == box->currentIndex())
        return;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

void showChecked(QCheckBox* box, bool checked) {
    if (box->isChecked() == checked)
        return;
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
}

void showText(QLineEdit* field, const QString& text) {
    if (field->text() == text)
        return;
    const QSignalBlocker blocker(field);
    field->setText(text);
}

// A tint component as a colour channel: hand-edited values outside 0...1, NaN included, are
// shown at the nearer end (and stay stored as they are).
float channel(double value) {
    return std::isnan(value) ? 0.0f : static_cast<float>(std::clamp(value, 0.0, 1.0));
}

QCheckBox* makeToggle(const QString& title, const char* field, QWidget* parent) {
    auto* box = new QCheckBox(title, parent);
    box->setObjectName(QLatin1String(field));
    return box;
}

} // namespace

DockEditorView::DockEditorView(const QUuid& dockId, const Services& services, QWidget* parent)
    : QWidget(parent), dockId_(dockId), services_(services) {
    pages_ = new QStackedLayout(this);
    form_ = makeForm();
    emptyState_ = makeEmptyState();
    pages_->addWidget(form_);
    pages_->addWidget(emptyState_);
    // Read on the next pass, once per burst; a dragged panel or a dropped file is not ours.
    storeChanges_ = services_.store.observeChanges([this](const DockChange& change) {
        if (change.touches(dockId_, shownFacets))
            refreshTask_.request();
    });
    refresh();
}

DockEditorView::~DockEditorView() = default;

bool DockEditorView::isShowingEmptyState() const {
    return pages_->currentWidget() == emptyState_;
}

void DockEditorView::write(const std::function<void(Dock&)>& change) {
    services_.store.mutateDock(dockId_, change);
}

void DockEditorView::refresh() {
    const Dock* dock = services_.store.dock(dockId_);
    if (!dock) {
        showEmptyState();
        return;
    }
    const std::uint64_t revision = services_.store.revision(dockId_, shownFacets);
    if (revision == shownRevision_ && !isShowingEmptyState())
        return;
    shownRevision_ = revision;
    pages_->setCurrentWidget(form_);
    display(*dock);
}

void DockEditorView::showEmptyState() {
    tint_->closeDialog();
    pages_->setCurrentWidget(emptyState_);
}

void DockEditorView::display(const Dock& dock) {
    showText(name_, dock.name);
    showPicked(kind_, dock.kind);
    showPicked(style_, dock.style);
    showPicked(orientation_, dock.orientation);
    columns_->setValue(dock.columns);
    showChecked(alwaysOnTop_, dock.alwaysOnTop);
    showChecked(autoHide_, dock.autoHide);
    behaviorRows_->setRowVisible(edge_, dock.autoHide);
    showPicked(edge_, dock.screenEdgeForAutoHide);
    hotKey_->setBinding(dock.hotKey);
    showHotKeyAnswer();
    const DockAppearance& look = dock.appearance;
    iconSize_->setValue(look.iconSize);
    opacity_->setValue(look.opacity);
    cornerRadius_->setValue(look.cornerRadius);
    tint_->setColor(
        QColor::fromRgbF(channel(look.tintRed), channel(look.tintGreen), channel(look.tintBlue)));
    showChecked(showLabels_, look.showLabels);
    adding_->setVisible(dock.kind == DockKind::items);
    docklets_->setVisible(dock.kind == DockKind::items);
}

QWidget* DockEditorView::makeForm() {
    auto* content = new QWidget;
    auto* sections = new QVBoxLayout(content);
    sections->addWidget(makeGeneralSection());
    sections->addWidget(makeBehaviorSection());
    sections->addWidget(makeAppearanceSection());
    sections->addWidget(makeAddSection());
    sections->addWidget(makeDockletSection());
    sections->addWidget(makeDeleteSection());
    sections->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

QWidget* DockEditorView::makeEmptyState() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* symbol = new QLabel(page);
    symbol->setPixmap(IconResolver::symbol(QStringLiteral("square.dashed")).pixmap(48, 48));
    symbol->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(tr("No Dock Selected"), page);
    title->setObjectName(QStringLiteral("emptyStateTitle"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addStretch(1);
    layout->addWidget(symbol);
    layout->addWidget(title);
    layout->addStretch(1);
    return page;
}

QGroupBox* DockEditorView::makeGeneralSection() {
    auto* section = new SettingsSection(tr("General"));
    auto* rows = new QFormLayout(section);
    name_ = new QLineEdit(section);
    name_->setObjectName(QStringLiteral("name"));
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { write([&](Dock& dock) { dock.name = text; }); });
    kind_ = makePicker(kindOptions, "kind", section);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const auto kind = pickedValue<DockKind>(kind_, index);
        write([kind](Dock& dock) { dock.kind = kind; });
    });
    style_ = makePicker(styleOptions, "style", section);
    connect(style_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const auto style = pickedValue<DockStyle>(style_, index);
        write([style](Dock& dock) { dock.style = style; });
    });
    orientation_ = makePicker(orientationOptions, "orientation", section);
    connect(orientation_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const auto orientation = pickedValue<DockOrientation>(orientation_, index);
        write([orientation](Dock& dock) { dock.orientation = orientation; });
    });
    columns_ = new ColumnsStepper(section);
    columns_->setObjectName(QStringLiteral("columns"));
    connect(columns_, &ColumnsStepper::stepped, this, [this](std::int64_t columns) {
        write([columns](Dock& dock) {
            dock.columns = columns;
            // The panel takes the width of that many columns, from its left edge; the frame is
            // saved with the number. Only a grid has columns to fit.
            if (dock.kind != DockKind::applicationSwitcher)
                dock.position.width = ItemGridLayout::widthFor(columns, dock.appearance.iconSize);
        });
    });
    rows->addRow(tr("&Name"), name_);
    rows->addRow(tr("&Kind"), kind_);
    rows->addRow(tr("St&yle"), style_);
    rows->addRow(tr("&Orientation"), orientation_);
    rows->addRow(columns_);
    return section;
}

QGroupBox* DockEditorView::makeBehaviorSection() {
    auto* section = new SettingsSection(tr("Behavior"));
    behaviorRows_ = new QFormLayout(section);
    alwaysOnTop_ = makeToggle(tr("Always on &Top"), "alwaysOnTop", section);
    connect(alwaysOnTop_, &QCheckBox::toggled, this,
            [this](bool on) { write([on](Dock& dock) { dock.alwaysOnTop = on; }); });
    autoHide_ = makeToggle(tr("A&uto-Hide"), "autoHide", section);
    connect(autoHide_, &QCheckBox::toggled, this,
            [this](bool on) { write([on](Dock& dock) { dock.autoHide = on; }); });
    edge_ = makePicker(edgeOptions, "screenEdgeForAutoHide", section);
    connect(edge_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const auto edge = pickedValue<ScreenEdge>(edge_, index);
        write([edge](Dock& dock) { dock.screenEdgeForAutoHide = edge; });
    });
    hotKey_ = new HotKeyRecorderView(services_.hotKeys, services_.keyCodes, section);
    hotKey_->setObjectName(QStringLiteral("hotKey"));
    hotKey_->setAccessibleName(tr("Show/Hide Hotkey"));
    hotKey_->setFixedSize(160, 24);
    connect(hotKey_, &HotKeyRecorderView::captured, this,
            [this](std::uint32_t keyCode, std::uint32_t modifiers) {
                write([=](Dock& dock) { dock.hotKey = {keyCode, modifiers}; });
            });
    connect(hotKey_, &HotKeyRecorderView::cleared, this,
            [this] { write([](Dock& dock) { dock.hotKey = {}; }); });
    auto* hotKeyRow = new QHBoxLayout;
    auto* hotKeyLabel = new QLabel(tr("Show/Hide &Hotkey"), section);
    hotKeyLabel->setBuddy(hotKey_);
    hotKeyRow->addWidget(hotKeyLabel);
    hotKeyRow->addStretch(1);
    hotKeyRow->addWidget(hotKey_, 0, Qt::AlignVCenter);
    behaviorRows_->addRow(alwaysOnTop_);
    behaviorRows_->addRow(autoHide_);
    behaviorRows_->addRow(tr("Hide toward &edge"), edge_);
    behaviorRows_->addRow(hotKeyRow);
    if (!services_.hotKeys.firesEverywhere())
        addToggleCommand(section);
    return section;
}

void DockEditorView::addToggleCommand(QWidget* section) {
    // On a Wayland session no program may take a key for itself: a shortcut service may bind
    // it for us, and the compositor can always bind the key to the command, which reaches this
    // instance. The id survives a rename of the dock.
    hotKeyAnswer_ = new QLabel(section);
    hotKeyAnswer_->setObjectName(QStringLiteral("hotKeyAnswer"));
    hotKeyAnswer_->setWordWrap(true);
    toggleNote_ = new QLabel(section);
    toggleNote_->setObjectName(QStringLiteral("toggleNote"));
    toggleNote_->setWordWrap(true);
    auto* command = new QLineEdit(toggleCommand(dockId_), section);
    command->setObjectName(QStringLiteral("toggleCommand"));
    command->setAccessibleName(tr("Command to bind"));
    command->setReadOnly(true);
    behaviorRows_->addRow(hotKeyAnswer_);
    behaviorRows_->addRow(toggleNote_);
    behaviorRows_->addRow(command);
    hotKeyChanges_ = services_.hotKeys.observeHotKeys([this](const QUuid& dockId) {
        if (dockId == dockId_)
            answerTask_.request();
    });
}

void DockEditorView::showHotKeyAnswer() {
    if (!hotKeyAnswer_)
        return;
    const HotKeyManager& hotKeys = services_.hotKeys;
    const Dock* dock = services_.store.dock(dockId_);
    // A dock without a registration here has no service to ask: the grab was refused at once.
    const bool asked = dock && dock->hotKey.isComplete() && hotKeys.isRegistered(dockId_);
    const auto answer = asked ? hotKeys.answer(dockId_) : std::nullopt;
    using Status = HotKeyBackend::Answer::Status;
    QString said;
    if (!answer && asked)
        said = tr("Asking the desktop's shortcut service\u2026");
    else if (answer && answer->status == Status::bound && !answer->trigger.isEmpty())
        said = tr("The desktop's shortcut service bound it to %1.").arg(answer->trigger);
    else if (answer && answer->status == Status::bound)
        said = tr("The desktop's shortcut service took it without keys: choose them in the "
                  "desktop's shortcut settings.");
    else if (answer && answer->status == Status::refused)
        said = tr("The desktop's shortcut service refused it.");
    behaviorRows_->setRowVisible(hotKeyAnswer_, !said.isEmpty());
    hotKeyAnswer_->setText(said);
    toggleNote_->setText(
        said.isEmpty() ? tr("This session lets no program take a key for itself. Bind the hotkey "
                            "in your compositor's settings to this command:")
                       : tr("Or bind a key in your compositor's settings to this command:"));
}

QString DockEditorView::toggleCommand(const QUuid& dockId) {
    return u"moorline --toggle "_qs + dockId.toString(QUuid::WithoutBraces);
}

QGroupBox* DockEditorView::makeAppearanceSection() {
    auto* section = new SettingsSection(tr("Appearance"));
    auto* rows = new QFormLayout(section);
    using Unit = EditorSlider::Unit;
    const auto slider = [&](double minimum, double maximum, double step, Unit unit,
                            const char* field, auto assign) {
        auto* control = new EditorSlider(minimum, maximum, step, unit, section);
        control->setObjectName(QLatin1String(field));
        connect(control, &EditorSlider::moved, this, [this, assign](double value) {
            write([&](Dock& dock) { assign(dock.appearance, value); });
        });
        return control;
    };
    // Icons in whole points: a fraction of a point draws no differently and reads badly.
    iconSize_ = slider(24, 96, 1, Unit::points, "iconSize",
                       [](DockAppearance& look, double value) { look.iconSize = value; });
    opacity_ = slider(0.3, 1.0, 0, Unit::percent, "opacity",
                      [](DockAppearance& look, double value) { look.opacity = value; });
    cornerRadius_ = slider(0, 32, 0, Unit::points, "cornerRadius",
                           [](DockAppearance& look, double value) { look.cornerRadius = value; });
    tint_ = new TintColorButton(section);
    tint_->setObjectName(QStringLiteral("tint"));
    connect(tint_, &TintColorButton::picked, this, [this](double red, double green, double blue) {
        write([=](Dock& dock) {
            dock.appearance.tintRed = red;
            dock.appearance.tintGreen = green;
            dock.appearance.tintBlue = blue;
        });
    });
    showLabels_ = makeToggle(tr("Show &Labels"), "showLabels", section);
    connect(showLabels_, &QCheckBox::toggled, this,
            [this](bool on) { write([on](Dock& dock) { dock.appearance.showLabels = on; }); });
    rows->addRow(tr("&Icon Size"), iconSize_);
    rows->addRow(tr("O&pacity"), opacity_);
    rows->addRow(tr("&Corner Radius"), cornerRadius_);
    rows->addRow(tr("&Background Tint"), tint_);
    rows->addRow(showLabels_);
    return section;
}

QGroupBox* DockEditorView::makeAddSection() {
    adding_ = new SettingsSection(tr("Add Items"));
    adding_->setObjectName(QStringLiteral("addItems"));
    auto* layout = new QHBoxLayout(adding_);
    layout->addWidget(new DockAddSection(dockId_, services_.adding, adding_));
    return adding_;
}

QGroupBox* DockEditorView::makeDockletSection() {
    docklets_ = new SettingsSection(tr("Add Docklet"));
    docklets_->setObjectName(QStringLiteral("addDocklet"));
    auto* buttons = new QHBoxLayout(docklets_);
    for (const DockletButton& entry : dockletButtons) {
        auto* button = new QToolButton(docklets_);
        button->setText(translated(entry.title));
        button->setIcon(IconResolver::symbol(QLatin1String(entry.symbol)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        connect(button, &QToolButton::clicked, this, [this, entry] {
            services_.store.addItem(DockItem::makeDocklet(entry.kind, translated(entry.title)),
                                    dockId_);
        });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    return docklets_;
}

QWidget* DockEditorView::makeDeleteSection() {
    auto* section = new QWidget;
    auto* row = new QHBoxLayout(section);
    auto* button = new QPushButton(tr("&Delete Dock"), section);
    button->setObjectName(QStringLiteral("deleteDock"));
    // The destructive style: the action's text in red.
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, QColor(0xd7, 0x26, 0x2b));
    button->setPalette(palette);
    connect(button, &QPushButton::clicked, this, &DockEditorView::confirmDelete);
    row->addWidget(button);
    row->addStretch(1);
    return section;
}

void DockEditorView::confirmDelete() {
    const Dock* dock = services_.store.dock(dockId_);
    if (!dock)
        return;
    DockStore* store = &services_.store;
    const QUuid dockId = dockId_;
    DeleteConfirmation::forDock(*dock, window(), [store, dockId] { store->removeDock(dockId); });
}
