// Loading, validating and saving the settings, and the directory rule, against an in-memory
// store and the real Qt store on a temporary file.
#include <filesystem>
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "GLM_TestPlatform.h"
#include "ui/kit/GLM_Settings.h"

namespace {

using Texts = std::vector<std::string>;

class TFakeWindow : public TSettingsWindow
{
public:
    TWindowBounds Current{50, 60, 700, 500};
    bool Maximized = false;
    Texts Added, Captions, Calls;

    TWindowBounds Bounds() const override { return Current; }
    void SetBounds(const TWindowBounds &b) override { Current = b; Calls.push_back("bounds"); }
    bool IsMaximized() const override { return Maximized; }
    void SetMaximized(bool m) override { Maximized = m; Calls.push_back(m ? "max" : "normal"); }
    void AddToReopenList(const std::string &entry) override { Added.push_back(entry); }
    Texts ReopenCaptions() const override { return Captions; }
};

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        Desk.Store.KeyExists = true;
    }
    void TearDown() override { ClearSettings(); }
    void Stored(const std::string &name, TMemorySettingsStore::TValue v)
    {
        Desk.Store.Values[name] = std::move(v);
    }
    int32_t StoredInt(const std::string &name) { return Desk.Store.ReadInteger(name); }
    std::string StoredText(const std::string &name) { return Desk.Store.ReadString(name); }

    TTestPlatform Desk;
    TFakeWindow Window;
};

} // namespace

// Guards a first run: every default in place, nothing left from before, the desktop's own
// placement of the window kept, and no message.
TEST_F(SettingsTest, FirstRunGivesTheDefaultsAndLeavesTheWindowAlone)
{
    Desk.Store.KeyExists = false;
    Settings.CycleRate = 99;
    Settings.MATNumberMipmaps = 3;
    LoadSettings(&Window);
    EXPECT_EQ(std::tuple(Settings.CycleRate, Settings.SaveBitmapFormat, Settings.CMPCellSize, Settings.MATNumberMipmaps,
                         Settings.MATAverageFill, Settings.LastDirectoryIndex),
              std::tuple(5, 24, 20, 1, true, 0));
    EXPECT_EQ((Texts{Settings.BMPalettePath, Settings.SFTPalettePath, Settings.MATPalettePath, Settings.HelpFilePath}),
              (Texts{"Uicolormap", "Uicolormap", "Dflt", "Glimra.chm"}));
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ((Texts{Settings.LastCommonDirectory, Settings.LastOpenDirectory, Settings.LastSaveDirectory, Settings.BMLastDirectory,
                     Settings.CMPLastDirectory, Settings.MATLastDirectory, Settings.SFTLastDirectory}),
              Texts(7, cwd));
    EXPECT_EQ(Window.Calls, Texts{"normal"}); // bounds not set again
    EXPECT_TRUE(Window.Added.empty());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Guards the validation table: each out-of-range value is silently replaced, in-range ones
// and values without a rule are kept; a value missing from an existing key keeps its starting
// value (so MATAverageFill is false: its true default is for a first run only).
TEST_F(SettingsTest, ValidationReplacesOutOfRangeValues)
{
    const std::tuple<const char *, int32_t, int, const int *> cases[] = {
        {"CycleRate", 0, 5, &Settings.CycleRate},         {"SaveBitmapFormat", 16, 24, &Settings.SaveBitmapFormat},
        {"MATNumberMipmaps", 5, 1, &Settings.MATNumberMipmaps}, {"BMTransIndex", 256, 0, &Settings.BMTransIndex},
        {"LastOpenFilterIndex", 6, 6, &Settings.LastOpenFilterIndex},
        {"LastDirectoryIndex", 3, 0, &Settings.LastDirectoryIndex},
        {"LastFileIndex", -1, 0, &Settings.LastFileIndex}, {"BMTransColor", -1, 0, &Settings.BMTransColor},
        {"CMPCellSize", 0, 20, &Settings.CMPCellSize},     {"CMPFillColor", -5, 0, &Settings.CMPFillColor},
        {"MATFillIndex", 300, 0, &Settings.MATFillIndex}, {"SFTTransIndex", 255, 255, &Settings.SFTTransIndex},
        {"SFTTransColor", -2, 0, &Settings.SFTTransColor},
        {"BMXOffset", -7, -7, &Settings.BMXOffset}}; // no rule: negative offsets are kept
    for (const auto &[name, stored, expected, global] : cases)
        Stored(name, stored);
    for (const auto &[name, value] : {std::pair{"Left", -20}, {"Top", 30}, {"Width", 300},
                                      {"Height", 479}})
        Stored(name, value);
    Stored("HelpFilePath", "");
    Stored("MATPalettePath", "");
    LoadSettings(&Window);

    for (const auto &[name, stored, expected, global] : cases)
        EXPECT_EQ(*global, expected) << name << " stored as " << stored;
    EXPECT_EQ(Window.Current, (TWindowBounds{0, 30, 640, 480}));
    EXPECT_EQ(Settings.HelpFilePath, "Glimra.chm");
    EXPECT_EQ(Settings.MATPalettePath, "Dflt");
    EXPECT_FALSE(Settings.MATAverageFill);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Guards a value of the wrong type: one message lists them all in load order, and the other
// settings still load and validate.
TEST_F(SettingsTest, WrongTypesAreReportedAndTheRestStillLoads)
{
    for (const char *name : {"Width", "CycleRate"})
        Stored(name, "7");
    for (const char *name : {"HelpFilePath", "Reopen0", "BackupFile"})
        Stored(name, 1);
    Stored("MATFillIndex", 9);
    LoadSettings(&Window);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text,
              "Some settings could not be read from the settings store; Glimra uses their "
              "defaults.\nInvalid data type for 'Width'\nInvalid data type for 'HelpFilePath'\n"
              "Invalid data type for 'CycleRate'\nInvalid data type for 'Reopen0'");
    EXPECT_EQ(Settings.MATFillIndex, 9);
    EXPECT_TRUE(Settings.BackupFile);
    EXPECT_EQ(Settings.CycleRate, 5); // validation still ran
    EXPECT_EQ(Settings.HelpFilePath, "Glimra.chm");
    // A wrong type gives the first-run value, not the starting zero.
    ClearSettings();
    Desk.Boxes.Shown.clear();
    Stored("MATAverageFill", "yes");
    LoadSettings(&Window);
    EXPECT_TRUE(Settings.MATAverageFill);
}

// Guards the save: every value in its order with its type, and the key closed afterwards;
// a key that cannot be opened writes nothing and says nothing.
TEST_F(SettingsTest, SaveWritesEveryValueInItsOrderWithItsType)
{
    Window.Captions = {"&0 /a/one.bm", "&1 /a/two.mat"};
    Settings.MATFillColor = 0x123456;
    Settings.BackupFile = true;
    Settings.HelpFilePath = "help.chm";
    SaveSettings(&Window);
    std::string order;
    for (const std::string &name : Desk.Store.WriteLog)
        order += name + " ";
    EXPECT_EQ(order, "Left Top Width Height Maximized LastCommonDirectory LastOpenDirectory "
                     "LastSaveDirectory HelpFilePath LastDirectoryIndex LastOpenFilterIndex "
                     "LastFileIndex CMPCellSize CycleRate SaveBitmapFormat BackupFile "
                     "BMPalettePath BMLastDirectory BMXOffset BMYOffset BMTransIndex BMTransColor "
                     "BMIs16Bit BMUseInternalPalette CMPLastDirectory CMPFillColor CMPTransTables "
                     "MATPalettePath MATLastDirectory MATIs16Bit MATIsColor MATFillIndex "
                     "MATFillColor MATNumberMipmaps MATAverageFill MATAutoMipmaps MATNewTrans "
                     "MATFrameTrans SFTPalettePath SFTLastDirectory SFTCharacterGap "
                     "SFTSpaceLength SFTTransIndex SFTTransColor SFTIs16Bit Reopen0 Reopen1 ");
    EXPECT_EQ(std::tuple(StoredInt("Width"), StoredInt("Maximized"), StoredInt("BackupFile"),
                         StoredInt("MATFillColor")),
              std::tuple(700, 0, 1, 0x123456)); // Booleans are integers
    EXPECT_EQ(StoredText("HelpFilePath"), "help.chm");
    EXPECT_EQ(StoredText("Reopen1"), "&1 /a/two.mat");
    EXPECT_FALSE(Desk.Store.IsOpen);

    TTestPlatform locked;
    locked.Store.CanCreate = false;
    SaveSettings(&Window);
    EXPECT_TRUE(locked.Store.WriteLog.empty());
    EXPECT_TRUE(locked.Boxes.Shown.empty());
}

// Guards the maximized rule: a maximized window leaves the older bounds in the store, and
// the next start restores them before maximizing, so a restore goes back to them.
TEST_F(SettingsTest, SavingWhileMaximizedKeepsTheOlderBounds)
{
    for (const auto &[name, value] :
         {std::pair{"Left", 10}, {"Top", 20}, {"Width", 800}, {"Height", 600}})
        Stored(name, value);
    Window.Maximized = true;
    Window.Current = {0, 0, 1920, 1080};
    SaveSettings(&Window);
    EXPECT_EQ(StoredInt("Maximized"), 1);
    EXPECT_EQ(StoredInt("Width"), 800);
    EXPECT_EQ(std::count(Desk.Store.WriteLog.begin(), Desk.Store.WriteLog.end(), "Width"), 0);

    TFakeWindow next;
    LoadSettings(&next);
    EXPECT_TRUE(next.Maximized);
    EXPECT_EQ(next.Current, (TWindowBounds{10, 20, 800, 600}));
    EXPECT_EQ(next.Calls, (Texts{"bounds", "max"}));
}

// Guards the Reopen values: read from the bottom up so the list ends in stored order, and a
// shorter list overwrites only its own positions (the rest is read again next time).
TEST_F(SettingsTest, ReopenValuesAreReadBottomUpAndStaleOnesStay)
{
    for (int i : {0, 1, 2, 3, 9})
        Stored(ReopenValueName(i), "&" + std::to_string(i) + " /f/" + std::to_string(i));
    LoadSettings(&Window);
    EXPECT_EQ(Window.Added, (Texts{"&9 /f/9", "&3 /f/3", "&2 /f/2", "&1 /f/1", "&0 /f/0"}));

    Window.Captions = {"&0 /g/new"};
    SaveSettings(&Window);
    EXPECT_EQ(StoredText("Reopen0"), "&0 /g/new");
    EXPECT_EQ(StoredText("Reopen3"), "&3 /f/3");
    TFakeWindow next;
    LoadSettings(&next);
    EXPECT_EQ(next.Added.size(), 5u);
    EXPECT_EQ(next.Added.back(), "&0 /g/new");
}

// Guards the three directory modes: where each dialog starts and where a chosen file's
// folder is remembered.
TEST_F(SettingsTest, DirectoryModes)
{
    Settings.LastCommonDirectory = "/common";
    Settings.LastOpenDirectory = "/open";
    Settings.LastSaveDirectory = "/save";
    Settings.BMLastDirectory = "/bm";
    Settings.CMPLastDirectory = "/cmp";
    Settings.MATLastDirectory = "/mat";
    Settings.SFTLastDirectory = "/sft";
    using K = TDialogKind;
    using T = TFileType;
    const std::tuple<int, K, T, const char *> cases[] = {
        {0, K::Open, T::None, "/common"}, {0, K::Save, T::MAT, "/common"},
        {1, K::Open, T::None, "/open"},   {1, K::Open, T::BM, "/open"},
        {1, K::Save, T::SFT, "/save"},    {2, K::Open, T::None, "/common"},
        {2, K::Save, T::None, "/common"}, {2, K::Save, T::BM, "/bm"},
        {2, K::Open, T::CMP, "/cmp"},     {2, K::Open, T::MAT, "/mat"},
        {2, K::Save, T::SFT, "/sft"}};
    for (const auto &[mode, kind, type, expected] : cases) {
        Settings.LastDirectoryIndex = mode;
        EXPECT_EQ(DialogDirectory(kind, type), expected) << "mode " << mode;
    }
    RememberDirectory(K::Save, T::BM, "/d/out/pic.bm"); // mode 2: by file type
    EXPECT_EQ(Settings.BMLastDirectory, "/d/out");
    EXPECT_EQ(Settings.LastCommonDirectory, "/common");
    Settings.LastDirectoryIndex = 1;
    RememberDirectory(K::Open, T::MAT, "/pics/a.bmp"); // by dialog type
    EXPECT_EQ(Settings.LastOpenDirectory, "/pics");
    EXPECT_EQ(Settings.MATLastDirectory, "/mat");
    EXPECT_EQ(DirectoryOf("/top.bm"), "/"); // a root keeps its separator
    EXPECT_EQ(DirectoryOf("/a/b//c.bm"), "/a/b");
}

// Guards the real store: both value types survive the file, a missing key is not created
// by a read, and a value (also a hand-edited one) that does not read as its type is refused.
TEST(QtSettingsStore, KeepsIntegersAndStringsApart)
{
    testutil::TempDir dir;
    const std::string file = dir.File("Glimra.conf");
    TQtSettingsStore store(file);
    EXPECT_FALSE(store.OpenKey(false));
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_TRUE(store.OpenKey(true));
    store.WriteInteger("Left", -20);
    store.WriteString("Number", "640");
    store.WriteString("Path", " /home/ä b/x, y.bm");
    store.WriteString("Tricky", "dword:5");
    store.CloseKey();
    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Left"), -20);
    EXPECT_EQ(store.ReadString("Number"), "640");
    EXPECT_EQ(store.ReadString("Path"), " /home/ä b/x, y.bm");
    EXPECT_EQ(store.ReadString("Tricky"), "dword:5");
    EXPECT_THROW(store.ReadString("Left"), ESettingsTypeError);
    try {
        store.ReadInteger("Number");
        ADD_FAILURE() << "a string read as an integer";
    } catch (const ESettingsTypeError &e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Number'");
    }
    EXPECT_FALSE(store.ValueExists("Height"));
    store.CloseKey();

    const std::string text = "[General]\nWidth=800\nHeight=sz:tall\nTop=dword:12x\n"
                             "Left=dword:99999999999\n";
    testutil::WriteFile(file, std::vector<uint8_t>(text.begin(), text.end()));
    TQtSettingsStore edited(file);
    ASSERT_TRUE(edited.OpenKey(false));
    EXPECT_EQ(edited.ReadInteger("Width"), 800); // a plain number still counts
    for (const char *name : {"Height", "Top", "Left"}) // the last beyond 32 bits
        EXPECT_THROW(edited.ReadInteger(name), ESettingsTypeError) << name;
    edited.CloseKey();
}
