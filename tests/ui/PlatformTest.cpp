// The platform accessor, the file filter parser and the scripted double that the window
// tests rely on.
#include <gtest/gtest.h>

#include "platform/GLM_QtPlatform.h"
#include "platform/GLM_TestPlatform.h"

TEST(Platform, TestPlatformInstallsItselfAndRestoresThePrevious)
{
    TPlatform *outer = nullptr;
    {
        TTestPlatform a;
        outer = &Platform();
        EXPECT_EQ(outer, &a);
        {
            TTestPlatform b;
            EXPECT_EQ(&Platform(), &b);
        }
        EXPECT_EQ(&Platform(), &a);
    }
    EXPECT_NE(&Platform(), outer);
}

TEST(Platform, FileFilterSplitsIntoDescriptionsAndPatterns)
{
    const auto filters = ParseFileFilter(
        "All Supported Files|*.bm; *.cmp; *.mat; *.sft|BM Graphics (*.bm)|*.bm|"
        "CMP Palettes (*.cmp)|*.cmp|MATTextures (*.mat)|*.mat|SFT Fonts (*.sft)|*.sft|"
        "All Files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 6u);
    EXPECT_EQ(filters[0].first, "All Supported Files");
    EXPECT_EQ(filters[0].second, (std::vector<std::string>{"*.bm", "*.cmp", "*.mat", "*.sft"}));
    EXPECT_EQ(filters[3].first, "MATTextures (*.mat)");
    EXPECT_EQ(filters[5].second, std::vector<std::string>{"*.*"});
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Odd").at(0).second.empty());
}

TEST(Platform, ScriptedDialogsAnswerInOrderAndRecordWhatWasShown)
{
    TTestPlatform desk;
    desk.Dialogs.Accept({"/a/one.bm", "/a/two.bm"}, 3);
    desk.Dialogs.Cancel();

    TFileDialogRequest request;
    request.Title = "Open";
    request.InitialDir = "/start";
    request.FilterIndex = 2;
    ASSERT_TRUE(Platform().FileDialogs().Execute(request));
    EXPECT_EQ(request.FileName, "/a/one.bm");
    EXPECT_EQ(request.Files.size(), 2u);
    EXPECT_EQ(request.FilterIndex, 3);
    EXPECT_FALSE(Platform().FileDialogs().Execute(request)); // cancelled
    EXPECT_FALSE(Platform().FileDialogs().Execute(request)); // queue empty
    EXPECT_EQ(desk.Dialogs.Unanswered, 1);
    ASSERT_EQ(desk.Dialogs.Shown.size(), 3u);
    EXPECT_EQ(desk.Dialogs.Shown[0].InitialDir, "/start");
    EXPECT_EQ(desk.Dialogs.Shown[0].FilterIndex, 2); // as it was when shown

    desk.Boxes.Answers = {TMessageResult::No};
    Platform().Messages().Warning("File does not exist");
    EXPECT_EQ(Platform().Messages().Question("Save changes to x?", "Confirm"),
              TMessageResult::No);
    EXPECT_EQ(Platform().Messages().Question("Again?"), TMessageResult::Cancel);
    ASSERT_EQ(desk.Boxes.Shown.size(), 3u);
    EXPECT_EQ(desk.Boxes.Shown[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(desk.Boxes.Shown[0].Text, "File does not exist");
    EXPECT_EQ(desk.Boxes.Shown[1].Caption, "Confirm");
    EXPECT_EQ(desk.Boxes.Unanswered, 1);

    desk.Colors.Answers = {0x0000FFu, std::nullopt};
    uint32_t color = 0x123456;
    EXPECT_TRUE(Platform().ColorDialog().Execute(color));
    EXPECT_EQ(color, 0x0000FFu);
    EXPECT_FALSE(Platform().ColorDialog().Execute(color));
    EXPECT_EQ(color, 0x0000FFu);
    EXPECT_EQ(desk.Colors.Shown, (std::vector<uint32_t>{0x123456u, 0x0000FFu}));
}

// Qt takes a filter's patterns from its last parentheses and knows "*.*" as files with a dot.
TEST(Platform, QtFileDialogFiltersKeepDescriptionsAndMatchEveryFile)
{
    const QStringList filters = TQtFileDialogs::NameFilters(
        "All Supported Files|*.bm; *.cmp|BM Graphics (*.bm)|*.bm|All Files (*.*)|*.*");
    EXPECT_EQ(filters, (QStringList{"All Supported Files (*.bm *.cmp)",
                                    "BM Graphics (*.bm) (*.bm)", "All Files (*.*) (*)"}));
}
