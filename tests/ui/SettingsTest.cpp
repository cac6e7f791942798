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
    SettingsTest() { Desk.Store.KeyExists = true; }
    void Stored(const std::string &name, TMemorySettingsStore::TValue v)
    {
        Desk.Store.Values[name] = std::move(v);
    }
    TMemorySettingsStore::TValue Value(const std::string &name) { return Desk.Store.Values.at(name); }
    const TWindowBounds Window{50, 60, 700, 500};
};


} // namespace

// A first run leaves the window where the desktop put it and says nothing; every directory
// is the working one (the values themselves: SnapshotTest).
TEST_F(SettingsTest, FirstRun)
{
    Desk.Store.KeyExists = false;
    Settings.CycleRate = 99;
    const TWindowState window = LoadSettings(Window);
    EXPECT_EQ(Settings.CycleRate, 5);
    EXPECT_EQ(Settings.SFTLastDirectory, std::filesystem::current_path().string());
    EXPECT_FALSE(window.Bounds || window.Maximized);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Each out-of-range value is replaced silently, in-range ones and values without a rule are
// kept; a value missing from an existing key keeps its starting value.
TEST_F(SettingsTest, Validation)
{
    TSettings &s = Settings;
    const std::tuple<const char *, int32_t, int, const int *> cases[] = {
        {"CycleRate", 0, 5, &s.CycleRate},           {"SaveBitmapFormat", 16, 24, &s.SaveBitmapFormat},
        {"MATNumberMipmaps", 5, 1, &s.MATNumberMipmaps}, {"BMTransIndex", 256, 0, &s.BMTransIndex},
        {"LastOpenFilterIndex", 6, 6, &s.LastOpenFilterIndex},
        {"LastDirectoryIndex", 3, 0, &s.LastDirectoryIndex},
        {"LastFileIndex", -1, 0, &s.LastFileIndex}, {"BMTransColor", -1, 0, &s.BMTransColor},
        {"CMPCellSize", 0, 20, &s.CMPCellSize},     {"CMPFillColor", -5, 0, &s.CMPFillColor},
        {"MATFillIndex", 300, 0, &s.MATFillIndex},   {"SFTTransIndex", 255, 255, &s.SFTTransIndex},
        {"SFTTransColor", -2, 0, &s.SFTTransColor},  {"BMXOffset", -7, -7, &s.BMXOffset}};
    for (const auto &[name, stored, expected, field] : cases)
        Stored(name, stored);
    for (const auto &[name, value] :
         {std::pair{"Left", -20}, {"Top", 30}, {"Width", 300}, {"Height", 479}})
        Stored(name, value);
    Stored("HelpFilePath", "");
    Stored("MATPalettePath", "");
    const TWindowState window = LoadSettings(Window);
    for (const auto &[name, stored, expected, field] : cases)
        EXPECT_EQ(*field, expected) << name << " stored as " << stored;
    EXPECT_EQ(window.Bounds, (TWindowBounds{0, 30, 640, 480}));
    EXPECT_EQ(s.HelpFilePath + " " + s.MATPalettePath, "Glimra.chm Dflt");
    EXPECT_FALSE(s.MATAverageFill);
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

// The save writes every value in its order with its type (Booleans as integers), the bounds
// only while not maximized, and closes the key; a key that cannot be opened gets nothing.
// The next start gets the older bounds and the maximized state; Reopen values are read
// bottom up, and a shorter list leaves the older ones.
TEST_F(SettingsTest, SaveAndLoadAgain)
{
    TWindowState window{Window, false, {"&0 /a/one.bm", "&1 /a/two.mat"}};
    Settings.MATFillColor = 0x123456;
    Settings.BackupFile = true;
    SaveSettings(&window);
    std::string order;
    for (const std::string &name : Desk.Store.WriteLog)
        order += name + " ";
    EXPECT_TRUE(order.starts_with("Left Top Width Height Maximized LastCommonDirectory")) << order;
    EXPECT_TRUE(order.ends_with(" SFTIs16Bit Reopen0 Reopen1 ")) << order;
    EXPECT_EQ(std::get<int32_t>(Value("BackupFile")) + std::get<int32_t>(Value("MATFillColor")),
              1 + 0x123456);
    EXPECT_EQ(std::get<std::string>(Value("Reopen1")), "&1 /a/two.mat");
    EXPECT_FALSE(Desk.Store.IsOpen);

    Stored("Reopen9", "&9 /f/9");
    window = {TWindowBounds{0, 0, 1920, 1080}, true, {"&0 /g/new"}};
    Desk.Store.WriteLog.clear();
    SaveSettings(&window);
    EXPECT_EQ(std::count(Desk.Store.WriteLog.begin(), Desk.Store.WriteLog.end(), "Width"), 0);
    const TWindowState next = LoadSettings();
    EXPECT_EQ(next.Bounds, Window);
    EXPECT_TRUE(next.Maximized);
    EXPECT_EQ(next.Reopen, (Texts{"&9 /f/9", "&1 /a/two.mat", "&0 /g/new"}));

    Desk.Store.CanCreate = false;
    Desk.Store.WriteLog.clear();
    SaveSettings(&window);
    EXPECT_TRUE(Desk.Store.WriteLog.empty());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Where each dialog starts in each mode, and where a chosen file's folder is remembered.
TEST_F(SettingsTest, DirectoryModes)
{
    TSettings &s = Settings;
    s.LastCommonDirectory = "/common", s.LastOpenDirectory = "/open";
    s.LastSaveDirectory = "/save", s.BMLastDirectory = "/bm", s.CMPLastDirectory = "/cmp";
    s.MATLastDirectory = "/mat", s.SFTLastDirectory = "/sft";
    using D = TDialogKind;
    using T = TFileType;
    const std::tuple<int, D, T, const char *> cases[] = {
        {0, D::Open, T::None, "/common"}, {0, D::Save, T::MAT, "/common"},
        {1, D::Open, T::BM, "/open"},     {1, D::Save, T::SFT, "/save"},
        {2, D::Open, T::None, "/common"}, {2, D::Save, T::BM, "/bm"},
        {2, D::Open, T::CMP, "/cmp"},     {2, D::Open, T::MAT, "/mat"},
        {2, D::Save, T::SFT, "/sft"},     {3, D::Save, T::SFT, "/common"}};
    for (const auto &[mode, kind, type, expected] : cases) {
        s.LastDirectoryIndex = mode;
        EXPECT_EQ(s.DialogDirectory(kind, type), expected) << "mode " << mode;
    }
    s.LastDirectoryIndex = 2;
    s.RememberDirectory(D::Save, T::BM, "/d/out/pic.bm");
    s.LastDirectoryIndex = 1;
    s.RememberDirectory(D::Open, T::MAT, "/pics//a.bmp");
    s.RememberDirectory(D::Save, T::MAT, "/top.bm");
    EXPECT_EQ((Texts{s.BMLastDirectory, s.LastOpenDirectory, s.LastSaveDirectory}),
              (Texts{"/d/out", "/pics", "/"}));
}

// The real store keeps integers and strings apart, creates no key by reading, and refuses a
// hand-edited value that does not read as its type.
TEST(QtSettingsStore, KeepsIntegersAndStringsApart)
{
    TempDir dir;
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
    EXPECT_EQ(store.ReadString("Number") + store.ReadString("Path") + store.ReadString("Tricky"),
              "640 /home/ä b/x, y.bmdword:5");
    EXPECT_THROW(store.ReadString("Left"), ESettingsTypeError);
    EXPECT_THROW(store.ReadInteger("Number"), ESettingsTypeError);
    store.CloseKey();
    const std::string text = "[General]\nWidth=800\nHeight=sz:tall\nTop=dword:12x\n"
                             "Left=dword:99999999999\n";
    WriteFile(file, {text.begin(), text.end()});
    ASSERT_TRUE(store.OpenKey(false));
    EXPECT_EQ(store.ReadInteger("Width"), 800);
    for (const char *name : {"Height", "Top", "Left"})
        EXPECT_THROW(store.ReadInteger(name), ESettingsTypeError) << name;
}

// A damaged file gives the defaults and one message naming it; a save that cannot be
// written keeps the old file whole and says so; a folder in its place is left alone.
TEST_F(SettingsTest, SettingsFileFaults)
{
    const std::string path = Dir.File("Glimra.conf");
    TQtSettingsStore file(path);
    const std::string garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[General\n=\xff\xfe\n[\n", 32);
    WriteFile(path, {garbage.begin(), garbage.end()});
    Settings.Load(file, Desk.Boxes);
    EXPECT_EQ(Messages(), Texts{"Some settings could not be read from \"" + path +
                                    "\"; Glimra uses their defaults."});
    EXPECT_EQ(Settings.CycleRate, 5);

    const std::string text = "[General]\nCycleRate=dword:9\n";
    WriteFile(path, {text.begin(), text.end()});
    {
        TScopedWriteLimit full(10);
        Settings.Save(file, Desk.Boxes);
    }
    EXPECT_EQ(Messages().back(), "The settings could not be saved to \"" + path + "\".");
    EXPECT_EQ(ReadFile(path), std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(FolderNames(Dir.Path), std::set<std::string>{"Glimra.conf"});

    std::filesystem::create_directory(Dir.File("folder"));
    TQtSettingsStore folder(Dir.File("folder"));
    Desk.Boxes.Shown.clear();
    Settings.Save(folder, Desk.Boxes);
    EXPECT_TRUE(std::filesystem::is_empty(Dir.File("folder")));
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}
