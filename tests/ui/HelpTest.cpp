// Help > Contents as a user started from a desktop launcher meets it: the working directory
// is not the program's, so the default help file gives way to the manual installed beside
// the program; a path the user chose is taken as it stands; the not-found question still
// comes when nothing exists.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <gtest/gtest.h>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/kit/GLM_Settings.h"

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

// An installed tree <prefix>/bin/glimra with <prefix>/share/glimra, and a separate empty
// working directory, which the test enters for its run.
class HelpTest : public ::testing::Test
{
protected:
    HelpTest() : Previous(fs::current_path())
    {
        ClearSettings();
        fs::create_directories(Prefix() / "bin");
        fs::create_directories(Work());
        fs::current_path(Work());
        Desk.Desktop.Program = (Prefix() / "bin" / "glimra").string();
        Form = std::make_unique<TMainForm>();
    }
    ~HelpTest() override
    {
        Form.reset();
        fs::current_path(Previous);
        ClearSettings();
    }
    fs::path Prefix() const { return Dir.Path / "prefix"; }
    fs::path Work() const { return Dir.Path / "work"; }
    fs::path Data() const { return Prefix() / "share" / "glimra"; }
    std::string Touch(const fs::path &path)
    {
        fs::create_directories(path.parent_path());
        testutil::WriteFile(path.string(), {'<', 'p', '>'});
        return path.string();
    }
    std::string ShipManual() { return Touch(Data() / "manual" / "index.html"); }
    Texts Messages() const
    {
        Texts texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }
    void Help()
    {
        Desk.Dialogs.Cancel(); // answers the locate dialog, should it come
        Form->ShowHelp();
        Desk.Dialogs.Answers.clear();
    }

    TTestPlatform Desk;
    testutil::TempDir Dir;
    fs::path Previous;
    std::unique_ptr<TMainForm> Form;
};

} // namespace

// Guards the search order for the default path: the working directory first, then the data
// folder, then the shipped manual; each found without a message or a dialog, and
// HelpFilePath left as it was (the manual only stands in for it).
TEST_F(HelpTest, DefaultPathFallsBackToTheShippedManual)
{
    ASSERT_EQ(Settings.HelpFilePath, "Glimra.chm");
    const std::string manual = ShipManual();
    Help();
    const std::string beside = Touch(Data() / "Glimra.chm");
    Help();
    Touch(Work() / "Glimra.chm");
    Help();
    EXPECT_EQ(Desk.Desktop.Opened, (Texts{manual, beside, (Work() / "Glimra.chm").string()}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Desk.Dialogs.Shown.empty());
    EXPECT_EQ(Settings.HelpFilePath, "Glimra.chm");
}

// Guards a path the user chose: an absolute one that exists opens even with a manual
// shipped; one that has gone is not replaced by the manual but asked for again.
TEST_F(HelpTest, AnAbsolutePathIsTakenAsItStands)
{
    ShipManual();
    const std::string chosen = Touch(Dir.Path / "mine" / "Guide.chm");
    Settings.HelpFilePath = chosen;
    Help();
    EXPECT_EQ(Desk.Desktop.Opened, Texts{chosen});

    fs::remove(chosen);
    Help();
    EXPECT_EQ(Desk.Desktop.Opened.size(), 1u);
    EXPECT_EQ(Messages(), Texts{"Cannot find help file Guide.chm"});
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 1u);
    EXPECT_EQ(Settings.HelpFilePath, chosen);
}

// Guards the not-found flow: the default path with no manual shipped, and a relative path
// of the user's own that exists nowhere (the manual stands in for the default path only).
TEST_F(HelpTest, NothingFoundAsksForTheFile)
{
    Help();
    ShipManual();
    Settings.HelpFilePath = "Other.chm";
    Help();
    EXPECT_TRUE(Desk.Desktop.Opened.empty());
    EXPECT_EQ(Messages(),
              (Texts{"Cannot find help file Glimra.chm", "Cannot find help file Other.chm"}));
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 2u);
}
