// What each kind of window adds to the shared life cycle, in the real main window: the rules
// themselves are the core's; these check that each window is wired to them, and test the
// windows' own rules (what they draw and fit, the BM's own palette, MAT levels and colour
// frames, the CMP's tables and mouse-over, the SFT's readout and warning).

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include "UiFixture.h"
#include "core/GLM_Bitmaps.h"
#include "ui/kit/GLM_RadioGroup.h"

using namespace uitest;

namespace {

class KindsTest : public TEditorTest
{
protected:
    std::string Picture(const std::string &name, int width, int height, QRgb colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString(Dir.File(name)), "BMP");
        return Dir.File(name);
    }
    static void Mouse(QWidget *target, QEvent::Type type, int x, int y)
    {
        const QPointF at(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, target->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    template <class TDialog> void Play(const std::function<void(TDialog &)> &user)
    {
        User = [user](TModalForm &form) { user(dynamic_cast<TDialog &>(form)); };
    }
};

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
}

} // namespace

// ---- BM

// The client area fits the zoomed frame, never narrower than 150, painted in blocks of the
// file's own palette and centred when maximized; the keys step; deleting the last frame
// empties the window at zoom 1.
TEST_F(KindsTest, BMDrawsFitsAndSteps)
{
    const TPalette ramp = Ramp();
    TBMForm *bm = Open<TBMForm>(Put("wide.bm", BMBytes({{64, 40, 7}, {2, 2, 1}}, 8, &ramp)));
    EXPECT_EQ(bm->size(), QSize(150, 40));
    Run(C::ZoomIn);
    Run(C::ZoomIn);
    EXPECT_EQ(bm->size(), QSize(192, 120));
    EXPECT_EQ(bm->grab().toImage().pixel(191, 119), Rgb(ramp[7]));
    bm->parentWidget()->showMaximized();
    Settle();
    EXPECT_EQ(bm->Image()->pos(), QPoint((bm->width() - 192) / 2, (bm->height() - 120) / 2));
    bm->parentWidget()->showNormal();
    QKeyEvent right(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(bm, &right);
    EXPECT_EQ(Panel(1), "Frame: 2 of 2");
    Run(C::DeleteFrame);
    Run(C::DeleteFrame);
    EXPECT_EQ(bm->Zoom(), 1);
    EXPECT_EQ(bm->parentWidget()->size(), QSize(200, 200));
}

// Choosing a palette replaces the file's own palette (a change) but only the display palette
// of a file without one; either way it becomes the setting new windows start from.
TEST_F(KindsTest, BMSelectPaletteReplacesOnlyTheFilesOwn)
{
    const TPalette ramp = Ramp();
    Play<TSelectPaletteForm>([](TSelectPaletteForm &picker) {
        picker.PaletteName = "Dflt";
        picker.Palette = DfltPalette();
        picker.OKButtonClick();
    });
    TBMForm *own = Open<TBMForm>(Put("own.bm", BMBytes({{2, 2, 5}}, 8, &ramp)));
    Run(C::SelectPalette);
    EXPECT_EQ(own->Document.Palette, DfltPalette());
    EXPECT_TRUE(own->Modified);
    EXPECT_EQ(Panel(7), "Display Palette: Dflt");
    Settings.BMPalettePath = "Uicolormap";
    TBMForm *plain = Open<TBMForm>(Put("plain.bm", BMBytes({{2, 2, 5}})));
    const TPalette before = plain->Document.Palette;
    Run(C::SelectPalette);
    EXPECT_EQ(plain->Document.Palette, before);
    EXPECT_EQ(plain->Palette, DfltPalette());
    EXPECT_FALSE(plain->Modified);
    EXPECT_EQ(Settings.BMPalettePath, "Dflt");
}

// The properties dialog's OK writes the settings, then the window applies them; a bad number
// keeps the dialog open with nothing written.
TEST_F(KindsTest, BMEditProperties)
{
    TBMForm *bm = Open<TBMForm>(Put("plain.bm", BMBytes({{2, 2, 5}})));
    bool stillOpen = false;
    Play<TEditBMForm>([&](TEditBMForm &dialog) {
        dialog.XOffsetBox->setText(stillOpen ? "3" : "-16");
        dialog.YOffsetBox->setText(stillOpen ? "12x" : "-2");
        dialog.PaletteGroup->SetItemIndex(1);
        dialog.OKButtonClick();
        stillOpen = dialog.isVisible();
    });
    Run(C::EditProperties);
    EXPECT_EQ(bm->Document.Header.XOffset, -16);
    EXPECT_EQ(bm->Document.Header.PaletteIncluded, 2);
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Panel(3), "Offset: -16 x -2");
    stillOpen = true;
    Run(C::EditProperties);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Messages().back(), "'12x' is not a valid integer value");
    EXPECT_EQ(Settings.BMXOffset, -16);
}

// Save All Bitmaps asks before each existing picture: No skips, Yes to All asks no more,
// Cancel ends the run; the view stays on its frame. Save Bitmap follows SaveBitmapFormat.
TEST_F(KindsTest, BMExports)
{
    TBMForm *bm = Open<TBMForm>(Put("walk.bm", BMBytes({{2, 2, 1}, {2, 2, 2}, {2, 2, 3}})));
    Run(C::NextFrame);
    const auto run = [&](std::deque<int> answers) {
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            Put(name, {7});
        ReplaceAnswers = std::move(answers);
        Desk.Dialogs.Accept({Dir.File("anything.bmp")});
        Run(C::SaveAllBitmaps);
        std::string replaced;
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            replaced += ReadFile(Dir.File(name)).size() > 1 ? "W" : "-";
        return replaced;
    };
    EXPECT_EQ(run({mrYes, mrNo, mrCancel}), "W--");
    EXPECT_EQ(Asked, (Texts{"walk-1.bmp (many)", "walk-2.bmp (many)", "walk-3.bmp (many)"}));
    EXPECT_EQ(run({mrNo, mrYesToAll}), "-WW");
    EXPECT_EQ(Asked.size(), 5u);
    EXPECT_EQ(bm->CurrentFrame(), 2);
    Settings.SaveBitmapFormat = 8;
    Desk.Dialogs.Accept({Dir.File("one.bmp")});
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "walk-2.bmp");
    EXPECT_EQ(ReadFile(Dir.File("one.bmp")).at(28), 8);
}

// Add Frames takes what the document can hold and says how many pictures were left out; an
// unreadable display palette falls back to the built-in one, said once.
TEST_F(KindsTest, BMAddFramesAndPaletteFallback)
{
    TBMForm *bm = Open<TBMForm>(Put("full.bm", BMBytes(std::vector<TFrame>(49, {1, 1, 0}))));
    const std::string a = Picture("a.bmp", 1, 1, Rgb(bm->Palette[42]));
    Desk.Dialogs.Accept({a, a, a});
    Run(C::AddFrames);
    EXPECT_EQ(bm->Document.NumImages(), 50);
    EXPECT_EQ(bm->Document.Images[49].Pixels, std::vector<uint8_t>{42});
    EXPECT_EQ(Messages(), Texts{"2 pictures were left out: a BM holds at most 50 frames."});
    Settings.BMPalettePath = Dir.File("missing.act");
    EXPECT_EQ(New<TBMForm>()->PaletteName, "Uicolormap");
    New(K::BM);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_NE(Messages()[1].find("missing.act"), std::string::npos);
}

// ---- MAT

// Next Frame steps through a frame's levels first; deleting a frame keeps the level shown in
// the range of the frame that becomes current; a colour MAT names its export without a
// level letter.
TEST_F(KindsTest, MATLevelsAndFrames)
{
    TMATForm *mat = Open<TMATForm>(Put("wall.mat", TextureMAT({{16, 16, 4, 1}, {2, 2, 1, 2}})));
    for (int i = 0; i < 3; ++i)
        Run(C::NextFrame);
    EXPECT_EQ(Panel(2), "Mipmap: 4 of 4");
    Desk.Dialogs.Cancel();
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "wall-1-D.bmp");
    Run(C::DeleteFrame);
    EXPECT_EQ(Panel(1) + " " + Panel(2), "Frame: 1 of 1 Mipmap: 1 of 1");
    EXPECT_EQ(mat->CurrentMipmap, 1);
}

// Colour frames come from Select Color (8-bit) or the colour dialog opened on black (16-bit);
// a cancelled picker adds nothing.
TEST_F(KindsTest, MATColourFrames)
{
    Settings.MATIsColor = true;
    TMATForm *mat = New<TMATForm>();
    Play<TSelectColorForm>([](TSelectColorForm &picker) {
        picker.SelectedIndex = 77;
        picker.OKButtonClick();
    });
    Run(C::AddFrames);
    User = nullptr;
    Run(C::AddFrames);
    EXPECT_EQ(mat->Document.NumRecords(), 1);
    EXPECT_EQ(mat->Document.ColorRecords[0].Color, 77);
    Settings.MATIs16Bit = true;
    TMATForm *wide = New<TMATForm>();
    Desk.Colors.Answers = {uint32_t(0x0080FF)};
    Run(C::AddFrames);
    EXPECT_EQ(Desk.Colors.Shown, std::vector<uint32_t>{0});
    EXPECT_EQ(wide->Document.ColorRecords[0].Color, 0x0080FF);
}

// Import messages reach the user each in a box of its kind; Add Mipmap takes the next level.
TEST_F(KindsTest, MATImports)
{
    TMATForm *mat = New<TMATForm>();
    Desk.Dialogs.Accept({Picture("odd.bmp", 63, 64, 0), Picture("huge.bmp", 2048, 2, 0)});
    Run(C::AddFrames);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 2u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[1].Kind, TMessageKind::Warning);
    EXPECT_EQ(mat->Document.NumRecords(), 1);
    Desk.Dialogs.Accept({Picture("half.bmp", 1024, 1, 0)});
    Run(C::AddMipmap);
    EXPECT_EQ(mat->CurrentMipmap, 2);
    EXPECT_TRUE(mat->Modified);
}

// The properties' OK goes into the window and the current frame: transparency converts the
// 16-bit words of every level, the fill colour goes into the frame and to new frames.
TEST_F(KindsTest, MATEditProperties)
{
    Play<TEditMATForm>([](TEditMATForm &dialog) {
        dialog.FrameTransBox->setChecked(true);
        dialog.MipmapsBox->setChecked(true);
        dialog.MipmapsCombo->setCurrentIndex(2);
        dialog.FillColor = 0xC01F;
        dialog.OKButtonClick();
    });
    const std::string path = Put("p.mat", TextureMAT({{2, 2, 2, 0xF800}}, 16));
    TMATForm *mat = Open<TMATForm>(path);
    Run(C::EditProperties);
    Run(C::Save);
    const std::vector<uint8_t> saved = ReadFile(path);
    EXPECT_EQ(I32At(saved, 80), 0xC01F); // the record's fill colour
    EXPECT_EQ(saved.back() << 8 | saved[saved.size() - 2], 0xFC00);
    EXPECT_EQ(mat->NewFillColor, 0xC01Fu);
    EXPECT_EQ(Panel(6), "Auto Mipmaps: 4");
}

// ---- CMP

// A new colormap is the fill colour with white lines; the mouse-over names the cell's own
// index and colour in the active window only; a double click recolours the cell, keeping
// the tables, and Save then recomputes the transparency tables before writing.
TEST_F(KindsTest, CMPCellsMouseAndSave)
{
    Settings.CMPFillColor = int(MakeColor(0, 0, 128));
    const QImage grid = New<TCMPForm>()->CMPImage->grab().toImage();
    EXPECT_EQ(grid.pixel(5, 5), qRgb(0, 0, 128));
    EXPECT_EQ(grid.pixel(20, 5), qRgb(255, 255, 255));

    const std::string path = Put("ramp.cmp", CMPBytes(1));
    TCMPForm *form = Open<TCMPForm>(path);
    Run(C::NextFrame);
    Mouse(form->CMPImage, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3) + "|" + Panel(4), "Index: 34|RGB: 34 221 238");
    Desk.Colors.Answers = {MakeColor(255, 0, 0)};
    Mouse(form->CMPImage, QEvent::MouseButtonDblClick, 45, 45);
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(34, 221, 238));
    EXPECT_EQ(form->Document.Palette[34], (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ(form->Document.LightLevels[0][0], 10); // kept
    EXPECT_TRUE(form->Modified);
    New(K::BM);
    Mouse(form->CMPImage, QEvent::MouseMove, 5, 5);
    form->ChangeCellColor();
    EXPECT_EQ(form->HoverIndex, 34);
    EXPECT_EQ(Desk.Colors.Shown.size(), 1u);

    Main->ActivateDocument(form);
    Settle();
    Run(C::Save);
    EXPECT_EQ(ReadFile(path).at(17216 + 7 * 256 + 7), 7); // recomputed; the file had 14
}

// Edit Properties recalculates behind the progress window and marks the document changed
// even without a change; Select Palette recomputes the tables, a change only when the
// palette is not the file's own.
TEST_F(KindsTest, CMPPropertiesAndPalette)
{
    const std::string path = Put("odd.cmp", CMPBytes(1));
    TCMPForm *form = Open<TCMPForm>(path);
    bool shown = false;
    Play<TEditCMPForm>([&](TEditCMPForm &dialog) {
        EXPECT_TRUE(dialog.CMPTransCheckbox->isChecked());
        dialog.OKButtonClick();
    });
    struct TWatch : QObject
    {
        bool *Shown;
        bool eventFilter(QObject *, QEvent *e) override
        {
            *Shown |= e->type() == QEvent::Show;
            return false;
        }
    } watch;
    watch.Shown = &shown;
    ProgressForm->installEventFilter(&watch);
    Run(C::EditProperties);
    ProgressForm->removeEventFilter(&watch);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(ProgressForm->isVisible());
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(form->Document.TransTables[7][7], 7);

    form->Modified = false;
    std::string name = path;
    Play<TSelectPaletteForm>([&](TSelectPaletteForm &picker) {
        picker.PaletteName = name;
        picker.OKButtonClick();
    });
    Run(C::SelectPalette);
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels[63][200], 200);
    name = "Dflt";
    Run(C::SelectPalette);
    EXPECT_TRUE(form->Modified);
}

// ---- SFT

// Add Frame takes one picture matched exactly; an unreadable one is reported, also from the
// popup menu; the readout names the character under the mouse at the zoom, in the active
// window only; Delete Frame empties the window at zoom 1 and changes nothing else.
TEST_F(KindsTest, SFTStripReadoutAndDelete)
{
    TSFTForm *sft = New<TSFTForm>();
    sft->Palette.fill({0, 0, 0});
    sft->Palette[7] = {1, 2, 3};
    Desk.Dialogs.Accept({Picture("strip.bmp", 2, 1, qRgb(1, 2, 3))});
    Run(C::AddFrames);
    EXPECT_EQ(sft->Document.Pixels, (std::vector<uint8_t>{7, 7}));
    TSFTForm *other = New<TSFTForm>();
    Desk.Dialogs.Accept({Put("junk.bmp", {1, 2, 3})});
    other->PopupMenu()->findChild<QAction *>("AddFrames1")->trigger();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(other->Modified);

    TSFTForm *ab = Open<TSFTForm>(Put("ab.sft", SFTBytes({{65, 10, 5}, {66, 15, 4}}, 40, 2)));
    Run(C::ZoomIn);
    std::string readouts;
    for (int x : {19, 20, 30, 70}) {
        Mouse(ab->Image(), QEvent::MouseMove, x, 0);
        readouts += Panel(6) + "|";
    }
    EXPECT_EQ(readouts, "|Character: A|Character: B|Character: B|");
    Run(C::ZoomIn);
    EXPECT_EQ(Panel(6), "");
    Main->ActivateDocument(sft);
    Settle();
    Mouse(ab->Image(), QEvent::MouseMove, 20, 0);
    EXPECT_EQ(Panel(6), "");
    Main->ActivateDocument(ab);
    Settle();
    Run(C::DeleteFrame);
    EXPECT_EQ(ab->Zoom(), 1);
    EXPECT_EQ(ab->parentWidget()->size(), QSize(200, 200));
    EXPECT_EQ(Panel(1), "Size: 40 x 2");
    EXPECT_FALSE(ab->Modified);
}

// The properties' OK changes the font and the settings a new font starts from; a font
// without characters is written all the same, with a warning.
TEST_F(KindsTest, SFTPropertiesAndTheEmptyFontWarning)
{
    TSFTForm *sft = Open<TSFTForm>(Put("ab.sft", SFTBytes({{65, 0, 8}}, 16, 16)));
    Play<TEditSFTForm>([](TEditSFTForm &dialog) {
        EXPECT_EQ(dialog.Rows(), (std::vector<TCharRow>{{"65", "A", "0", "8"}}));
        dialog.CharacterGapBox->setText("3");
        dialog.DeleteButtonClick();
        dialog.OKButtonClick();
    });
    Run(C::EditProperties);
    EXPECT_EQ(sft->Document.Header.CharGap, 3);
    EXPECT_EQ(sft->Document.Chars.Count(), 0);
    EXPECT_EQ(Panel(3), "Character Gap: 3");
    EXPECT_EQ(New<TSFTForm>()->Document.Header.CharGap, 3);
    Main->ActivateDocument(sft);
    Settle();
    Run(C::Save);
    EXPECT_EQ(Messages(), Texts{NoCharactersWarning});
    std::vector<uint8_t> written = SFTBytes({}, 16, 16);
    written[8] = 3; // the gap
    EXPECT_EQ(ReadFile(sft->FilePath), written);
}
