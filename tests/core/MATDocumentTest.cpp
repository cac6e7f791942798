// What the MAT window does to its document: stepping through levels then frames, deleting
// and shifting frames with CelIndex renumbered (checked in the saved bytes), the level
// brought back into range, transparency with its pixel conversion, the status texts and the
// command facts.

#include "core/documents/GLM_MATDocument.h"

#include "TestFiles.h"
#include "core/GLM_ExportNames.h"
#include "core/GLM_Import.h"

#include <gtest/gtest.h>

#include <utility>

using namespace testutil;

namespace {

using Words = std::vector<uint16_t>;

// A texture frame of `levels` levels whose pixels all hold `mark` (8-bit).
void AddTexture(TMAT &mat, int width, int height, int levels, uint8_t mark, int fill = 0)
{
    const int i = mat.NumRecords();
    mat.TextureRecords[i] = {8, fill, {}, i};
    mat.TextureHeaders[i] = {width, height, 0, {}, levels};
    mat.Pixels[i].assign(static_cast<size_t>(mat.TextureBytes(mat.TextureHeaders[i])), mark);
    mat.SetNumRecords(i + 1);
}

// Frame 1: 64x64, 32x32, 16x16; frame 2: 8x8, one level.
TMAT TwoFrames()
{
    TMAT mat;
    AddTexture(mat, 64, 64, 3, 1);
    AddTexture(mat, 8, 8, 1, 2);
    return mat;
}

TMAT Colours(std::initializer_list<int32_t> colours, bool is16 = false)
{
    TMAT mat = NewMAT(true, is16);
    for (int32_t c : colours)
        AddMATColorFrame(mat, c);
    return mat;
}

std::vector<uint8_t> WordBytes(const Words &words)
{
    Bytes b;
    for (uint16_t w : words)
        b.U16(w);
    return b.Data;
}

std::vector<uint8_t> Saved(const TMAT &mat)
{
    TempDir dir;
    mat.SaveToFile(dir.File("m.mat"));
    return ReadFile(dir.File("m.mat"));
}

Bytes Header(int32_t type, int32_t records, int32_t textures)
{
    Bytes b;
    return b.Text("MAT ").I32(50).I32(type).I32(records).I32(textures).I32(0).I32(8).Fill(48);
}

std::pair<int, int> Next(const TMAT &mat, int frame, int mipmap)
{
    MATNextFrame(mat, frame, mipmap);
    return {frame, mipmap};
}

std::pair<int, int> Previous(const TMAT &mat, int frame, int mipmap)
{
    MATPreviousFrame(mat, frame, mipmap);
    return {frame, mipmap};
}

} // namespace

TEST(MATDocument, NewDocumentsFollowTheSettings)
{
    EXPECT_EQ(NewMAT(false, false), TMAT());
    const TMAT colour16 = NewMAT(true, true);
    EXPECT_EQ(colour16.Header.MatType, 0);
    EXPECT_EQ(colour16.Header.ColorMode, 1);
    EXPECT_EQ(colour16.Header.BitsPerPixel, 16);
}

// 1A 1B 1C 2A and round again; back from 2A to 1C and from 1A to 2A; colour MATs step
// frames only and leave the level alone.
TEST(MATDocument, StepsThroughLevelsThenFrames)
{
    const TMAT mat = TwoFrames();
    using P = std::pair<int, int>;
    EXPECT_EQ(Next(mat, 1, 1), P(1, 2));
    EXPECT_EQ(Next(mat, 1, 3), P(2, 1));
    EXPECT_EQ(Next(mat, 2, 1), P(1, 1));
    EXPECT_EQ(Previous(mat, 2, 1), P(1, 3));
    EXPECT_EQ(Previous(mat, 1, 2), P(1, 1));
    EXPECT_EQ(Previous(mat, 1, 1), P(2, 1));
    const TMAT colours = Colours({5, 6, 7});
    EXPECT_EQ(Next(colours, 3, 0), P(1, 0));
    EXPECT_EQ(Previous(colours, 1, 0), P(3, 0));
    EXPECT_EQ(Next(TMAT(), 0, 0), P(0, 0)); // no frame: nothing moves
}

// Frame 1 goes: the later frames move down with record, header and pixels, their CelIndex
// renumbered, the last slot cleared, and the file says so byte for byte.
TEST(MATDocument, DeletingATextureFrameMovesEverythingDown)
{
    TMAT mat;
    AddTexture(mat, 2, 2, 1, 0xA1, 11);
    AddTexture(mat, 4, 2, 2, 0xB2, 22);
    AddTexture(mat, 2, 4, 1, 0xC3, 33);
    DeleteMATFrame(mat, 1);
    EXPECT_EQ(mat.TextureRecords[2], TMATTextureRecord{});
    EXPECT_TRUE(mat.Pixels[2].empty());

    Bytes want = Header(2, 2, 2);
    want.I32(8).I32(22).Fill(28).I32(0);
    want.I32(8).I32(33).Fill(28).I32(1);
    want.I32(4).I32(2).I32(0).I32(0).I32(0).I32(2).Fill(8 + 2, 0xB2);
    want.I32(2).I32(4).I32(0).I32(0).I32(0).I32(1).Fill(8, 0xC3);
    EXPECT_EQ(Saved(mat), want.Data);
}

// Shifting frame 3 of 3 on swaps it with frame 1 (both renumbered); the view steps on to the
// moved frame's first level and, being past a frame's levels, is fitted back into range.
TEST(MATDocument, ShiftingTextureFramesAndFittingTheLevel)
{
    TMAT mat;
    AddTexture(mat, 2, 2, 1, 0xA1, 11);
    AddTexture(mat, 2, 2, 1, 0xB2, 22);
    AddTexture(mat, 8, 8, 4, 0xC3, 33);
    SwapMATFrames(mat, 3, 1);
    Bytes want = Header(2, 3, 3);
    want.I32(8).I32(33).Fill(28).I32(0);
    want.I32(8).I32(22).Fill(28).I32(1);
    want.I32(8).I32(11).Fill(28).I32(2);
    want.I32(8).I32(8).I32(0).I32(0).I32(0).I32(4).Fill(64 + 16 + 4 + 1, 0xC3);
    want.I32(2).I32(2).I32(0).I32(0).I32(0).I32(1).Fill(4, 0xB2);
    want.I32(2).I32(2).I32(0).I32(0).I32(0).I32(1).Fill(4, 0xA1);
    EXPECT_EQ(Saved(mat), want.Data);

    // Level 4 of the 8x8 frame was shown; frame 2 has one level.
    EXPECT_EQ(FitMipmap(mat, 2, 4), 1);
    EXPECT_EQ(FitMipmap(mat, 1, 4), 4);
    EXPECT_EQ(FitMipmap(mat, 1, 0), 1);
    EXPECT_EQ(FitMipmap(Colours({1}), 1, 3), 3); // colour frames have no levels to fit
}

// Shift To Next Frame on the last of three colours: last, second, first. Deleting colour
// frames moves the records down; the count and NumTextures 0 go to the file.
TEST(MATDocument, ColourFramesShiftAndDelete)
{
    TMAT mat = Colours({10, 20, 30});
    SwapMATFrames(mat, 3, 1);
    EXPECT_EQ(mat.ColorRecords[0].Color, 30);
    EXPECT_EQ(mat.ColorRecords[1].Color, 20);
    EXPECT_EQ(mat.ColorRecords[2].Color, 10);
    DeleteMATFrame(mat, 2);
    Bytes want = Header(0, 2, 0);
    want.I32(0).I32(30).Fill(16).I32(0).I32(10).Fill(16);
    EXPECT_EQ(Saved(mat), want.Data);
    DeleteMATFrame(mat, 5); // no such frame
    EXPECT_EQ(mat.NumRecords(), 2);
}

// Every pixel of every level converts when a 16-bit frame's transparency changes, and only
// then; an 8-bit frame changes its flag only.
TEST(MATDocument, TransparencyConvertsSixteenBitPixels)
{
    TMAT mat = NewMAT(false, true);
    AddTexture(mat, 2, 2, 2, 0);
    const Words rgb565{0xFFFF, 0xF800, 0x0000, 0x07E0, 0x001F};
    mat.Pixels[0] = WordBytes(rgb565);
    EXPECT_TRUE(ApplyFrameProperties(mat, 1, true, 0xC01F));
    EXPECT_EQ(mat.Pixels[0], WordBytes({0xFFFF, 0xFC00, 0x0000, 0x83E0, 0x801F}));
    EXPECT_EQ(mat.TextureRecords[0].FillColor, 0xC01F);
    EXPECT_EQ(mat.TextureHeaders[0].Transparent, 1);
    EXPECT_FALSE(SetFrameTransparent(mat, 1, true)); // no change, no second conversion
    EXPECT_EQ(mat.Pixels[0][2], 0x00);
    EXPECT_TRUE(SetFrameTransparent(mat, 1, false));
    EXPECT_EQ(mat.Pixels[0], WordBytes({0xFFDF, 0xF800, 0x0000, 0x07C0, 0x001F}));

    TMAT eight;
    AddTexture(eight, 2, 2, 1, 0xF8);
    EXPECT_TRUE(SetFrameTransparent(eight, 1, true));
    EXPECT_EQ(eight.Pixels[0], std::vector<uint8_t>(4, 0xF8));
}

TEST(MATDocument, StatusTexts)
{
    TMAT mat;
    AddTexture(mat, 64, 32, 2, 0, 17);
    mat.TextureHeaders[0].Transparent = 1;
    TMATStatusView view{1, 2, 3, true, 4, "/pal/level.cmp"};
    using Texts = std::array<std::string, 8>;
    EXPECT_EQ(
        MATStatusTexts(mat, view),
        (Texts{"8-Bit Texture MAT", "Frame: 1 of 1", "Mipmap: 2 of 2", "Size: 96 x 48",
               "Transparent", "Fill Index: 17", "Auto Mipmaps: 4", "Display Palette: level.cmp"}));
    // A colour frame is a 64 x 64 block at the zoom; no levels, never transparent; 16-bit
    // documents name the fill as a colour and leave the palette panel empty.
    TMAT colours = Colours({0x00FF00}, true);
    EXPECT_EQ(MATStatusTexts(colours, {1, 0, 2, false, 1, "Dflt"}),
              (Texts{"16-Bit Color MAT", "Frame: 1 of 1", "No Mipmaps", "Size: 128 x 128",
                     "Not Transparent", "RGB: 0 0 0", "Manual Mipmaps", ""}));
    EXPECT_EQ(MATStatusTexts(NewMAT(false, false), {0, 0, 1, false, 1, "Dflt"})[1],
              "Frame: 0 of 0");
    EXPECT_EQ(MATStatusTexts(NewMAT(false, false), {0, 0, 1, false, 1, "Dflt"})[3], "Size: 0 x 0");
}

// Stepping with two levels in one frame; Add Mipmap only while the current frame can take a
// level; a colour MAT never; a MAT of another type shows no frames.
TEST(MATDocument, CommandFacts)
{
    TMAT mat;
    AddTexture(mat, 64, 64, 2, 0);
    TCommandStates s = DocumentStates(MATFacts(mat, 1, 1));
    EXPECT_TRUE(s[TCommand::NextFrame]);
    EXPECT_TRUE(s[TCommand::SaveAllBitmaps]);
    EXPECT_FALSE(s[TCommand::ShiftToNextFrame]);
    EXPECT_TRUE(s[TCommand::AddMipmap]);
    EXPECT_TRUE(s[TCommand::SelectPalette]);
    mat.TextureHeaders[0].NumMipmaps = 4;
    mat.Pixels[0].resize(static_cast<size_t>(mat.TextureBytes(mat.TextureHeaders[0])));
    EXPECT_FALSE(DocumentStates(MATFacts(mat, 1, 1))[TCommand::AddMipmap]);

    s = DocumentStates(MATFacts(Colours({1}, true), 1, 1));
    EXPECT_FALSE(s[TCommand::AddMipmap]);
    EXPECT_FALSE(s[TCommand::NextFrame]);
    EXPECT_FALSE(s[TCommand::SelectPalette]);

    TMAT other;
    other.Header.MatType = 1;
    other.Header.NumRecords = 1000;
    EXPECT_EQ(MATFacts(other, 0, 1).Frames, 0);
}

// Save All Bitmaps of a colour MAT writes one picture per frame, base-f.bmp; of a texture
// MAT one per level with its letter.
TEST(MATDocument, ExportNamesPerFrameAndLevel)
{
    using List = std::vector<TExportPicture>;
    EXPECT_EQ(MATExportPictures(Colours({1, 2}), "c"),
              (List{{"c-1.bmp", 1, 0}, {"c-2.bmp", 2, 0}}));
    EXPECT_EQ(
        MATExportPictures(TwoFrames(), "t"),
        (List{{"t-1-A.bmp", 1, 1}, {"t-1-B.bmp", 1, 2}, {"t-1-C.bmp", 1, 3}, {"t-2-A.bmp", 2, 1}}));
}
