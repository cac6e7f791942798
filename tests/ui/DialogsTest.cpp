// The dialogs' own rules on their real widgets: what a showing starts from, what OK writes,
// what Cancel leaves alone, the pickers each opens (captions and sizes: SnapshotTest).

#include <filesystem>
#include <sstream>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "UiFixture.h"
#include "core/palettes/Microsoft_PAL.h"
#include "ui/dialogs/GLM_PaletteGrid.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"

using namespace uitest;

namespace {

QRgb Swatch(const QLabel *label)
{
    return label->pixmap().toImage().pixel(12, 12);
}

using DialogsTest = TDeskTest;

} // namespace

// Each showing and each kind start from the stored choices; OK stores the kind's only.
TEST_F(DialogsTest, New)
{
    TNewForm form{Context};
    LoadSettings();
    Settings.MATIs16Bit = true;
    // Clicks on the File (F), depth (D) and type (T) buttons, then how it ends.
    const auto play = [&](const std::string &clicks, const std::string &exit) {
        std::string seen;
        const int result = Show<TNewForm>(form, [&](TNewForm &f) {
            std::stringstream in(clicks);
            for (std::string c; in >> c;)
                (c[0] == 'F'   ? f.FileGroup
                 : c[0] == 'D' ? f.ColorDepthGroup
                               : f.TypeGroup)
                    ->Button(c[1] - '0')
                    ->click();
            for (TRadioGroup *g : {f.FileGroup, f.ColorDepthGroup, f.TypeGroup})
                seen += std::to_string(g->ItemIndex()) + (g->isEnabled() ? "" : "off") + " ";
            if (exit == "OK")
                f.OKButtonClick();
            else if (exit == "Cancel")
                f.CancelButtonClick();
            else
                f.close();
        });
        return seen + std::to_string(result);
    };
    EXPECT_EQ(play("", "Cancel"), "0 0 -1off 2");
    EXPECT_EQ(play("D1 D0 F2", "Close"), "2 1 1 2"); // MAT's stored depth, not the click
    EXPECT_EQ(play("F1", "OK"), "1 -1off -1off 1");
    EXPECT_EQ(play("F3 D1", "OK"), "3 1 -1off 1");
    EXPECT_EQ(play("F2 D0 T0 F0 F2", "OK"), "2 1 1 1");
    EXPECT_EQ(play("F0 D1", "Cancel"), "0 1 -1off 2");
    EXPECT_EQ(std::tuple(Settings.LastFileIndex, Settings.BMIs16Bit, Settings.SFTIs16Bit,
                         Settings.MATIs16Bit, Settings.MATIsColor),
              std::tuple(2, false, true, true, false));
}

// A showing loads the settings and our associations; OK applies them in order, a bad number
// stopping the steps after it, a cell size below 1 refused before anything.
TEST_F(DialogsTest, Options)
{
    TOptionsForm form{Context};
    const std::string config = Desk.Assoc.ConfigHome(),
                      mine = Desk.Assoc.DataHome() + "/applications/Glimra.MAT.desktop";
    const auto ok = [&](const char *rate, const char *cell) {
        LoadSettings();
        // MAT belongs to another program, and a launcher of ours is left over.
        std::filesystem::remove_all(Desk.Home.path().toStdString());
        std::filesystem::create_directories(std::filesystem::path(mine).parent_path());
        std::filesystem::create_directories(config);
        WriteFile(mine, {'x'});
        const std::string apps = "[Default Applications]\napplication/x-glimra-mat=gimp.desktop\n";
        WriteFile(config + "/mimeapps.list", Text(apps));
        Desk.Boxes.Shown.clear();
        Desk.Colors.Answers = {MakeColor(10, 20, 30)};
        bool open = false;
        Show<TOptionsForm>(form, [&](TOptionsForm &f) {
            f.SetTicked(0, true);
            f.SetTicked(2, false);
            f.DirectoryGroup->Button(2)->click();
            f.CycleRateBox->setText(rate);
            f.CMPCellSizeBox->setText(cell);
            f.SelectButton->click();
            f.BackupCheckBox->setChecked(true);
            f.FormatGroup->Button(0)->click();
            f.OKButtonClick();
            open = f.isVisible();
        });
        const TSettings &s = Settings;
        std::ostringstream out;
        out << Desk.Assoc.IsAssociated(".bm") << std::filesystem::exists(mine) << " "
            << s.LastDirectoryIndex << " " << s.CycleRate << " " << s.CMPCellSize << " "
            << (s.CMPFillColor != 0) << s.BackupFile << " " << s.SaveBitmapFormat
            << (open ? " open" : "") << (Messages().empty() ? "" : " " + Messages()[0]);
        return out.str();
    };
    EXPECT_EQ(ok("10", "8"), "10 2 10 8 11 8");
    EXPECT_EQ(ok("-3", "8"), "10 2 1 8 11 8");
    EXPECT_EQ(ok("fast", "8"), "10 2 5 20 00 24 'fast' is not a valid integer value");
    EXPECT_EQ(ok("9", "1.5"), "10 2 9 20 00 24 '1.5' is not a valid integer value");
    EXPECT_EQ(ok("9", "0"), "01 0 5 20 00 24 open The CMP cell size must be at least 1 pixel");
    const std::vector<uint8_t> apps = ReadFile(config + "/mimeapps.list");
    EXPECT_NE(std::string(apps.begin(), apps.end()).find("mat=gimp.desktop"), std::string::npos);

    LoadSettings();
    Desk.Assoc.Associate(".sft", "Glimra.SFT", "SFT File");
    Settings.SaveBitmapFormat = 16;
    Settings.BackupFile = true;
    Settings.CMPFillColor = int(MakeColor(255, 0, 0));
    Desk.Colors.Answers = {MakeColor(0, 0, 255)};
    Show<TOptionsForm>(form, [](TOptionsForm &f) {
        EXPECT_TRUE(f.IsTicked(0) && f.IsTicked(3) && !f.IsTicked(1) && !f.IsTicked(2));
        EXPECT_TRUE(f.FormatGroup->ItemIndex() == 1 && f.BackupCheckBox->isChecked());
        EXPECT_EQ(f.FillColorLabel->text(), "RGB: 255 0 0");
        EXPECT_EQ(Swatch(f.FillColorImage), qRgb(255, 0, 0));
        f.SelectButton->click();
        f.CancelButtonClick();
    });
    EXPECT_EQ(Settings.CMPFillColor, int(MakeColor(255, 0, 0)));
    std::filesystem::remove_all(config);
    WriteFile(config, {'x'}); // a file where the folder should be: nothing can be written
    Show<TOptionsForm>(form, [](TOptionsForm &f) { f.OKButtonClick(); });
    EXPECT_NE(Messages().back().find(".bm"), std::string::npos);
}

// Sizes and dates as the replace confirmation writes them; the labels of the existing file
// (a vanished one keeps the last); Yes and No only for one file; each way out its code.
TEST_F(DialogsTest, FileReplace)
{
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    std::string sizes; // the file dialog's units
    for (int64_t size : {999LL, 12345LL, 2500000LL})
        sizes += FileSizeText(size, english) + "|";
    EXPECT_EQ(sizes, "999 bytes|12.06 KiB|2.38 MiB|");

    QLocale::setDefault(english);
    TFileReplaceForm form{Context};
    const std::string wall = Dir.File("wall.mat");
    WriteFile(wall, std::vector<uint8_t>(12345, 1));
    QFile file(QString::fromStdString(wall));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime(QDate(2024, 1, 15), QTime(21, 3, 7)),
                     QFileDevice::FileModificationTime);
    QPixmap red(32, 32);
    red.fill(Qt::red);
    Desk.Desktop.Icon = red;
    const auto show = [&](const std::string &path, bool many,
                          QPushButton *TFileReplaceForm::*button) {
        form.FileName = path;
        form.MultipleFiles = many;
        return Show<TFileReplaceForm>(form, [&](TFileReplaceForm &f) {
            EXPECT_EQ(f.YesToAllButton->isVisible() && f.CancelButton->isEnabled(), many);
            (f.*button)->click();
        });
    };
    EXPECT_EQ(show(wall, false, &TFileReplaceForm::NoButton), mrNo);
    EXPECT_EQ(form.NameLabel->text(), "This folder already contains a file named 'wall.mat'.");
    EXPECT_EQ(form.SizeLabel->text() + " " + form.DateLabel->text(),
              "12.06 KiB modified on Monday, 15 January 2024, 9:03:07 PM");
    EXPECT_EQ(form.IconImage->pixmap().toImage().pixel(16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(show(Dir.File("gone"), true, &TFileReplaceForm::YesToAllButton), mrYesToAll);
    EXPECT_EQ(form.SizeLabel->text(), "12.06 KiB");
    EXPECT_EQ(show(wall, true, &TFileReplaceForm::CancelButton), mrCancel);
    EXPECT_EQ(show(wall, false, &TFileReplaceForm::YesButton), mrYes);

    QLocale::setDefault(QLocale::system());
}

// The properties dialogs' pickers: Select Color at 8 bits, the colour dialog at 16; the
// mipmap count shown, and kept when the setting has none of the combo's.
TEST_F(DialogsTest, PropertiesPickers)
{
    TSelectColorForm picker{Context};
    Context.SelectColorForm = &picker;
    TEditBMForm bm{Context};
    bm.Palette = Ramp();
    Desk.Modals.Driver = [&](QDialog &) { picker.SelectedIndex = 35, picker.OKButtonClick(); };
    bm.SelectButtonClick();
    EXPECT_EQ(bm.TransLabel->text() + " " + QString::number(Swatch(bm.TransImage), 16),
              "Palette Index : 35 ff23dcf5");
    bm.OKButtonClick();
    TEditMATForm mat{Context};
    mat.Is16Bit = true;
    mat.FillColor = 0xC01F;
    mat.NumberMipmaps = 3;
    Desk.Colors.Answers = {MakeColor(0, 255, 0)};
    for (const char *shown : {"3", "4"}) {
        Show<TEditMATForm>(mat, [&](TEditMATForm &f) {
            EXPECT_EQ(f.MipmapsCombo->currentText(), shown);
            f.MipmapsCombo->setCurrentIndex(2);
            f.SelectButtonClick();
            f.OKButtonClick();
        });
        mat.NumberMipmaps = 1;
    }
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(192, 0, 255));
    EXPECT_EQ(std::tuple(Settings.BMTransIndex, Settings.MATFillColor, Settings.MATFillIndex,
                         Settings.MATNumberMipmaps),
              std::tuple(35, 0x07E0, 0, 4));
}

// A typed code names its character and the reverse, keystroke by keystroke; OK refuses a
// bad counting cell, and a bad gap keeps its setting while the rest goes ahead.
TEST_F(DialogsTest, EditSFTCharacters)
{
    TEditSFTForm form{Context};
    TSFTCharList chars;
    chars.Add({65, 0, 8});
    chars.Add({66, 8, 7});
    form.SetCharacters(chars);
    form.FontBitmap = QImage(40, 16, QImage::Format_RGB888);
    std::string typing; // the other column before the cell is committed
    const auto type = [&](int row, int column, const QString &text) {
        form.CharGrid->setCurrentCell(row, column);
        form.CharGrid->editItem(form.CharGrid->item(row, column));
        for (QLineEdit *editor : form.CharGrid->viewport()->findChildren<QLineEdit *>())
            if (editor->isVisible()) {
                editor->selectAll();
                QTest::keyClicks(editor, text);
                typing = form.CellText(row, 1 - column);
                QTest::keyClick(editor, Qt::Key_Return);
            }
        Settle();
        return form.CellText(row, 0) + "," + form.CellText(row, 1) + "|" + typing;
    };
    Settings.SFTSpaceLength = 6;
    const int result = Show<TEditSFTForm>(form, [&](TEditSFTForm &f) {
        EXPECT_EQ(type(0, 0, "97"), "97,a|a");
        EXPECT_EQ(type(1, 1, "b"), "98,b|98");
        EXPECT_EQ(type(1, 0, "65x"), "65x,A|A");
        f.AddButtonClick();
        f.CharGrid->setCurrentCell(0, 0);
        f.InsertButtonClick();
        EXPECT_EQ(f.Rows().size(), 4u);
        f.DeleteButtonClick();
        f.OKButtonClick();
        EXPECT_TRUE(f.isVisible());
        f.SetCellText(1, 0, "98");
        f.SetCellText(2, TEditSFTForm::OffsetColumn, ""); // the added row: dropped
        f.CharacterGapBox->setText("3");
        f.SpaceLengthBox->setText("six");
        f.OKButtonClick();
    });
    EXPECT_EQ(result, mrOk);
    Texts said(2, "'65x' is not a valid integer value");
    said.push_back("'six' is not a valid integer value");
    EXPECT_EQ(Messages(), said);
    EXPECT_EQ(std::tuple(Settings.SFTCharacterGap, Settings.SFTSpaceLength), std::tuple(3, 6));
    ASSERT_EQ(form.Characters.Count(), 2);
    EXPECT_EQ(form.Characters[1], (TSFTCharDef{98, 8, 7}));
}

// The readout follows the mouse; files refused or unreadable keep what was shown; only
// "Internal" entries are edited; Save As writes its filter's format, asking before replacing.
TEST_F(DialogsTest, SelectPalette)
{
    TFileReplaceForm replace{Context};
    Context.FileReplaceForm = &replace;
    TSelectPaletteForm form{Context};
    form.PaletteName = "Internal";
    form.Palette = Ramp();
    WriteFile(Dir.File("bad.act"), std::vector<uint8_t>(100, 9));
    WriteFile(Dir.File("font.sft"), std::vector<uint8_t>(2000, 1));
    Desk.Colors.Answers = {MakeColor(1, 2, 3)};
    Show<TSelectPaletteForm>(form, [&](TSelectPaletteForm &f) {
        Mouse(f.PaletteImage, QEvent::MouseMove, 3 * 15 + 7, 2 * 15 + 1);
        Mouse(f.PaletteImage, QEvent::MouseMove, -4, 300);
        EXPECT_EQ(f.StatusPanel(0) + f.StatusPanel(1), "Index: 35Red: 35");
        Mouse(f.PaletteImage, QEvent::MouseButtonDblClick, 50, 35);
        EXPECT_EQ(f.Palette[35], (TPaletteEntry{1, 2, 3}));
        EXPECT_EQ(f.PaletteImage->grab().toImage().pixel(50, 35), qRgb(1, 2, 3));
        for (const char *name : {"font.sft", "bad.act"}) {
            Desk.Dialogs.Accept({Dir.File(name)});
            f.OpenButtonClick();
        }
        EXPECT_EQ(f.PaletteName, "Internal");
        f.UicolormapPalButtonClick();
        Mouse(f.PaletteImage, QEvent::MouseButtonDblClick, 0, 0);
        EXPECT_EQ(Desk.Colors.Shown.size(), 1u);
    });
    EXPECT_EQ(Messages(),
              (Texts{"File does not contain a valid palette", "Read beyond end of file"}));
    EXPECT_EQ(form.Palette, UicolormapPalette());

    Desk.Modals.Driver = [](QDialog &f) { f.done(mrNo); };
    WriteFile(Dir.File("old.act"), {7});
    for (const auto &[typed, filter] : std::initializer_list<std::pair<const char *, int>>{
             {"typed.pal", 3}, {"one.act", 1}, {"any.txt", 4}, {"jasc", 2}, {"old", 3}}) {
        Desk.Dialogs.Accept({Dir.File(typed)}, filter);
        form.SaveAsButtonClick();
    }
    WriteRiffPAL(Dir.File("riff"), UicolormapPalette());
    EXPECT_EQ(ReadFile(Dir.File("typed.act")), PaletteBytes(UicolormapPalette()));
    EXPECT_EQ(ReadFile(Dir.File("one.pal")), ReadFile(Dir.File("riff")));
    EXPECT_EQ(ReadFile(Dir.File("any.pal")), ReadFile(Dir.File("riff")));
    EXPECT_EQ(ReadFile(Dir.File("jasc.pal")).at(0), 'J');
    EXPECT_EQ(ReadFile(Dir.File("old.act")), std::vector<uint8_t>{7});
    EXPECT_EQ(Desk.Dialogs.Shown.at(2).FileName, "uicolormap");
}

// Cell k at 15 x column, 15 x row; a release picks the cell, beyond the grid nothing.
TEST_F(DialogsTest, SelectColor)
{
    TSelectColorForm form{Context};
    form.Palette = Ramp();
    form.SelectedIndex = 200;
    Show<TSelectColorForm>(form, [](TSelectColorForm &f) {
        const QImage grid = f.PaletteImage->grab().toImage();
        EXPECT_EQ(grid.pixel(16, 16), qRgb(17, 238, 119));
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 239, 239);
        EXPECT_EQ(f.IndexLabel->text() + f.RGBLabel->text(), "Index: 255RGB: 255 0 249");
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 0, 15);
        Mouse(f.PaletteImage, QEvent::MouseButtonRelease, 120, 250);
        f.OKButton->click();
    });
    EXPECT_EQ(form.SelectedIndex, 16);
    form.SelectedIndex = 1000; // from a damaged file: no colour to name
    Show<TSelectColorForm>(form, [](TSelectColorForm &f) { EXPECT_EQ(f.RGBLabel->text(), ""); });
}
