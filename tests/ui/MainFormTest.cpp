// The main window on the scripted desktop: its components, the command states and routing,
// opening files, the Reopen list, New, frame cycling, closing, help and the command line.
// A stand-in document window records every operation routed to it.

#include <deque>
#include <filesystem>
#include <functional>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "formats/LEC_FileIO.h"
#include "ui/main/GLM_AboutBox.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/kit/GLM_Settings.h"

namespace {

using C = TCommand;
using K = TDocumentKind;
using Texts = std::vector<std::string>;

std::string Name(C c) // "Save1" -> "Save"
{
    const std::string menuName = CommandInfo(c).MenuName;
    return menuName.substr(0, menuName.size() - 1);
}

void Settle()
{
    QApplication::processEvents();
}

// What every stand-in window shares: the call log, the name it shows, its close answers.
class TTestDocumentBase
{
public:
    std::string Name = "Untitled";
    int Frames = 1;
    int Zoom = 1;
    int CreatedWithUntitled = -1;
    std::deque<bool> CloseAnswers; // empty: agrees to close

protected:
    TTestDocumentBase(K kind, Texts &log, bool failLoad) : FKind(kind), FLog(log), FFail(failLoad)
    {
    }
    void Log(const std::string &what) { FLog.push_back(DocumentKindName(FKind) + (":" + what)); }
    bool Answer()
    {
        Log("CloseQuery");
        const bool answer = CloseAnswers.empty() || CloseAnswers.front();
        if (!CloseAnswers.empty())
            CloseAnswers.pop_front();
        return answer;
    }
    K FKind;
    Texts &FLog;
    bool FFail;
};

// Logs "BM:NextFrame", "MAT:LoadFile /x/a.mat", ... into the shared call log; it has exactly
// the operations the command table gives its kind.
template <K Kind>
class TTestDocument : public TDocumentWindowOf<TTestDocument<Kind>>, public TTestDocumentBase
{
public:
    static constexpr K DocumentKind = Kind;
    TTestDocument(Texts &log, bool failLoad) : TTestDocumentBase(Kind, log, failLoad) {}

    void FormCreate() override
    {
        CreatedWithUntitled = UntitledCount;
        Log("FormCreate");
        emit this->StateChanged();
    }
    void LoadFile(const std::string &path) override
    {
        Log("LoadFile " + path);
        if (FFail)
            throw EInOutError(EInOutError::ReadBeyondEnd);
        Name = this->FilePath = path;
        emit this->StateChanged();
    }
    TDocumentFacts Facts() const override { return {Kind, Frames, Zoom}; }
    TStatusTexts StatusTexts() const override { return {Name}; }
    bool CloseQuery() override { return Answer(); }

// clang-format off
#define GLIMRA_LOGGED(Command, Op) \
    void Op() requires(HasRoute(TCommand::Command, Kind)) { Log(#Op); }
    GLIMRA_LOGGED(Save, SaveFile)
    GLIMRA_LOGGED(SaveAs, SaveFileAs)
    GLIMRA_LOGGED(PreviousFrame, PreviousFrame)
    GLIMRA_LOGGED(NextFrame, NextFrame)
    GLIMRA_LOGGED(ZoomIn, ZoomIn)
    GLIMRA_LOGGED(ZoomOut, ZoomOut)
    GLIMRA_LOGGED(AddFrames, AddFrames)
    GLIMRA_LOGGED(AddMipmap, AddMipmap)
    GLIMRA_LOGGED(DeleteFrame, DeleteFrame)
    GLIMRA_LOGGED(ShiftToPreviousFrame, ShiftToPreviousFrame)
    GLIMRA_LOGGED(ShiftToNextFrame, ShiftToNextFrame)
    GLIMRA_LOGGED(SelectPalette, SelectPalette)
    GLIMRA_LOGGED(EditProperties, EditProperties)
    GLIMRA_LOGGED(SaveBitmap, SaveBitmap)
    GLIMRA_LOGGED(SaveAllBitmaps, SaveAllBitmaps)
    GLIMRA_LOGGED(ChangeCellColor, ChangeCellColor)
#undef GLIMRA_LOGGED
    // clang-format on
};

TTestDocumentBase *Stand(TDocumentWindow *window)
{
    return dynamic_cast<TTestDocumentBase *>(window);
}

class MainFormTest : public ::testing::Test
{
protected:
    MainFormTest()
    {
        ClearSettings();
        Start();
    }
    ~MainFormTest() override
    {
        Form.reset();
        for (K kind : DocumentKinds)
            RegisterDocumentWindow(kind, {});
        ClearSettings();
    }
    template <K Kind> void Register()
    {
        RegisterDocumentWindow(Kind, [this] {
            auto *window = new TTestDocument<Kind>(Log, std::exchange(FailNextLoad, false));
            Created.push_back(window);
            return window;
        });
    }
    void Start(const QStringList &commandLine = {})
    {
        Register<K::BM>();
        Register<K::CMP>();
        Register<K::MAT>();
        Register<K::SFT>();
        Form = std::make_unique<TMainForm>();
        Form->CommandLine = commandLine;
        Form->show();
        Form->activateWindow();
        Settle();
    }
    // Opens a file of `name` (created in the temporary folder) and returns its window.
    TDocumentWindow *OpenNamed(const std::string &name)
    {
        const size_t before = Created.size();
        Form->OpenDocument(Touch(name));
        Settle();
        return Created.size() > before ? Created.back() : nullptr;
    }
    std::string Touch(const std::string &name)
    {
        testutil::WriteFile(Dir.File(name), {1, 2, 3});
        return Dir.File(name);
    }
    std::string Entry(int position, const std::string &name) const
    {
        return "&" + std::to_string(position) + " " + Dir.File(name);
    }
    size_t Count(const std::string &call) const
    {
        return size_t(std::count(Log.begin(), Log.end(), call));
    }
    Texts Messages() const
    {
        Texts texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    testutil::TempDir Dir;
    Texts Log;
    std::vector<TDocumentWindow *> Created;
    bool FailNextLoad = false;
    std::unique_ptr<TMainForm> Form;
};

} // namespace

// Guards the frame: the menu bar against a lost, renamed or misplaced item or separator
// (and against shortcut keys, which the menu items do not have),
// eight status panels (their widths: RealQtTest), the start state (caption "Glimra",
// only the always-on commands enabled, Reopen off until its first entry), and a maximized
// window that still reports its normal bounds for the settings.
TEST_F(MainFormTest, MenusPanelsAndStartState)
{
    std::string items;
    for (QAction *top : Form->menuBar()->actions()) {
        items += "\n" + top->text().toStdString() + ":";
        for (QAction *a : top->menu()->actions())
            items += "|" + (a->isSeparator() ? "-" : a->text().toStdString()) +
                     a->shortcut().toString().toStdString();
    }
    EXPECT_EQ(items, "\n&File:|&New...|&Open...|&Reopen|-|&Save|Save &As...|Save &Bitmap..."
                     "|Save All Bit&maps...|&Close|Clos&e All|-|O&ptions...|-|E&xit"
                     "\n&Edit:|&Add Frames...|Add &Mipmap...|&Delete Frame|-"
                     "|Shift To Pre&vious Frame|Shift To Ne&xt Frame|-|&Select Palette..."
                     "|&Edit Properties..."
                     "\n&View:|&Previous Frame|&Next Frame|&Cycle Frames|&Zoom In|Zoom &Out"
                     "\n&Help:|&Contents|-|&About");
    EXPECT_EQ(Form->CommandAction(C::Reopen)->menu(), Form->ReopenMenu());
    EXPECT_EQ(Form->statusBar()->findChildren<QLabel *>().size(), 8);
    EXPECT_EQ(Form->windowTitle(), "Glimra");
    std::string enabled;
    for (size_t i = 0; i < MainCommandCount; ++i)
        enabled += Form->IsCommandEnabled(C(i)) ? Name(C(i)) + " " : "";
    EXPECT_EQ(enabled, "New Open Options Exit Contents About ");

    Form->SetBounds({20, 30, 700, 500});
    Form->SetMaximized(true);
    Settle();
    EXPECT_TRUE(Form->IsMaximized());
    EXPECT_EQ(Form->Bounds(), (TWindowBounds{20, 30, 700, 500}));
}

// Guards the toolbar: button order, group dividers, 24 x 24 flat buttons, hints, and an own
// picture with a distinct greyed form for every button.
TEST_F(MainFormTest, ToolbarButtonsInOrderWithHintsAndPictures)
{
    std::string order;
    for (QObject *child : Form->ToolBar()->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w && w->isVisibleTo(Form->ToolBar()) && w->objectName().startsWith("Divider"))
            order += "| ";
        else if (w && w->isVisibleTo(Form->ToolBar()) && w->objectName().endsWith("Button"))
            order += w->objectName().chopped(6).toStdString() + " ";
    }
    EXPECT_EQ(order, "New Open Save SaveBitmap SaveAllBitmaps | PreviousFrame NextFrame "
                     "CycleFrames ZoomIn ZoomOut | AddFrames AddMipmap DeleteFrame "
                     "ShiftToPreviousFrame ShiftToNextFrame | SelectPalette EditProperties | "
                     "Options Help About ");
    for (size_t i = 0; i < MainCommandCount; ++i) {
        QToolButton *button = Form->CommandButton(C(i));
        ASSERT_EQ(button != nullptr, CommandInfo(C(i)).ButtonName != nullptr) << Name(C(i));
        if (!button)
            continue;
        EXPECT_EQ(button->size(), QSize(24, 24)) << Name(C(i));
        EXPECT_TRUE(button->autoRaise());
        ASSERT_FALSE(button->icon().isNull()) << Name(C(i));
        EXPECT_NE(button->icon().pixmap(16, QIcon::Normal).toImage(),
                  button->icon().pixmap(16, QIcon::Disabled).toImage())
            << Name(C(i));
    }
    std::string hints;
    for (C c : {C::AddFrames, C::Contents, C::About, C::ShiftToNextFrame})
        hints += Form->CommandButton(c)->toolTip().toStdString() + "|";
    EXPECT_EQ(hints, "Add Frame|Help Contents|About Glimra|Shift To Next Frame|");
}

// Guards the routing table: each command reaches exactly the kinds whose column names an
// operation, only in the active window; item and button both issue it, a disabled one
// can't; after a close the window that becomes active describes itself; Close All asks a
// refusing window again until it agrees, and the last close puts back the no-document state.
TEST_F(MainFormTest, CommandsRouteByKindOfTheActiveWindow)
{
    std::vector<TDocumentWindow *> windows;
    for (const char *file : {"r.bm", "r.cmp", "r.mat", "r.sft"})
        windows.push_back(OpenNamed(file));
    for (TDocumentWindow *active : windows) {
        ASSERT_NE(active, nullptr);
        Form->ActivateDocument(active);
        Settle();
        ASSERT_EQ(Form->ActiveDocument(), active);
        const std::string kind = DocumentKindName(active->Kind());
        for (C c : DocumentCommands()) {
            if (c == C::Close || c == C::CloseAll || c == C::CycleFrames)
                continue;
            std::string op = Name(c); // the operation of the same name; Save names the file
            if (c == C::Save || c == C::SaveAs)
                op.insert(4, "File");
            Log.clear();
            Form->RunCommand(c);
            const bool routed = HasRoute(c, active->Kind());
            EXPECT_EQ(Log, routed ? Texts{kind + ":" + op} : Texts{}) << kind << " " << op;
        }
    }
    EXPECT_EQ(Form->StatusPanel(0), Dir.File("r.sft"));
    EXPECT_FALSE(Form->CommandButton(C::ZoomOut)->isEnabled());
    Form->ActivateDocument(windows[2]); // the MAT window, through its menu item and button
    Settle();
    Log.clear();
    Form->CommandAction(C::EditProperties)->trigger();
    Form->CommandButton(C::EditProperties)->click();
    Form->CommandButton(C::ZoomOut)->click();
    EXPECT_EQ(Log, (Texts{"MAT:EditProperties", "MAT:EditProperties"}));

    Form->RunCommand(C::Close);
    Settle();
    ASSERT_NE(Form->ActiveDocument(), nullptr);
    EXPECT_EQ(Form->windowTitle().toStdString(), "Glimra - " + Stand(Form->ActiveDocument())->Name);
    Stand(windows[0])->CloseAnswers = {false, false, true};
    Log.clear();
    Form->RunCommand(C::CloseAll);
    Settle();
    EXPECT_TRUE(Form->DocumentWindows().empty());
    EXPECT_EQ(Count("BM:CloseQuery"), 3u);
    EXPECT_EQ(Log.size(), 5u); // the CMP and SFT windows once each
    EXPECT_EQ(Form->windowTitle(), "Glimra");
    for (int i = 0; i < StatusPanelCount; ++i)
        EXPECT_EQ(Form->StatusPanel(i), "") << i;
    for (C c : DocumentCommands()) {
        EXPECT_FALSE(Form->IsCommandEnabled(c)) << Name(c);
        EXPECT_FALSE(Form->CommandButton(c) && Form->CommandButton(c)->isEnabled()) << Name(c);
    }
    EXPECT_TRUE(Form->IsCommandEnabled(C::Reopen));
}

// Guards "Stops cycling": every command ends cycling but Reopen, Close, Close All and Cycle
// Frames itself; with no document a routed command does nothing.
TEST_F(MainFormTest, CommandsStopCycling)
{
    Form->RunCommand(C::Save);
    EXPECT_TRUE(Log.empty());
    OpenNamed("c.bm");
    OpenNamed("d.bm");
    for (size_t i = 0; i < MainCommandCount; ++i) {
        const C c = C(i);
        if (c == C::Exit || c == C::Close || c == C::CloseAll || c == C::CycleFrames)
            continue;
        Desk.Dialogs.Cancel(); // Open and Help leave at their dialog
        Form->ToggleCycling();
        Form->RunCommand(c);
        EXPECT_EQ(Form->IsCycling(), c == C::Reopen) << Name(c);
        if (Form->IsCycling())
            Form->ToggleCycling();
    }
    Form->ToggleCycling();
    Form->RunCommand(C::Close); // the closing window itself stops it
    EXPECT_FALSE(Form->IsCycling());
}

// Guards OpenDocument: the existence warning, the case-blind extension test, two windows but
// one Reopen entry for the same file, an unknown extension that opens no window yet enters
// the Reopen list; a load error shown with no half-made window and no entry while the files
// after it still open; a kind whose window this build lacks, said so with the entry kept.
TEST_F(MainFormTest, OpenDocumentChecksExistenceExtensionAndFailures)
{
    Form->OpenDocument(Dir.File("missing.bm"));
    EXPECT_EQ(Messages(), Texts{"File does not exist"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Warning);
    OpenNamed("B.BM");
    EXPECT_EQ(Form->ActiveDocument(), OpenNamed("B.BM")); // the newest window is active
    const std::string load = "BM:LoadFile " + Dir.File("B.BM");
    EXPECT_EQ(Log, (Texts{"BM:FormCreate", load, "BM:FormCreate", load}));
    EXPECT_EQ(OpenNamed("notes.txt"), nullptr);
    EXPECT_EQ(OpenNamed("archive.bm.bak"), nullptr);
    EXPECT_EQ(Form->ReopenCaptions(),
              (Texts{Entry(0, "archive.bm.bak"), Entry(1, "notes.txt"), Entry(2, "B.BM")}));
    EXPECT_EQ(Messages().size(), 1u); // no message for the unknown extensions

    FailNextLoad = true;
    Desk.Dialogs.Accept({Touch("bad.bm"), Touch("good.bm")});
    Form->Open();
    Settle();
    EXPECT_EQ(Messages().back(), "Read beyond end of file");
    EXPECT_EQ(Desk.Boxes.Shown.back().Kind, TMessageKind::Error);
    ASSERT_EQ(Form->DocumentWindows().size(), 3u);
    EXPECT_EQ(Form->DocumentWindows().back(), Created.back());
    EXPECT_EQ(Form->ReopenCaptions().at(0) + Form->ReopenCaptions().at(1),
              Entry(0, "good.bm") + Entry(1, "archive.bm.bak"));

    RegisterDocumentWindow(K::SFT, {}); // no SFT window in this build
    Form->OpenDocument(Touch("font.sft"));
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_NE(Messages().back().find("SFT"), std::string::npos);
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, "font.sft"));
}

// Guards the Open dialog: title, filters, multi-selection, start directory, filter memory,
// the remembered directory of the chosen file, the order of opening, and that a cancelled
// dialog stores nothing.
TEST_F(MainFormTest, OpenDialogRemembersDirectoryAndFilter)
{
    Settings.LastCommonDirectory = "/common";
    Settings.LastOpenFilterIndex = 4;
    Desk.Dialogs.Accept({Touch("a.bm"), Touch("b.cmp"), Touch("c.mat")}, 3);
    Form->Open();
    Settle();
    ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
    const TFileDialogRequest &shown = Desk.Dialogs.Shown.front();
    EXPECT_EQ(shown.Title + " " + shown.InitialDir, "Open /common");
    EXPECT_EQ(shown.Filter,
              "All Supported Files|*.bm; *.cmp; *.mat; *.sft|BM Graphics (*.bm)|*.bm|"
              "CMP Palettes (*.cmp)|*.cmp|MATTextures (*.mat)|*.mat|SFT Fonts (*.sft)|*.sft|"
              "All Files (*.*)|*.*");
    EXPECT_TRUE(shown.MultiSelect);
    EXPECT_EQ(shown.FilterIndex, 4);
    EXPECT_EQ(Settings.LastCommonDirectory, Dir.Path.string());
    EXPECT_EQ(Settings.LastOpenFilterIndex, 3);
    ASSERT_EQ(Log.size(), 6u);
    EXPECT_EQ((Texts{Log[1], Log[3], Log[5]}),
              (Texts{"BM:LoadFile " + Dir.File("a.bm"), "CMP:LoadFile " + Dir.File("b.cmp"),
                     "MAT:LoadFile " + Dir.File("c.mat")}));

    Settings.LastDirectoryIndex = 1; // Dialog Type mode starts in the Open dialogs' folder
    Settings.LastOpenDirectory = "/open";
    Desk.Dialogs.Cancel();
    Form->Open();
    EXPECT_EQ(Desk.Dialogs.Shown.back().InitialDir, "/open");
    EXPECT_EQ(Settings.LastOpenDirectory, "/open");
    EXPECT_EQ(Settings.LastOpenFilterIndex, 3);
}

// Guards the ten-entry Reopen list: an eleventh file drops the oldest, and a path already
// in a full list leaves nine entries (cut first, duplicate removed after), path on top.
TEST_F(MainFormTest, ReopenListKeepsTenAndNineAfterDuplicate)
{
    for (int i = 0; i <= 10; ++i)
        Form->AddToReopenList(Touch("f" + std::to_string(i)));
    const Texts captions = Form->ReopenCaptions();
    ASSERT_EQ(captions.size(), 10u);
    EXPECT_EQ(captions.front() + captions.back(), Entry(0, "f10") + Entry(9, "f1"));
    Form->AddToReopenList(Dir.File("f5")); // already listed, list full
    Texts expected;
    for (const char *name : {"f5", "f10", "f9", "f8", "f7", "f6", "f4", "f3", "f2"})
        expected.push_back(Entry(int(expected.size()), name));
    EXPECT_EQ(Form->ReopenCaptions(), expected);
}

// Guards the entry forms the store hands back ("&3 path"), the skip of vanished files, that a
// path which merely contains another entry's path does not remove it, and the Reopen items:
// a click opens the file and moves it to the top without stopping cycling; a vanished file
// warns and keeps its entry.
TEST_F(MainFormTest, ReopenEntriesAndItems)
{
    Touch("x.bm.old");
    Form->AddToReopenList(Entry(3, "x.bm.old"));
    Form->AddToReopenList(Entry(7, "gone.bm"));
    Form->AddToReopenList(Touch("x.bm"));
    EXPECT_EQ(Form->ReopenCaptions(), (Texts{Entry(0, "x.bm"), Entry(1, "x.bm.old")}));
    Form->AddToReopenList(Touch("one.mat"));
    Form->AddToReopenList(Touch("two.bm"));
    Form->ToggleCycling();
    Form->ReopenMenu()->actions().at(1)->trigger();
    Settle();
    EXPECT_TRUE(Form->IsCycling());
    EXPECT_EQ(Log, (Texts{"MAT:FormCreate", "MAT:LoadFile " + Dir.File("one.mat")}));
    EXPECT_EQ(Form->ReopenCaptions().at(0) + Form->ReopenCaptions().at(1),
              Entry(0, "one.mat") + Entry(1, "two.bm"));

    std::filesystem::remove(Dir.File("two.bm"));
    Form->ReopenMenu()->actions().at(1)->trigger();
    EXPECT_EQ(Messages(), Texts{"File does not exist"});
    EXPECT_EQ(Form->ReopenCaptions().size(), 4u);
}

// Guards the untitled counter: a cancelled New still advances it, so after one cancelled
// and one confirmed New the new document is number 1; and the wiring of New, Options and
// About to their long-lived dialogs.
TEST_F(MainFormTest, CancelledNewStillAdvancesUntitledCounter)
{
    TNewForm dialog(Form.get());
    TOptionsForm options(Form.get());
    TAboutForm about(Form.get());
    std::tie(NewForm, OptionsForm, AboutForm) = std::tuple(&dialog, &options, &about);
    std::vector<QDialog *> shown;
    {
        TScopedModalDriver driver([&shown, &dialog](TModalForm &form) {
            shown.push_back(&form);
            if (&form != &dialog)
                return;
            dialog.FileGroup->SetItemIndex(shown.size() == 1 ? 1 : 2);
            shown.size() == 1 ? dialog.CancelButtonClick() : dialog.OKButtonClick();
        });
        Form->RunCommand(C::New);
        EXPECT_EQ(UntitledCount, 1);
        for (C c : {C::New, C::Options, C::About})
            Form->RunCommand(c);
    }
    std::tie(NewForm, OptionsForm, AboutForm) = std::tuple(nullptr, nullptr, nullptr);
    Settle();
    EXPECT_EQ(shown, (std::vector<QDialog *>{&dialog, &dialog, &options, &about}));
    EXPECT_FALSE(options.isVisible() || about.isVisible());
    ASSERT_EQ(Created.size(), 1u);
    EXPECT_EQ(Stand(Created[0])->CreatedWithUntitled, 1);
    EXPECT_EQ(UntitledCount, 2);
    EXPECT_TRUE(Created[0]->isVisibleTo(Form.get()));
    EXPECT_EQ(Log, Texts{"MAT:FormCreate"});
    EXPECT_TRUE(Form->ReopenCaptions().empty());
}

// Guards the cycle timer: interval 1000 div CycleRate, 1000 below 1, an interval of 0 (a
// rate above 1000) that never ticks; and the tick's target: BM, CMP and MAT windows step,
// an SFT window does not, while the timer runs on as windows are switched.
TEST_F(MainFormTest, CycleIntervalsAndTicks)
{
    const std::pair<int, int> cases[]{{5, 200},   {3, 333},  {1, 1000}, {0, 1000},
                                      {-4, 1000}, {1000, 1}, {1001, 0}};
    for (const auto &[rate, interval] : cases) {
        Settings.CycleRate = rate;
        Form->ToggleCycling();
        EXPECT_TRUE(Form->IsCycling()) << rate;
        EXPECT_EQ(Form->CycleTimer()->interval(), interval) << rate;
        EXPECT_EQ(Form->CycleTimer()->isActive(), interval > 0) << rate;
        Form->ToggleCycling();
        EXPECT_FALSE(Form->CycleTimer()->isActive());
    }
    // The tick's handler itself: the active CMP window steps, the SFT window does not, and
    // switching windows leaves cycling on.
    TDocumentWindow *font = OpenNamed("t.sft");
    OpenNamed("t.cmp");
    Form->ToggleCycling();
    Form->CycleTimerTimer();
    Form->CycleTimerTimer();
    EXPECT_EQ(Log.back() + " " + std::to_string(Count("CMP:NextFrame")), "CMP:NextFrame 2");
    Form->ActivateDocument(font);
    Settle();
    Log.clear();
    Form->CycleTimerTimer();
    EXPECT_TRUE(Form->IsCycling());
    EXPECT_TRUE(Log.empty());
}

// Guards the closing order: every window's close query runs first, one refusal keeps the
// program and writes nothing; otherwise the settings are saved.
TEST_F(MainFormTest, ClosingAsksEveryWindowThenSavesSettings)
{
    OpenNamed("p.bm");
    Stand(OpenNamed("q.bm"))->CloseAnswers = {false};
    Log.clear();
    Desk.Store.WriteLog.clear();
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Count("BM:CloseQuery"), 2u);
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    EXPECT_EQ(Form->DocumentWindows().size(), 2u);
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Count("BM:CloseQuery"), 4u);
    EXPECT_FALSE(Desk.Store.WriteLog.empty());
}

// Guards Help: an existing help file goes to the desktop's default program (a refusal is
// reported); a missing one gives "Cannot find help file" with its name, then the Open Help
// File dialog.
TEST_F(MainFormTest, HelpOpensTheFileOrAsksForIt)
{
    Settings.HelpFilePath = Dir.File("sub/Guide.chm");
    Settings.LastCommonDirectory = "/common";
    Desk.Dialogs.Cancel();
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages(), Texts{"Cannot find help file Guide.chm"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Error);
    ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
    const TFileDialogRequest &shown = Desk.Dialogs.Shown[0];
    EXPECT_EQ(shown.Title + " " + shown.Filter + " " + shown.InitialDir,
              "Open Help File All Files|*.* /common");
    EXPECT_FALSE(shown.MultiSelect);
    EXPECT_EQ(Settings.HelpFilePath, Dir.File("sub/Guide.chm")); // cancelled: unchanged

    const std::string found = Touch("Found.chm");
    Desk.Dialogs.Accept({found});
    Form->RunCommand(C::Contents);
    EXPECT_EQ((Texts{Settings.HelpFilePath, Settings.LastCommonDirectory}), (Texts{found, Dir.Path.string()}));
    Form->RunCommand(C::Contents); // now it exists: straight to the default program
    EXPECT_EQ(Desk.Desktop.Opened, (Texts{found, found}));
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 2u);
    EXPECT_EQ(Messages().size(), 2u);
    Desk.Desktop.OpenResult = false; // no program for it: said so, not silently dropped
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages().back(), "Cannot open help file Found.chm");
}

// Guards the command line: the first argument opens once, at the first activation, under
// its full path; later arguments are ignored.
TEST_F(MainFormTest, FirstArgumentOpensAtFirstActivation)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path);
    Touch("start.bm");
    Form.reset();
    Start({"start.bm", "start.bm"});
    for (int showing = 0; showing < 2; ++showing) {
        Form->hide();
        Form->show();
        Form->activateWindow();
        Settle();
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(Log, (Texts{"BM:FormCreate", "BM:LoadFile " + Dir.File("start.bm")}));
    EXPECT_EQ(Form->ReopenCaptions(), Texts{Entry(0, "start.bm")});
}

// Guards the window contract: the main window pulls caption, panels and states from the
// active window when it says its state changed (and ignores an inactive one); the popup
// menu's items are enabled exactly as the main window's, call the window's operations
// without stopping cycling, and its Cycle Frames asks the main window; Save As's path
// reaches the Reopen list.
TEST_F(MainFormTest, WindowsReportThroughTheContract)
{
    TDocumentWindow *bm = OpenNamed("u.bm");
    TDocumentWindow *mat = OpenNamed("u.mat");
    Stand(bm)->Frames = 3;
    emit bm->StateChanged(); // not the active window: nothing changes
    EXPECT_FALSE(Form->IsCommandEnabled(C::PreviousFrame));
    Stand(mat)->Frames = 2;
    Stand(mat)->Zoom = 10;
    mat->FilePath.clear();
    mat->FileName = "Untitled4.mat";
    emit mat->StateChanged();
    EXPECT_EQ(Form->windowTitle(), "Glimra - Untitled4.mat");
    EXPECT_TRUE(Form->IsCommandEnabled(C::ShiftToNextFrame));
    EXPECT_FALSE(Form->IsCommandEnabled(C::ZoomIn));

    mat->UpdatePopupMenu(); // the items' order and captions per kind: CommandTableTest
    int items = 0;
    for (QAction *a : mat->PopupMenu()->actions()) {
        if (a->isSeparator())
            continue;
        ++items;
        EXPECT_EQ(a->isEnabled(), Form->IsCommandEnabled(C(a->data().toInt())))
            << a->text().toStdString();
    }
    EXPECT_EQ(items, 14);
    const auto item = [mat](const char *name) {
        return mat->PopupMenu()->findChild<QAction *>(name);
    };
    Log.clear();
    item("CycleFrames1")->trigger();
    EXPECT_TRUE(Form->IsCycling());
    item("AddMipmap1")->trigger(); // disabled: does nothing
    item("ZoomOut1")->trigger();
    EXPECT_EQ(Log, Texts{"MAT:ZoomOut"});
    EXPECT_TRUE(Form->IsCycling());

    emit mat->AddToReopenListRequested(Touch("saved.mat"));
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, "saved.mat"));
}

// Guards the compile-time check every window class passes: a window lacking an operation its
// kind has in the command table, or having one its kind lacks, is found (the window base
// turns this into a build error).
namespace {
class TMATWithoutMipmaps : public TDocumentWindow
{
public:
    static constexpr K DocumentKind = K::MAT;
    void SaveFile() {}
    void SaveFileAs() {}
    void SaveBitmap() {}
    void SaveAllBitmaps() {}
    void AddFrames() {}
    void DeleteFrame() {}
    void ShiftToPreviousFrame() {}
    void ShiftToNextFrame() {}
    void SelectPalette() {}
    void EditProperties() {}
    void PreviousFrame() {}
    void NextFrame() {}
    void ZoomIn() {}
    void ZoomOut() {}
};
class TMATWithMipmaps : public TMATWithoutMipmaps
{
public:
    void AddMipmap() {}
};
class TSFTThatSteps : public TMATWithMipmaps
{
public:
    static constexpr K DocumentKind = K::SFT;
};
} // namespace

TEST(DocumentOperations, WindowMustImplementExactlyItsKindsRoutes)
{
    using namespace DocumentOperations;
    EXPECT_EQ(FirstMismatch<TMATWithoutMipmaps>(), size_t(C::AddMipmap));
    EXPECT_EQ(FirstMismatch<TMATWithMipmaps>(), CommandCount);
    EXPECT_EQ(FirstMismatch<TSFTThatSteps>(), size_t(C::SaveAllBitmaps)); // a BM/MAT command
}
