// The main window's components, the command state table and the routing of commands.

#include <map>
#include <set>

#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "MainFormFixture.h"

namespace {

using C = TCommand;

std::vector<std::string> MenuTexts(QMenu *menu)
{
    std::vector<std::string> texts;
    for (QAction *a : menu->actions())
        texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    return texts;
}

QMenu *TopMenu(TMainForm &form, const char *name)
{
    for (QAction *a : form.menuBar()->actions())
        if (a->menu() && a->menu()->objectName() == name)
            return a->menu();
    return nullptr;
}

std::set<std::string> EnabledCommands(const TCommandStates &states)
{
    std::set<std::string> names;
    for (C c : DocumentCommands())
        if (states[c])
            names.insert(CommandInfo(c).MenuName);
    return names;
}

} // namespace

// Guards the menu bar against a lost, renamed or misplaced item or separator.
TEST_F(MainFormTest, MenusHoldEveryItemInOrder)
{
    std::vector<std::string> top;
    for (QAction *a : Form->menuBar()->actions())
        top.push_back(a->text().toStdString());
    EXPECT_EQ(top, (std::vector<std::string>{"&File", "&Edit", "&View", "&Help"}));

    EXPECT_EQ(MenuTexts(TopMenu(*Form, "File1")),
              (std::vector<std::string>{"&New...", "&Open...", "&Reopen", "-", "&Save",
                                        "Save &As...", "Save &Bitmap...", "Save All Bit&maps...",
                                        "&Close", "Clos&e All", "-", "O&ptions...", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(TopMenu(*Form, "Edit1")),
              (std::vector<std::string>{"&Add Frames...", "Add &Mipmap...", "&Delete Frame", "-",
                                        "Shift To Pre&vious Frame", "Shift To Ne&xt Frame", "-",
                                        "&Select Palette...", "&Edit Properties..."}));
    EXPECT_EQ(MenuTexts(TopMenu(*Form, "View1")),
              (std::vector<std::string>{"&Previous Frame", "&Next Frame", "&Cycle Frames",
                                        "&Zoom In", "Zoom &Out"}));
    EXPECT_EQ(MenuTexts(TopMenu(*Form, "Help1")),
              (std::vector<std::string>{"&Contents", "-", "&About"}));
    EXPECT_EQ(Form->CommandAction(C::Reopen)->menu(), Form->ReopenMenu());
    EXPECT_EQ(Form->CommandAction(C::Contents)->objectName(), "Contents1");
}

// Guards the toolbar: button order, group dividers, 24 x 24 size, hints, and an own picture
// with a distinct greyed form for every button.
TEST_F(MainFormTest, ToolbarButtonsInOrderWithHintsAndPictures)
{
    std::vector<std::string> order;
    for (QObject *child : Form->ToolBar()->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || !w->isVisibleTo(Form->ToolBar()))
            continue;
        if (qobject_cast<QToolButton *>(w) && !w->objectName().endsWith("Button"))
            continue; // the toolbar's own extension button
        if (w->objectName().startsWith("Divider"))
            order.push_back("|");
        else if (w->objectName().endsWith("Button"))
            order.push_back(w->objectName().toStdString());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"NewButton",
                                               "OpenButton",
                                               "SaveButton",
                                               "SaveBitmapButton",
                                               "SaveAllBitmapsButton",
                                               "|",
                                               "PreviousFrameButton",
                                               "NextFrameButton",
                                               "CycleFramesButton",
                                               "ZoomInButton",
                                               "ZoomOutButton",
                                               "|",
                                               "AddFramesButton",
                                               "AddMipmapButton",
                                               "DeleteFrameButton",
                                               "ShiftToPreviousFrameButton",
                                               "ShiftToNextFrameButton",
                                               "|",
                                               "SelectPaletteButton",
                                               "EditPropertiesButton",
                                               "|",
                                               "OptionsButton",
                                               "HelpButton",
                                               "AboutButton"}));
    EXPECT_EQ(Form->ToolBar()->height(), 30);

    const std::map<C, std::string> hints{{C::AddFrames, "Add Frame"},
                                         {C::Contents, "Help Contents"},
                                         {C::About, "About Glimra"},
                                         {C::ShiftToNextFrame, "Shift To Next Frame"}};
    for (size_t i = 0; i < CommandCount; ++i) {
        const auto c = static_cast<C>(i);
        QToolButton *button = Form->CommandButton(c);
        if (!CommandInfo(c).ButtonName) {
            EXPECT_EQ(button, nullptr) << CommandInfo(c).MenuName;
            continue;
        }
        ASSERT_NE(button, nullptr) << CommandInfo(c).ButtonName;
        EXPECT_EQ(button->size(), QSize(24, 24)) << CommandInfo(c).ButtonName;
        EXPECT_TRUE(button->autoRaise());
        EXPECT_EQ(button->toolTip().toStdString(), CommandInfo(c).Hint);
        const QIcon icon = button->icon();
        ASSERT_FALSE(icon.isNull()) << CommandInfo(c).ButtonName;
        const QImage normal = icon.pixmap(16, QIcon::Normal).toImage();
        const QImage greyed = icon.pixmap(16, QIcon::Disabled).toImage();
        EXPECT_NE(normal, greyed) << CommandInfo(c).ButtonName;
    }
    for (const auto &[command, hint] : hints)
        EXPECT_EQ(Form->CommandButton(command)->toolTip().toStdString(), hint);
}

// Guards the keyboard: the usual keys are there, and no two commands share one (an
// ambiguous key fires neither).
TEST_F(MainFormTest, ShortcutsAreTheUsualOnesAndUnique)
{
    EXPECT_EQ(Form->CommandAction(C::Open)->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(Form->CommandAction(C::Save)->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(Form->CommandAction(C::Exit)->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(Form->CommandAction(C::Contents)->shortcut(), QKeySequence("F1"));
    std::set<QString> seen;
    for (size_t i = 0; i < CommandCount; ++i)
        for (const QKeySequence &key : Form->CommandAction(static_cast<C>(i))->shortcuts())
            EXPECT_TRUE(seen.insert(key.toString()).second) << key.toString().toStdString();
}

// Guards the status bar layout: eight panels, seven of 100 pixels and one of 90.
TEST_F(MainFormTest, StatusBarHasEightPanels)
{
    for (int i = 0; i < StatusPanelCount; ++i)
        EXPECT_EQ(Form->StatusLabel(i)->width(), i < 7 ? 100 : 90) << i;
    EXPECT_EQ(Form->statusBar()->findChildren<QLabel *>().size(), 8);
}

// Guards the start state: caption "Glimra", only the always-on commands enabled, Reopen off
// until its first entry, and no frame cycling.
TEST_F(MainFormTest, StartsInTheNoDocumentState)
{
    EXPECT_EQ(Form->windowTitle(), "Glimra");
    std::set<std::string> enabled;
    for (size_t i = 0; i < CommandCount; ++i)
        if (Form->IsCommandEnabled(static_cast<C>(i)))
            enabled.insert(CommandInfo(static_cast<C>(i)).MenuName);
    EXPECT_EQ(enabled,
              (std::set<std::string>{"New1", "Open1", "Options1", "Exit1", "Contents1", "About1"}));
    EXPECT_FALSE(Form->IsCycling());
    EXPECT_FALSE(Form->CycleTimer()->isActive());
    EXPECT_EQ(UntitledCount, 0);
}

// Guards the command state table column by column, at the limits that flip each entry.
TEST(CommandStates, FollowTheTableForEveryKind)
{
    using S = std::set<std::string>;
    const auto states = [](TDocumentKind kind, int frames, int zoom = 1, int bits = 8,
                           int mipmaps = 1, bool texture = true, bool full = true) {
        return EnabledCommands(DocumentStates({kind, frames, zoom, bits, mipmaps, texture, full}));
    };
    const S always{"Close1", "CloseAll1", "EditProperties1"};
    const auto with = [&always](S more) {
        more.insert(always.begin(), always.end());
        return more;
    };
    EXPECT_TRUE(EnabledCommands(NoDocumentStates()).empty());

    // BM: an empty document can only take frames; two frames unlock stepping and shifting.
    EXPECT_EQ(states(TDocumentKind::BM, 0), with({"AddFrames1", "SelectPalette1"}));
    EXPECT_EQ(states(TDocumentKind::BM, 1, 1, 16),
              with({"Save1", "SaveAs1", "SaveBitmap1", "AddFrames1", "DeleteFrame1", "ZoomIn1"}));
    EXPECT_EQ(states(TDocumentKind::BM, 2, 10),
              with({"Save1", "SaveAs1", "SaveBitmap1", "SaveAllBitmaps1", "AddFrames1",
                    "DeleteFrame1", "ShiftToPreviousFrame1", "ShiftToNextFrame1", "SelectPalette1",
                    "PreviousFrame1", "NextFrame1", "CycleFrames1", "ZoomOut1"}));
    EXPECT_EQ(states(TDocumentKind::BM, 50, 5).count("AddFrames1"), 0u);
    EXPECT_EQ(states(TDocumentKind::BM, 49, 5).count("AddFrames1"), 1u);

    // CMP: no bitmaps and no frame editing; stepping always; zoom by Z alone.
    EXPECT_EQ(states(TDocumentKind::CMP, 0, 1, 8),
              with({"Save1", "SaveAs1", "SelectPalette1", "PreviousFrame1", "NextFrame1",
                    "CycleFrames1", "ZoomIn1"}));
    EXPECT_EQ(states(TDocumentKind::CMP, 0, 10).count("ZoomIn1"), 0u);
    EXPECT_EQ(states(TDocumentKind::CMP, 0, 10).count("ZoomOut1"), 1u);

    // MAT: one frame with two levels steps and exports all, but cannot shift.
    EXPECT_EQ(
        states(TDocumentKind::MAT, 1, 2, 16, 2, true, true),
        with({"Save1", "SaveAs1", "SaveBitmap1", "SaveAllBitmaps1", "AddFrames1", "DeleteFrame1",
              "PreviousFrame1", "NextFrame1", "CycleFrames1", "ZoomIn1", "ZoomOut1"}));
    EXPECT_EQ(states(TDocumentKind::MAT, 2, 1, 8, 1).count("ShiftToNextFrame1"), 1u);
    EXPECT_EQ(states(TDocumentKind::MAT, 16).count("AddFrames1"), 0u);
    EXPECT_EQ(states(TDocumentKind::MAT, 1, 1, 8, 1, true, false).count("AddMipmap1"), 1u);
    EXPECT_EQ(states(TDocumentKind::MAT, 1, 1, 8, 1, false, false).count("AddMipmap1"), 0u);
    EXPECT_EQ(states(TDocumentKind::MAT, 0, 1, 8, 0, true, false).count("AddMipmap1"), 0u);
    EXPECT_EQ(states(TDocumentKind::MAT, 0), with({"AddFrames1", "SelectPalette1"}));

    // SFT: never steps or exports all; takes a bitmap only while it has none.
    EXPECT_EQ(states(TDocumentKind::SFT, 0), with({"AddFrames1", "SelectPalette1"}));
    EXPECT_EQ(states(TDocumentKind::SFT, 1, 3, 16),
              with({"Save1", "SaveAs1", "SaveBitmap1", "DeleteFrame1", "ZoomIn1", "ZoomOut1"}));
}

// Guards that a document window's states reach menu item and toolbar button together, and
// that the last window's close puts the main window back into the no-document state.
TEST_F(MainFormTest, DocumentStatesReachItemsAndButtonsAndResetOnLastClose)
{
    TTestDocument *first = OpenNamed("a.bm");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Form->IsCommandEnabled(C::Save));
    EXPECT_TRUE(Form->CommandButton(C::Save)->isEnabled());
    EXPECT_FALSE(Form->CommandButton(C::ZoomOut)->isEnabled());
    EXPECT_EQ(Form->StatusPanel(0), Dir.File("a.bm"));

    TTestDocument *second = OpenNamed("b.sft");
    ASSERT_NE(second, nullptr);
    Form->ActivateDocument(second);
    Settle();
    EXPECT_FALSE(Form->IsCommandEnabled(C::NextFrame));

    // Closing one of two: the remaining window describes itself.
    Form->RunCommand(C::Close);
    Settle();
    EXPECT_EQ(Form->ActiveDocument(), first);
    EXPECT_EQ(Form->windowTitle().toStdString(), "Glimra - " + Dir.File("a.bm"));
    EXPECT_TRUE(Form->IsCommandEnabled(C::Save));

    Form->RunCommand(C::Close);
    Settle();
    EXPECT_EQ(Form->windowTitle(), "Glimra");
    EXPECT_EQ(ApplicationTitle(), "Glimra");
    for (int i = 0; i < StatusPanelCount; ++i)
        EXPECT_EQ(Form->StatusPanel(i), "") << i;
    for (C c : DocumentCommands()) {
        EXPECT_FALSE(Form->IsCommandEnabled(c)) << CommandInfo(c).MenuName;
        if (Form->CommandButton(c)) {
            EXPECT_FALSE(Form->CommandButton(c)->isEnabled()) << CommandInfo(c).ButtonName;
        }
    }
    EXPECT_TRUE(Form->IsCommandEnabled(C::Reopen));
}

// Guards the routing table: each command reaches exactly the kinds whose column names an
// operation, and nothing else; the route goes to the active window only.
TEST_F(MainFormTest, CommandsRouteByKindOfTheActiveWindow)
{
    const std::map<C, std::string> operation{
        {C::Save, "SaveFile"},
        {C::SaveAs, "SaveFileAs"},
        {C::SaveBitmap, "SaveBitmap"},
        {C::SaveAllBitmaps, "SaveAllBitmaps"},
        {C::AddFrames, "AddFrames"},
        {C::AddMipmap, "AddMipmap"},
        {C::DeleteFrame, "DeleteFrame"},
        {C::ShiftToPreviousFrame, "ShiftToPreviousFrame"},
        {C::ShiftToNextFrame, "ShiftToNextFrame"},
        {C::SelectPalette, "SelectPalette"},
        {C::EditProperties, "EditProperties"},
        {C::PreviousFrame, "PreviousFrame"},
        {C::NextFrame, "NextFrame"},
        {C::ZoomIn, "ZoomIn"},
        {C::ZoomOut, "ZoomOut"},
    };
    // The columns BM, CMP, MAT, SFT: the commands each kind does NOT get.
    const std::map<TDocumentKind, std::set<C>> missing{
        {TDocumentKind::BM, {C::AddMipmap}},
        {TDocumentKind::CMP,
         {C::SaveBitmap, C::SaveAllBitmaps, C::AddFrames, C::AddMipmap, C::DeleteFrame,
          C::ShiftToPreviousFrame, C::ShiftToNextFrame}},
        {TDocumentKind::MAT, {}},
        {TDocumentKind::SFT,
         {C::SaveAllBitmaps, C::AddMipmap, C::ShiftToPreviousFrame, C::ShiftToNextFrame,
          C::PreviousFrame, C::NextFrame}},
    };
    const std::map<TDocumentKind, std::string> files{{TDocumentKind::BM, "r.bm"},
                                                     {TDocumentKind::CMP, "r.cmp"},
                                                     {TDocumentKind::MAT, "r.mat"},
                                                     {TDocumentKind::SFT, "r.sft"}};
    std::vector<TTestDocument *> windows;
    for (const auto &[kind, file] : files)
        windows.push_back(OpenNamed(file));
    for (TTestDocument *active : windows) {
        ASSERT_NE(active, nullptr);
        Form->ActivateDocument(active);
        Settle();
        ASSERT_EQ(Form->ActiveDocument(), active);
        for (const auto &[command, op] : operation) {
            Log.Calls.clear();
            Form->RunCommand(command);
            const std::string kind = TCallLog::KindText(active->Kind());
            const bool routed = missing.at(active->Kind()).count(command) == 0;
            EXPECT_EQ(Log.Calls, routed ? std::vector<std::string>{kind + ":" + op}
                                        : std::vector<std::string>{})
                << kind << " " << op;
        }
    }
}

// Guards the wiring from menu item and toolbar button to the routine, and that a disabled
// command cannot be issued.
TEST_F(MainFormTest, ItemAndButtonBothIssueTheCommand)
{
    TTestDocument *window = OpenNamed("w.mat");
    ASSERT_NE(window, nullptr);
    Log.Calls.clear();
    Form->CommandAction(C::EditProperties)->trigger();
    Form->CommandButton(C::EditProperties)->click();
    EXPECT_EQ(Log.Count("MAT:EditProperties"), 2u);
    ASSERT_FALSE(Form->IsCommandEnabled(C::ZoomOut));
    Form->CommandButton(C::ZoomOut)->click();
    EXPECT_EQ(Log.Count("MAT:ZoomOut"), 0u);
}

// Guards "Stops cycling": every marked command ends cycling, while Reopen, Close, Close All
// and Cycle Frames itself do not; with no document a routed command does nothing.
TEST_F(MainFormTest, MarkedCommandsStopCycling)
{
    Form->RunCommand(C::Save); // no document: nothing happens, nothing breaks
    EXPECT_TRUE(Log.Calls.empty());
    OpenNamed("c.bm");
    OpenNamed("d.bm");
    for (size_t i = 0; i < CommandCount; ++i) {
        const auto c = static_cast<C>(i);
        if (c == C::Exit || c == C::Close || c == C::CloseAll || c == C::CycleFrames)
            continue;
        Desk.Dialogs.Cancel(); // Open and Help leave at their dialog
        Form->ToggleCycling();
        ASSERT_TRUE(Form->IsCycling());
        Form->RunCommand(c);
        EXPECT_EQ(Form->IsCycling(), !CommandInfo(c).StopsCycling) << CommandInfo(c).MenuName;
        if (Form->IsCycling())
            Form->ToggleCycling();
    }
    Desk.Dialogs.Answers.clear();
    Form->ToggleCycling();
    Form->RunCommand(C::Close); // the closing window itself stops it
    EXPECT_FALSE(Form->IsCycling());
}
