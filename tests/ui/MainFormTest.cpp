// The main window on the scripted desktop, with stand-in document windows that log every
// operation routed to them: routing and cycling, opening files, the Reopen list, New, the
// cycle timer, closing, help, the command line, dropped files and the window contract.

#include <deque>
#include <filesystem>

#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "UiFixture.h"
#include "formats/LEC_FileIO.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"
#include "ui/main/GLM_AboutBox.h"

using namespace uitest;

namespace {

// Logs "BM:NextFrame", "MAT:LoadFile /x/a.mat", ...; it has exactly the operations the
// command table gives its kind.
template <K Kind> class TStandIn : public TDocumentWindowOf<TStandIn<Kind>>
{
public:
    static constexpr TDocumentDescription Description{.Kind = Kind, .Extension = ".x"};
    TStandIn(TWindowContext &context, Texts &log, bool failLoad)
        : TDocumentWindowOf<TStandIn<Kind>>(context), FLog(log), FFail(failLoad)
    {
    }
    int Frames = 1, Zoom = 1;

    void NewDocument() override { Log("FormCreate " + this->FileName); }
    void ReadDocument(const std::string &path) override
    {
        Log("LoadFile " + path);
        if (FFail)
            throw EInOutError(EInOutError::ReadBeyondEnd);
    }
    void WriteDocument(const std::string &) const override {}
    void ShowFrame() override {}
    TDocumentFacts Facts() const override { return {Kind, Frames, Zoom}; }
    TStatusTexts StatusTexts() const override { return {this->FileName}; }
#define GLM_LOGGED(command, operation, ...)                                                        \
    void operation() requires(HasRoute(TCommand::command, Kind)) { Log(#operation); }
    GLM_COMMANDS(GLM_LOGGED)
#undef GLM_LOGGED

private:
    void Log(const std::string &what) { FLog.push_back(DocumentKindName(Kind) + (":" + what)); }
    Texts &FLog;
    bool FFail;
};

template <class W> W *As(TDocumentWindow *window)
{
    return dynamic_cast<W *>(window);
}

class MainFormTest : public TDeskTest
{
protected:
    MainFormTest() { Start(); }
    template <K Kind> void Register()
    {
        Factory.Register(Kind, [this] {
            Created.push_back(new TStandIn<Kind>(Context, Log, std::exchange(FailNextLoad, false)));
            return Created.back();
        });
    }
    void Start(const QStringList &commandLine = {})
    {
        Register<K::BM>();
        Register<K::CMP>();
        Register<K::MAT>();
        Register<K::SFT>();
        Form = std::make_unique<TMainForm>(Context, Factory);
        Form->CommandLine = commandLine;
        Form->show();
        Settle();
    }
    // Opens a file of `name` (made in the temporary folder); its window, or nullptr.
    TDocumentWindow *OpenNamed(const std::string &name)
    {
        const size_t before = Created.size();
        Form->OpenDocument(Touch(name));
        Settle();
        return Created.size() > before ? Created.back() : nullptr;
    }
    std::string Touch(const std::string &name)
    {
        WriteFile(Dir.File(name), {1, 2, 3});
        return Dir.File(name);
    }
    std::string Entry(int position, const std::string &name) const
    {
        return "&" + std::to_string(position) + " " + Dir.File(name);
    }
    bool Enabled(C command) const { return Form->IsCommandEnabled(command); }

    Texts Log;
    std::vector<TDocumentWindow *> Created;
    bool FailNextLoad = false;
    TDocumentFactory Factory;
    std::unique_ptr<TMainForm> Form;
};

} // namespace

// Each command reaches exactly the kinds whose column names an operation, in the active
// window only, and ends cycling unless it is Reopen; item and button both issue it, a
// disabled button cannot.
TEST_F(MainFormTest, RoutesByKindAndStopsCycling)
{
    Form->RunCommand(C::Save); // no window: nothing
    EXPECT_TRUE(Log.empty());
    std::vector<TDocumentWindow *> windows;
    for (const char *file : {"r.bm", "r.cmp", "r.mat", "r.sft"})
        windows.push_back(OpenNamed(file));
    for (TDocumentWindow *active : windows) {
        Form->ActivateDocument(active);
        Settle();
        ASSERT_EQ(Form->ActiveDocument(), active);
        for (size_t i = 0; i < MainCommandCount; ++i) {
            const C c = C(i);
            if (c == C::Exit || c == C::Close || c == C::CloseAll || c == C::CycleFrames)
                continue;
            Desk.Dialogs.Cancel(); // Open and Help leave at their dialog
            Log.clear();
            Form->ToggleCycling();
            Form->RunCommand(c);
            const std::string kind = DocumentKindName(active->Kind());
            EXPECT_EQ(Log, HasRoute(c, active->Kind())
                               ? Texts{kind + ":" + CommandInfo(c).Operation}
                               : Texts{})
                << kind << " " << CommandInfo(c).MenuName;
            EXPECT_EQ(Form->IsCycling(), c == C::Reopen) << CommandInfo(c).MenuName;
            if (Form->IsCycling())
                Form->ToggleCycling();
        }
    }
    Form->ActivateDocument(windows[2]);
    Settle();
    Log.clear();
    Form->CommandAction(C::EditProperties)->trigger();
    Form->CommandButton(C::EditProperties)->click();
    Form->CommandButton(C::ZoomOut)->click();
    EXPECT_EQ(Log, (Texts{"MAT:EditProperties", "MAT:EditProperties"}));
}

// Close lets the next window describe itself; Close All asks a refusing window again until
// it agrees; the last close puts back the no-document state; a closing window stops cycling.
TEST_F(MainFormTest, CloseAndCloseAll)
{
    TDocumentWindow *bm = OpenNamed("a.bm");
    OpenNamed("a.cmp");
    OpenNamed("a.sft");
    Form->ToggleCycling();
    Form->RunCommand(C::Close);
    Settle();
    EXPECT_FALSE(Form->IsCycling());
    EXPECT_EQ(Form->windowTitle().toStdString(), "Glimra - " + Form->ActiveDocument()->FilePath);
    bm->Modified = true;
    Desk.Boxes.Answers = {TMessageResult::Cancel, TMessageResult::Cancel, TMessageResult::No};
    Form->RunCommand(C::CloseAll);
    Settle();
    EXPECT_TRUE(Form->DocumentWindows().empty());
    EXPECT_EQ(Messages(), Texts(3, "Save changes to a.bm?"));
    EXPECT_EQ(Form->windowTitle(), "Glimra");
    for (int i = 0; i < StatusPanelCount; ++i)
        EXPECT_EQ(Form->StatusPanel(i), "") << i;
    for (C c : DocumentCommands()) {
        EXPECT_FALSE(Enabled(c)) << CommandInfo(c).MenuName;
        EXPECT_FALSE(Form->CommandButton(c) && Form->CommandButton(c)->isEnabled());
    }
    EXPECT_TRUE(Enabled(C::Reopen));
}

// The existence warning, the case-blind extension, one Reopen entry for a file opened twice,
// an unknown extension that opens nothing yet is listed; a load error shown with no window
// and no entry while the next file still opens; a kind this build lacks, said so.
TEST_F(MainFormTest, OpenDocument)
{
    Form->OpenDocument(Dir.File("missing.bm"));
    EXPECT_EQ(Messages(), Texts{"File does not exist"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Warning);
    OpenNamed("B.BM");
    EXPECT_EQ(Form->ActiveDocument(), OpenNamed("B.BM"));
    const std::string load = "BM:LoadFile " + Dir.File("B.BM");
    EXPECT_EQ(Log, (Texts{"BM:FormCreate Untitled0.x", load, "BM:FormCreate Untitled0.x", load}));
    EXPECT_EQ(OpenNamed("notes.txt"), nullptr);
    EXPECT_EQ(OpenNamed("archive.bm.bak"), nullptr);
    EXPECT_EQ(Form->ReopenCaptions(),
              (Texts{Entry(0, "archive.bm.bak"), Entry(1, "notes.txt"), Entry(2, "B.BM")}));

    FailNextLoad = true;
    Desk.Dialogs.Accept({Touch("bad.bm"), Touch("good.bm")});
    Form->Open();
    Settle();
    EXPECT_EQ(Messages().back(), "Read beyond end of file");
    EXPECT_EQ(Desk.Boxes.Shown.back().Kind, TMessageKind::Error);
    EXPECT_EQ(Form->DocumentWindows().size(), 3u);
    EXPECT_EQ(Form->ReopenCaptions().at(1), Entry(1, "archive.bm.bak"));

    Factory.Register(K::SFT, {});
    Form->OpenDocument(Touch("font.sft"));
    EXPECT_NE(Messages().back().find("SFT"), std::string::npos);
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, "font.sft"));
}

// The Open dialog starts where the directory mode says, with the remembered filter; the
// files open in the dialog's order; the folder and filter are stored, not when cancelled.
TEST_F(MainFormTest, OpenDialogRemembersDirectoryAndFilter)
{
    Settings.LastCommonDirectory = "/common";
    Settings.LastOpenFilterIndex = 4;
    Desk.Dialogs.Accept({Touch("a.bm"), Touch("b.cmp"), Touch("c.mat")}, 3);
    Form->RunCommand(C::Open);
    const TFileDialogRequest &shown = Desk.Dialogs.Shown.at(0);
    EXPECT_EQ(shown.InitialDir + " " + std::to_string(shown.FilterIndex), "/common 4");
    EXPECT_TRUE(shown.MultiSelect);
    EXPECT_EQ(Settings.LastCommonDirectory, Dir.Path.string());
    EXPECT_EQ(Settings.LastOpenFilterIndex, 3);
    EXPECT_EQ(Form->ReopenCaptions().at(0), Entry(0, "c.mat"));
    EXPECT_EQ(Log.size(), 6u);

    Settings.LastDirectoryIndex = 1;
    Settings.LastOpenDirectory = "/open";
    Desk.Dialogs.Cancel();
    Form->RunCommand(C::Open);
    EXPECT_EQ(Desk.Dialogs.Shown.back().InitialDir, "/open");
    EXPECT_EQ(Settings.LastOpenDirectory, "/open");
}

// Ten entries at most, cut before a duplicate goes (nine then); stored "&3 path" entries;
// vanished files skipped; a path containing another's does not remove it; an item opens its
// file without stopping cycling, and a vanished one warns and stays.
TEST_F(MainFormTest, ReopenList)
{
    for (int i = 0; i <= 10; ++i)
        Form->AddToReopenList(Touch("f" + std::to_string(i)));
    Form->AddToReopenList(Dir.File("f5"));
    Texts expected;
    for (const char *name : {"f5", "f10", "f9", "f8", "f7", "f6", "f4", "f3", "f2"})
        expected.push_back(Entry(int(expected.size()), name));
    EXPECT_EQ(Form->ReopenCaptions(), expected);

    Form.reset();
    Start();
    Touch("x.bm.old");
    Form->AddToReopenList(Entry(3, "x.bm.old"));
    Form->AddToReopenList(Entry(7, "gone.bm"));
    Form->AddToReopenList(Touch("x.bm"));
    EXPECT_EQ(Form->ReopenCaptions(), (Texts{Entry(0, "x.bm"), Entry(1, "x.bm.old")}));
    Form->AddToReopenList(Touch("one.mat"));
    Form->ToggleCycling();
    Form->ReopenMenu()->actions().at(1)->trigger();
    Settle();
    EXPECT_TRUE(Form->IsCycling());
    EXPECT_EQ(Log, (Texts{"BM:FormCreate Untitled0.x", "BM:LoadFile " + Dir.File("x.bm")}));
    std::filesystem::remove(Dir.File("one.mat"));
    Form->ReopenMenu()->actions().at(1)->trigger();
    EXPECT_EQ(Messages(), Texts{"File does not exist"});
    EXPECT_EQ(Form->ReopenCaptions().size(), 3u);
}

// A cancelled New still advances the untitled number: after one cancelled and one confirmed
// New the new window is number 1, shown, and not in the Reopen list; Options and About show.
TEST_F(MainFormTest, NewOptionsAndAbout)
{
    std::vector<QDialog *> shown;
    Desk.Modals.Driver = [&](QDialog &dialog) {
        shown.push_back(&dialog);
        if (&dialog != Form->NewForm)
            return;
        Form->NewForm->FileGroup->SetItemIndex(2);
        shown.size() == 1 ? Form->NewForm->CancelButtonClick() : Form->NewForm->OKButtonClick();
    };
    for (C c : {C::New, C::New, C::Options, C::About})
        Form->RunCommand(c);
    Settle();
    EXPECT_EQ(shown, (std::vector<QDialog *>{Form->NewForm, Form->NewForm, Form->OptionsForm,
                                             Form->AboutForm}));
    ASSERT_EQ(Created.size(), 1u);
    EXPECT_EQ(Log, Texts{"MAT:FormCreate Untitled1.x"});
    EXPECT_TRUE(Created[0]->isVisibleTo(Form.get()));
    EXPECT_EQ(Form->UntitledCount, 2);
    EXPECT_TRUE(Form->ReopenCaptions().empty());
}

// Interval 1000 div CycleRate, 1000 below 1, and 0 (above 1000) never ticks; a tick steps
// the active BM, CMP or MAT window, not an SFT one, and switching windows keeps cycling.
TEST_F(MainFormTest, CycleTimer)
{
    for (const auto &[rate, interval] : std::initializer_list<std::pair<int, int>>{
             {5, 200}, {3, 333}, {0, 1000}, {-4, 1000}, {1000, 1}, {1001, 0}}) {
        Settings.CycleRate = rate;
        Form->ToggleCycling();
        EXPECT_EQ(Form->CycleTimer()->interval(), interval) << rate;
        EXPECT_EQ(Form->CycleTimer()->isActive(), interval > 0) << rate;
        Form->ToggleCycling();
        EXPECT_FALSE(Form->CycleTimer()->isActive());
    }
    TDocumentWindow *font = OpenNamed("t.sft");
    OpenNamed("t.cmp");
    Form->ToggleCycling();
    Form->CycleTimerTimer();
    EXPECT_EQ(Log.back(), "CMP:NextFrame");
    Form->ActivateDocument(font);
    Settle();
    Log.clear();
    Form->CycleTimerTimer();
    EXPECT_TRUE(Form->IsCycling());
    EXPECT_TRUE(Log.empty());
}

// Every window's close query runs first; one refusal keeps the program and writes nothing;
// otherwise the settings are saved.
TEST_F(MainFormTest, ClosingAsksEveryWindowThenSavesSettings)
{
    OpenNamed("p.bm")->Modified = true;
    OpenNamed("q.bm")->Modified = true;
    Desk.Boxes.Answers = {TMessageResult::No, TMessageResult::Cancel};
    Desk.Store.WriteLog.clear();
    EXPECT_FALSE(Form->close());
    EXPECT_EQ(Messages(), (Texts{"Save changes to p.bm?", "Save changes to q.bm?"}));
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    Desk.Boxes.Answers = {TMessageResult::No, TMessageResult::No};
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(Desk.Store.WriteLog.empty());
}

// A help file that exists goes to the desktop (a refusal is said); a missing one is said,
// then asked for, and the chosen one is kept and opened.
TEST_F(MainFormTest, Help)
{
    Settings.HelpFilePath = Dir.File("sub/Guide.chm");
    const std::string found = Touch("Found.chm");
    Desk.Dialogs.Accept({found});
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages(), Texts{"Cannot find help file Guide.chm"});
    EXPECT_EQ(Settings.HelpFilePath, found);
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Desk.Desktop.Opened, (Texts{found, found}));
    Desk.Desktop.OpenResult = false;
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages().back(), "Cannot open help file Found.chm");
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 1u);
}

// The first argument opens once, at the first activation, under its full path; dropped
// files open as if chosen in the Open dialog.
TEST_F(MainFormTest, CommandLineAndDroppedFiles)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path);
    Touch("start.bm");
    Form.reset();
    Start({"start.bm", "start.bm"});
    Form->hide();
    Form->show();
    Settle();
    std::filesystem::current_path(previous);
    EXPECT_EQ(Log, (Texts{"BM:FormCreate Untitled0.x", "BM:LoadFile " + Dir.File("start.bm")}));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Touch("dropped.mat")))});
    const QPoint at = Form->MdiArea()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form->MdiArea()->viewport(), &enter);
    QApplication::sendEvent(Form->MdiArea()->viewport(), &drop);
    Settle();
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(Log.back(), "MAT:LoadFile " + Dir.File("dropped.mat"));
}

// The main window pulls caption, panels and states from the active window when it reports,
// and ignores an inactive one; popup items call the window without stopping cycling, a
// disabled one does nothing, Cycle Frames asks the main window; a Save As path is listed.
TEST_F(MainFormTest, WindowContract)
{
    auto *bm = As<TStandIn<K::BM>>(OpenNamed("u.bm"));
    auto *mat = As<TStandIn<K::MAT>>(OpenNamed("u.mat"));
    bm->Frames = 3;
    emit bm->StateChanged();
    EXPECT_FALSE(Enabled(C::PreviousFrame));
    mat->Frames = 2;
    mat->Zoom = 10;
    mat->FilePath.clear();
    mat->FileName = "Untitled4.mat";
    emit mat->StateChanged();
    EXPECT_EQ(Form->windowTitle(), "Glimra - Untitled4.mat");
    EXPECT_EQ(Form->StatusPanel(0), "Untitled4.mat");
    EXPECT_TRUE(Enabled(C::ShiftToNextFrame));
    EXPECT_FALSE(Enabled(C::ZoomIn));

    mat->UpdatePopupMenu();
    const auto item = [mat](const char *name) {
        return mat->PopupMenu()->findChild<QAction *>(name);
    };
    Log.clear();
    item("CycleFrames1")->trigger();
    EXPECT_TRUE(Form->IsCycling());
    item("AddMipmap1")->trigger();
    item("ZoomOut1")->trigger();
    EXPECT_EQ(Log, Texts{"MAT:ZoomOut"});
    EXPECT_TRUE(Form->IsCycling());
    emit mat->AddToReopenListRequested(Touch("saved.mat"));
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, "saved.mat"));
}

// A window class lacking an operation its kind has in the command table, or having one its
// kind lacks, is found (the window base turns this into a build error).
namespace {
struct TMATWithoutMipmaps : TDocumentWindow
{
    static constexpr TDocumentDescription Description{.Kind = K::MAT};
    void SaveFile(), SaveFileAs(), SaveBitmap(), SaveAllBitmaps(), AddFrames(), DeleteFrame();
    void ShiftToPreviousFrame(), ShiftToNextFrame(), SelectPalette(), EditProperties();
    void PreviousFrame(), NextFrame(), ZoomIn(), ZoomOut();
};
struct TMATWithMipmaps : TMATWithoutMipmaps
{
    void AddMipmap();
};
struct TSFTThatSteps : TMATWithMipmaps
{
    static constexpr TDocumentDescription Description{.Kind = K::SFT};
};
} // namespace

TEST(DocumentOperations, WindowMustImplementExactlyItsKindsRoutes)
{
    using namespace DocumentOperations;
    EXPECT_EQ(FirstMismatch<TMATWithoutMipmaps>(), size_t(C::AddMipmap));
    EXPECT_EQ(FirstMismatch<TMATWithMipmaps>(), CommandCount);
    EXPECT_EQ(FirstMismatch<TSFTThatSteps>(), size_t(C::SaveAllBitmaps));
}
