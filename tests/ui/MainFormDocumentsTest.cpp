// Opening files, the Reopen list, New, frame cycling, Close All, help, the command line and
// the closing order of the main window.

#include <algorithm>
#include <filesystem>

#include <QMenu>
#include <QTimer>

#include "MainFormFixture.h"
#include "shell/GLM_AboutBox.h"
#include "shell/GLM_NewForm.h"
#include "shell/GLM_OptionsForm.h"
#include "shell/GLM_RadioGroup.h"

namespace {

using C = TCommand;

std::string Entry(int position, const std::string &path)
{
    return "&" + std::to_string(position) + " " + path;
}

} // namespace

// Guards OpenDocument: the existence warning, the case-blind extension test, and that an
// unknown extension opens no window yet still enters the Reopen list.
TEST_F(MainFormTest, OpenDocumentChecksExistenceAndExtension)
{
    Form->OpenDocument(Dir.File("missing.bm"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"File does not exist"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Warning);
    EXPECT_TRUE(Created.empty());
    EXPECT_TRUE(Form->ReopenCaptions().empty());
    EXPECT_FALSE(Form->IsCommandEnabled(C::Reopen));

    TTestDocument *upper = OpenNamed("B.BM");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->Kind(), TDocumentKind::BM);
    EXPECT_EQ(Log.Calls,
              (std::vector<std::string>{"BM:FormCreate", "BM:LoadFile " + Dir.File("B.BM")}));

    EXPECT_EQ(OpenNamed("notes.txt"), nullptr);
    EXPECT_EQ(OpenNamed("archive.bm.bak"), nullptr);
    EXPECT_EQ(
        Form->ReopenCaptions(),
        (std::vector<std::string>{Entry(0, Dir.File("archive.bm.bak")),
                                  Entry(1, Dir.File("notes.txt")), Entry(2, Dir.File("B.BM"))}));
    EXPECT_EQ(Messages().size(), 1u); // no message for the unknown extensions
    EXPECT_TRUE(Form->IsCommandEnabled(C::Reopen));
}

// Guards that opening the same file twice gives two windows but one Reopen entry.
TEST_F(MainFormTest, SameFileTwiceGivesTwoWindowsOneEntry)
{
    OpenNamed("same.mat");
    TTestDocument *second = OpenNamed("same.mat");
    EXPECT_EQ(Form->DocumentWindows().size(), 2u);
    EXPECT_EQ(Form->ActiveDocument(), second); // the newest window is the active one
    EXPECT_EQ(Form->ReopenCaptions(), std::vector<std::string>{Entry(0, Dir.File("same.mat"))});
}

// Guards a file that fails to load: its error is shown, no half-made window stays, it gets
// no Reopen entry, and the files after it still open.
TEST_F(MainFormTest, LoadFailureLeavesNoWindowAndNoEntry)
{
    const std::string bad = Touch("bad.bm");
    const std::string good = Touch("good.bm");
    Form->DocumentFactory = [this](TDocumentKind kind) {
        auto *window = new TTestDocument(kind, Log);
        window->FailLoad = Created.empty();
        Created.push_back(window);
        return window;
    };
    Desk.Dialogs.Accept({bad, good});
    Form->Open();
    Settle();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Read beyond end of file"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Error);
    ASSERT_EQ(Form->DocumentWindows().size(), 1u);
    EXPECT_EQ(Form->DocumentWindows().front(), Created.at(1));
    EXPECT_EQ(Form->ReopenCaptions(), std::vector<std::string>{Entry(0, good)});
}

// Guards a kind whose window this build lacks: a clear message, and the Reopen entry stays.
TEST_F(MainFormTest, KindWithoutWindowSaysSoAndKeepsTheEntry)
{
    Form->DocumentFactory = [](TDocumentKind) { return nullptr; };
    const std::string path = Touch("font.sft");
    Form->OpenDocument(path);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages().front().find("SFT"), std::string::npos);
    EXPECT_EQ(Form->ReopenCaptions(), std::vector<std::string>{Entry(0, path)});
}

// Guards the Open dialog: title, filters, multi-selection, start directory by mode, filter
// memory, the remembered directory of the dialog's file name, and the order of opening.
TEST_F(MainFormTest, OpenDialogRemembersDirectoryAndFilter)
{
    const std::string a = Touch("a.bm"), b = Touch("b.cmp"), c = Touch("c.mat");
    LastCommonDirectory = "/common";
    LastOpenDirectory = "/open";
    LastOpenFilterIndex = 4;
    Desk.Dialogs.Accept({a, b, c}, 3);
    Form->Open();
    Settle();
    ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
    const TFileDialogRequest &shown = Desk.Dialogs.Shown.front();
    EXPECT_EQ(shown.Title, "Open");
    EXPECT_EQ(shown.Filter, OpenFilter);
    EXPECT_EQ(std::string(OpenFilter),
              "All Supported Files|*.bm; *.cmp; *.mat; *.sft|BM Graphics (*.bm)|*.bm|"
              "CMP Palettes (*.cmp)|*.cmp|MATTextures (*.mat)|*.mat|SFT Fonts (*.sft)|*.sft|"
              "All Files (*.*)|*.*");
    EXPECT_TRUE(shown.MultiSelect);
    EXPECT_EQ(shown.InitialDir, "/common");
    EXPECT_EQ(shown.FilterIndex, 4);
    EXPECT_TRUE(shown.FileName.empty());

    EXPECT_EQ(LastCommonDirectory, Dir.Path.string());
    EXPECT_EQ(LastOpenDirectory, "/open");
    EXPECT_EQ(LastOpenFilterIndex, 3);
    ASSERT_EQ(Created.size(), 3u);
    EXPECT_EQ(Created[0]->Kind(), TDocumentKind::BM);
    EXPECT_EQ(Created[1]->Kind(), TDocumentKind::CMP);
    EXPECT_EQ(Created[2]->Kind(), TDocumentKind::MAT);
    EXPECT_EQ(Form->ReopenCaptions().front(), Entry(0, c));

    // Dialog Type mode starts in and stores into LastOpenDirectory; File Type acts as Common.
    LastDirectoryIndex = 1;
    Desk.Dialogs.Accept({a});
    Form->Open();
    EXPECT_EQ(Desk.Dialogs.Shown.back().InitialDir, "/open");
    EXPECT_EQ(LastOpenDirectory, Dir.Path.string());
    LastDirectoryIndex = 2;
    LastCommonDirectory = "/again";
    Desk.Dialogs.Cancel();
    Form->Open();
    EXPECT_EQ(Desk.Dialogs.Shown.back().InitialDir, "/again");
    EXPECT_EQ(LastCommonDirectory, "/again"); // a cancelled dialog stores nothing
    EXPECT_EQ(LastOpenFilterIndex, 3);
}

// Guards the ten-entry Reopen list: an eleventh file drops the oldest, and a path already
// in a full list leaves nine entries (cut first, duplicate removed after), path on top.
TEST_F(MainFormTest, ReopenListKeepsTenAndNineAfterDuplicate)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 11; ++i)
        paths.push_back(Touch("f" + std::to_string(i) + ".txt"));
    for (int i = 0; i < 10; ++i)
        Form->AddToReopenList(paths[static_cast<size_t>(i)]);
    ASSERT_EQ(Form->ReopenCaptions().size(), 10u);
    EXPECT_EQ(Form->ReopenCaptions().back(), Entry(9, paths[0]));

    Form->AddToReopenList(paths[10]); // eleventh
    std::vector<std::string> captions = Form->ReopenCaptions();
    ASSERT_EQ(captions.size(), 10u);
    EXPECT_EQ(captions.front(), Entry(0, paths[10]));
    EXPECT_EQ(captions.back(), Entry(9, paths[1]));

    Form->AddToReopenList(paths[5]); // already listed, list full
    captions = Form->ReopenCaptions();
    ASSERT_EQ(captions.size(), 9u);
    EXPECT_EQ(captions[0], Entry(0, paths[5]));
    EXPECT_EQ(captions[1], Entry(1, paths[10]));
    for (size_t i = 0; i < captions.size(); ++i)
        EXPECT_EQ(captions[i].substr(0, 3), Entry(static_cast<int>(i), "")) << captions[i];
    EXPECT_EQ(std::count(captions.begin(), captions.end(), Entry(5, paths[5])), 0);
}

// Guards the entry forms the store hands back ("&3 path"), the skip of vanished files, and
// that a path which merely contains another entry's path does not remove that entry.
TEST_F(MainFormTest, ReopenEntriesTakeStoredCaptionsAndMatchWholePaths)
{
    const std::string shorter = Touch("x.bm");
    const std::string longer = Touch("x.bm.old");
    Form->AddToReopenList(Entry(3, longer));
    Form->AddToReopenList(Entry(7, Dir.File("gone.bm")));
    Form->AddToReopenList(shorter);
    EXPECT_EQ(Form->ReopenCaptions(),
              (std::vector<std::string>{Entry(0, shorter), Entry(1, longer)}));
}

// Guards Reopen items: a click opens the file and moves it to the top; a vanished file
// warns and keeps its entry; the items do not stop cycling.
TEST_F(MainFormTest, ReopenItemOpensAndMovesToTop)
{
    const std::string first = Touch("one.mat");
    const std::string second = Touch("two.bm");
    Form->AddToReopenList(first);
    Form->AddToReopenList(second);
    Form->ToggleCycling();
    Form->ReopenMenu()->actions().at(1)->trigger();
    Settle();
    EXPECT_TRUE(Form->IsCycling());
    ASSERT_EQ(Created.size(), 1u);
    EXPECT_EQ(Log.Count("MAT:LoadFile " + first), 1u);
    EXPECT_EQ(Form->ReopenCaptions(),
              (std::vector<std::string>{Entry(0, first), Entry(1, second)}));

    std::filesystem::remove(second);
    Form->ReopenMenu()->actions().at(1)->trigger();
    Settle();
    EXPECT_EQ(Messages(), std::vector<std::string>{"File does not exist"});
    EXPECT_EQ(Form->ReopenCaptions().size(), 2u);
}

// Guards the untitled counter: a cancelled New still advances it, so after one cancelled
// and one confirmed New the new document is number 1.
TEST_F(MainFormTest, CancelledNewStillAdvancesUntitledCounter)
{
    TNewForm dialog(Form.get());
    NewForm = &dialog;
    struct TReset
    {
        ~TReset() { NewForm = nullptr; }
    } reset;
    int showings = 0;
    TScopedModalDriver driver([&showings](TModalForm &form) {
        auto &newForm = dynamic_cast<TNewForm &>(form);
        if (showings++ == 0) {
            newForm.FileGroup->SetItemIndex(1);
            newForm.CancelButtonClick();
        } else {
            newForm.FileGroup->SetItemIndex(2);
            newForm.OKButtonClick();
        }
    });
    Form->RunCommand(C::New);
    EXPECT_TRUE(Created.empty());
    EXPECT_EQ(UntitledCount, 1);
    Form->RunCommand(C::New);
    Settle();
    ASSERT_EQ(Created.size(), 1u);
    EXPECT_EQ(Created[0]->Kind(), TDocumentKind::MAT);
    EXPECT_EQ(Created[0]->CreatedWithUntitled, 1);
    EXPECT_EQ(UntitledCount, 2);
    EXPECT_TRUE(Created[0]->isVisibleTo(Form.get()));
    EXPECT_EQ(Log.Count("MAT:LoadFile"), 0u);
    EXPECT_TRUE(Form->ReopenCaptions().empty());
    EXPECT_EQ(LastFileIndex, 2);
}

// Guards that Options and About show their long-lived dialogs modally.
TEST_F(MainFormTest, OptionsAndAboutShowTheirDialogs)
{
    TOptionsForm options(Form.get());
    TAboutForm about(Form.get());
    OptionsForm = &options;
    AboutForm = &about;
    std::vector<QDialog *> shown;
    {
        TScopedModalDriver driver([&shown](TModalForm &form) { shown.push_back(&form); });
        Form->RunCommand(C::Options);
        Form->RunCommand(C::About);
    }
    OptionsForm = nullptr;
    AboutForm = nullptr;
    EXPECT_EQ(shown, (std::vector<QDialog *>{&options, &about}));
    EXPECT_FALSE(options.isVisible());
    EXPECT_FALSE(about.isVisible());
}

// Guards the cycle timer: interval 1000 div CycleRate, 1000 below 1, and an interval of 0
// (a rate above 1000) that never ticks.
TEST_F(MainFormTest, CycleIntervals)
{
    const std::vector<std::pair<int, int>> cases{{5, 200},   {3, 333},  {1, 1000}, {0, 1000},
                                                 {-4, 1000}, {1000, 1}, {1001, 0}};
    for (const auto &[rate, interval] : cases) {
        CycleRate = rate;
        Form->ToggleCycling();
        EXPECT_TRUE(Form->IsCycling()) << rate;
        EXPECT_EQ(Form->CycleTimer()->interval(), interval) << rate;
        EXPECT_EQ(Form->CycleTimer()->isActive(), interval > 0) << rate;
        Form->ToggleCycling();
        EXPECT_FALSE(Form->IsCycling());
        EXPECT_FALSE(Form->CycleTimer()->isActive());
    }

    OpenNamed("tick.bm");
    Log.Calls.clear();
    CycleRate = 2000;
    Form->ToggleCycling();
    Settle(60);
    EXPECT_EQ(Log.Count("BM:NextFrame"), 0u);
}

// Guards the tick's target: BM, CMP and MAT windows step, an SFT window does not.
TEST_F(MainFormTest, TicksStepTheActiveWindowExceptFonts)
{
    TTestDocument *font = OpenNamed("t.sft");
    TTestDocument *colormap = OpenNamed("t.cmp");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(colormap, nullptr);
    CycleRate = 100; // every 10 ms
    Form->ActivateDocument(colormap);
    Form->ToggleCycling();
    Settle(80);
    EXPECT_GE(Log.Count("CMP:NextFrame"), 2u);

    Form->ActivateDocument(font); // the timer keeps running while windows are switched
    Settle();
    Log.Calls.clear();
    Settle(60);
    EXPECT_TRUE(Form->IsCycling());
    EXPECT_EQ(Log.Count("SFT:NextFrame"), 0u);
    EXPECT_EQ(Log.Count("CMP:NextFrame"), 0u);
}

// Guards Close All: a window whose close is refused is asked again until it agrees, and the
// command ends with no window left.
TEST_F(MainFormTest, CloseAllAsksAgainUntilEveryWindowCloses)
{
    TTestDocument *stubborn = OpenNamed("s.bm");
    OpenNamed("t.mat");
    ASSERT_NE(stubborn, nullptr);
    stubborn->CloseAnswers = {false, false, true};
    Form->ActivateDocument(stubborn);
    Settle();
    Form->RunCommand(C::CloseAll);
    Settle();
    EXPECT_TRUE(Form->DocumentWindows().empty());
    EXPECT_EQ(Log.Count("BM:CloseQuery"), 3u);
    EXPECT_EQ(Log.Count("MAT:CloseQuery"), 1u);
    EXPECT_EQ(Form->windowTitle(), "Glimra");
}

// Guards the closing order: every window's close query runs first, one refusal keeps the
// program and writes nothing; otherwise the settings are saved.
TEST_F(MainFormTest, ClosingAsksEveryWindowThenSavesSettings)
{
    TTestDocument *first = OpenNamed("p.bm");
    TTestDocument *second = OpenNamed("q.bm");
    second->CloseAnswers = {false};
    Desk.Store.WriteLog.clear();
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Log.Count("BM:CloseQuery"), 2u);
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    EXPECT_EQ(Form->DocumentWindows().size(), 2u);

    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Log.Count("BM:CloseQuery"), 4u);
    EXPECT_FALSE(Desk.Store.WriteLog.empty());
    EXPECT_TRUE(Desk.Store.Values.count("CycleRate"));
    EXPECT_TRUE(Desk.Store.Values.count("Reopen0"));
    (void)first;
}

// Guards Help: an existing help file goes to the desktop's default program; a missing one
// gives "Cannot find help file" with its name, then the Open Help File dialog.
TEST_F(MainFormTest, HelpOpensTheFileOrAsksForIt)
{
    HelpFilePath = Dir.File("sub/Guide.chm");
    LastCommonDirectory = "/common";
    Desk.Dialogs.Cancel();
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot find help file Guide.chm"});
    EXPECT_EQ(Desk.Boxes.Shown.at(0).Kind, TMessageKind::Error);
    ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
    EXPECT_EQ(Desk.Dialogs.Shown[0].Title, "Open Help File");
    EXPECT_EQ(Desk.Dialogs.Shown[0].Filter, "All Files|*.*");
    EXPECT_FALSE(Desk.Dialogs.Shown[0].MultiSelect);
    EXPECT_EQ(Desk.Dialogs.Shown[0].InitialDir, "/common");
    EXPECT_EQ(HelpFilePath, Dir.File("sub/Guide.chm")); // cancelled: unchanged
    EXPECT_TRUE(Desk.Desktop.Opened.empty());

    const std::string found = Touch("Found.chm");
    LastDirectoryIndex = 1;
    LastOpenDirectory = "/open";
    Desk.Dialogs.Accept({found});
    Form->RunCommand(C::Contents);
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Desk.Dialogs.Shown.back().InitialDir, "/open");
    EXPECT_EQ(HelpFilePath, found);
    EXPECT_EQ(LastOpenDirectory, Dir.Path.string());
    EXPECT_EQ(Desk.Desktop.Opened, std::vector<std::string>{found});

    Form->RunCommand(C::Contents); // now it exists: straight to the default program
    EXPECT_EQ(Desk.Desktop.Opened.size(), 2u);
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 2u);
    EXPECT_EQ(Messages().size(), 2u);
}

// Guards the command line: the first argument opens once, at the first activation, under
// its full path; later arguments are ignored.
TEST(MainFormStart, FirstArgumentOpensAtFirstActivation)
{
    TTestPlatform desk;
    testutil::TempDir dir;
    testutil::WriteFile(dir.File("start.bm"), {0});
    testutil::WriteFile(dir.File("other.bm"), {0});
    ClearSettings();
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path);
    TCallLog log;
    {
        TMainForm form;
        form.DocumentFactory = [&log](TDocumentKind kind) { return new TTestDocument(kind, log); };
        form.CommandLine = {"start.bm", dir.File("other.bm").c_str()};
        EXPECT_TRUE(form.FirstActivation);
        form.show();
        form.activateWindow();
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        EXPECT_FALSE(form.FirstActivation);
        EXPECT_EQ(log.Count("BM:LoadFile " + dir.File("start.bm")), 1u);
        EXPECT_EQ(log.Count("BM:LoadFile " + dir.File("other.bm")), 0u);
        EXPECT_EQ(form.ReopenCaptions(), std::vector<std::string>{"&0 " + dir.File("start.bm")});

        form.hide();
        form.show();
        form.activateWindow();
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        EXPECT_EQ(form.DocumentWindows().size(), 1u);
    }
    std::filesystem::current_path(previous);
    ClearSettings();
}

// Guards the placement the settings store and restore: bounds round-trip, and a maximized
// window still reports its normal bounds.
TEST_F(MainFormTest, BoundsAndMaximizedStateForTheSettings)
{
    Form->SetBounds({20, 30, 700, 500});
    Settle();
    EXPECT_EQ(Form->Bounds(), (TWindowBounds{20, 30, 700, 500}));
    Form->SetMaximized(true);
    Settle();
    EXPECT_TRUE(Form->IsMaximized());
    EXPECT_EQ(Form->Bounds(), (TWindowBounds{20, 30, 700, 500}));
    Form->SetMaximized(false);
    Settle();
    EXPECT_FALSE(Form->IsMaximized());
}
