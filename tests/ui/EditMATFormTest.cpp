// The Edit MAT Properties dialog: what a showing starts from, the mipmap combo, the fill
// colour through Select Color or the colour dialog, which settings OK writes (Cancel none),
// and the real widgets at the form's size.
#include <functional>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "GLM_TestPlatform.h"
#include "TestPalettes.h"
#include "ui/mat/GLM_EditMATForm.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

QRgb Swatch(const TEditMATForm &form)
{
    return form.FillImage->pixmap().toImage().pixel(30, 12);
}

class EditMATFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        SelectColorForm = &Picker;
        Form.Palette = testutil::Ramp();
        Form.HasFrames = true;
    }
    void TearDown() override { SelectColorForm = nullptr; }

    // One showing; `user` plays the dialog, `picker` the Select Color it opens.
    int Show(const std::function<void(TEditMATForm &)> &user,
             const std::function<void(TSelectColorForm &)> &picker = {})
    {
        TScopedModalDriver driver([&](TModalForm &form) {
            if (auto *p = dynamic_cast<TSelectColorForm *>(&form))
                picker(*p);
            else
                user(Form);
        });
        return Form.ShowModal();
    }

    TTestPlatform Desk;
    TSelectColorForm Picker;
    TEditMATForm Form;
};

} // namespace

// NumberMipmaps 3 shows "3"; "4" and OK store 4 with the boxes' states; the first-run count 1
// keeps the last selection; Cancel writes nothing; Generate off disables the combo at once.
TEST_F(EditMATFormTest, MipmapCountAndSettings)
{
    Form.AutoMipmaps = true;
    Form.NumberMipmaps = 3;
    Form.FillColor = 17;
    EXPECT_EQ(Show([](TEditMATForm &f) {
                  EXPECT_EQ(f.MipmapsCombo->currentText(), "3");
                  f.MipmapsCombo->setCurrentIndex(2);
                  f.NewTransBox->setChecked(true);
                  f.FrameTransBox->setChecked(true);
                  f.OKButtonClick();
              }),
              mrOk);
    EXPECT_EQ(Settings.MATNumberMipmaps, 4);
    EXPECT_TRUE(Settings.MATAutoMipmaps && Settings.MATNewTrans && Settings.MATFrameTrans);
    EXPECT_EQ(Settings.MATFillIndex, 17);
    EXPECT_EQ(Settings.MATFillColor, 0); // the 16-bit fill is not an 8-bit MAT's

    Form.NumberMipmaps = 1;
    EXPECT_EQ(Show([](TEditMATForm &f) {
                  EXPECT_EQ(f.MipmapsCombo->currentText(), "4");
                  f.MipmapsBox->click();
                  EXPECT_FALSE(f.MipmapsCombo->isEnabled());
                  f.CancelButton->click();
              }),
              mrCancel);
    EXPECT_TRUE(Settings.MATAutoMipmaps);
}

// Without a frame the current-frame controls are off and the swatch hidden.
TEST_F(EditMATFormTest, NoFrameDisablesTheCurrentFrameGroup)
{
    Form.HasFrames = false;
    Show([](TEditMATForm &f) {
        EXPECT_FALSE(f.FrameTransBox->isEnabled());
        EXPECT_FALSE(f.SelectButton->isEnabled());
        EXPECT_FALSE(f.FillImage->isVisible());
    });
}

// 8-bit: the index and Palette[index]; Select Color is handed palette and index and its pick
// counts on OK only.
TEST_F(EditMATFormTest, EightBitFillThroughSelectColor)
{
    Form.FillColor = 17;
    int calls = 0;
    Show(
        [](TEditMATForm &f) {
            EXPECT_EQ(f.FillLabel->text(), "Fill Color Index: 17");
            EXPECT_EQ(Swatch(f), qRgb(17, 238, 119));
            f.SelectButtonClick(); // cancelled
            f.SelectButtonClick(); // 200
            EXPECT_EQ(f.FillLabel->text(), "Fill Color Index: 200");
            EXPECT_EQ(Swatch(f), qRgb(200, 55, 120));
            f.OKButtonClick();
        },
        [&](TSelectColorForm &picker) {
            EXPECT_EQ(picker.SelectedIndex, 17);
            EXPECT_EQ(picker.Palette, Form.Palette);
            if (calls++ == 1) {
                picker.SelectedIndex = 200;
                picker.OKButtonClick();
            }
        });
    EXPECT_EQ(Settings.MATFillIndex, 200);
}

// 16-bit: the RGB565 word as text and swatch; the colour dialog opens on it and its choice
// is packed back to RGB565; Cancel keeps the word.
TEST_F(EditMATFormTest, SixteenBitFillThroughColorDialog)
{
    Form.Is16Bit = true;
    Form.FillColor = 0xC01F;
    Desk.Colors.Answers = {std::nullopt, MakeColor(0, 255, 0)};
    Show([](TEditMATForm &f) {
        EXPECT_EQ(f.FillLabel->text(), "Fill Color RGB: 192 0 255");
        EXPECT_EQ(Swatch(f), qRgb(192, 0, 255));
        f.SelectButtonClick();
        EXPECT_EQ(f.FillColor, 0xC01Fu);
        f.SelectButtonClick();
        f.OKButtonClick();
    });
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(192, 0, 255));
    EXPECT_EQ(Settings.MATFillColor, 0x07E0);
    EXPECT_EQ(Settings.MATFillIndex, 0);
}

// The real widgets: at least the form's 391 x 139, nothing squeezed below what its text needs.
TEST_F(EditMATFormTest, NothingClippedOnTheRealDialog)
{
    Form.Is16Bit = true;
    Form.FillColor = 0xFFFF;
    Form.show();
    EXPECT_GE(Form.width(), 391);
    EXPECT_GE(Form.height(), 139);
    for (QWidget *w : Form.findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className();
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->metaObject()->className();
        EXPECT_TRUE(Form.rect().contains(QRect(w->mapTo(&Form, QPoint(0, 0)), w->size())));
    }
    Form.hide();
}
