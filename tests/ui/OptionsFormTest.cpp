// The Options dialog: what a showing loads, what OK applies (and in which order a bad number
// stops it), what Cancel leaves alone, and the file associations it changes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "palettes/GLM_Globals.h"
#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_OptionsForm.h"
#include "shell/GLM_RadioGroup.h"
#include "shell/GLM_Settings.h"

namespace {

class OptionsFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        LoadSettings(nullptr); // first-run defaults
    }

    int Show(const std::function<void(TOptionsForm &)> &user)
    {
        TScopedModalDriver driver([&](TModalForm &) { user(Form); });
        return Form.ShowModal();
    }

    // Shows the dialog, types the two numbers and presses OK.
    int TypeAndOK(const QString &cycleRate, const QString &cellSize)
    {
        return Show([&](TOptionsForm &f) {
            f.CycleRateBox->setText(cycleRate);
            f.CMPCellSizeBox->setText(cellSize);
            f.OKButtonClick();
        });
    }

    TTestPlatform Desk;
    TOptionsForm Form;
};

} // namespace

// Guards FormShow: every control shows its setting, and only types associated with us are
// ticked.
TEST_F(OptionsFormTest, ShowingLoadsEverySetting)
{
    Desk.Assoc.Associate(".bm", "Glimra.BM", "BM File");
    Desk.Assoc.Keys[".mat"] = "Other.Program"; // another program's, not ours
    LastDirectoryIndex = 2;
    CycleRate = 7;
    CMPCellSize = 12;
    CMPFillColor = static_cast<int>(MakeColor(255, 0, 0));
    BackupFile = true;
    SaveBitmapFormat = 8;
    Show([](TOptionsForm &f) {
        EXPECT_TRUE(f.IsTicked(0));
        EXPECT_FALSE(f.IsTicked(1));
        EXPECT_FALSE(f.IsTicked(2));
        EXPECT_FALSE(f.IsTicked(3));
        EXPECT_EQ(f.DirectoryGroup->ItemIndex(), 2);
        EXPECT_EQ(f.CycleRateBox->text(), "7");
        EXPECT_EQ(f.CMPCellSizeBox->text(), "12");
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 255 0 0");
        EXPECT_EQ(f.FillColorImage->pixmap().toImage().pixelColor(12, 12), QColor(255, 0, 0));
        EXPECT_TRUE(f.BackupCheckBox->isChecked());
        EXPECT_EQ(f.FormatGroup->ItemIndex(), 0);
    });
    SaveBitmapFormat = 16; // anything but 8 shows 24-bit
    Show([](TOptionsForm &f) { EXPECT_EQ(f.FormatGroup->ItemIndex(), 1); });
    EXPECT_EQ(Form.AssociationsBox->item(3)->text(), "SFT Font");
}

// Guards OK: every value reaches its setting, ticked types are associated and an unticked
// type owned by another program is left alone.
TEST_F(OptionsFormTest, OKAppliesEverythingAndLeavesForeignAssociationsAlone)
{
    Desk.Assoc.Keys[".mat"] = "Other.Program";
    Desk.Assoc.Keys["Glimra.MAT"] = "MAT File"; // a stale key of ours
    const int result = Show([](TOptionsForm &f) {
        f.SetTicked(3, true);
        f.DirectoryGroup->Button(1)->click();
        f.CycleRateBox->setText("10");
        f.CMPCellSizeBox->setText("8");
        f.BackupCheckBox->setChecked(true);
        f.FormatGroup->Button(0)->click();
        f.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(LastDirectoryIndex, 1);
    EXPECT_EQ(CycleRate, 10);
    EXPECT_EQ(CMPCellSize, 8);
    EXPECT_TRUE(BackupFile);
    EXPECT_EQ(SaveBitmapFormat, 8);
    EXPECT_EQ(Desk.Assoc.Keys.at(".sft"), "Glimra.SFT");
    EXPECT_EQ(Desk.Assoc.Keys.at("Glimra.SFT\\shell\\open\\command"),
              "/opt/glimra/glimra \"%1\"");
    EXPECT_EQ(Desk.Assoc.Keys.at(".mat"), "Other.Program");
    EXPECT_EQ(Desk.Assoc.Keys.count("Glimra.MAT"), 0u);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Guards the order of OK on a bad cycle rate: associations and directory mode are applied,
// then the standard message stops the rest, and the dialog still closes.
TEST_F(OptionsFormTest, BadCycleRateAppliesOnlyTheStepsBeforeIt)
{
    const int result = Show([](TOptionsForm &f) {
        f.SetTicked(0, true);
        f.DirectoryGroup->Button(2)->click();
        f.CycleRateBox->setText("fast");
        f.CMPCellSizeBox->setText("9");
        f.BackupCheckBox->setChecked(true);
        f.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(Desk.Assoc.IsAssociated(".bm"));
    EXPECT_EQ(LastDirectoryIndex, 2);
    EXPECT_EQ(CycleRate, 5);
    EXPECT_EQ(CMPCellSize, 20);
    EXPECT_FALSE(BackupFile);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text, "'fast' is not a valid integer value");
}

// Guards the same order for a bad cell size: the cycle rate before it is applied too.
TEST_F(OptionsFormTest, BadCellSizeKeepsTheCycleRateBeforeIt)
{
    Form.FillColor = 0;
    TypeAndOK("12", "1.5");
    EXPECT_EQ(CycleRate, 12);
    EXPECT_EQ(CMPCellSize, 20);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text, "'1.5' is not a valid integer value");
}

// Guards CMP windows against a zero or negative cell size: it is refused with a message before
// any setting or association changes, and the dialog stays open for a correction.
TEST_F(OptionsFormTest, CellSizeBelowOneIsRefusedBeforeAnythingIsApplied)
{
    for (const QString size : {"0", "-4"}) {
        Desk.Boxes.Shown.clear();
        bool stillOpen = false;
        Show([&](TOptionsForm &f) {
            f.SetTicked(2, true);
            f.DirectoryGroup->Button(1)->click();
            f.CycleRateBox->setText("9");
            f.CMPCellSizeBox->setText(size);
            f.OKButtonClick();
            stillOpen = f.isVisible();
        });
        EXPECT_TRUE(stillOpen) << size.toStdString();
        EXPECT_EQ(CMPCellSize, 20);
        EXPECT_EQ(CycleRate, 5);
        EXPECT_EQ(LastDirectoryIndex, 0);
        EXPECT_FALSE(Desk.Assoc.IsAssociated(".mat"));
        ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
        EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Warning);
    }
}

// Guards the lower bound of the cycle rate: 0 and -3 are stored as 1.
TEST_F(OptionsFormTest, CycleRateBelowOneBecomesOne)
{
    TypeAndOK("0", "20");
    EXPECT_EQ(CycleRate, 1);
    CycleRate = 5;
    TypeAndOK("-3", "20");
    EXPECT_EQ(CycleRate, 1);
}

// Guards Cancel: a colour picked in the colour dialog, typed numbers and ticks change no
// setting and no association, and the next showing shows the stored colour again.
TEST_F(OptionsFormTest, CancelChangesNothing)
{
    Desk.Colors.Answers.push_back(MakeColor(0, 0, 255));
    const int result = Show([](TOptionsForm &f) {
        f.SelectButton->click();
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 255");
        f.SetTicked(1, true);
        f.CycleRateBox->setText("30");
        f.CancelButtonClick();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(CMPFillColor, 0);
    EXPECT_EQ(CycleRate, 5);
    EXPECT_TRUE(Desk.Assoc.Keys.empty());
    Show([](TOptionsForm &f) { EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 0"); });
}

// Guards the colour path on OK, and that a cancelled colour dialog keeps the colour.
TEST_F(OptionsFormTest, ChosenColourIsStoredOnOK)
{
    Desk.Colors.Answers.push_back(std::nullopt); // first pick cancelled
    Desk.Colors.Answers.push_back(MakeColor(10, 20, 30));
    Show([](TOptionsForm &f) {
        f.SelectButton->click();
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 0");
        f.SelectButton->click();
        f.OKButtonClick();
    });
    EXPECT_EQ(CMPFillColor, static_cast<int>(MakeColor(10, 20, 30)));
    ASSERT_EQ(Desk.Colors.Shown.size(), 2u);
    EXPECT_EQ(Desk.Colors.Shown[1], 0u);
}

// Guards the ticks' memory: a tick whose association is not in place keeps what the user
// left, and an association that could not be written is reported.
TEST_F(OptionsFormTest, TicksPersistAndFailedAssociationsAreReported)
{
    Show([](TOptionsForm &f) { f.SetTicked(3, true); }); // ticked, then cancelled
    Show([](TOptionsForm &f) { EXPECT_TRUE(f.IsTicked(3)); });

    Desk.Assoc.Writable = false;
    const int result = Show([](TOptionsForm &f) { f.OKButtonClick(); });
    EXPECT_EQ(result, mrOk);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_NE(Desk.Boxes.Shown[0].Text.find(".sft"), std::string::npos);
}
