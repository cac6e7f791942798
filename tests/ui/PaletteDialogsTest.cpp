// The palette pickers: the grid as painted, the readout under the mouse, palettes taken by
// name or from a file (and refused), entries edited only in a BM file's own palette, Save As
// with its forced extensions and replace confirmation, and the colour picker's clicks.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "formats/GLM_Globals.h"
#include "ui/palettes/GLM_PaletteGrid.h"
#include "ui/palettes/GLM_SelectColorForm.h"
#include "ui/palettes/GLM_SelectPaletteForm.h"
#include "ui/shell/GLM_FileReplaceForm.h"
#include "ui/shell/GLM_Settings.h"

using testutil::Bytes;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

// Every entry distinct, so a wrong index shows as a wrong colour.
TPalette Ramp()
{
    TPalette p{};
    for (int k = 0; k < 256; ++k)
        p[static_cast<size_t>(k)] = {static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k),
                                     static_cast<uint8_t>((k * 7) & 0xFF)};
    return p;
}

std::vector<uint8_t> ActBytes(const TPalette &p)
{
    Bytes b;
    for (const TPaletteEntry &e : p)
        b.U8(e.Red).U8(e.Green).U8(e.Blue);
    return b.Data;
}

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
}

template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
{
    TScopedModalDriver driver([&](TModalForm &) { user(form); });
    return form.ShowModal();
}

// A real mouse event through the application, as the window system delivers it.
void Mouse(QWidget *target, QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::NoButton)
{
    const QPointF local(x, y);
    const bool down = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const Qt::MouseButtons held = down ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// The buttons in the order Tab visits them.
std::vector<QWidget *> TabChain(QWidget *form, QWidget *first)
{
    std::vector<QWidget *> chain{first};
    for (QWidget *w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
        if (w->window() == form && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
            chain.push_back(w);
    return chain;
}

class SelectPaletteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        LastCommonDirectory = Dir.Path.string();
        FileReplaceForm = &Replace;
        Form.PaletteName = "Dflt";
        Form.Palette = Ramp();
    }
    void TearDown() override { FileReplaceForm = nullptr; }

    // One showing of the dialog with `user` playing; the result code.
    int Run(const std::function<void(TSelectPaletteForm &)> &user)
    {
        return Show<TSelectPaletteForm>(Form, user);
    }

    // Save As with the given typed name and filter; `replaceAnswer` answers a replace question.
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
    std::vector<std::string> Asked; // replace questions, by file name
};

class SelectColorTest : public ::testing::Test
{
protected:
    void SetUp() override { Form.Palette = Ramp(); }
    TTestPlatform Desk;
    TSelectColorForm Form;
};

} // namespace

// The grid as really painted: cell k at 15 x column, 15 x row, white lines over every 15th
// pixel row and column across the whole 240 pixels, the last cell reaching pixel 239.
TEST(PaletteGridTest, PaintedCellsAndLines)
{
    const TPalette p = Ramp();
    TPaletteGrid grid;
    grid.DrawPalette(p);
    const QImage shot = grid.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(240, 240));
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(shot.pixel(0, 0), Rgb(p[0]));
    EXPECT_EQ(shot.pixel(14, 14), Rgb(p[0]));
    EXPECT_EQ(shot.pixel(29, 1), Rgb(p[1]));
    EXPECT_EQ(shot.pixel(16, 16), Rgb(p[17]));
    EXPECT_EQ(shot.pixel(50, 35), Rgb(p[35]));
    EXPECT_EQ(shot.pixel(239, 239), Rgb(p[255]));
    EXPECT_EQ(shot.pixel(15, 3), white);
    EXPECT_EQ(shot.pixel(225, 239), white);
    EXPECT_EQ(shot.pixel(0, 15), white);
    EXPECT_EQ(shot.pixel(239, 225), white);

    EXPECT_EQ(PaletteIndexAt(0, 0), 0);
    EXPECT_EQ(PaletteIndexAt(239, 239), 255);
    EXPECT_EQ(PaletteIndexAt(240, 0), -1);
    EXPECT_EQ(PaletteIndexAt(-1, 5), -1); // would be entry 0 by plain division
}

// Fixed sizes, every control inside the client area, and Tab order OK, Cancel, Open, Dflt,
// Uicolormap, Save As on the real widgets.
TEST_F(SelectPaletteTest, FixedSizeAndTabOrder)
{
    Run([](TSelectPaletteForm &f) {
        EXPECT_EQ(f.size(), QSize(336, 287));
        EXPECT_EQ(f.minimumSize(), f.maximumSize());
        for (QWidget *w : f.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(f.rect().contains(w->geometry())) << w->metaObject()->className();
        EXPECT_EQ(f.StatusBar->geometry(), QRect(0, 269, 336, 18));
        EXPECT_EQ(f.PaletteImage->geometry(), QRect(5, 22, 240, 240));
    });
    std::vector<QWidget *> order = TabChain(&Form, Form.OKButton);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[1], Form.CancelButton);
    EXPECT_EQ(order[2], Form.OpenButton);
    EXPECT_EQ(order[3], Form.DfltPalButton);
    EXPECT_EQ(order[4], Form.UicolormapPalButton);
    EXPECT_EQ(order[5], Form.SaveAsButton);
}

// Showing starts at entry 0 with the file-name part of the name; the mouse over row 2,
// column 3 reads entry 35; a point beyond the grid (a drag) changes nothing; the next
// showing starts at 0 again.
TEST_F(SelectPaletteTest, ReadoutFollowsTheMouse)
{
    Form.PaletteName = "/pals/game/night.act";
    Run([](TSelectPaletteForm &f) {
        EXPECT_EQ(f.PaletteLabel->text(), "night.act");
        EXPECT_EQ(f.StatusPanel(0), "Index: 0");
        Mouse(f.PaletteImage, QEvent::MouseMove, 3 * 15 + 7, 2 * 15 + 1);
        EXPECT_EQ(f.CurrentIndex, 35);
        EXPECT_EQ(f.StatusPanel(0), "Index: 35");
        EXPECT_EQ(f.StatusPanel(1), "Red: 35");
        EXPECT_EQ(f.StatusPanel(2), "Green: 220");
        EXPECT_EQ(f.StatusPanel(3), "Blue: 245");
        Mouse(f.PaletteImage, QEvent::MouseMove, -4, 300);
        EXPECT_EQ(f.StatusPanel(0), "Index: 35");
        // The painted grid is the caller's palette.
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(239, 239), Rgb(f.Palette[255]));
    });
    Run([](TSelectPaletteForm &f) { EXPECT_EQ(f.StatusPanel(0), "Index: 0"); });
}

TEST_F(SelectPaletteTest, BuiltInButtonsTakeTheTables)
{
    Run([](TSelectPaletteForm &f) {
        f.PaletteImageMouseMove(20, 0);
        f.UicolormapPalButton->click();
        EXPECT_EQ(f.PaletteName, "Uicolormap");
        EXPECT_EQ(f.Palette, UicolormapPalette());
        EXPECT_EQ(f.PaletteLabel->text(), "Uicolormap");
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(100, 200), Rgb(f.Palette[13 * 16 + 6]));
        f.DfltPalButton->click();
        EXPECT_EQ(f.Palette, DfltPalette());
        // The readout is left as it was, not redone for the new palette.
        EXPECT_EQ(f.CurrentIndex, 1);
        EXPECT_EQ(f.StatusPanel(1), "Red: 1");
        f.OKButtonClick();
    });
    EXPECT_EQ(Form.result(), mrOk);
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// Open: the dialog as the directory rule sets it up; an .sft file that the first filter
// offers is refused and changes nothing but the remembered directory; an ACT file is taken
// with its full path as label; a damaged file reports the reader's error and keeps the rest.
TEST_F(SelectPaletteTest, OpenTakesOrRefusesAFile)
{
    const std::string sft = Dir.File("font.sft");
    WriteFile(sft, std::vector<uint8_t>(2000, 1));
    TPalette fromFile = Ramp();
    std::reverse(fromFile.begin(), fromFile.end());
    const std::string act = Dir.File("sub/good.act");
    std::filesystem::create_directories(Dir.Path / "sub");
    WriteFile(act, ActBytes(fromFile));
    const std::string damaged = Dir.File("bad.act");
    WriteFile(damaged, std::vector<uint8_t>(100, 9));

    LastDirectoryIndex = 1;
    LastOpenDirectory = "/start/open";
    Run([&](TSelectPaletteForm &f) {
        Desk.Dialogs.Accept({sft});
        f.OpenButton->click();
        ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
        const TFileDialogRequest &r = Desk.Dialogs.Shown[0];
        EXPECT_EQ(r.Kind, TFileDialogKind::Open);
        EXPECT_EQ(r.Title, "Open Palette");
        EXPECT_EQ(r.InitialDir, "/start/open");
        EXPECT_EQ(r.FilterIndex, 1);
        EXPECT_EQ(ParseFileFilter(r.Filter).size(), 7u);
        EXPECT_EQ(LastOpenDirectory, Dir.Path.string());
        ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
        EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
        EXPECT_EQ(Desk.Boxes.Shown[0].Text, "File does not contain a valid palette");
        EXPECT_EQ(f.PaletteName, "Dflt");
        EXPECT_EQ(f.Palette, Ramp());
        EXPECT_EQ(f.PaletteLabel->text(), "Dflt");

        Desk.Dialogs.Accept({act});
        f.OpenButtonClick();
        EXPECT_EQ(Desk.Dialogs.Shown[1].InitialDir, Dir.Path.string());
        EXPECT_EQ(f.PaletteName, act);
        EXPECT_EQ(f.PaletteLabel->text().toStdString(), act);
        EXPECT_EQ(f.Palette, fromFile);
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(0, 0), Rgb(fromFile[0]));

        Desk.Dialogs.Accept({damaged});
        f.OpenButtonClick();
        ASSERT_EQ(Desk.Boxes.Shown.size(), 2u);
        EXPECT_EQ(Desk.Boxes.Shown[1].Text, "Read beyond end of file");
        EXPECT_EQ(f.PaletteName, act);
        EXPECT_EQ(f.Palette, fromFile);

        Desk.Dialogs.Cancel();
        f.OpenButtonClick();
        EXPECT_EQ(f.PaletteName, act);
    });
    EXPECT_EQ(LastOpenDirectory, Dir.Path.string()); // not sub/: the damaged file came last
}

// A .pal file that no reader recognises names the palette but keeps the colours shown.
TEST_F(SelectPaletteTest, UnknownPalContentKeepsTheColours)
{
    const std::string pal = Dir.File("odd.pal");
    WriteFile(pal, Bytes().Text("GIMP Palette\n").Data);
    Form.ChoosePalette(pal);
    EXPECT_EQ(Form.PaletteName, pal);
    EXPECT_EQ(Form.Palette, Ramp());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// A double click edits only "Internal": on "Dflt" nothing opens; on "Internal" the colour
// dialog opens on the clicked cell, a confirmed colour replaces the entry and is painted,
// a cancelled one leaves it.
TEST_F(SelectPaletteTest, DoubleClickEditsOnlyTheInternalPalette)
{
    Run([&](TSelectPaletteForm &f) {
        Mouse(f.PaletteImage, QEvent::MouseMove, 50, 35);
        Mouse(f.PaletteImage, QEvent::MouseButtonDblClick, 50, 35, Qt::LeftButton);
        EXPECT_TRUE(Desk.Colors.Shown.empty());
        EXPECT_EQ(f.Palette, Ramp());
    });

    Form.PaletteName = "Internal";
    Desk.Colors.Answers = {MakeColor(1, 2, 3), std::nullopt};
    Run([&](TSelectPaletteForm &f) {
        Mouse(f.PaletteImage, QEvent::MouseMove, 50, 35);
        Mouse(f.PaletteImage, QEvent::MouseButtonDblClick, 50, 35, Qt::LeftButton);
        ASSERT_EQ(Desk.Colors.Shown.size(), 1u);
        EXPECT_EQ(Desk.Colors.Shown[0], MakeColor(35, 220, 245));
        EXPECT_EQ(f.Palette[35], (TPaletteEntry{1, 2, 3}));
        EXPECT_EQ(f.StatusPanel(3), "Blue: 3");
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(50, 35), qRgb(1, 2, 3));

        f.PaletteImageDblClick(0, 0); // cancelled
        EXPECT_EQ(Desk.Colors.Shown.at(1), MakeColor(0, 255, 0));
        EXPECT_EQ(f.Palette[0], Ramp()[0]);
        EXPECT_EQ(f.StatusPanel(0), "Index: 0");
    });
}

// Proposed names, start and remembered directories of the save dialog.
TEST_F(SelectPaletteTest, SaveAsProposesTheNameAndRemembersTheFolder)
{
    LastDirectoryIndex = 1;
    LastSaveDirectory = "/start/save";
    for (const char *name : {"Dflt", "Uicolormap", "/x/y/Night.Sky.act", "Internal"}) {
        Form.PaletteName = name;
        Desk.Dialogs.Cancel();
        Form.SaveAsButtonClick();
    }
    ASSERT_EQ(Desk.Dialogs.Shown.size(), 4u);
    EXPECT_EQ(Desk.Dialogs.Shown[0].FileName, "dflt");
    EXPECT_EQ(Desk.Dialogs.Shown[1].FileName, "uicolormap");
    EXPECT_EQ(Desk.Dialogs.Shown[2].FileName, "Night.Sky");
    EXPECT_EQ(Desk.Dialogs.Shown[3].FileName, "Internal");
    EXPECT_EQ(Desk.Dialogs.Shown[0].Title, "Save As Palette");
    EXPECT_EQ(Desk.Dialogs.Shown[0].Kind, TFileDialogKind::Save);
    EXPECT_EQ(Desk.Dialogs.Shown[0].InitialDir, "/start/save");
    EXPECT_TRUE(Desk.Dialogs.Shown[0].DefaultExt.empty());
    EXPECT_EQ(LastSaveDirectory, "/start/save"); // cancelled: nothing remembered

    SaveAs(Dir.File("out"), 1);
    EXPECT_EQ(LastSaveDirectory, Dir.Path.string());
    EXPECT_EQ(Form.PaletteName, "Internal"); // saving does not rename the palette
}

// Each filter writes its format under its forced extension, whatever was typed; the bytes
// are checked against hand-built files.
TEST_F(SelectPaletteTest, SaveAsWritesTheFilterFormat)
{
    const TPalette p = Ramp();
    SaveAs(Dir.File("typed.pal"), 3);
    EXPECT_EQ(ReadFile(Dir.File("typed.act")), ActBytes(p));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("typed.pal")));

    Bytes riff;
    riff.Text("RIFF").I32(1044).Text("PAL ").Text("data").I32(1032).U16(0x0300).U16(256);
    for (const TPaletteEntry &e : p)
        riff.U8(e.Red).U8(e.Green).U8(e.Blue).U8(0);
    riff.I32(0);
    SaveAs(Dir.File("one.act"), 1);
    EXPECT_EQ(ReadFile(Dir.File("one.pal")), riff.Data);
    SaveAs(Dir.File("any.txt"), 4); // All Files: a .pal name, written as RIFF
    EXPECT_EQ(ReadFile(Dir.File("any.pal")), riff.Data);

    SaveAs(Dir.File("jasc"), 2);
    const std::vector<uint8_t> jasc = ReadFile(Dir.File("jasc.pal"));
    const std::string text(jasc.begin(), jasc.end());
    EXPECT_EQ(text.substr(0, 35), "JASC-PAL\r\n0100\r\n256\r\n0 255 0\r\n1 254");
    EXPECT_TRUE(Asked.empty());
    EXPECT_TRUE(Desk.Boxes.Shown.empty());
}

// A file of the forced name is confirmed first (as a single file), also when the typed name
// had no extension; only Yes writes.
TEST_F(SelectPaletteTest, SaveAsConfirmsReplacingTheForcedName)
{
    const std::string act = Dir.File("old.act");
    const std::vector<uint8_t> before(768, 7);
    WriteFile(act, before);
    WriteFile(Dir.File("old"), {1, 2, 3}); // the typed name itself is not the target

    SaveAs(Dir.File("old"), 3, mrNo);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0], act);
    EXPECT_EQ(ReadFile(act), before);

    SaveAs(Dir.File("old.pal"), 3, mrYes);
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(ReadFile(act), ActBytes(Ramp()));
}

// A write that fails is reported and leaves the dialog as it was.
TEST_F(SelectPaletteTest, SaveAsFailureIsReported)
{
    SaveAs(Dir.File("missing/folder/x"), 1);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_FALSE(Desk.Boxes.Shown[0].Text.empty());
    EXPECT_EQ(Form.Palette, Ramp());
}

// Releasing any button picks the cell: top left 0, bottom right 255, row 1 column 0 16; a
// release beyond the grid picks nothing; the labels name the index and its colour.
TEST_F(SelectColorTest, ClicksPickTheCell)
{
    Form.SelectedIndex = 200;
    const int result = Show<TSelectColorForm>(Form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.IndexLabel->text(), "Index: 200");
        Mouse(f.PaletteImage, QEvent::MouseMove, 3, 3);
        EXPECT_EQ(f.SelectedIndex, 200);
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 3, 3, Qt::LeftButton);
        EXPECT_EQ(f.SelectedIndex, 0);
        EXPECT_EQ(f.RGBLabel->text(), "RGB: 0 255 0");
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 239, 239, Qt::RightButton);
        EXPECT_EQ(f.SelectedIndex, 255);
        EXPECT_EQ(f.IndexLabel->text(), "Index: 255");
        EXPECT_EQ(f.RGBLabel->text(), "RGB: 255 0 249");
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 0, 15, Qt::LeftButton);
        EXPECT_EQ(f.SelectedIndex, 16);
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 120, 250, Qt::LeftButton);
        EXPECT_EQ(f.SelectedIndex, 16);
        f.OKButton->click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Form.SelectedIndex, 16);
}

// An all-black palette reads "RGB: 0 0 0"; an index from a damaged file outside 0..255 shows
// without a colour instead of reading past the palette.
TEST_F(SelectColorTest, LabelsForBlackAndOutOfRange)
{
    Form.Palette = TPalette{};
    Form.SelectedIndex = 77;
    Show<TSelectColorForm>(Form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.RGBLabel->text(), "RGB: 0 0 0");
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(100, 100), qRgb(0, 0, 0));
    });
    Form.SelectedIndex = 1000;
    Show<TSelectColorForm>(Form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.IndexLabel->text(), "Index: 1000");
        EXPECT_TRUE(f.RGBLabel->text().isEmpty());
        f.CancelButtonClick();
    });
}

TEST_F(SelectColorTest, FixedSizeAndLayout)
{
    Show<TSelectColorForm>(Form, [](TSelectColorForm &f) {
        EXPECT_EQ(f.size(), QSize(251, 320));
        EXPECT_EQ(f.minimumSize(), f.maximumSize());
        for (QWidget *w : f.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(f.rect().contains(w->geometry())) << w->metaObject()->className();
        EXPECT_EQ(f.RGBLabel->geometry().right() + 1, 229);
        EXPECT_TRUE(f.GroupBox1->rect().contains(f.RGBLabel->geometry()));
        // The whole colour text fits its label.
        const QString widest = "RGB: 255 255 255";
        EXPECT_LE(f.RGBLabel->fontMetrics().horizontalAdvance(widest), f.RGBLabel->width());
    });
    EXPECT_EQ(TabChain(&Form, Form.OKButton),
              (std::vector<QWidget *>{Form.OKButton, Form.CancelButton}));
}

// Pictures of both dialogs for a look: GLIMRA_SCREENSHOTS names the folder. Under a real
// X server (-platform xcb) the pixels come from the screen, decorations aside.
TEST(PaletteDialogsScreenshot, BothDialogs)
{
    const QByteArray folder = qgetenv("GLIMRA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "GLIMRA_SCREENSHOTS not set";
    TTestPlatform desk;
    const auto shoot = [&](QWidget &w, const char *name) {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        QPixmap shot = QGuiApplication::platformName() == "offscreen"
                           ? w.grab()
                           : w.screen()->grabWindow(w.winId());
        EXPECT_TRUE(shot.save(QString(folder) + "/" + name));
    };
    TSelectPaletteForm palette;
    palette.PaletteName = "/home/user/palettes/night.act";
    palette.Palette = UicolormapPalette();
    Show<TSelectPaletteForm>(palette, [&](TSelectPaletteForm &f) {
        f.PaletteImageMouseMove(3 * 15 + 7, 2 * 15 + 7);
        shoot(f, "SelectPalette.png");
    });
    TSelectColorForm color;
    color.Palette = DfltPalette();
    color.SelectedIndex = 255;
    Show<TSelectColorForm>(color, [&](TSelectColorForm &f) { shoot(f, "SelectColor.png"); });
}
