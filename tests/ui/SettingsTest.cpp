// Loading, validating and saving the settings and the directory rule, against the in-memory
// store and the real Qt store on a file of the test's own.

#include <filesystem>

#include "SaveFaults.h"
#include "UiFixture.h"
#include "platform/GLM_QtPlatform.h"

using namespace uitest;

namespace {

class SettingsTest : public TDeskTest
{
protected:
    void Stored(const std::string &name, TMemorySettingsStore::TValue v)
    {
        Desk.Store.KeyExists = true;
        Desk.Store.Values[name] = std::move(v);
    }
    const TWindowBounds Window{50, 60, 700, 500};
};

} // namespace

// A first run leaves the window where the desktop put it. Each out-of-range value is replaced
// silently, in-range ones and values without a rule are kept; a value missing from an
// existing key keeps its starting value.
TEST_F(SettingsTest, FirstRunAndValidation)
{
    Settings.CycleRate = 99;
    TWindowState window = LoadSettings(Window);
    EXPECT_EQ(Settings.CycleRate, 5);
    EXPECT_EQ(Settings.SFTLastDirectory, std::filesystem::current_path().string());
    EXPECT_FALSE(window.Bounds || window.Maximized);

    // clang-format off
    const std::tuple<const char *, int32_t, int32_t> cases[] = {
        {"CycleRate", 0, 5},          {"SaveBitmapFormat", 16, 24},  {"MATNumberMipmaps", 5, 1},
        {"BMTransIndex", 256, 0},     {"LastOpenFilterIndex", 6, 6}, {"LastFileIndex", -1, 0},
        {"LastDirectoryIndex", 3, 0}, {"BMTransColor", -1, 0},       {"CMPCellSize", 0, 20},
        {"CMPFillColor", -5, 0},      {"MATFillIndex", 300, 0},      {"SFTTransIndex", 255, 255},
        {"SFTTransColor", -2, 0},     {"BMXOffset", -7, -7},         {"Left", -20, 0},
        {"Top", 30, 30},              {"Width", 300, 640},           {"Height", 479, 480},
        {"UndoLimit", 0, 100}}; // Qt's "no limit"
    // clang-format on
    for (const auto &[name, stored, expected] : cases)
        Stored(name, stored);
    Stored("HelpFilePath", "");
    Stored("MATPalettePath", "");
    Settings = TSettings{}; // as at program start
    window = LoadSettings(Window);
    SaveSettings(&window); // what was loaded, written back
    for (const auto &[name, stored, expected] : cases)
        EXPECT_EQ(Desk.Store.ReadInteger(name), expected) << name << " stored as " << stored;
    EXPECT_EQ(Settings.HelpFilePath + " " + Settings.MATPalettePath, "Glimra.chm Dflt");
    EXPECT_FALSE(Settings.MATAverageFill);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Values of the wrong type: one message lists them in load order; each takes its first-run
// value and the rest still load and validate.
TEST_F(SettingsTest, WrongTypes)
{
    for (const char *name : {"Width", "CycleRate", "MATAverageFill"})
        Stored(name, "7");
    for (const char *name : {"HelpFilePath", "Reopen0"})
        Stored(name, 1);
    Stored("MATFillIndex", 9);
    LoadSettings(Window);
    EXPECT_EQ(Messages(), Texts{"Some settings could not be read from the settings store; Glimra "
                                "uses their defaults.\nInvalid data type for 'Width'\nInvalid "
                                "data type for 'HelpFilePath'\nInvalid data type for "
                                "'CycleRate'\nInvalid data type for 'MATAverageFill'\nInvalid "
                                "data type for 'Reopen0'"});
    EXPECT_EQ(std::tuple(Settings.MATFillIndex, Settings.CycleRate, Settings.MATAverageFill),
              std::tuple(9, 5, true));
}

// The save writes the bounds only while not maximized, every value with its type (Booleans as
// integers; the order: SnapshotTest) and closes the key; the next start gets the older bounds
// and the maximized state, Reopen values bottom up with the older ones a shorter list left;
// a key that cannot be opened gets nothing.
TEST_F(SettingsTest, SaveAndLoadAgain)
{
    TWindowState window{Window, false, {"&0 /a/one.bm", "&1 /a/two.mat"}};
    Settings.MATFillColor = 0x123456;
    Settings.BackupFile = true;
    SaveSettings(&window);
    const Texts &log = Desk.Store.WriteLog;
    EXPECT_EQ(Texts(log.begin(), log.begin() + 6),
              (Texts{"Left", "Top", "Width", "Height", "Maximized", "LastCommonDirectory"}));
    EXPECT_EQ(Texts(log.end() - 3, log.end()), (Texts{"UndoLimit", "Reopen0", "Reopen1"}));
    EXPECT_EQ(Desk.Store.ReadInteger("BackupFile") + Desk.Store.ReadInteger("MATFillColor"),
              1 + 0x123456);
    EXPECT_FALSE(Desk.Store.IsOpen);

    Stored("Reopen9", "&9 /f/9");
    window = {TWindowBounds{0, 0, 1920, 1080}, true, {"&0 /g/new"}};
    Desk.Store.WriteLog.clear();
    SaveSettings(&window);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Width"), 0);
    const TWindowState next = LoadSettings();
    EXPECT_EQ(next.Bounds, Window);
    EXPECT_TRUE(next.Maximized);
    EXPECT_EQ(next.Reopen, (Texts{"&9 /f/9", "&1 /a/two.mat", "&0 /g/new"}));

    Desk.Store.CanCreate = false;
    Desk.Store.WriteLog.clear();
    SaveSettings(&window);
    EXPECT_TRUE(log.empty() && Desk.Boxes.Shown.empty());
}

// The real store keeps integers and strings apart, creates no key by reading and refuses a
// hand-edited value that does not read as its type; a damaged file gives the defaults and
// one message naming it; a save that cannot be written keeps the old file whole and says so.
TEST_F(SettingsTest, RealStore)
{
    const std::string path = Dir.File("Glimra.conf");
    TQtSettingsStore store(path);
    EXPECT_FALSE(store.OpenKey(false) || std::filesystem::exists(path));
    ASSERT_TRUE(store.OpenKey(true));
    store.WriteInteger("Left", -20);
    store.WriteString("Path", " /home/ä b/x, y.bm");
    store.WriteString("Tricky", "dword:5");
    store.CloseKey();
    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Left"), -20);
    EXPECT_EQ(store.ReadString("Path") + store.ReadString("Tricky"), " /home/ä b/x, y.bmdword:5");
    EXPECT_THROW(store.ReadString("Left"), ESettingsTypeError);
    EXPECT_THROW(store.ReadInteger("Path"), ESettingsTypeError);
    store.CloseKey();
    const std::string text = "[General]\nWidth=800\nTop=dword:12x\nLeft=dword:99999999999\n";
    WriteFile(path, Text(text));
    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Width"), 800);
    for (const char *name : {"Top", "Left"})
        EXPECT_THROW(store.ReadInteger(name), ESettingsTypeError) << name;
    store.CloseKey();

    const std::string garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[General\n=\xff\xfe\n[\n", 32);
    WriteFile(path, Text(garbage));
    Settings.Load(store, Desk.Boxes);
    EXPECT_EQ(Messages(), Texts{"Some settings could not be read from \"" + path +
                                "\"; Glimra uses their defaults."});
    const std::string old = "[General]\nCycleRate=dword:9\n";
    WriteFile(path, Text(old));
    {
        TScopedFullDisk full(10);
        Settings.Save(store, Desk.Boxes);
    }
    EXPECT_EQ(Messages().back(), "The settings could not be saved to \"" + path + "\".");
    EXPECT_EQ(ReadFile(path), Text(old));
    EXPECT_EQ(FolderNames(Dir.Path), std::set<std::string>{"Glimra.conf"});
}
