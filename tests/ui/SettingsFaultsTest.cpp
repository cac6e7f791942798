// The settings file against the real Qt store: a damaged or wrongly typed file gives the
// defaults and one message naming the file; a save that cannot be written keeps the old file.
#include <gtest/gtest.h>

#include <filesystem>

#include "SaveFaults.h"
#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "GLM_TestPlatform.h"
#include "ui/shell/GLM_Settings.h"

using namespace testutil;

namespace {

// The scripted desktop with the real settings store on a file of the test's own.
class TFileSettingsPlatform : public TTestPlatform
{
public:
    explicit TFileSettingsPlatform(const std::string &file) : File(file) {}
    TSettingsStore &Settings() override { return File; }
    TQtSettingsStore File;
};

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }

    std::vector<uint8_t> Load(const std::string &text)
    {
        WriteFile(Path, std::vector<uint8_t>(text.begin(), text.end()));
        LoadSettings(nullptr);
        return ReadFile(Path);
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TempDir Dir;
    std::string Path = Dir.File("Glimra.conf");
    TFileSettingsPlatform Desk{Path};
};

} // namespace

TEST_F(SettingsFileTest, GarbageGivesTheDefaultsAndOneMessageNamingTheFile)
{
    const std::string garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[General\n=\xff\xfe\n[\n", 32);
    Load(garbage);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Some settings could not be read from \"" +
                                                   Path + "\"; Glimra uses their defaults."});
    EXPECT_EQ(std::tuple(CycleRate, SaveBitmapFormat, MATAverageFill, MATPalettePath),
              std::tuple(5, 24, true, std::string("Dflt")));
}

TEST_F(SettingsFileTest, WrongTypesGiveTheirDefaultsAndTheRestLoads)
{
    Load("[General]\nCycleRate=sz:fast\nMATAverageFill=sz:no\nMATNumberMipmaps=dword:3\n"
         "BMPalettePath=dword:7\n");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Some settings could not be read from \"" + Path +
                                       "\"; Glimra uses their defaults.\n"
                                       "Invalid data type for 'CycleRate'\n"
                                       "Invalid data type for 'BMPalettePath'\n"
                                       "Invalid data type for 'MATAverageFill'"});
    EXPECT_EQ(std::tuple(CycleRate, MATAverageFill, MATNumberMipmaps, BMPalettePath),
              std::tuple(5, true, 3, std::string("Uicolormap")));
}

// The save at exit: the file is replaced whole or not at all.
TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFile)
{
    const std::string text = "[General]\nCycleRate=dword:9\n";
    const std::vector<uint8_t> old = Load(text);
    CycleRate = 3;

    // A folder in the settings file's place cannot be opened as the store: it stays an empty
    // folder and, as for any store that cannot be opened at exit, nothing is said.
    {
        const std::string place = Dir.File("folder");
        std::filesystem::create_directory(place);
        TFileSettingsPlatform other(place);
        SaveSettings(nullptr);
        EXPECT_TRUE(std::filesystem::is_empty(place));
        EXPECT_TRUE(other.Boxes.Shown.empty());
    }
    // A vanished folder is made again: the settings have no other place to go.
    {
        const std::string place = Dir.File("gone/Glimra.conf");
        TFileSettingsPlatform other(place);
        SaveSettings(nullptr);
        EXPECT_TRUE(std::filesystem::is_regular_file(place));
        std::filesystem::remove_all(Dir.Path / "gone");
    }

    // The disk fills part-way: no file may grow past 10 bytes.
    {
        TScopedFullDisk full(10);
        SaveSettings(nullptr);
    }
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"The settings could not be saved to \"" + Path + "\"."});
    EXPECT_EQ(ReadFile(Path), old);
    EXPECT_EQ(FolderNames(Dir.Path), (std::set<std::string>{"Glimra.conf", "folder"}));

    // A folder the user may not write to: nothing is saved.
    using std::filesystem::perms;
    std::filesystem::permissions(Path, perms::all);
    {
        TScopedReadOnlyFolder readOnly(Dir.Path);
        SaveSettings(nullptr);
    }
    EXPECT_EQ(ReadFile(Path), old);

    SaveSettings(nullptr);
    EXPECT_NE(ReadFile(Path), old);
}
