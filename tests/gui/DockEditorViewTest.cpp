// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockEditorView.h"
#include "gui/GuiTestSupport.h"
#include "views/ApplicationChooserDialog.h"
#include "views/ColumnsStepper.h"
#include "views/EditorSlider.h"
#include "views/HotKeyRecorderView.h"
#include "views/LinkDialog.h"
#include "views/TintColorButton.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include <limits>

namespace {

Dock editedDock() {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock"));
    dock.hotKey = {40, HotKeyBinding::cmdKey};
    return dock;
}

struct DockEditorViewTest : SettingsFixture {
    DockEditorViewTest()
        : SettingsFixture({editedDock(), Dock::makeDefault(DockKind::clippings, {})}) {}

    DockEditorView& open(std::size_t index = 0) {
        editor = std::make_unique<DockEditorView>(stored(index).id,
                                                  fakes.preferencesServices().editor());
        editor->resize(600, 900);
        editor->show();
        settle();
        return *editor;
    }
    template <typename T> T* control(const char* field) {
        T* found = editor->findChild<T*>(QLatin1String(field));
        EXPECT_TRUE(found) << field;
        return found;
    }
    QSlider* slider(const char* field) { return control<EditorSlider>(field)->slider(); }
    QToolButton* dockletButton(const QString& title) {
        for (auto* button : control<QGroupBox>("addDocklet")->findChildren<QToolButton*>())
            if (button->text() == title)
                return button;
        return nullptr;
    }

    std::unique_ptr<DockEditorView> editor;
};

struct ControlCase {
    const char* name;
    std::function<void(DockEditorViewTest&)> userChange;
    std::function<void(Dock&)> expected;
};

using Change = std::function<void(DockEditorViewTest&)>;
Change pick(const char* field, int index) {
    return [=](auto& t) { t.template control<QComboBox>(field)->setCurrentIndex(index); };
}
Change tick(const char* field) {
    return [=](auto& t) { t.template control<QCheckBox>(field)->click(); };
}
Change slide(const char* field, int value) {
    return [=](auto& t) { t.slider(field)->setValue(value); };
}

} // namespace

TEST_F(DockEditorViewTest, EachControlWritesExactlyItsFieldAndSchedulesOneSave) {
    const std::vector<ControlCase> cases = {
        {"name", [](auto& t) { QTest::keyClicks(t.template control<QLineEdit>("name"), "!"); },
         [](Dock& d) { d.name += QLatin1Char('!'); }},
        {"kind", pick("kind", 2), [](Dock& d) { d.kind = DockKind::clippings; }},
        {"style", pick("style", 1), [](Dock& d) { d.style = DockStyle::bar; }},
        {"orientation", pick("orientation", 1),
         [](Dock& d) { d.orientation = DockOrientation::horizontal; }},
        {"columns",
         [](auto& t) { t.template control<ColumnsStepper>("columns")->incrementButton()->click(); },
         // The panel takes the width of five columns of 48-point icons.
         [](Dock& d) {
             d.columns = 5;
             d.position.width = 342;
         }},
        {"alwaysOnTop", tick("alwaysOnTop"), [](Dock& d) { d.alwaysOnTop = false; }},
        {"autoHide", tick("autoHide"), [](Dock& d) { d.autoHide = true; }},
        {"screenEdgeForAutoHide", pick("screenEdgeForAutoHide", 3),
         [](Dock& d) { d.screenEdgeForAutoHide = ScreenEdge::bottom; }},
        {"hotKey (clear zone)",
         [](auto& t) {
             auto* recorder = t.template control<HotKeyRecorderView>("hotKey");
             QTest::mouseClick(recorder, Qt::LeftButton, {}, QPoint(recorder->width() - 5, 12));
         },
         [](Dock& d) { d.hotKey = {}; }},
        {"iconSize (whole points)", slide("iconSize", 25),
         [](Dock& d) { d.appearance.iconSize = 49; }},
        {"opacity", slide("opacity", 0), [](Dock& d) { d.appearance.opacity = 0.3; }},
        {"cornerRadius", slide("cornerRadius", 250),
         [](Dock& d) { d.appearance.cornerRadius = 8; }},
        {"tint (half transparent)",
         [](auto& t) {
             auto* tint = t.template control<TintColorButton>("tint");
             tint->click();
             ASSERT_TRUE(tint->dialog());
             tint->dialog()->setCurrentColor(QColor(255, 0, 0, 128));
             tint->dialog()->accept();
         },
         [](Dock& d) {
             d.appearance.tintRed = 1;
             d.appearance.tintGreen = d.appearance.tintBlue = 0;
         }},
        {"showLabels", tick("showLabels"), [](Dock& d) { d.appearance.showLabels = false; }},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        DockStoreTesting::setDocks(fakes.store, {editedDock()});
        writesAfterDelay();
        open();
        Dock expected = stored();
        c.expected(expected);
        c.userChange(*this);
        EXPECT_EQ(stored(), expected);
        EXPECT_EQ(writesAfterDelay(), 1);
        settle();
        EXPECT_EQ(writesAfterDelay(), 0) << "the refresh wrote something back";
    }
}

TEST_F(DockEditorViewTest, StoredValuesOutOfRangeAreShownAndNeverWrittenBack) {
    const double huge = 1e300;
    // What docks.json can hold: any finite double.
    for (const double iconSize : {200.0, huge, -huge, 23.99}) {
        fakes.store.mutateDock(stored().id, [&](Dock& d) {
            d.appearance = {iconSize, 0.1, 3, -1, 0.5, true, 500};
            d.columns = 50;
        });
        writesAfterDelay();
        const DockAppearance before = stored().appearance;
        open();
        EXPECT_EQ(control<EditorSlider>("iconSize")->readout(),
                  EditorSlider::readoutText(iconSize, EditorSlider::Unit::points));
        EXPECT_EQ(control<ColumnsStepper>("columns")->text(), QStringLiteral("Columns: 50"));
        // A change from elsewhere refreshes every control; nothing comes back.
        fakes.store.mutateDock(stored().id, [](Dock& d) { d.alwaysOnTop = !d.alwaysOnTop; });
        settle();
        EXPECT_EQ(writesAfterDelay(), 1);
        EXPECT_EQ(stored().columns, 50);
        EXPECT_EQ(stored().appearance, before);
    }
    // The stepper steps from outside the range onto its nearer end, and stops at 10 and 1.
    auto* stepper = control<ColumnsStepper>("columns");
    EXPECT_FALSE(stepper->incrementButton()->isEnabled());
    stepper->decrementButton()->click();
    EXPECT_EQ(stored().columns, 10);
    EXPECT_FALSE(stepper->incrementButton()->isEnabled());
    fakes.store.mutateDock(stored().id, [](Dock& d) { d.columns = 1; });
    settle();
    EXPECT_FALSE(stepper->decrementButton()->isEnabled());
}

TEST(EditorSliderTest, ReadsOutWholeNumbersOfAnyDouble) {
    const std::pair<double, const char*> cases[] = {
        {48, "48"},
        {56.9, "56"},
        {-3.7, "-3"},
        {9e18, "9000000000000000000"},
        {1e300, "1e+300"},
        {-1e19, "-1e+19"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(EditorSlider::wholeNumber(value), QLatin1String(text)) << value;
}

TEST_F(DockEditorViewTest, TheKindShowsAddDockletAndAutoHideShowsItsEdge) {
    open(1); // a clippings dock
    auto* docklets = control<QGroupBox>("addDocklet");
    EXPECT_FALSE(docklets->isVisibleTo(editor.get()));
    const auto tabs = stored(1).tabs;
    control<QComboBox>("kind")->setCurrentIndex(0);
    settle();
    EXPECT_TRUE(docklets->isVisibleTo(editor.get()));
    EXPECT_EQ(stored(1).tabs, tabs);

    auto* edge = control<QComboBox>("screenEdgeForAutoHide");
    EXPECT_FALSE(edge->isVisibleTo(editor.get()));
    fakes.store.mutateDock(stored(1).id,
                           [](Dock& d) { d.screenEdgeForAutoHide = ScreenEdge::top; });
    control<QCheckBox>("autoHide")->click();
    settle();
    EXPECT_TRUE(edge->isVisibleTo(editor.get()));
    EXPECT_EQ(edge->currentText(), QStringLiteral("Top"));
    control<QCheckBox>("autoHide")->click();
    settle();
    EXPECT_FALSE(edge->isVisibleTo(editor.get()));
    EXPECT_EQ(stored(1).screenEdgeForAutoHide, ScreenEdge::top);
}

TEST_F(DockEditorViewTest, WhereNoProgramMayGrabKeysTheCommandToBindIsShown) {
    open();
    EXPECT_FALSE(editor->findChild<QLineEdit*>(u"toggleCommand"_qs));
    fakes.hotKeyBackend.everywhere = false;
    open();
    auto* command = control<QLineEdit>("toggleCommand");
    EXPECT_TRUE(command->isReadOnly());
    EXPECT_EQ(command->text(),
              u"moorline --toggle "_qs + stored().id.toString(QUuid::WithoutBraces));
}

TEST_F(DockEditorViewTest, AStoreChangeLeavesTheCursorAndAnOpenPickerAlone) {
    open();
    auto* name = control<QLineEdit>("name");
    name->setCursorPosition(2);
    auto* style = control<QComboBox>("style");
    style->showPopup();
    fakes.store.mutateDock(stored().id, [](Dock& d) { d.alwaysOnTop = !d.alwaysOnTop; });
    settle();
    EXPECT_EQ(name->cursorPosition(), 2);
    EXPECT_TRUE(style->view()->isVisible());
    style->hidePopup();
}

TEST_F(DockEditorViewTest, DeletingTheDockWithTheColourDialogOpenEndsInTheEmptyState) {
    open();
    auto* tint = control<TintColorButton>("tint");
    tint->click();
    QPointer<QColorDialog> dialog = tint->dialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    control<QPushButton>("deleteDock")->click();
    // Asked first, naming what goes.
    EXPECT_EQ(fakes.store.docks->size(), 2u);
    auto* confirm = editor->findChild<QPushButton*>(QStringLiteral("confirmDelete"));
    ASSERT_TRUE(confirm);
    confirm->click();
    EXPECT_EQ(fakes.store.docks->size(), 1u);
    settle();
    EXPECT_TRUE(editor->isShowingEmptyState());
    EXPECT_TRUE(!dialog || !dialog->isVisible());
    EXPECT_EQ(editor->findChild<QLabel*>(QStringLiteral("emptyStateTitle"))->text(),
              QStringLiteral("No Dock Selected"));
    EXPECT_EQ(writesAfterDelay(), 1);
}

TEST_F(DockEditorViewTest, TheAddButtonsAppendWhatWasChosenToTheSelectedTab) {
    fakes.defaultApplications.menu = {
        {QStringLiteral("Terminal"), QStringLiteral("/apps/term.desktop"), {}},
        {QStringLiteral("Text Editor"), QStringLiteral("/apps/edit.desktop"), {}}};
    fakes.fileSystem.addFile(QStringLiteral("/apps/edit.desktop"), {}, QStringLiteral("Editor"));
    fakes.fileSystem.addDirectory(QStringLiteral("/home/u/Projects"));
    struct AddCase {
        const char* button;
        std::function<void(DockEditorViewTest&)> answer;
        QStringList added; // "kind|name|path, url or docklet"
    };
    const AddCase cases[] = {
        {"CPU Meter", [](auto&) {}, {"docklet|CPU Meter|cpuMeter"}},
        {"addApplication",
         [](auto& t) {
             auto* dialog = t.editor->template findChild<ApplicationChooserDialog*>();
             ASSERT_TRUE(dialog);
             dialog->filterField()->setText(QStringLiteral("edit"));
             dialog->list()->selectAll();
             dialog->addButton()->click();
         },
         {"application|Editor|/apps/edit.desktop"}},
        {"addFiles",
         [](auto& t) {
             ASSERT_TRUE(t.fakes.pathChooser.answer(
                 {QStringLiteral("/home/u/Projects"), QStringLiteral("/apps/edit.desktop")}));
         },
         {"folder|Projects|/home/u/Projects", "application|Editor|/apps/edit.desktop"}},
        {"addLink",
         [](auto& t) {
             auto* dialog = t.editor->template findChild<LinkDialog*>();
             ASSERT_TRUE(dialog);
             dialog->urlField()->setText(QStringLiteral("example.org/page"));
             dialog->nameField()->setText(QStringLiteral("Example"));
             dialog->addButton()->click();
         },
         {"url|Example|http://example.org/page"}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.button);
        Dock dock = editedDock();
        dock.tabs.push_back(DockTab::make(QStringLiteral("Second")));
        dock.selectedTabIndex = 1;
        DockStoreTesting::setDocks(fakes.store, {dock});
        open();
        if (QToolButton* docklet = dockletButton(QString::fromLatin1(c.button)))
            docklet->click();
        else
            control<QPushButton>(c.button)->click();
        c.answer(*this);
        settle();
        QStringList added;
        for (const DockItem& item : stored().tabs[1].items)
            added << QStringList{storedString(item.kind), item.name,
                                 item.docklet
                                     ? storedString(*item.docklet)
                                     : item.path.value_or(item.urlString.value_or(QString()))}
                         .join(u'|');
        EXPECT_EQ(added, c.added);
        EXPECT_TRUE(stored().tabs[0].items.empty());
    }
}
