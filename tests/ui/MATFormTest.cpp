// The MAT window inside the real main window, on the scripted desktop: stepping through
// levels then frames, what 16-bit and colour frames look like, delete and shift with the
// level kept in range, colour frames from the pickers, Add Frames with the size rules, Add
// Mipmap, the properties dialog with its pixel conversion, export names and the saved bytes.

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>

#include "DocumentFormFixture.h"

using namespace formtest;
using C = TCommand;

namespace {

std::vector<uint8_t> ColourMAT(const std::vector<int32_t> &colours, int bits = 8)
{
    Bytes b;
    const auto n = static_cast<int32_t>(colours.size());
    b.Text("MAT ").I32(50).I32(0).I32(n).I32(0).I32(bits == 16 ? 1 : 0).I32(bits).Fill(48);
    for (int32_t c : colours)
        b.I32(0).I32(c).Fill(16);
    return b.Data;
}

// A 24-bit Windows bitmap of 0 x 0 pixels (no pixel data), as some tools write them.
std::vector<uint8_t> EmptyBitmapFile()
{
    Bytes b;
    b.Text("BM").I32(54).I32(0).I32(54);
    b.I32(40).I32(0).I32(0).U16(1).U16(24).I32(0).I32(0).I32(2835).I32(2835).I32(0).I32(0);
    return b.Data;
}

class MATFormTest : public TDocumentFormTest<TMATForm>
{
protected:
    std::string Picture(const std::string &name, int width, int height, QRgb colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString(Dir.File(name)), "BMP");
        return Dir.File(name);
    }
    // "frame letter", as the exported names have it.
    static std::string At(const TMATForm *mat)
    {
        return std::to_string(mat->CurrentFrame()) + MipmapLetter(mat->CurrentMipmap);
    }
    static QRgb Shown(TMATForm *mat, int x = 0, int y = 0)
    {
        return mat->grab().toImage().pixel(x, y);
    }
};

// ---- Stepping and drawing

// 1A 1B 1C 2A 1A with Next Frame (and the Right key); back from 2A to 1C; the status bar
// follows, and a 32 x 16 level at zoom 3 measures 96 x 48.
TEST_F(MATFormTest, StepsThroughLevelsThenFrames)
{
    TMATForm *mat = Open(Put("wall.mat", TextureMAT({{64, 32, 3, 1}, {8, 8, 1, 2}})));
    ASSERT_TRUE(mat);
    EXPECT_EQ(At(mat), "1A");
    Run(C::NextFrame);
    EXPECT_EQ(At(mat), "1B");
    Run(C::ZoomIn);
    Run(C::ZoomIn);
    EXPECT_EQ(Main->StatusPanel(3), "Size: 96 x 48");
    EXPECT_EQ(mat->size(), QSize(150, 48));
    QKeyEvent right(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(mat, &right);
    EXPECT_EQ(At(mat), "1C");
    EXPECT_EQ(Main->StatusPanel(2), "Mipmap: 3 of 3");
    Run(C::NextFrame);
    EXPECT_EQ(At(mat), "2A");
    EXPECT_EQ(Main->StatusPanel(1), "Frame: 2 of 2");
    Run(C::PreviousFrame);
    EXPECT_EQ(At(mat), "1C");
    Run(C::NextFrame);
    Run(C::NextFrame);
    EXPECT_EQ(At(mat), "1A");
    EXPECT_EQ(Main->StatusPanel(5), "Fill Index: 5");
}

// The same stored word 0x801F: blue (bit 15 ignored) in a transparent frame read as 5-5-5,
// red 16 and blue 31 in an opaque frame read as 5-6-5; colour frames as blocks.
TEST_F(MATFormTest, SixteenBitFramesDrawByTheirLayout)
{
    TMATForm *mat =
        Open(Put("t16.mat", TextureMAT({{2, 2, 1, 0x801F, 1}, {2, 2, 1, 0x801F, 0}}, 16)));
    EXPECT_EQ(Shown(mat), qRgb(0, 0, 255));
    EXPECT_EQ(Main->StatusPanel(4), "Transparent");
    Run(C::NextFrame);
    EXPECT_EQ(Shown(mat, 1, 1), qRgb(132, 0, 255));
    EXPECT_EQ(Main->StatusPanel(4), "Not Transparent");
    EXPECT_EQ(Main->StatusPanel(7), "");
    // A 16-bit colour frame: a 64 x 64 block of a colour value with red in the low byte.
    TMATForm *colour = Open(Put("c16.mat", ColourMAT({0x0080FF}, 16)));
    EXPECT_EQ(colour->Image()->size(), QSize(64, 64));
    EXPECT_EQ(Shown(colour, 63, 63), qRgb(255, 128, 0));
}

// ---- Deleting and shifting

// Frame 1 of three goes: the file holds the other two renumbered; the level shown (4 of the
// deleted frame) comes back into the range of the frame now current.
TEST_F(MATFormTest, DeleteRenumbersAndKeepsTheLevelInRange)
{
    const std::string path =
        Put("three.mat", TextureMAT({{16, 16, 4, 1}, {2, 2, 1, 2}, {4, 2, 2, 3}}));
    TMATForm *mat = Open(path);
    for (int i = 0; i < 3; ++i)
        Run(C::NextFrame);
    EXPECT_EQ(At(mat), "1D");
    Run(C::DeleteFrame);
    EXPECT_EQ(At(mat), "1A");
    EXPECT_EQ(Main->StatusPanel(2), "Mipmap: 1 of 1");
    Run(C::Save);
    Bytes want;
    want.Text("MAT ").I32(50).I32(2).I32(2).I32(2).I32(0).I32(8).Fill(48);
    want.I32(8).I32(6).Fill(28).I32(0).I32(8).I32(7).Fill(28).I32(1);
    want.I32(2).I32(2).I32(0).I32(0).I32(0).I32(1).Fill(4, 2);
    want.I32(4).I32(2).I32(0).I32(0).I32(0).I32(2).Fill(8 + 2, 3);
    EXPECT_EQ(ReadFile(path), want.Data);
}

// Shift To Next Frame on the last of three colours: last, second, first, showing frame 1.
TEST_F(MATFormTest, ShiftOnTheLastColourFrameWrapsToTheFirst)
{
    TMATForm *mat = Open(Put("c.mat", ColourMAT({10, 20, 30})));
    Run(C::PreviousFrame);
    EXPECT_EQ(mat->CurrentFrame(), 3);
    Run(C::ShiftToNextFrame);
    EXPECT_EQ(mat->CurrentFrame(), 1);
    EXPECT_EQ(mat->Document.ColorRecords[0].Color, 30);
    EXPECT_EQ(mat->Document.ColorRecords[1].Color, 20);
    EXPECT_EQ(mat->Document.ColorRecords[2].Color, 10);
    EXPECT_TRUE(mat->Modified);
}

// ---- Adding frames and levels

// 8-bit colour frames come from Select Color, 16-bit ones from the colour dialog opened on
// black; a cancelled picker adds nothing. The saved colour MAT carries NumTextures 0.
TEST_F(MATFormTest, ColourFramesFromThePickers)
{
    Settings.MATIsColor = true;
    TMATForm *mat = New();
    EXPECT_EQ(Main->StatusPanel(0), "8-Bit Color MAT");
    User = [](TModalForm &form) {
        auto &picker = dynamic_cast<TSelectColorForm &>(form);
        picker.SelectedIndex = 77;
        picker.OKButtonClick();
    };
    Run(C::AddFrames);
    User = nullptr; // cancelled
    Run(C::AddFrames);
    EXPECT_EQ(mat->CurrentFrame(), 1);
    Desk.Dialogs.Accept({Dir.File("c.mat")});
    Run(C::SaveAs);
    EXPECT_EQ(ReadFile(Dir.File("c.mat")), ColourMAT({77}));

    Settings.MATIs16Bit = true;
    TMATForm *wide = New();
    Desk.Colors.Answers = {uint32_t(0x0080FF)};
    Run(C::AddFrames);
    EXPECT_EQ(Desk.Colors.Shown, (std::vector<uint32_t>{0}));
    EXPECT_EQ(wide->Document.ColorRecords[0].Color, 0x0080FF);
    EXPECT_EQ(wide->Document.Header.NumTextures, 0);
}

// One selection: a 0 x 0 picture and an odd one are refused with their errors and the import
// goes on; an over-size one is warned about and still added; a 64 x 32 one gets 4 levels.
TEST_F(MATFormTest, AddFramesAppliesTheSizeRulesPerFile)
{
    Settings.MATAutoMipmaps = true;
    Settings.MATNumberMipmaps = 4;
    TMATForm *mat = New();
    const std::string empty = Put("empty.bmp", EmptyBitmapFile());
    const std::string odd = Picture("odd.bmp", 63, 64, qRgb(0, 0, 0));
    const std::string huge = Picture("huge.bmp", 2048, 2048, qRgb(0, 0, 0));
    const std::string good = Picture("good.bmp", 64, 32, qRgb(1, 2, 3)); // in no entry
    Desk.Dialogs.Accept({empty, odd, huge, good});
    Run(C::AddFrames);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Bitmap Size: 0x0\rDimensions must be greater than 1",
                              "Bitmap Size: 63x64\rDimensions must be even numbers",
                              "Bitmap Size: 2048x2048\rMaximum JK/MOTS texture size is 1024x1024",
                          }));
    EXPECT_EQ(Desk.Boxes.Shown[1].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[2].Kind, TMessageKind::Warning);
    ASSERT_EQ(mat->Document.NumRecords(), 2);
    EXPECT_EQ(mat->Document.TextureHeaders[1].NumMipmaps, 4);
    EXPECT_EQ(mat->Document.Pixels[1].size(), 2048u + 512 + 128 + 32);
    EXPECT_EQ(mat->Document.Pixels[1][0], 255); // a colour absent from the palette
    EXPECT_EQ(At(mat), "2A");
    EXPECT_EQ(Main->StatusPanel(6), "Auto Mipmaps: 4");
    EXPECT_TRUE(mat->Modified);
}

// Add Mipmap wants exactly the next level's size; a full frame has the command off.
TEST_F(MATFormTest, AddMipmapTakesOnlyTheNextSize)
{
    TMATForm *mat = Open(Put("m.mat", TextureMAT({{64, 64, 1, 0}})));
    Desk.Dialogs.Accept({Picture("small.bmp", 31, 32, qRgb(0, 0, 0))});
    Run(C::AddMipmap);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Next mipmap size must be 32 x 32"}));
    EXPECT_EQ(mat->Document.TextureHeaders[0].NumMipmaps, 1);
    EXPECT_FALSE(mat->Modified);
    Desk.Dialogs.Accept({Picture("right.bmp", 32, 32, qRgb(0, 0, 0))});
    Run(C::AddMipmap);
    EXPECT_EQ(At(mat), "1B");
    EXPECT_TRUE(mat->Modified);

    TMATForm *tiny = Open(Put("tiny.mat", TextureMAT({{2, 2, 1, 0}})));
    EXPECT_TRUE(Main->IsCommandEnabled(C::AddMipmap)); // a 1 x 1 level still fits
    Desk.Dialogs.Accept({Picture("one.bmp", 1, 1, qRgb(0, 0, 0))});
    Run(C::AddMipmap);
    EXPECT_EQ(tiny->Document.TextureHeaders[0].NumMipmaps, 2);
    EXPECT_FALSE(Main->IsCommandEnabled(C::AddMipmap));
}

// ---- Properties

// OK without a frame writes the settings, leaves the frames and marks the document modified.
// Transparency on in a 16-bit frame converts every level's pixels to ARGB1555, off converts
// them back; the fill colour goes into the frame and becomes the one for new frames.
TEST_F(MATFormTest, PropertiesApplyToTheWindowAndTheCurrentFrame)
{
    bool transparent = true, generate = true;
    User = [&](TModalForm &form) {
        auto &dialog = dynamic_cast<TEditMATForm &>(form);
        dialog.FrameTransBox->setChecked(transparent);
        dialog.MipmapsBox->setChecked(generate);
        dialog.MipmapsCombo->setCurrentIndex(2);
        dialog.FillColor = 0xC01F;
        dialog.OKButtonClick();
    };
    TMATForm *empty = New();
    Run(C::EditProperties);
    EXPECT_TRUE(empty->Modified);
    EXPECT_EQ(empty->Document.NumRecords(), 0);
    EXPECT_EQ(Main->StatusPanel(6), "Auto Mipmaps: 4");
    generate = false;
    Run(C::EditProperties);
    EXPECT_EQ(Main->StatusPanel(6), "Manual Mipmaps");

    const auto tail = [](const std::string &path) {
        const std::vector<uint8_t> bytes = ReadFile(path);
        return std::vector<uint8_t>(bytes.end() - 10, bytes.end());
    };
    const auto words = [](std::initializer_list<uint16_t> list) {
        Bytes b;
        for (uint16_t w : list)
            b.U16(w);
        return b.Data;
    };
    std::vector<uint8_t> file = TextureMAT({{2, 2, 2, 0}}, 16); // levels 2x2 and 1x1
    const std::vector<uint8_t> before = words({0xFFFF, 0xF800, 0x0000, 0x07E0, 0x001F});
    std::copy(before.begin(), before.end(), file.end() - 10);
    const std::string path = Put("p.mat", file);
    TMATForm *mat = Open(path);
    Run(C::EditProperties);
    Run(C::Save);
    EXPECT_EQ(tail(path), words({0xFFFF, 0xFC00, 0x0000, 0x83E0, 0x801F}));
    EXPECT_EQ(I32At(ReadFile(path), 76 + 4), 0xC01F); // the record's FillColor
    EXPECT_EQ(mat->NewFillColor, 0xC01Fu);
    EXPECT_EQ(Main->StatusPanel(5), "RGB: 192 0 255");
    transparent = false;
    Run(C::EditProperties);
    Run(C::Save);
    EXPECT_EQ(tail(path), words({0xFFDF, 0xF800, 0x0000, 0x07C0, 0x001F}));
}

// ---- Export

// Save Bitmap proposes the level letter for textures and none for colour frames; Save All
// Bitmaps of a colour MAT writes one picture per frame.
TEST_F(MATFormTest, ExportNames)
{
    Open(Put("wall.mat", TextureMAT({{4, 4, 2, 0}})));
    Run(C::NextFrame);
    Desk.Dialogs.Cancel();
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "wall-1-B.bmp");

    Open(Put("tint.mat", ColourMAT({1, 2})));
    Desk.Dialogs.Cancel();
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "tint-1.bmp");
    Desk.Dialogs.Accept({Dir.File("out/tint-1.bmp")});
    std::filesystem::create_directories(Dir.Path / "out");
    Run(C::SaveAllBitmaps);
    EXPECT_TRUE(std::filesystem::exists(Dir.Path / "out" / "tint-1.bmp"));
    EXPECT_TRUE(std::filesystem::exists(Dir.Path / "out" / "tint-2.bmp"));
}

} // namespace
