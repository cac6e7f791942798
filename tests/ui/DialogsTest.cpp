// The New, Options and About dialogs: what a showing starts from, what OK applies (and in
// which order a bad number stops it), what Cancel leaves alone, and the scrolling credits.
#include <functional>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "formats/GLM_Globals.h"
#include "GLM_TestPlatform.h"
#include "ui/main/GLM_AboutBox.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/kit/GLM_Settings.h"

namespace {

// Shows the dialog once; `user` plays the user while it is open.
template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
{
    TScopedModalDriver driver([&](TModalForm &) { user(form); });
    return form.ShowModal();
}

// New: file, depth and type indexes, and whether depth and type are enabled.
using TGroups = std::tuple<int, int, int, bool, bool>;

// Plays one showing: clicks the file (F), depth (D) and type (T) buttons in order, as in
// "F2 D1 T0", notes the groups, then leaves by "OK", "Cancel" or "Close" (the close box).
TGroups Play(TNewForm &form, const std::string &clicks, const std::string &exit = "",
             int *result = nullptr)
{
    TGroups seen;
    const int r = Show<TNewForm>(form, [&](TNewForm &f) {
        std::stringstream in(clicks);
        for (std::string c; in >> c;)
            (c[0] == 'F' ? f.FileGroup : c[0] == 'D' ? f.ColorDepthGroup : f.TypeGroup)
                ->Button(c[1] - '0')
                ->click();
        seen = {f.FileGroup->ItemIndex(), f.ColorDepthGroup->ItemIndex(),
                f.TypeGroup->ItemIndex(), f.ColorDepthGroup->isEnabled(), f.TypeGroup->isEnabled()};
        if (exit == "OK")
            f.OKButtonClick();
        else if (exit == "Cancel")
            f.CancelButtonClick();
        else if (exit == "Close")
            f.close();
    });
    if (result)
        *result = r;
    return seen;
}

class NewFormTest : public ::testing::Test
{
protected:
    void SetUp() override { ClearSettings(); }
    TTestPlatform Desk;
    TNewForm Form;
};

} // namespace

// Guards the fresh-install look (BM, 8-bit, Type disabled with nothing selected) and that CMP
// takes no depth or type: both groups cleared and disabled, and OK stores only the kind.
TEST_F(NewFormTest, FirstUseAndCMPWithoutDepthOrType)
{
    LoadSettings(nullptr); // no key: first-run defaults
    EXPECT_EQ(Play(Form, ""), TGroups(0, 0, -1, true, false));
    Settings.BMIs16Bit = Settings.MATIs16Bit = Settings.MATIsColor = Settings.SFTIs16Bit = true;
    int result = 0;
    EXPECT_EQ(Play(Form, "F1", "OK", &result), TGroups(1, -1, -1, false, false));
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Settings.LastFileIndex, 1);
    EXPECT_TRUE(Settings.BMIs16Bit && Settings.MATIs16Bit && Settings.MATIsColor && Settings.SFTIs16Bit);
}

// Guards the memory of the dialog: a confirmed MAT choice comes back at the next showing and,
// through the saved settings, in the next run.
TEST_F(NewFormTest, ConfirmedChoiceIsRememberedWithinAndAcrossRuns)
{
    Play(Form, "F2 D1 T0", "OK");
    EXPECT_EQ(Settings.LastFileIndex, 2);
    EXPECT_TRUE(Settings.MATIs16Bit && Settings.MATIsColor);
    EXPECT_EQ(Play(Form, ""), TGroups(2, 1, 0, true, true));
    SaveSettings(nullptr);
    ClearSettings();
    LoadSettings(nullptr);
    TNewForm nextRun;
    EXPECT_EQ(Play(nextRun, ""), TGroups(2, 1, 0, true, true));
}

// Guards Cancel (button and close box): no setting changes and the next showing shows the
// stored choices, not the cancelled ones; and that switching kinds shows each kind's stored
// depth instead of carrying a pick across.
TEST_F(NewFormTest, CancelAndSwitchingKindsKeepTheStoredChoices)
{
    Settings.LastFileIndex = 3;
    Settings.MATIs16Bit = true;
    int byButton = 0, byCloseBox = 0;
    EXPECT_EQ(std::get<1>(Play(Form, "D1 F2", "Cancel", &byButton)), 1);
    EXPECT_EQ(std::get<1>(Play(Form, "D1 F2 F3", "Close", &byCloseBox)), 0);
    EXPECT_EQ(std::tuple(byButton, byCloseBox), std::tuple(mrCancel, mrCancel));
    EXPECT_EQ(Settings.LastFileIndex, 3);
    EXPECT_FALSE(Settings.SFTIs16Bit);
    EXPECT_TRUE(Settings.MATIs16Bit);
    EXPECT_EQ(Play(Form, ""), TGroups(3, 0, -1, true, false));
}

namespace {

class OptionsFormTest : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }
    void Reset()
    {
        ClearSettings();
        LoadSettings(nullptr); // first-run defaults
        Desk.Assoc.Keys.clear();
        Desk.Boxes.Shown.clear();
    }
    int Show(const std::function<void(TOptionsForm &)> &user) { return ::Show(Form, user); }
    // Ticks BM, picks File Type mode and Backup, types the two numbers and presses OK.
    int TypeAndOK(const char *cycleRate, const char *cellSize, bool *stillOpen = nullptr)
    {
        return Show([&](TOptionsForm &f) {
            f.SetTicked(0, true);
            f.DirectoryGroup->Button(2)->click();
            f.BackupCheckBox->setChecked(true);
            f.CycleRateBox->setText(cycleRate);
            f.CMPCellSizeBox->setText(cellSize);
            f.OKButtonClick();
            if (stillOpen)
                *stillOpen = f.isVisible();
        });
    }
    TTestPlatform Desk;
    TOptionsForm Form;
};

} // namespace

// Guards FormShow, where every control shows its setting and only types associated with us
// are ticked, and OK, where every value reaches its setting, ticked types are associated,
// and an unticked type owned by another program is left alone while a stale key of ours goes.
TEST_F(OptionsFormTest, ShowingLoadsAndOKAppliesEverySetting)
{
    Desk.Assoc.Associate(".bm", "Glimra.BM", "BM File");
    Desk.Assoc.Keys[".mat"] = "Other.Program";
    Desk.Assoc.Keys["Glimra.MAT"] = "MAT File";
    Settings.LastDirectoryIndex = 2;
    Settings.CycleRate = 7;
    Settings.CMPCellSize = 12;
    Settings.CMPFillColor = static_cast<int>(MakeColor(255, 0, 0));
    Settings.BackupFile = true;
    Settings.SaveBitmapFormat = 16; // anything but 8 shows 24-bit
    EXPECT_EQ(Show([](TOptionsForm &f) {
                  EXPECT_EQ(std::tuple(f.IsTicked(0), f.IsTicked(1), f.IsTicked(2), f.IsTicked(3)),
                            std::tuple(true, false, false, false));
                  EXPECT_EQ(std::tuple(f.DirectoryGroup->ItemIndex(), f.FormatGroup->ItemIndex(),
                                       f.BackupCheckBox->isChecked()),
                            std::tuple(2, 1, true));
                  EXPECT_EQ(f.CycleRateBox->text() + " " + f.CMPCellSizeBox->text(), "7 12");
                  EXPECT_EQ(f.FillColorLabel->text(), "RGB: 255 0 0");
                  EXPECT_EQ(f.FillColorImage->pixmap().toImage().pixelColor(12, 12), Qt::red);
                  f.SetTicked(3, true);
                  f.DirectoryGroup->Button(1)->click();
                  f.CycleRateBox->setText("10");
                  f.CMPCellSizeBox->setText("8");
                  f.BackupCheckBox->setChecked(false);
                  f.FormatGroup->Button(0)->click();
                  f.OKButtonClick();
              }),
              mrOk);
    EXPECT_EQ(std::tuple(Settings.LastDirectoryIndex, Settings.CycleRate, Settings.CMPCellSize, Settings.BackupFile, Settings.SaveBitmapFormat),
              std::tuple(1, 10, 8, false, 8));
    EXPECT_TRUE(Desk.Assoc.IsAssociated(".bm") && Desk.Assoc.IsAssociated(".sft"));
    EXPECT_EQ(Desk.Assoc.Keys.at(".mat"), "Other.Program");
    EXPECT_EQ(Desk.Assoc.Keys.count("Glimra.MAT"), 0u);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
    Show([](TOptionsForm &f) { EXPECT_EQ(f.FormatGroup->ItemIndex(), 0); });
}

// Guards the order of OK on a bad integer: associations, directory mode and the numbers
// before the bad one are applied, then the standard message stops the rest, and the dialog
// still closes. A cell size below 1 is refused with a warning before anything is applied and
// the dialog stays open for a correction; a cycle rate below 1 is stored as 1.
TEST_F(OptionsFormTest, BadNumbersStopOKAtTheirStep)
{
    const std::tuple<const char *, const char *, int, int, std::string> cases[] = {
        {"fast", "9", 2, 5, "'fast' is not a valid integer value"},
        {"12", "1.5", 2, 12, "'1.5' is not a valid integer value"},
        {"0", "20", 2, 1, ""},
        {"-3", "20", 2, 1, ""},
        {"9", "0", 0, 5, "warning"},
        {"9", "-4", 0, 5, "warning"}};
    for (const auto &[rate, cell, directory, appliedRate, message] : cases) {
        SCOPED_TRACE(std::string(rate) + " " + cell);
        Reset();
        bool stillOpen = false;
        TypeAndOK(rate, cell, &stillOpen);
        EXPECT_EQ(stillOpen, message == "warning");
        EXPECT_EQ(Desk.Assoc.IsAssociated(".bm"), directory == 2);
        EXPECT_EQ(std::tuple(Settings.LastDirectoryIndex, Settings.CycleRate, Settings.CMPCellSize, Settings.BackupFile),
                  std::tuple(directory, appliedRate, 20, message.empty()));
        ASSERT_EQ(Desk.Boxes.Shown.size(), message.empty() ? 0u : 1u);
        if (message.empty())
            continue;
        const bool warning = message == "warning";
        EXPECT_EQ(Desk.Boxes.Shown[0].Kind, warning ? TMessageKind::Warning : TMessageKind::Error);
        if (!warning) {
            EXPECT_EQ(Desk.Boxes.Shown[0].Text, message);
        }
    }
}

// Guards the colour: Cancel drops a picked colour with typed numbers and ticks (the next
// showing shows the stored colour again); a cancelled pick keeps the colour; OK stores it.
TEST_F(OptionsFormTest, ColourAndCancel)
{
    Desk.Colors.Answers = {MakeColor(0, 0, 255), std::nullopt, MakeColor(10, 20, 30)};
    EXPECT_EQ(Show([](TOptionsForm &f) {
                  f.SelectButton->click();
                  EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 255");
                  f.SetTicked(1, true);
                  f.CycleRateBox->setText("30");
                  f.CancelButtonClick();
              }),
              mrCancel);
    EXPECT_EQ(Settings.CMPFillColor, 0);
    EXPECT_EQ(Settings.CycleRate, 5);
    EXPECT_TRUE(Desk.Assoc.Keys.empty());

    Show([](TOptionsForm &f) {
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 0");
        f.SelectButton->click(); // cancelled
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 0 0 0");
        f.SelectButton->click();
        f.OKButtonClick();
    });
    EXPECT_EQ(Settings.CMPFillColor, static_cast<int>(MakeColor(10, 20, 30)));
    EXPECT_EQ(Desk.Colors.Shown, (std::vector<uint32_t>{0, 0, 0}));
}

// Guards the ticks' memory: a tick whose association is not in place keeps what the user
// left, and an association that could not be written is reported.
TEST_F(OptionsFormTest, TicksPersistAndFailedAssociationsAreReported)
{
    Show([](TOptionsForm &f) { f.SetTicked(3, true); }); // ticked, then cancelled
    Show([](TOptionsForm &f) { EXPECT_TRUE(f.IsTicked(3)); });
    Desk.Assoc.Writable = false;
    EXPECT_EQ(Show([](TOptionsForm &f) { f.OKButtonClick(); }), mrOk);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_NE(Desk.Boxes.Shown[0].Text.find(".sft"), std::string::npos);
}

// Guards the About box's texts and its scroll cycle: the credits start at the strip's bottom
// edge, move up a pixel per 50 ms tick, start over as soon as their last line has left the
// strip (no empty pause, whatever the text's height), and each showing starts afresh.
TEST(AboutBox, CreditsScrollAndRestart)
{
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), "About Glimra");
    // The version is the build's, the one glimra-cli --version prints.
    for (const char *part :
         {"Version " GLIMRA_PROJECT_VERSION, "Jedi Knight", "Mysteries of the Sith"})
        EXPECT_TRUE(form.CreditsLabel->text().contains(part)) << part;
    EXPECT_EQ(form.CreditsLabel->y(), 121);
    EXPECT_FALSE(form.ScrollTimer->isActive());
    const auto tick = [&form](int times) {
        for (int i = 0; i < times; ++i)
            form.ScrollTimerTimer();
    };
    form.show();
    EXPECT_TRUE(form.ScrollTimer->isActive());
    EXPECT_EQ(form.ScrollTimer->interval(), 50);
    tick(3);
    EXPECT_EQ(form.CreditsLabel->y(), 121 - 3);
    const int length = form.ScrollLength();
    ASSERT_GT(form.CreditsLabel->height(), 121);
    tick(length - 4);
    EXPECT_EQ(form.CreditsLabel->geometry().bottom(), 0); // its last pixel row still shows
    tick(1); // the tick that takes it out starts over
    EXPECT_EQ(form.CreditsLabel->y(), 121);
    tick(40);
    form.CloseButton->click();
    EXPECT_FALSE(form.isVisible() || form.ScrollTimer->isActive());
    EXPECT_EQ(form.CreditsLabel->y(), 121);
}
