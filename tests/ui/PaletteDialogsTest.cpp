// The palette pickers on their real widgets: the painted grid, the readout under the mouse,
// palettes taken or refused, entries edited only in "Internal", Save As with its forced
// extensions and replace confirmation, and the colour picker's clicks.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "TestPalettes.h"
#include "core/palettes/Microsoft_PAL.h"
#include "ui/dialogs/GLM_PaletteGrid.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_Settings.h"

using namespace testutil;

namespace {

QRgb Pixel(TPaletteGrid *grid, int x, int y)
{
    return grid->grab().toImage().pixel(x, y);
}

template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
{
    TScopedModalDriver driver([&](TModalForm &) { user(form); });
    return form.ShowModal();
}

// A mouse event through the application, which drops button-less moves of a widget that
// does not track the mouse.
void Mouse(QWidget *target, QEvent::Type type, int x, int y)
{
    const bool down = type == QEvent::MouseButtonDblClick;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton;
    QMouseEvent event(type, QPointF(x, y), target->mapToGlobal(QPointF(x, y)), button,
                      down ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// The widgets Tab visits, from `first` round to it.
std::vector<QWidget *> TabChain(QWidget *first)
{
    std::vector<QWidget *> chain{first};
    for (QWidget *w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
        if (w->window() == first->window() && (w->focusPolicy() & Qt::TabFocus))
            chain.push_back(w);
    return chain;
}

class SelectPaletteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        FileReplaceForm = &Replace;
        Form.PaletteName = "Dflt";
        Form.Palette = Ramp();
    }
    void TearDown() override { FileReplaceForm = nullptr; }

    // Save As of a typed name under a filter; a replace question is noted and answered.
    void SaveAs(const std::string &typed, int filter, int replaceAnswer = mrNo)
    {
        TScopedModalDriver answer([&](TModalForm &form) {
            Asked.push_back(Replace.FileName + (Replace.MultipleFiles ? " (multiple)" : ""));
            form.SetModalResult(replaceAnswer);
        });
        Desk.Dialogs.Accept({typed}, filter);
        Form.SaveAsButtonClick();
    }

    TTestPlatform Desk;
    TempDir Dir;
    TFileReplaceForm Replace;
    TSelectPaletteForm Form;
    std::vector<std::string> Asked;
};

} // namespace

// Cell k at 15 x column, 15 x row; white lines over every 15th pixel row and column across
// the whole grid; the last cell reaches pixel 239.
TEST(PaletteGridTest, PaintedCellsAndLines)
{
    const TPalette p = Ramp();
    TPaletteGrid grid;
    grid.DrawPalette(p);
    const auto rgb = [&](int k) { return qRgb(p[k].Red, p[k].Green, p[k].Blue); };
    EXPECT_EQ(grid.grab().size(), QSize(240, 240));
    EXPECT_EQ(Pixel(&grid, 14, 14), rgb(0));
    EXPECT_EQ(Pixel(&grid, 16, 16), rgb(17));
    EXPECT_EQ(Pixel(&grid, 239, 239), rgb(255));
    for (const QPoint at : {QPoint(15, 3), QPoint(225, 239), QPoint(0, 15), QPoint(239, 225)})
        EXPECT_EQ(Pixel(&grid, at.x(), at.y()), qRgb(255, 255, 255));
}

// The fixed client sizes and the Tab orders of both dialogs.
TEST(PaletteDialogsLayoutTest, FixedSizesAndTabOrder)
{
    TTestPlatform desk;
    TSelectPaletteForm palette;
    TSelectColorForm color;
    Show<TSelectPaletteForm>(palette, [](TSelectPaletteForm &f) {
        EXPECT_EQ(f.size(), QSize(336, 287));
        EXPECT_EQ(f.minimumSize(), f.maximumSize());
        EXPECT_EQ(f.StatusBar->geometry(), QRect(0, 269, 336, 18));
    });
    Show<TSelectColorForm>(color, [](TSelectColorForm &f) {
        EXPECT_EQ(f.size(), QSize(251, 320));
        EXPECT_EQ(f.minimumSize(), f.maximumSize());
        // The widest colour text fits left of the right edge at 229.
        EXPECT_EQ(f.RGBLabel->geometry().right() + 1, 229);
        EXPECT_LE(f.RGBLabel->fontMetrics().horizontalAdvance("RGB: 255 255 255"),
                  f.RGBLabel->width());
    });
    EXPECT_EQ(TabChain(palette.OKButton),
              (std::vector<QWidget *>{palette.OKButton, palette.CancelButton, palette.OpenButton,
                                      palette.DfltPalButton, palette.UicolormapPalButton,
                                      palette.SaveAsButton}));
    EXPECT_EQ(TabChain(color.OKButton),
              (std::vector<QWidget *>{color.OKButton, color.CancelButton}));
}

// Showing starts at entry 0 with the name's file part; row 2, column 3 reads entry 35; a
// point beyond the grid (a drag) changes nothing; a built-in palette replaces the colours
// but leaves the readout; the next showing starts at 0 again.
TEST_F(SelectPaletteTest, ReadoutFollowsTheMouse)
{
    Form.PaletteName = "/pals/night.act";
    Show<TSelectPaletteForm>(Form, [](TSelectPaletteForm &f) {
        EXPECT_EQ(f.PaletteLabel->text(), "night.act");
        EXPECT_EQ(f.StatusPanel(0), "Index: 0");
        Mouse(f.PaletteImage, QEvent::MouseMove, 3 * 15 + 7, 2 * 15 + 1);
        Mouse(f.PaletteImage, QEvent::MouseMove, -4, 300);
        EXPECT_EQ(f.CurrentIndex, 35);
        EXPECT_EQ(f.StatusPanel(0) + f.StatusPanel(1) + f.StatusPanel(2) + f.StatusPanel(3),
                  "Index: 35Red: 35Green: 220Blue: 245");
        f.UicolormapPalButton->click();
        EXPECT_EQ(f.Palette, UicolormapPalette());
        EXPECT_EQ(f.PaletteLabel->text(), "Uicolormap");
        EXPECT_EQ(f.StatusPanel(1), "Red: 35");
        EXPECT_EQ(Pixel(f.PaletteImage, 239, 239), qRgb(255, 255, 255));
    });
    Show<TSelectPaletteForm>(Form, [](TSelectPaletteForm &f) {
        EXPECT_EQ(f.StatusPanel(0), "Index: 0");
        f.OKButtonClick();
    });
    EXPECT_EQ(Form.result(), mrOk);
}

// Open starts where the directory rule says and remembers the folder; an .sft file, which
// the first filter offers, is refused; an ACT file is taken with its full path as label; a
// damaged one reports the reader's error and keeps what was shown.
TEST_F(SelectPaletteTest, OpenTakesOrRefusesAFile)
{
    const std::string sft = Dir.File("font.sft"), act = Dir.File("good.act");
    WriteFile(sft, std::vector<uint8_t>(2000, 1));
    TPalette fromFile = Ramp();
    std::reverse(fromFile.begin(), fromFile.end());
    WriteFile(act, PaletteBytes(fromFile));
    WriteFile(Dir.File("bad.act"), std::vector<uint8_t>(100, 9));
    Settings.LastDirectoryIndex = 1;
    Settings.LastOpenDirectory = "/start";

    Desk.Dialogs.Accept({sft});
    Form.OpenButtonClick();
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).Title, "Open Palette");
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).InitialDir, "/start");
    EXPECT_EQ(Settings.LastOpenDirectory, Dir.Path.string());
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text, "File does not contain a valid palette");
    EXPECT_EQ(Form.PaletteName, "Dflt");
    EXPECT_EQ(Form.Palette, Ramp());

    Desk.Dialogs.Accept({act});
    Form.OpenButtonClick();
    EXPECT_EQ(Form.PaletteName, act);
    EXPECT_EQ(Form.PaletteLabel->text().toStdString(), act);
    EXPECT_EQ(Form.Palette, fromFile);

    Desk.Dialogs.Accept({Dir.File("bad.act")});
    Form.OpenButtonClick();
    EXPECT_EQ(Desk.Boxes.Shown.at(1).Text, "Read beyond end of file");
    EXPECT_EQ(Form.PaletteName, act);
    EXPECT_EQ(Form.Palette, fromFile);
}

// On "Dflt" a double click opens nothing; on "Internal" the colour dialog opens on the
// clicked cell and a confirmed colour replaces the entry on screen, a cancelled one does not.
TEST_F(SelectPaletteTest, DoubleClickEditsOnlyTheInternalPalette)
{
    Form.PaletteImageDblClick(50, 35);
    EXPECT_TRUE(Desk.Colors.Shown.empty());

    Form.PaletteName = "Internal";
    Desk.Colors.Answers = {MakeColor(1, 2, 3), std::nullopt};
    Show<TSelectPaletteForm>(Form, [&](TSelectPaletteForm &f) {
        Mouse(f.PaletteImage, QEvent::MouseButtonDblClick, 50, 35);
        EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(35, 220, 245));
        EXPECT_EQ(f.Palette[35], (TPaletteEntry{1, 2, 3}));
        EXPECT_EQ(f.StatusPanel(3), "Blue: 3");
        EXPECT_EQ(Pixel(f.PaletteImage, 50, 35), qRgb(1, 2, 3));
        f.PaletteImageDblClick(0, 0);
        EXPECT_EQ(Desk.Colors.Shown.at(1), MakeColor(0, 255, 0));
        EXPECT_EQ(f.Palette[0], Ramp()[0]);
    });
}

// The proposed name is the palette's file part without extension, built-in names in lower
// case; the folders follow the directory rule. The filter decides format and extension,
// whatever was typed: 3 a 768-byte ACT, 1 and "All Files" RIFF under .pal, 2 JASC. A failed
// write is reported.
TEST_F(SelectPaletteTest, SaveAsWritesTheFilterFormat)
{
    Settings.LastDirectoryIndex = 1;
    Settings.LastSaveDirectory = "/start";
    Form.SaveAsButtonClick(); // cancelled
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).FileName, "dflt");
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).InitialDir, "/start");
    EXPECT_EQ(Settings.LastSaveDirectory, "/start");
    SaveAs(Dir.File("typed.pal"), 3);
    EXPECT_EQ(Settings.LastSaveDirectory, Dir.Path.string());
    EXPECT_EQ(ReadFile(Dir.File("typed.act")), PaletteBytes(Ramp()));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("typed.pal")));

    WriteRiffPAL(Dir.File("riff"), Ramp()); // its bytes are pinned in the core tests
    const std::vector<uint8_t> riff = ReadFile(Dir.File("riff"));
    SaveAs(Dir.File("one.act"), 1);
    SaveAs(Dir.File("any.txt"), 4);
    EXPECT_EQ(ReadFile(Dir.File("one.pal")), riff);
    EXPECT_EQ(ReadFile(Dir.File("any.pal")), riff);
    SaveAs(Dir.File("jasc"), 2);
    const std::vector<uint8_t> jasc = ReadFile(Dir.File("jasc.pal"));
    EXPECT_EQ(std::string(jasc.begin(), jasc.begin() + std::min<size_t>(jasc.size(), 30)),
              "JASC-PAL\r\n0100\r\n256\r\n0 255 0\r\n");
    EXPECT_TRUE(Desk.Boxes.Shown.empty());

    Form.PaletteName = "/x/Night.Sky.act";
    SaveAs(Dir.File("missing/x"), 1);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "Night.Sky");
    EXPECT_EQ(Desk.Boxes.Shown.size(), 1u);
}

// A file of the forced name is confirmed first as a single file, also when the typed name
// had no extension; only Yes writes.
TEST_F(SelectPaletteTest, SaveAsConfirmsReplacingTheForcedName)
{
    const std::string act = Dir.File("old.act");
    WriteFile(act, std::vector<uint8_t>(768, 7));
    WriteFile(Dir.File("old"), {1}); // the typed name itself is not the target

    SaveAs(Dir.File("old"), 3, mrNo);
    EXPECT_EQ(Asked, std::vector<std::string>{act});
    EXPECT_EQ(ReadFile(act), std::vector<uint8_t>(768, 7));
    SaveAs(Dir.File("old.pal"), 3, mrYes);
    EXPECT_EQ(Asked.size(), 2u);
    EXPECT_EQ(ReadFile(act), PaletteBytes(Ramp()));
}

// Releasing any button picks the cell: top left 0, bottom right 255, row 1 column 0 16; a
// move picks nothing, nor does a release beyond the grid. An index outside the palette from
// a damaged file shows without a colour.
TEST(SelectColorTest, ClicksPickTheCell)
{
    TTestPlatform desk;
    TSelectColorForm form;
    form.Palette = Ramp();
    form.SelectedIndex = 200;
    const int result = Show<TSelectColorForm>(form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.IndexLabel->text(), "Index: 200");
        Mouse(f.PaletteImage, QEvent::MouseMove, 3, 3);
        EXPECT_EQ(f.SelectedIndex, 200);
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 3, 3);
        EXPECT_EQ(f.RGBLabel->text(), "RGB: 0 255 0");
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 239, 239);
        EXPECT_EQ(f.IndexLabel->text() + f.RGBLabel->text(), "Index: 255RGB: 255 0 249");
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 0, 15);
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 120, 250);
        f.OKButton->click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(form.SelectedIndex, 16);

    form.SelectedIndex = 1000;
    Show<TSelectColorForm>(form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.IndexLabel->text(), "Index: 1000");
        EXPECT_TRUE(f.RGBLabel->text().isEmpty());
    });
}
