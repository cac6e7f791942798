// The Edit MAT Properties dialog: what a showing starts from, the mipmap count and its combo,
// the fill colour chosen through Select Color or the colour dialog, and which settings OK
// writes (Cancel none).
#include <functional>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "GLM_TestPlatform.h"
#include "ui/documents/GLM_EditMATForm.h"
#include "ui/palettes/GLM_SelectColorForm.h"
#include "ui/shell/GLM_Settings.h"

namespace {

TPalette Ramp()
{
    TPalette p{};
    for (int k = 0; k < 256; ++k)
        p[static_cast<size_t>(k)] = {static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k),
                                     static_cast<uint8_t>((k * 7) & 0xFF)};
    return p;
}

QRgb SwatchPixel(const TEditMATForm &form)
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
        Form.Palette = Ramp();
        Form.HasFrames = true;
    }
    void TearDown() override { SelectColorForm = nullptr; }

    // One showing; `user` plays the user while the dialog (or the picker it opens) is up.
    int Show(const std::function<void(TEditMATForm &)> &user,
             const std::function<void(TSelectColorForm &)> &picker = {})
    {
        TScopedModalDriver driver([&](TModalForm &form) {
            if (auto *p = dynamic_cast<TSelectColorForm *>(&form)) {
                if (picker)
                    picker(*p);
            } else {
                user(Form);
            }
        });
        return Form.ShowModal();
    }

    TTestPlatform Desk;
    TSelectColorForm Picker;
    TEditMATForm Form;
};

} // namespace

// The combo follows NumberMipmaps 2..4 and keeps the last selection for any other count;
// the chosen item is what OK stores, and the other settings take their boxes.
TEST_F(EditMATFormTest, MipmapCountAndSettingsWrittenOnOK)
{
    Form.AutoMipmaps = true;
    Form.NumberMipmaps = 3;
    Form.FillColor = 17;
    Form.FrameTrans = true;
    int result = Show([](TEditMATForm &f) {
        EXPECT_EQ(f.MipmapsCombo->currentText(), "3");
        EXPECT_TRUE(f.MipmapsCombo->isEnabled());
        EXPECT_TRUE(f.FrameTransBox->isChecked());
        f.MipmapsCombo->setCurrentIndex(2);
        f.NewTransBox->setChecked(true);
        f.AverageFillBox->setChecked(false);
        f.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(MATNumberMipmaps, 4);
    EXPECT_TRUE(MATAutoMipmaps);
    EXPECT_TRUE(MATNewTrans);
    EXPECT_FALSE(MATAverageFill);
    EXPECT_TRUE(MATFrameTrans);
    EXPECT_EQ(MATFillIndex, 17);
    EXPECT_EQ(MATFillColor, 0); // the 16-bit fill setting is not touched by an 8-bit MAT

    // The first-run count 1 is not an item: the combo stays where the last showing left it.
    Form.NumberMipmaps = 1;
    Show([](TEditMATForm &f) {
        EXPECT_EQ(f.MipmapsCombo->currentText(), "4");
        f.OKButtonClick();
    });
    EXPECT_EQ(Form.NumberMipmaps, 4);
}

// Unchecking Generate disables the combo at once and OK stores manual mipmaps.
TEST_F(EditMATFormTest, GenerateOffDisablesTheCombo)
{
    Form.AutoMipmaps = true;
    Form.NumberMipmaps = 2;
    MATAutoMipmaps = true;
    Show([](TEditMATForm &f) {
        f.MipmapsBox->click();
        EXPECT_FALSE(f.MipmapsCombo->isEnabled());
        f.OKButtonClick();
    });
    EXPECT_FALSE(MATAutoMipmaps);
    EXPECT_FALSE(Form.AutoMipmaps);
}

TEST_F(EditMATFormTest, CancelWritesNothing)
{
    MATNumberMipmaps = 3;
    MATFillIndex = 9;
    Form.NumberMipmaps = 3;
    Form.FillColor = 9;
    const int result = Show([](TEditMATForm &f) {
        f.MipmapsCombo->setCurrentIndex(0);
        f.FrameTransBox->setChecked(false);
        f.CancelButton->click();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(MATNumberMipmaps, 3);
    EXPECT_EQ(MATFillIndex, 9);
}

// Without a frame the current-frame controls are off and the swatch hidden; with one they
// come back on the next showing.
TEST_F(EditMATFormTest, CurrentFrameControlsFollowHasFrames)
{
    Form.HasFrames = false;
    Show([](TEditMATForm &f) {
        EXPECT_FALSE(f.FrameTransBox->isEnabled());
        EXPECT_FALSE(f.FillLabel->isEnabled());
        EXPECT_FALSE(f.SelectButton->isEnabled());
        EXPECT_FALSE(f.FillImage->isVisible());
    });
    Form.HasFrames = true;
    Show([](TEditMATForm &f) {
        EXPECT_TRUE(f.FrameTransBox->isEnabled());
        EXPECT_TRUE(f.SelectButton->isEnabled());
        EXPECT_TRUE(f.FillImage->isVisible());
    });
}

// 8-bit: the index and its palette colour; Select hands palette and index to Select Color
// and takes its pick on OK only.
TEST_F(EditMATFormTest, EightBitFillThroughSelectColor)
{
    const TPalette p = Ramp();
    Form.FillColor = 17;
    Show(
        [&](TEditMATForm &f) {
            EXPECT_EQ(f.FillLabel->text(), "Fill Color Index: 17");
            EXPECT_EQ(SwatchPixel(f), qRgb(p[17].Red, p[17].Green, p[17].Blue));
            f.SelectButtonClick(); // picker cancels
            EXPECT_EQ(f.FillColor, 17u);
            f.SelectButtonClick(); // picker picks 200
            EXPECT_EQ(f.FillLabel->text(), "Fill Color Index: 200");
            EXPECT_EQ(SwatchPixel(f), qRgb(p[200].Red, p[200].Green, p[200].Blue));
            f.OKButtonClick();
        },
        [&, calls = 0](TSelectColorForm &picker) mutable {
            EXPECT_EQ(picker.SelectedIndex, 17);
            EXPECT_EQ(picker.Palette, p);
            if (calls++ == 0)
                return;
            picker.SelectedIndex = 200;
            picker.OKButtonClick();
        });
    EXPECT_EQ(MATFillIndex, 200);
}

// 16-bit: the RGB565 word as text and colour; the colour dialog opens on it and its choice
// is packed back to RGB565; Cancel keeps the word.
TEST_F(EditMATFormTest, SixteenBitFillThroughColorDialog)
{
    Form.Is16Bit = true;
    Form.FillColor = 0xC01F;
    Desk.Colors.Answers = {std::nullopt, MakeColor(0, 255, 0)};
    Show([](TEditMATForm &f) {
        EXPECT_EQ(f.FillLabel->text(), "Fill Color RGB: 192 0 255");
        EXPECT_EQ(SwatchPixel(f), qRgb(192, 0, 255));
        f.SelectButtonClick();
        EXPECT_EQ(f.FillColor, 0xC01Fu);
        f.SelectButtonClick();
        f.OKButtonClick();
    });
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(192, 0, 255));
    EXPECT_EQ(MATFillColor, 0x07E0);
    EXPECT_EQ(MATFillIndex, 0);
}

// The real widgets at the form's size: nothing is squeezed below what its text needs.
TEST_F(EditMATFormTest, NothingClippedOnTheRealDialog)
{
    Form.Is16Bit = true;
    Form.FillColor = 0xFFFF;
    Form.show();
    Form.adjustSize();
    EXPECT_GE(Form.width(), 391);
    EXPECT_GE(Form.height(), 139);
    for (QWidget *w : Form.findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        const QSize need = w->minimumSizeHint();
        EXPECT_GE(w->width(), need.width()) << w->metaObject()->className();
        EXPECT_GE(w->height(), need.height()) << w->metaObject()->className();
        EXPECT_TRUE(Form.rect().contains(QRect(w->mapTo(&Form, QPoint(0, 0)), w->size())));
    }
    Form.hide();
}
