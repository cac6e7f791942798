// Loading, validating and saving the settings, and the directory rule, against an in-memory
// store and the real Qt store on a temporary file.
#include <filesystem>
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_Settings.h"

namespace {

class TFakeWindow : public TSettingsWindow
{
public:
    TWindowBounds Current{50, 60, 700, 500};
    bool Maximized = false;
    int SetBoundsCalls = 0;
    std::vector<std::string> Added;
    std::vector<std::string> Captions;
    std::vector<std::string> Calls;

    TWindowBounds Bounds() const override { return Current; }
    void SetBounds(const TWindowBounds &b) override
    {
        Current = b;
        ++SetBoundsCalls;
        Calls.push_back("bounds");
    }
    bool IsMaximized() const override { return Maximized; }
    void SetMaximized(bool m) override
    {
        Maximized = m;
        Calls.push_back(m ? "maximized" : "normal");
    }
    void AddToReopenList(const std::string &entry) override { Added.push_back(entry); }
    std::vector<std::string> ReopenCaptions() const override { return Captions; }
};

std::string Cwd()
{
    return std::filesystem::current_path().string();
}

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        Desk.Store.KeyExists = true;
    }
    void TearDown() override { ClearSettings(); }

    void Stored(const std::string &name, int32_t v) { Desk.Store.Values[name] = v; }
    void Stored(const std::string &name, const std::string &v) { Desk.Store.Values[name] = v; }
    int32_t StoredInt(const std::string &name) { return Desk.Store.ReadInteger(name); }
    std::string StoredText(const std::string &name) { return Desk.Store.ReadString(name); }

    TTestPlatform Desk;
    TFakeWindow Window;
};

} // namespace

TEST_F(SettingsTest, FirstRunGivesTheDefaultsAndLeavesTheWindowAlone)
{
    Desk.Store.KeyExists = false;
    CycleRate = 99; // a first run must not keep anything from before
    MATNumberMipmaps = 3;
    LoadSettings(&Window);

    EXPECT_EQ(CycleRate, 5);
    EXPECT_EQ(SaveBitmapFormat, 24);
    EXPECT_EQ(CMPCellSize, 20);
    EXPECT_EQ(MATNumberMipmaps, 1);
    EXPECT_TRUE(MATAverageFill);
    EXPECT_EQ(BMPalettePath, "Uicolormap");
    EXPECT_EQ(SFTPalettePath, "Uicolormap");
    EXPECT_EQ(MATPalettePath, "Dflt");
    EXPECT_EQ(HelpFilePath, "Glimra.chm");
    EXPECT_EQ(LastDirectoryIndex, 0);
    for (const std::string *dir : {&LastCommonDirectory, &LastOpenDirectory, &LastSaveDirectory,
                                   &BMLastDirectory, &CMPLastDirectory, &MATLastDirectory,
                                   &SFTLastDirectory})
        EXPECT_EQ(*dir, Cwd());
    // The desktop places a first-run window: valid design bounds are not set again.
    EXPECT_EQ(Window.SetBoundsCalls, 0);
    EXPECT_TRUE(Window.Added.empty());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

TEST_F(SettingsTest, ValidationReplacesOutOfRangeValues)
{
    struct TCase
    {
        const char *Name;
        int32_t StoredValue;
        int Expected;
        const int *Global;
    };
    const TCase cases[] = {
        {"CycleRate", 0, 5, &CycleRate},
        {"SaveBitmapFormat", 16, 24, &SaveBitmapFormat},
        {"MATNumberMipmaps", 5, 1, &MATNumberMipmaps},
        {"BMTransIndex", 256, 0, &BMTransIndex},
        {"LastOpenFilterIndex", 6, 6, &LastOpenFilterIndex},
        {"LastDirectoryIndex", 3, 0, &LastDirectoryIndex},
        {"LastFileIndex", -1, 0, &LastFileIndex},
        {"BMTransColor", -1, 0, &BMTransColor},
        {"CMPCellSize", 0, 20, &CMPCellSize},
        {"CMPFillColor", -5, 0, &CMPFillColor},
        {"MATFillIndex", 300, 0, &MATFillIndex},
        {"SFTTransIndex", 255, 255, &SFTTransIndex},
        {"SFTTransColor", -2, 0, &SFTTransColor},
        {"BMXOffset", -7, -7, &BMXOffset}, // no rule: negative offsets are kept
    };
    for (const TCase &c : cases)
        Stored(c.Name, c.StoredValue);
    Stored("Left", -20);
    Stored("Top", 30);
    Stored("Width", 300);
    Stored("Height", 479);
    Stored("HelpFilePath", std::string());
    Stored("MATPalettePath", std::string());
    LoadSettings(&Window);

    for (const TCase &c : cases)
        EXPECT_EQ(*c.Global, c.Expected) << c.Name << " stored as " << c.StoredValue;
    EXPECT_EQ(Window.Current, (TWindowBounds{0, 30, 640, 480}));
    EXPECT_EQ(HelpFilePath, "Glimra.chm");
    EXPECT_EQ(MATPalettePath, "Dflt");
    EXPECT_TRUE(Desk.Boxes.Shown.empty()); // corrections are silent
}

TEST_F(SettingsTest, MissingValuesKeepTheirStartingValues)
{
    Stored("CycleRate", 7); // the key exists, but holds only this
    LoadSettings(&Window);
    EXPECT_FALSE(MATAverageFill); // the default true is only for a missing key
    EXPECT_EQ(CycleRate, 7);
    EXPECT_EQ(CMPCellSize, 20); // starting 0, then validated
    EXPECT_EQ(BMPalettePath, "Uicolormap");
    EXPECT_EQ(Window.SetBoundsCalls, 0);
}

TEST_F(SettingsTest, WrongTypesAreReportedAndTheRestStillLoads)
{
    Stored("Width", std::string("wide"));
    Stored("CycleRate", std::string("7"));
    Stored("HelpFilePath", 3);
    Stored("Reopen0", 1);
    Stored("MATFillIndex", 9);
    Stored("BackupFile", 1);
    LoadSettings(&Window);

    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text,
              "Invalid data type for 'Width'\nInvalid data type for 'HelpFilePath'\n"
              "Invalid data type for 'CycleRate'\nInvalid data type for 'Reopen0'");
    EXPECT_EQ(MATFillIndex, 9);
    EXPECT_TRUE(BackupFile);
    EXPECT_EQ(CycleRate, 5); // validation still ran
    EXPECT_EQ(HelpFilePath, "Glimra.chm");
}

TEST_F(SettingsTest, SaveWritesEveryValueInItsOrderWithItsType)
{
    Window.Captions = {"&0 /a/one.bm", "&1 /a/two.mat"};
    MATFillIndex = 17;
    MATFillColor = 0x123456;
    BackupFile = true;
    HelpFilePath = "help.chm";
    SaveSettings(&Window);

    const std::vector<std::string> expected = {
        "Left", "Top", "Width", "Height", "Maximized", "LastCommonDirectory",
        "LastOpenDirectory", "LastSaveDirectory", "HelpFilePath", "LastDirectoryIndex",
        "LastOpenFilterIndex", "LastFileIndex", "CMPCellSize", "CycleRate", "SaveBitmapFormat",
        "BackupFile", "BMPalettePath", "BMLastDirectory", "BMXOffset", "BMYOffset",
        "BMTransIndex", "BMTransColor", "BMIs16Bit", "BMUseInternalPalette", "CMPLastDirectory",
        "CMPFillColor", "CMPTransTables", "MATPalettePath", "MATLastDirectory", "MATIs16Bit",
        "MATIsColor", "MATFillIndex", "MATFillColor", "MATNumberMipmaps", "MATAverageFill",
        "MATAutoMipmaps", "MATNewTrans", "MATFrameTrans", "SFTPalettePath", "SFTLastDirectory",
        "SFTCharacterGap", "SFTSpaceLength", "SFTTransIndex", "SFTTransColor", "SFTIs16Bit",
        "Reopen0", "Reopen1"};
    EXPECT_EQ(Desk.Store.WriteLog, expected);
    EXPECT_EQ(StoredInt("Width"), 700);
    EXPECT_EQ(StoredInt("Maximized"), 0);
    EXPECT_EQ(StoredInt("BackupFile"), 1); // Booleans are integers
    EXPECT_EQ(StoredInt("MATFillIndex"), 17);
    EXPECT_EQ(StoredInt("MATFillColor"), 0x123456);
    EXPECT_EQ(StoredText("HelpFilePath"), "help.chm");
    EXPECT_EQ(StoredText("Reopen1"), "&1 /a/two.mat");
    EXPECT_FALSE(Desk.Store.IsOpen);
}

TEST_F(SettingsTest, SavingWhileMaximizedKeepsTheOlderBounds)
{
    Stored("Left", 10);
    Stored("Top", 20);
    Stored("Width", 800);
    Stored("Height", 600);
    Window.Maximized = true;
    Window.Current = {0, 0, 1920, 1080};
    SaveSettings(&Window);
    EXPECT_EQ(StoredInt("Maximized"), 1);
    EXPECT_EQ(StoredInt("Width"), 800);
    EXPECT_EQ(std::count(Desk.Store.WriteLog.begin(), Desk.Store.WriteLog.end(), "Width"), 0);

    // The next start opens maximized over the older bounds, which a restore goes back to.
    TFakeWindow next;
    LoadSettings(&next);
    EXPECT_TRUE(next.Maximized);
    EXPECT_EQ(next.Current, (TWindowBounds{10, 20, 800, 600}));
    EXPECT_EQ(next.Calls, (std::vector<std::string>{"bounds", "maximized"}));
}

TEST_F(SettingsTest, NothingIsSavedWhenTheKeyCannotBeOpened)
{
    Desk.Store.KeyExists = false;
    Desk.Store.CanCreate = false;
    SaveSettings(&Window);
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

TEST_F(SettingsTest, ReopenValuesAreReadBottomUpAndStaleOnesStay)
{
    for (int i = 0; i < 4; ++i)
        Stored(ReopenValueName(i), "&" + std::to_string(i) + " /f/" + std::to_string(i));
    Stored("Reopen9", std::string("&9 /f/9"));
    LoadSettings(&Window);
    EXPECT_EQ(Window.Added, (std::vector<std::string>{"&9 /f/9", "&3 /f/3", "&2 /f/2",
                                                      "&1 /f/1", "&0 /f/0"}));

    // A shorter list overwrites its own positions only; the rest is read again next time.
    Window.Captions = {"&0 /g/new"};
    SaveSettings(&Window);
    EXPECT_EQ(StoredText("Reopen0"), "&0 /g/new");
    EXPECT_EQ(StoredText("Reopen3"), "&3 /f/3");
    TFakeWindow next;
    LoadSettings(&next);
    EXPECT_EQ(next.Added.size(), 5u);
    EXPECT_EQ(next.Added.back(), "&0 /g/new");
}

TEST_F(SettingsTest, DialogDirectoryFollowsTheMode)
{
    LastCommonDirectory = "/common";
    LastOpenDirectory = "/open";
    LastSaveDirectory = "/save";
    BMLastDirectory = "/bm";
    CMPLastDirectory = "/cmp";
    MATLastDirectory = "/mat";
    SFTLastDirectory = "/sft";
    using K = TDialogKind;
    using T = TFileType;
    struct TCase
    {
        int Mode;
        K Kind;
        T Type;
        const char *Expected;
    };
    const TCase cases[] = {
        {0, K::Open, T::None, "/common"}, {0, K::Save, T::MAT, "/common"},
        {1, K::Open, T::None, "/open"},   {1, K::Open, T::BM, "/open"},
        {1, K::Save, T::SFT, "/save"},    {2, K::Open, T::None, "/common"},
        {2, K::Save, T::None, "/common"}, {2, K::Save, T::BM, "/bm"},
        {2, K::Open, T::CMP, "/cmp"},     {2, K::Open, T::MAT, "/mat"},
        {2, K::Save, T::SFT, "/sft"},
    };
    for (const TCase &c : cases) {
        LastDirectoryIndex = c.Mode;
        EXPECT_EQ(DialogDirectory(c.Kind, c.Type), c.Expected) << "mode " << c.Mode;
    }
}

TEST_F(SettingsTest, RememberDirectoryStoresWhereTheModeSays)
{
    LastCommonDirectory = "/common";
    MATLastDirectory = "/mat";
    LastDirectoryIndex = 2;
    RememberDirectory(TDialogKind::Save, TFileType::BM, "/d/out/pic.bm");
    EXPECT_EQ(BMLastDirectory, "/d/out");
    EXPECT_EQ(DialogDirectory(TDialogKind::Open, TFileType::MAT), "/mat");
    EXPECT_EQ(DialogDirectory(TDialogKind::Open, TFileType::None), "/common");

    LastDirectoryIndex = 1;
    RememberDirectory(TDialogKind::Open, TFileType::MAT, "/pics/a.bmp");
    EXPECT_EQ(LastOpenDirectory, "/pics");
    EXPECT_EQ(DialogDirectory(TDialogKind::Open, TFileType::BM), "/pics");
    EXPECT_EQ(MATLastDirectory, "/mat");

    EXPECT_EQ(DirectoryOf("/top.bm"), "/"); // a root keeps its separator
    EXPECT_EQ(DirectoryOf("/a/b//c.bm"), "/a/b");
}

// The real store: both value types survive the trip through the settings file.
TEST(QtSettingsStore, KeepsIntegersAndStringsApart)
{
    testutil::TempDir dir;
    const std::string file = dir.File("Glimra.conf");
    TQtSettingsStore store(file);
    EXPECT_FALSE(store.OpenKey(false)); // no key yet, and none is created
    EXPECT_FALSE(std::filesystem::exists(file));

    ASSERT_TRUE(store.OpenKey(true));
    store.WriteInteger("Width", 640);
    store.WriteInteger("Left", -20);
    store.WriteString("Number", "640");
    store.WriteString("Tricky", "dword:5");
    store.WriteString("Path", " /home/ä b/x, y.bm");
    store.CloseKey();

    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Width"), 640);
    EXPECT_EQ(store.ReadInteger("Left"), -20);
    EXPECT_EQ(store.ReadString("Number"), "640");
    EXPECT_EQ(store.ReadString("Tricky"), "dword:5");
    EXPECT_EQ(store.ReadString("Path"), " /home/ä b/x, y.bm");
    EXPECT_THROW(store.ReadString("Width"), ESettingsTypeError);
    try {
        store.ReadInteger("Number");
        ADD_FAILURE() << "a string read as an integer";
    } catch (const ESettingsTypeError &e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Number'");
    }
    EXPECT_FALSE(store.ValueExists("Height"));
    store.CloseKey();
}

TEST(QtSettingsStore, HandEditedValuesAreCheckedForTheirType)
{
    testutil::TempDir dir;
    const std::string file = dir.File("Glimra.conf");
    const std::string text = "[General]\nWidth=800\nHeight=sz:tall\nTop=dword:12x\n"
                             "Left=dword:99999999999\nHelpFilePath=manual.chm\n";
    testutil::WriteFile(file, std::vector<uint8_t>(text.begin(), text.end()));
    TQtSettingsStore store(file);
    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Width"), 800); // a plain number still counts
    EXPECT_THROW(store.ReadInteger("Height"), ESettingsTypeError);
    EXPECT_THROW(store.ReadInteger("Top"), ESettingsTypeError);
    EXPECT_THROW(store.ReadInteger("Left"), ESettingsTypeError); // beyond 32 bits
    EXPECT_EQ(store.ReadString("HelpFilePath"), "manual.chm");
    store.CloseKey();
}

namespace {

// The test platform, but with the real settings store on a file.
class TFileSettingsPlatform : public TTestPlatform
{
public:
    explicit TFileSettingsPlatform(const std::string &file) : FileStore(file) {}
    TSettingsStore &Settings() override { return FileStore; }
    TQtSettingsStore FileStore;
};

} // namespace

TEST(QtSettingsStore, SettingsRoundTripThroughTheFile)
{
    testutil::TempDir dir;
    TFileSettingsPlatform desk(dir.File("Glimra.conf"));
    ClearSettings();
    TFakeWindow window;
    window.Current = {11, 22, 900, 700};
    window.Captions = {"&0 /x/a.bm"};
    LoadSettings(&window); // first run
    MATAverageFill = false;
    BMXOffset = -3;
    BMPalettePath = "/pal/game.cmp";
    SaveSettings(&window);

    ClearSettings();
    TFakeWindow next;
    LoadSettings(&next);
    EXPECT_EQ(next.Current, window.Current);
    EXPECT_FALSE(MATAverageFill);
    EXPECT_EQ(BMXOffset, -3);
    EXPECT_EQ(BMPalettePath, "/pal/game.cmp");
    EXPECT_EQ(CycleRate, 5);
    EXPECT_EQ(next.Added, std::vector<std::string>{"&0 /x/a.bm"});
    EXPECT_TRUE(desk.Boxes.Shown.empty());
    ClearSettings();
}
