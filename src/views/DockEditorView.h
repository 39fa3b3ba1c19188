// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/Subscription.h"
#include "store/DockFacets.h"
#include "views/DockAddSection.h"

#include <QUuid>
#include <QWidget>

#include <functional>

class ColumnsStepper;
class DockStore;
class EditorSlider;
class HotKeyManager;
class HotKeyRecorderView;
class KeyCodeTranslator;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedLayout;
class Scheduler;
class TintColorButton;
struct Dock;

// The form that edits one dock: every control bound to one field, each user change written
// through the store at once (the panel follows, the file is written after the store's delay).
// The controls stay across the store's changes and are updated in place without reporting, so
// a change from elsewhere neither moves the cursor, closes a picker nor writes a value back.
// Shows "No Dock Selected" while the store has no such dock.
class DockEditorView final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        DockStore& store;
        Scheduler& scheduler;
        // The hot key recorder's: it suspends our grabs and names the keys.
        HotKeyManager& hotKeys;
        const KeyCodeTranslator& keyCodes;
        // The ways to add applications, files and links.
        DockAddSection::Services adding;
    };

    // The command a compositor binding runs to show or hide the dock.
    static QString toggleCommand(const QUuid& dockId);
    DockEditorView(const QUuid& dockId, const Services& services, QWidget* parent = nullptr);
    ~DockEditorView() override;

    const QUuid& dockId() const { return dockId_; }
    bool isShowingEmptyState() const;
    // What the form shows of a dock: everything but its items and its frame.
    static constexpr DockFacets shownFacets =
        allDockFacets & ~DockFacets(DockFacet::content) & ~DockFacets(DockFacet::frame);

    // Shows the dock as the store has it now; runs by itself on the pass of the event loop
    // after the store changed what the form shows.
    void refresh();

private:
    QWidget* makeForm();
    QWidget* makeEmptyState();
    QGroupBox* makeGeneralSection();
    QGroupBox* makeBehaviorSection();
    void addToggleCommand(QWidget* section);
    void showHotKeyAnswer();
    QGroupBox* makeAppearanceSection();
    QGroupBox* makeAddSection();
    QGroupBox* makeDockletSection();
    void confirmDelete();
    QWidget* makeDeleteSection();
    void display(const Dock& dock);
    void showEmptyState();
    void write(const std::function<void(Dock&)>& change);

    QUuid dockId_;
    Services services_;
    QStackedLayout* pages_ = nullptr;
    QWidget* form_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* style_ = nullptr;
    QComboBox* orientation_ = nullptr;
    ColumnsStepper* columns_ = nullptr;
    QCheckBox* alwaysOnTop_ = nullptr;
    QCheckBox* autoHide_ = nullptr;
    QFormLayout* behaviorRows_ = nullptr;
    QComboBox* edge_ = nullptr;
    HotKeyRecorderView* hotKey_ = nullptr;
    // Where no program may grab keys: what a shortcut service made of the hot key, and the
    // note over the command to bind instead.
    QLabel* hotKeyAnswer_ = nullptr;
    QLabel* toggleNote_ = nullptr;
    EditorSlider* iconSize_ = nullptr;
    EditorSlider* opacity_ = nullptr;
    EditorSlider* cornerRadius_ = nullptr;
    TintColorButton* tint_ = nullptr;
    QCheckBox* showLabels_ = nullptr;
    QGroupBox* adding_ = nullptr;
    QGroupBox* docklets_ = nullptr;

    std::uint64_t shownRevision_ = 0;
    CoalescedTask refreshTask_{services_.scheduler, [this] { refresh(); }};
    Subscription storeChanges_;
    CoalescedTask answerTask_{services_.scheduler, [this] { showHotKeyAnswer(); }};
    Subscription hotKeyChanges_;
};
