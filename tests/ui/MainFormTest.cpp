// The main window on the scripted desktop, with stand-in document windows that log every
// operation routed to them.

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
    void ReadDocument(const TDocumentSource &source) override
    {
        Log("LoadFile " + source.Path);
        if (FFail)
            throw EInOutError(EInOutError::ReadBeyondEnd);
    }
    void WriteDocument(const std::string &) const override {}
    std::vector<uint8_t> DocumentBytes() const override { return {}; }
    void ShowFrame() override {}
    TDocumentFacts Facts() const override { return {Kind, Frames, Zoom}; }
    TStatusTexts StatusTexts() const override { return {this->FileName}; }
#define GLM_LOGGED(command, operation, ...)                                                        \
    void operation() requires(HasRoute(TCommand::command, Kind))                                   \
    {                                                                                              \
        Log(#operation);                                                                           \
    }
    GLM_COMMANDS(GLM_LOGGED)
#undef GLM_LOGGED

private:
    void Log(const std::string &what)
    {
        FLog.push_back(DocumentKindName(Kind) + (":" + what));
    }
    Texts &FLog;
    bool FFail;
};

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
        Register<K::BM>(), Register<K::CMP>(), Register<K::MAT>(), Register<K::SFT>();
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
    std::string Touch(const std::string &name) { return Put(name, {1, 2, 3}); }
    std::string Entry(int position, const std::string &name) const
    {
        return "&" + std::to_string(position) + " " + Dir.File(name);
    }

    Texts Log;
    std::vector<TDocumentWindow *> Created;
    bool FailNextLoad = false;
    TDocumentFactory Factory;
    std::unique_ptr<TMainForm> Form;
};

} // namespace

// Each command reaches exactly the kinds its column names, in the active window only, and
// ends cycling unless it is Reopen or a light-view step; item and button both issue it, a
// disabled one cannot.
TEST_F(MainFormTest, RoutesByKindAndStopsCycling)
{
    Form->RunCommand(C::Save); // no window: nothing
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
                << kind << " " << Name(c);
            EXPECT_EQ(Form->IsCycling(), !CommandInfo(c).StopsCycling) << Name(c);
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
    EXPECT_EQ(Log, Texts(2, "MAT:EditProperties"));
}

// Close All asks a refusing window again until it agrees; the last close resets the main
// window; one refusal keeps the program, which otherwise saves its settings.
TEST_F(MainFormTest, Closing)
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
    for (C c : DocumentCommands())
        EXPECT_FALSE(Form->IsCommandEnabled(c) ||
                     (Form->CommandButton(c) && Form->CommandButton(c)->isEnabled()))
            << Name(c);
    EXPECT_TRUE(Form->IsCommandEnabled(C::Reopen));

    OpenNamed("p.bm")->Modified = true;
    OpenNamed("q.bm")->Modified = true;
    Desk.Boxes.Shown.clear();
    Desk.Boxes.Answers = {TMessageResult::No, TMessageResult::Cancel};
    Desk.Store.WriteLog.clear();
    EXPECT_FALSE(Form->close());
    EXPECT_EQ(Messages(), (Texts{"Save changes to p.bm?", "Save changes to q.bm?"}));
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    Desk.Boxes.Answers = {TMessageResult::No, TMessageResult::No};
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(Desk.Store.WriteLog.empty());
}

// Missing files, extensions, load errors and kinds this build lacks; the Open dialog's folder
// and filter; dropped files.
TEST_F(MainFormTest, OpenDocument)
{
    Form->OpenDocument(Dir.File("missing.bm"));
    EXPECT_EQ(Messages(), Texts{"missing.bm: File does not exist"});
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
    EXPECT_EQ(Messages().back(), "bad.bm: Read beyond end of file");
    EXPECT_EQ(Desk.Boxes.Shown.back().Kind, TMessageKind::Error);
    EXPECT_EQ(Form->DocumentWindows().size(), 3u);
    EXPECT_EQ(Form->ReopenCaptions().at(1), Entry(1, "archive.bm.bak"));
    Factory.Register(K::SFT, {});
    Form->OpenDocument(Touch("font.sft"));
    EXPECT_NE(Messages().back().find("SFT"), std::string::npos);
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, "font.sft"));
    Settings.LastCommonDirectory = "/common";
    Settings.LastOpenFilterIndex = 4;
    Desk.Dialogs.Accept({Touch("a.bm"), Touch("b.cmp"), Touch("c.mat")}, 3);
    Log.clear();
    Form->RunCommand(C::Open);
    const TFileDialogRequest &shown = Desk.Dialogs.Shown.back();
    EXPECT_EQ(shown.InitialDir + " " + std::to_string(shown.FilterIndex), "/common 4");
    EXPECT_EQ(Settings.LastCommonDirectory + " " + std::to_string(Settings.LastOpenFilterIndex),
              Dir.Path.string() + " 3");
    EXPECT_EQ(Log.size(), 6u);
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

// Ten entries at most, cut before a duplicate goes (nine then); after a restart whose command
// line opens its first argument once, at the first activation, under its full path: stored
// "&3 path" entries; vanished files skipped; an item opens its file without stopping cycling.
TEST_F(MainFormTest, ReopenListAndCommandLine)
{
    for (int i = 0; i <= 10; ++i)
        Form->AddToReopenList(Touch("f" + std::to_string(i)));
    Form->AddToReopenList(Dir.File("f5"));
    Texts expected;
    for (const char *name : {"f5", "f10", "f9", "f8", "f7", "f6", "f4", "f3", "f2"})
        expected.push_back(Entry(int(expected.size()), name));
    EXPECT_EQ(Form->ReopenCaptions(), expected);

    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path);
    Touch("x.bm");
    Form.reset();
    Start({"x.bm", "x.bm"});
    Form->hide();
    Form->show();
    Settle();
    std::filesystem::current_path(previous);
    Touch("x.bm.old");
    Form->AddToReopenList(Entry(3, "x.bm.old"));
    Form->AddToReopenList(Entry(7, "gone.bm"));
    Form->AddToReopenList(Dir.File("x.bm"));
    EXPECT_EQ(Form->ReopenCaptions(), (Texts{Entry(0, "x.bm"), Entry(1, "x.bm.old")}));
    Form->AddToReopenList(Touch("one.mat"));
    Form->ToggleCycling();
    Form->ReopenMenu()->actions().at(1)->trigger();
    Settle();
    EXPECT_TRUE(Form->IsCycling());
    const Texts open = {"BM:FormCreate Untitled0.x", "BM:LoadFile " + Dir.File("x.bm")};
    EXPECT_EQ(Log, (Texts{open[0], open[1], open[0], open[1]}));
    std::filesystem::remove(Dir.File("one.mat"));
    Form->ReopenMenu()->actions().at(1)->trigger();
    EXPECT_EQ(Messages(), Texts{"one.mat: File does not exist"});
    EXPECT_EQ(Form->ReopenCaptions().size(), 3u);
}

// Interval 1000 div CycleRate; a tick steps the active window, not an SFT.
TEST_F(MainFormTest, CycleTimer)
{
    Settings.CycleRate = 3;
    Form->ToggleCycling();
    EXPECT_EQ(Form->CycleTimer()->interval(), 333);
    Form->ToggleCycling();
    TDocumentWindow *font = OpenNamed("t.sft");
    OpenNamed("t.cmp");
    Form->ToggleCycling();
    Form->CycleTimerTimer();
    EXPECT_EQ(Log.back(), "CMP:NextFrame");
    Form->ActivateDocument(font);
    Settle();
    Log.clear();
    Form->CycleTimerTimer();
    EXPECT_TRUE(Form->IsCycling() && Log.empty());
}

// A missing help file is said, then asked for, and the chosen one goes to the desktop.
TEST_F(MainFormTest, Help)
{
    Settings.HelpFilePath = Dir.File("sub/Guide.chm");
    const std::string found = Touch("Found.chm");
    Desk.Dialogs.Accept({found});
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Settings.HelpFilePath, found);
    EXPECT_EQ(Desk.Desktop.Opened, Texts{found});
    EXPECT_EQ(Messages(), Texts{"Cannot find help file Guide.chm"});
}

// The main window describes the active window only; popup items do not stop cycling, Cycle
// Frames asks the main window.
TEST_F(MainFormTest, WindowContract)
{
    auto *bm = dynamic_cast<TStandIn<K::BM> *>(OpenNamed("u.bm"));
    auto *mat = dynamic_cast<TStandIn<K::MAT> *>(OpenNamed("u.mat"));
    bm->Frames = 3;
    emit bm->StateChanged();
    EXPECT_FALSE(Form->IsCommandEnabled(C::PreviousFrame));
    EXPECT_TRUE(mat->IsActive() && !bm->IsActive());
    mat->Frames = 2;
    mat->Zoom = 10;
    emit mat->StateChanged();
    EXPECT_TRUE(Form->IsCommandEnabled(C::ShiftToNextFrame) && !Form->IsCommandEnabled(C::ZoomIn));
    mat->UpdatePopupMenu();
    Log.clear();
    for (const char *item : {"CycleFrames1", "AddMipmap1", "ZoomOut1"})
        mat->PopupMenu()->findChild<QAction *>(item)->trigger();
    EXPECT_EQ(Log, Texts{"MAT:ZoomOut"});
    EXPECT_TRUE(Form->IsCycling());
}
