// The Edit SFT Properties dialog on its real widgets: what a showing starts from, the
// derived "Char"/"ASCII" cells through the table's own editing, the row buttons, the glyph
// preview, the transparent colour pickers, and what OK writes or refuses.
#include <functional>

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "GLM_TestPlatform.h"
#include "ui/sft/GLM_EditSFTForm.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

TSFTCharList AB()
{
    TSFTCharList chars;
    chars.Add({65, 0, 8});
    chars.Add({66, 8, 7});
    return chars;
}

// Column x of the strip has the colour (x + 1, 0, 0).
QImage Strip(int width, int height)
{
    QImage strip(width, height, QImage::Format_RGB888);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            strip.setPixelColor(x, y, QColor(x + 1, 0, 0));
    return strip;
}

class EditSFTFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        SelectColorForm = new TSelectColorForm;
        Form.FontBitmap = Strip(40, 16);
        Form.CharGap = 1;
        Form.SpaceLength = 5;
        Form.TransColor = 3;
        for (int k = 0; k < 256; ++k)
            Form.Palette[static_cast<size_t>(k)] = {static_cast<uint8_t>(k), 10, 20};
        Form.SetCharacters(AB());
    }
    void TearDown() override
    {
        delete SelectColorForm;
        SelectColorForm = nullptr;
    }

    // Shows the dialog once; `user` plays the user while it is open.
    int Show(const std::function<void()> &user)
    {
        TScopedModalDriver driver([&](TModalForm &) { user(); });
        return Form.ShowModal();
    }

    std::vector<std::string> Row(int row) const
    {
        return {Form.CellText(row, 0), Form.CellText(row, 1), Form.CellText(row, 2),
                Form.CellText(row, 3)};
    }

    // Types `text` into a cell through the table's own editor and commits it with Enter.
    void Type(int row, int column, const QString &text)
    {
        Form.CharGrid->setCurrentCell(row, column);
        Form.CharGrid->editItem(Form.CharGrid->item(row, column));
        QLineEdit *editor = nullptr;
        for (QLineEdit *e : Form.CharGrid->viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                editor = e;
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        QApplication::processEvents();
    }

    QSize PreviewSize() const { return Form.CharImage->pixmap().size(); }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    TEditSFTForm Form;
};

} // namespace

TEST_F(EditSFTFormTest, ShowingStartsFromTheHandedOverFont)
{
    Show([&] {
        EXPECT_EQ(Form.CharacterGapBox->text(), "1");
        EXPECT_EQ(Form.TransLabel->text(), "Palette Index : 3");
        EXPECT_EQ(Form.TransImage->pixmap().toImage().pixelColor(30, 12), QColor(3, 10, 20));
        EXPECT_EQ(Form.CharGrid->horizontalHeaderItem(0)->text(), "ASCII");
        ASSERT_EQ(Form.CharGrid->rowCount(), 2);
        EXPECT_EQ(Row(0), (std::vector<std::string>{"65", "A", "0", "8"}));
        EXPECT_EQ(Row(1), (std::vector<std::string>{"66", "B", "8", "7"}));
        EXPECT_EQ(PreviewSize(), QSize(40, 80));
        // Selecting the second row previews its glyph: 7 wide from column 8, factor 5.
        Form.CharGrid->setCurrentCell(1, 2);
        EXPECT_EQ(PreviewSize(), QSize(35, 80));
        EXPECT_EQ(Form.CharImage->pixmap().toImage().pixelColor(0, 0), QColor(9, 0, 0));
    });
    // A font without bitmap has no preview.
    Form.FontBitmap = QImage();
    Show([&] { EXPECT_TRUE(Form.CharImage->pixmap().isNull()); });
}

TEST_F(EditSFTFormTest, TypedCellsDeriveTheirPartner)
{
    Show([&] {
        Type(0, TEditSFTForm::AsciiColumn, "97");
        EXPECT_EQ(Row(0), (std::vector<std::string>{"97", "a", "0", "8"}));
        Type(1, TEditSFTForm::CharColumn, "b");
        EXPECT_EQ(Row(1), (std::vector<std::string>{"98", "b", "8", "7"}));
        // A code above 255 keeps its text; only "Char" follows its low byte.
        Type(1, TEditSFTForm::AsciiColumn, "353");
        EXPECT_EQ(Row(1), (std::vector<std::string>{"353", "a", "8", "7"}));
        Type(1, TEditSFTForm::CharColumn, "xy");
        EXPECT_EQ(Form.CellText(1, 0), "353");
        EXPECT_TRUE(Desk.Boxes.Shown.empty());

        // A code that is not a number is reported and stays in the cell.
        Type(0, TEditSFTForm::AsciiColumn, "9x");
        ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
        EXPECT_EQ(Desk.Boxes.Shown[0].Text, "'9x' is not a valid integer value");
        EXPECT_EQ(Form.CellText(0, 0), "9x");

        // A new width previews at once; a strip too high for the preview shows nothing.
        Type(0, TEditSFTForm::WidthColumn, "30");
        EXPECT_EQ(PreviewSize(), QSize(90, 48));
        Form.FontBitmap = Strip(40, 100);
        Type(0, TEditSFTForm::WidthColumn, "20");
        EXPECT_TRUE(Form.CharImage->pixmap().isNull());
    });
}

TEST_F(EditSFTFormTest, RowButtonsAddInsertAndDelete)
{
    Show([&] {
        Form.AddButtonClick();
        ASSERT_EQ(Form.CharGrid->rowCount(), 3);
        EXPECT_EQ(Row(2), (std::vector<std::string>{"0", "", "0", "0"}));
        EXPECT_EQ(Form.CharGrid->currentRow(), 2);

        Form.CharGrid->setCurrentCell(0, 1);
        Form.InsertButtonClick();
        EXPECT_EQ(Row(0), (std::vector<std::string>{"0", "", "0", "0"}));
        EXPECT_EQ(Row(1)[1] + Row(2)[1], "AB");
        EXPECT_EQ(Form.CharGrid->currentRow(), 0);

        Form.CharGrid->setCurrentCell(1, 0);
        Form.DeleteButtonClick();
        EXPECT_EQ(Row(1)[1], "B");
        for (int k = 0; k < 5; ++k)
            Form.DeleteButtonClick();
        EXPECT_EQ(Form.CharGrid->rowCount(), 0);
        Form.InsertButtonClick();
        EXPECT_EQ(Form.CharGrid->rowCount(), 1);
    });
}

TEST_F(EditSFTFormTest, OKWritesTheSettingsOrRefusesABadTable)
{
    Settings.SFTTransIndex = 9;
    Settings.SFTSpaceLength = 6;
    int result = Show([&] {
        Form.CharacterGapBox->setText("3");
        Form.SpaceLengthBox->setText("six"); // keeps its setting; the rest goes ahead
        Form.SetCellText(1, TEditSFTForm::OffsetColumn, ""); // drops B
        Form.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Settings.SFTCharacterGap, 3);
    EXPECT_EQ(Settings.SFTSpaceLength, 6);
    EXPECT_EQ(Settings.SFTTransIndex, 3);
    ASSERT_EQ(Form.Characters.Count(), 1);
    EXPECT_EQ(Form.Characters[0], (TSFTCharDef{65, 0, 8}));
    EXPECT_EQ(Messages(), std::vector<std::string>{"'six' is not a valid integer value"});

    // A counting cell that is not a number keeps the dialog open, nothing changed.
    Desk.Boxes.Shown.clear();
    Form.SetCharacters(AB());
    result = Show([&] {
        Form.CharacterGapBox->setText("7");
        Form.SetCellText(1, TEditSFTForm::WidthColumn, "7px");
        Form.OKButtonClick();
        EXPECT_TRUE(Form.isVisible());
        Form.CancelButtonClick();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(Settings.SFTCharacterGap, 3);
    EXPECT_EQ(Form.Characters.Count(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"'7px' is not a valid integer value"});
}

TEST_F(EditSFTFormTest, TransparentColourPickers)
{
    // 8-bit: the Select Color dialog starts at the index and returns the new one.
    int shownWith = -1;
    Show([&] {
        TScopedModalDriver picker([&](TModalForm &) {
            shownWith = SelectColorForm->SelectedIndex;
            SelectColorForm->SelectedIndex = 200;
            SelectColorForm->OKButtonClick();
        });
        Form.SelectButtonClick();
    });
    EXPECT_EQ(shownWith, 3);
    EXPECT_EQ(Form.TransLabel->text(), "Palette Index : 200");

    // 16-bit: the colour dialog, packed to RGB565; a cancel changes nothing.
    Form.Is16Bit = true;
    Form.TransColor = 0xF800;
    Desk.Colors.Answers = {MakeColor(255, 255, 255), std::nullopt};
    Show([&] {
        EXPECT_EQ(Form.TransLabel->text(), "RGB: 255 0 0");
        Form.SelectButtonClick();
        Form.SelectButtonClick();
    });
    EXPECT_EQ(Desk.Colors.Shown,
              (std::vector<uint32_t>{MakeColor(255, 0, 0), MakeColor(255, 255, 255)}));
    EXPECT_EQ(Form.TransColor, 65535);
}
