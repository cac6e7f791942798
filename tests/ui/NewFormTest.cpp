// The New dialog: what each showing starts from, what OK stores and what Cancel leaves alone.
#include <gtest/gtest.h>

#include <QRadioButton>

#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_NewForm.h"
#include "shell/GLM_RadioGroup.h"
#include "shell/GLM_Settings.h"

namespace {

struct TGroupsState
{
    int File, Depth, Type;
    bool DepthEnabled, TypeEnabled;
};

TGroupsState Groups(const TNewForm &form)
{
    return {form.FileGroup->ItemIndex(), form.ColorDepthGroup->ItemIndex(),
            form.TypeGroup->ItemIndex(), form.ColorDepthGroup->isEnabled(),
            form.TypeGroup->isEnabled()};
}

// Shows the dialog once; `user` plays the user while it is open.
int Show(TNewForm &form, const std::function<void(TNewForm &)> &user)
{
    TScopedModalDriver driver([&](TModalForm &) { user(form); });
    return form.ShowModal();
}

class NewFormTest : public ::testing::Test
{
protected:
    void SetUp() override { ClearSettings(); }
    TTestPlatform Desk;
    TNewForm Form;
};

} // namespace

// Guards the fresh-install look: BM, 8-bit, Type disabled with nothing selected.
TEST_F(NewFormTest, FirstUseOpensOnEightBitBMWithoutType)
{
    LoadSettings(nullptr); // no key: first-run defaults
    TGroupsState seen{};
    const int result = Show(Form, [&](TNewForm &f) {
        seen = Groups(f);
        f.CancelButtonClick();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(seen.File, 0);
    EXPECT_EQ(seen.Depth, 0);
    EXPECT_EQ(seen.Type, -1);
    EXPECT_TRUE(seen.DepthEnabled);
    EXPECT_FALSE(seen.TypeEnabled);
    EXPECT_EQ(Form.FileGroup->Button(0)->text(), "&BM Graphic");
    EXPECT_EQ(Form.FileGroup->Button(3)->text(), "&SFT Font");
}

// Guards that CMP takes no depth or type: both groups cleared and disabled, and OK stores
// nothing but the kind.
TEST_F(NewFormTest, CMPClearsBothGroupsAndStoresOnlyTheKind)
{
    BMIs16Bit = MATIs16Bit = MATIsColor = SFTIs16Bit = true;
    TGroupsState seen{};
    const int result = Show(Form, [&](TNewForm &f) {
        f.FileGroup->Button(1)->click();
        seen = Groups(f);
        f.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(seen.Depth, -1);
    EXPECT_EQ(seen.Type, -1);
    EXPECT_FALSE(seen.DepthEnabled);
    EXPECT_FALSE(seen.TypeEnabled);
    EXPECT_EQ(LastFileIndex, 1);
    EXPECT_TRUE(BMIs16Bit && MATIs16Bit && MATIsColor && SFTIs16Bit);
}

// Guards the memory of the dialog: a confirmed MAT choice comes back at the next showing and,
// through the saved settings, in the next run.
TEST_F(NewFormTest, ConfirmedChoiceIsRememberedWithinAndAcrossRuns)
{
    Show(Form, [](TNewForm &f) {
        f.FileGroup->Button(2)->click();
        f.ColorDepthGroup->Button(1)->click();
        f.TypeGroup->Button(0)->click();
        f.OKButtonClick();
    });
    EXPECT_EQ(LastFileIndex, 2);
    EXPECT_TRUE(MATIs16Bit);
    EXPECT_TRUE(MATIsColor);

    TGroupsState again{};
    Show(Form, [&](TNewForm &f) { again = Groups(f); });
    EXPECT_EQ(again.File, 2);
    EXPECT_EQ(again.Depth, 1);
    EXPECT_EQ(again.Type, 0);
    EXPECT_TRUE(again.TypeEnabled);

    SaveSettings(nullptr);
    ClearSettings();
    LoadSettings(nullptr);
    TNewForm nextRun;
    TGroupsState next{};
    Show(nextRun, [&](TNewForm &f) { next = Groups(f); });
    EXPECT_EQ(next.File, 2);
    EXPECT_EQ(next.Depth, 1);
    EXPECT_EQ(next.Type, 0);
}

// Guards that switching kinds reloads the stored depth instead of carrying a pick across.
TEST_F(NewFormTest, SwitchingKindsBackShowsTheStoredDepth)
{
    BMIs16Bit = false;
    MATIs16Bit = true;
    int bmDepthAfterSwitch = -2, matDepth = -2;
    Show(Form, [&](TNewForm &f) {
        f.ColorDepthGroup->Button(1)->click(); // 16-bit for the BM...
        f.FileGroup->Button(2)->click();       // ...then MAT...
        matDepth = f.ColorDepthGroup->ItemIndex();
        f.FileGroup->Button(0)->click();       // ...and back to BM
        bmDepthAfterSwitch = f.ColorDepthGroup->ItemIndex();
    });
    EXPECT_EQ(matDepth, 1);
    EXPECT_EQ(bmDepthAfterSwitch, 0);
    EXPECT_FALSE(BMIs16Bit);
}

// Guards Cancel (button and close box): no setting changes and the next showing shows the
// stored choices, not the cancelled ones.
TEST_F(NewFormTest, CancelKeepsTheStoredChoices)
{
    LastFileIndex = 3;
    SFTIs16Bit = false;
    const int byButton = Show(Form, [](TNewForm &f) {
        f.ColorDepthGroup->Button(1)->click();
        f.CancelButtonClick();
    });
    const int byCloseBox = Show(Form, [](TNewForm &f) {
        f.FileGroup->Button(2)->click();
        f.close();
    });
    EXPECT_EQ(byButton, mrCancel);
    EXPECT_EQ(byCloseBox, mrCancel);
    EXPECT_EQ(LastFileIndex, 3);
    EXPECT_FALSE(SFTIs16Bit);

    TGroupsState seen{};
    Show(Form, [&](TNewForm &f) { seen = Groups(f); });
    EXPECT_EQ(seen.File, 3);
    EXPECT_EQ(seen.Depth, 0);
    EXPECT_FALSE(seen.TypeEnabled);
}
