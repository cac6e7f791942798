// The SFT window inside the real main window, on the scripted desktop: a new font's panels
// and commands, Add Frame with exact matching and 16-bit packing, the character under the
// mouse, Delete Frame, Save and Save As (with the no-characters warning), Save Bitmap's name,
// Edit Properties and its settings, and what a font without its strip writes on closing.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include "DocumentFormFixture.h"
#include "core/GLM_Bitmaps.h"

using namespace formtest;
using C = TCommand;

namespace {

// A 24-bit picture file of the given colours in one row.
std::string PictureFile(const TempDir &dir, const std::string &name, const std::vector<QColor> &row)
{
    QImage image(int(row.size()), 1, QImage::Format_RGB888);
    for (int x = 0; x < int(row.size()); ++x)
        image.setPixelColor(x, 0, row[size_t(x)]);
    image.save(QString::fromStdString(dir.File(name)));
    return dir.File(name);
}

class SFTFormTest : public TDocumentFormTest<TSFTForm>
{
protected:
    std::vector<std::string> Panels() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < StatusPanelCount; ++i)
            texts.push_back(Main->StatusPanel(i));
        return texts;
    }
    void MoveMouse(TSFTForm *sft, int x)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 0), sft->Image()->mapToGlobal(QPointF(x, 0)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sft->Image(), &move);
        Settle();
    }
};

} // namespace

TEST_F(SFTFormTest, NewFontsShowTheirSettings)
{
    SFTTransIndex = 5;
    SFTCharacterGap = 2;
    SFTSpaceLength = 9;
    TSFTForm *sft = New();
    EXPECT_EQ(sft->windowTitle(), "Untitled0.sft [1:1]");
    EXPECT_EQ(Panels(), (std::vector<std::string>{"8-Bit SFT", "Size: 0 x 0", "Trans Index: 5",
                                                  "Character Gap: 2", "Space Length: 9", "", "",
                                                  "Display Palette: Uicolormap"}));
    EXPECT_EQ(sft->parentWidget()->size(), QSize(200, 200));
    EXPECT_FALSE(sft->Modified);
}

TEST_F(SFTFormTest, AddFrameMatchesColoursExactly)
{
    TSFTForm *sft = New();
    sft->Palette.fill({0, 0, 0});
    sft->Palette[7] = {1, 2, 3};
    sft->Palette[9] = {1, 2, 3};
    const std::string picture = PictureFile(Dir, "strip.bmp", {QColor(1, 2, 3), QColor(4, 5, 6)});
    Desk.Dialogs.Accept({picture});
    Run(C::AddFrames);
    const TFileDialogRequest &request = Desk.Dialogs.Shown.at(0);
    EXPECT_EQ(request.Title, "Add Bitmap");
    EXPECT_FALSE(request.MultiSelect);

    EXPECT_EQ(sft->Document.Pixels, (std::vector<uint8_t>{7, 255}));
    EXPECT_EQ(sft->Document.BMHeader.NumImages, 1);
    EXPECT_TRUE(sft->Modified);
    EXPECT_EQ(Panels()[1], "Size: 2 x 1");
    EXPECT_EQ(sft->size(), QSize(150, 1));

    // Not a picture: reported, and a second font keeps its state. From the popup menu too,
    // where nothing of the main window stands between the error and Qt's event loop.
    TSFTForm *other = New();
    Desk.Dialogs.Accept({Put("junk.bmp", {1, 2, 3})});
    Run(C::AddFrames);
    Desk.Dialogs.Accept({Dir.File("junk.bmp")});
    other->PopupMenu()->findChild<QAction *>("AddFrames1")->trigger();
    EXPECT_EQ(Desk.Boxes.Shown.size(), 2u);
    EXPECT_EQ(other->Document.BMHeader.NumImages, 0);
    EXPECT_FALSE(other->Modified);
}

TEST_F(SFTFormTest, AddFramePacksSixteenBitWords)
{
    SFTIs16Bit = true;
    SFTTransColor = 0xF800;
    TSFTForm *sft = New();
    EXPECT_EQ(Panels()[0], "16-Bit SFT");
    EXPECT_EQ(Panels()[2], "RGB: 255 0 0");
    EXPECT_EQ(Panels()[7], "");
    Desk.Dialogs.Accept({PictureFile(Dir, "strip.bmp", {QColor(255, 255, 255), QColor(8, 4, 8)})});
    Run(C::AddFrames);
    // 65535 and 2081, little-endian.
    EXPECT_EQ(sft->Document.Pixels, (std::vector<uint8_t>{0xFF, 0xFF, 0x21, 0x08}));
    // Drawn from the words: white, then the widened (8, 4, 8).
    const QImage shown = sft->Image()->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(1, 0), qRgb(8, 4, 8));
}

TEST_F(SFTFormTest, CharacterUnderTheMouseAtZoomTwo)
{
    TSFTForm *sft = Open(Put("ab.sft", SFTBytes({{65, 10, 5}, {66, 15, 4}}, 40, 2)));
    ASSERT_TRUE(sft);
    Run(C::ZoomIn);
    std::string readouts; // past the last character (x 70) the panel keeps its text
    for (int x : {19, 20, 29, 30, 70}) {
        MoveMouse(sft, x);
        readouts += Main->StatusPanel(6) + "|";
    }
    EXPECT_EQ(readouts, "|Character: A|Character: A|Character: B|Character: B|");
    EXPECT_EQ(Main->StatusPanel(3), "Character Gap: 1");
    // Any other report starts the panel afresh.
    Run(C::ZoomIn);
    EXPECT_EQ(Main->StatusPanel(6), "");
    // Not the active window: no readout.
    TSFTForm *other = New();
    ASSERT_NE(other, sft);
    MoveMouse(sft, 20);
    EXPECT_EQ(Main->StatusPanel(6), "");
}

TEST_F(SFTFormTest, DeleteFrameAtZoomFour)
{
    TSFTForm *sft = Open(Put("d.sft", SFTBytes({{65, 0, 3}}, 30, 8)));
    for (int k = 0; k < 3; ++k)
        Run(C::ZoomIn);
    EXPECT_EQ(sft->size(), QSize(150, 32)); // 30 * 4 is below the narrowest window
    Run(C::DeleteFrame);
    EXPECT_EQ(sft->Zoom(), 1);
    EXPECT_EQ(sft->parentWidget()->size(), QSize(200, 200));
    EXPECT_EQ(sft->windowTitle(), "d.sft [1:1]");
    EXPECT_EQ(Panels()[1], "Size: 30 x 8");
    EXPECT_FALSE(sft->Modified);
    EXPECT_EQ(sft->Document.Chars.Count(), 1);
    EXPECT_TRUE(sft->Image()->Picture().isNull());
}

TEST_F(SFTFormTest, SaveAsSaveAndSaveBitmapNames)
{
    SFTCharacterGap = 1; // as SFTBytes writes them
    SFTSpaceLength = 6;
    TSFTForm *sft = New();
    Desk.Dialogs.Accept({PictureFile(Dir, "s.bmp", {QColor(0, 0, 0)})});
    Run(C::AddFrames);
    Run(C::ZoomIn);
    const std::string big = Dir.File("big.sft");
    Desk.Dialogs.Accept({big});
    Run(C::SaveAs);
    EXPECT_EQ(Desk.Dialogs.Shown.back().Title, "Save As SFT Font");
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "Untitled0.sft");
    EXPECT_EQ(sft->windowTitle(), "big.sft [2:1]");
    EXPECT_FALSE(sft->Modified);
    // The font is written, and the warning said once.
    EXPECT_EQ(Messages(), (std::vector<std::string>{NoCharactersWarning}));
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Warning);
    // Uicolormap's index of black in the first pixel, no ranges.
    EXPECT_EQ(ReadFile(big), SFTBytes({}, 1, 1, 8, sft->Document.Pixels.at(0)));

    // Save over it: the old file becomes the backup, and the warning comes once more.
    BackupFile = true;
    const std::vector<uint8_t> first = ReadFile(big);
    sft->Modified = true;
    Run(C::Save);
    EXPECT_EQ(ReadFile(Dir.File("big.~sft")), first);
    EXPECT_EQ(Messages().size(), 2u);

    // Save Bitmap proposes the font's name, and writes the strip at the zoom.
    Desk.Dialogs.Accept({Dir.File("out.bmp")});
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "big.bmp");
    EXPECT_EQ(ReadBitmapFile(Dir.File("out.bmp")).Width, 2);
}

TEST_F(SFTFormTest, EditPropertiesHandsOverAndOKChangesTheFontAndTheNextOne)
{
    TSFTForm *sft = Open(Put("ab.sft", SFTBytes({{65, 0, 8}, {66, 8, 7}}, 16, 16)));
    ASSERT_TRUE(sft);
    Run(C::ZoomIn);
    std::vector<TCharRow> shownRows;
    QSize shownBitmap;
    User = [&](TModalForm &form) {
        auto &dialog = dynamic_cast<TEditSFTForm &>(form);
        shownRows = dialog.Rows();
        shownBitmap = dialog.FontBitmap.size();
        dialog.CharacterGapBox->setText("3");
        dialog.SetCellText(0, TEditSFTForm::AsciiColumn, "97");
        dialog.OKButtonClick();
    };
    Run(C::EditProperties);
    EXPECT_EQ(shownRows, (std::vector<TCharRow>{{"65", "A", "0", "8"}, {"66", "B", "8", "7"}}));
    EXPECT_EQ(shownBitmap, QSize(16, 16)); // the strip at 1:1 whatever the zoom
    EXPECT_EQ(sft->Document.Header.CharGap, 3);
    EXPECT_EQ(sft->Document.Chars[0].Code, 97);
    EXPECT_TRUE(sft->Modified);
    EXPECT_EQ(Main->StatusPanel(3), "Character Gap: 3");
    EXPECT_EQ(SFTCharacterGap, 3);
    EXPECT_EQ(New()->Document.Header.CharGap, 3);

    // Cancel leaves the font alone.
    sft->Modified = false;
    Main->ActivateDocument(sft);
    User = [](TModalForm &form) {
        auto &dialog = dynamic_cast<TEditSFTForm &>(form);
        dialog.CharacterGapBox->setText("8");
        dialog.CancelButtonClick();
    };
    Run(C::EditProperties);
    EXPECT_EQ(sft->Document.Header.CharGap, 3);
    EXPECT_FALSE(sft->Modified);
}

TEST_F(SFTFormTest, ClosingAFontWithoutItsStripWritesAnEmptyBitmap)
{
    const std::string path = Put("c.sft", SFTBytes({{65, 0, 2}}, 4, 2));
    TSFTForm *sft = Open(path);
    User = [](TModalForm &form) { dynamic_cast<TEditSFTForm &>(form).OKButtonClick(); };
    Run(C::EditProperties);
    Run(C::DeleteFrame);
    ASSERT_TRUE(sft->Modified);
    Desk.Boxes.Answers = {TMessageResult::Yes};
    sft->parentWidget()->close();
    Settle();
    EXPECT_TRUE(Main->DocumentWindows().empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Save changes to c.sft?"}));
    EXPECT_EQ(ReadFile(path), SFTBytes({{65, 0, 2}}, 0, 0, 8, 1, 0));
}
