// Frames drawn and exported as the windows do it, and the names Save All Bitmaps gives, beyond
// what the command-line export of the samples shows (8-bit frames, levels, colour frames,
// zoom and 24-bit output are pinned there).

#include "core/GLM_Bitmaps.h"
#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testutil;

namespace {

using Colours = std::vector<TPaletteEntry>;
using Indices = std::vector<uint8_t>;

Colours ColoursOf(const QImage &picture)
{
    Colours all;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            all.push_back({uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
        }
    return all;
}

std::vector<uint8_t> Words(std::initializer_list<uint16_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint16_t w : words)
        bytes.insert(bytes.end(), {uint8_t(w & 0xFF), uint8_t(w >> 8)});
    return bytes;
}

TBM TwoByOneBM(std::vector<uint8_t> pixels, bool is16)
{
    TBM bm;
    if (is16)
        bm.SetDefaults16();
    bm.Header.NumImages = 1;
    bm.Images[0] = {2, 1, std::move(pixels)};
    return bm;
}

} // namespace

TEST(FramePicture, SixteenBitWordsReadAs565Or1555)
{
    EXPECT_EQ(ColoursOf(BMFramePicture(TwoByOneBM(Words({0xF800, 0xFFFF}), true), 1, {})),
              (Colours{{255, 0, 0}, {255, 255, 255}}));
    // In a transparent MAT texture the words are 5-5-5 with bit 15 ignored.
    TMAT mat;
    mat.SetDefaults16();
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {2, 1, 1, {}, 1};
    mat.TextureHeaders[1] = {2, 1, 0, {}, 1};
    mat.Pixels[0] = Words({0x7C00, 0xFC00});
    mat.Pixels[1] = Words({0x7C00, 0x07E0});
    EXPECT_EQ(ColoursOf(MATFramePicture(mat, 1, 1, {})), (Colours{{255, 0, 0}, {255, 0, 0}}));
    const TPaletteEntry A{123, 130, 0}, B{0, 255, 0};
    EXPECT_EQ(ColoursOf(MATFramePicture(mat, 2, 1, {})), (Colours{A, B}));
    EXPECT_EQ(ColoursOf(MATFramePicture(mat, 2, 1, {}, 2)), (Colours{A, A, B, B, A, A, B, B}));
    EXPECT_TRUE(MATFramePicture(mat, 1, 2, {}).isNull()); // no such level
    EXPECT_TRUE(MATFramePicture(mat, 3, 1, {}).isNull()); // no such frame
    // A 16-bit colour frame is a 64 x 64 block of its colour value.
    TMAT colour;
    colour.SetColorType();
    colour.SetDefaults16();
    AddMATColorFrame(colour, static_cast<int32_t>(MakeColor(200, 100, 50)));
    EXPECT_EQ(ColoursOf(MATFramePicture(colour, 1, 0, {})), Colours(64 * 64, {200, 100, 50}));
}

TEST(FramePicture, DamagedFramesAreNotRead)
{
    const TBM bm = TwoByOneBM({1}, false); // one pixel short
    EXPECT_FALSE(BMFrameView(bm, 1));
    EXPECT_FALSE(BMFrameView(bm, 2));
    TMAT mat;
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {4, 4, 0, {}, 2};
    mat.Pixels[0].resize(16 + 3); // level 2 needs 4 bytes
    EXPECT_TRUE(MATFrameView(mat, 1, 1));
    EXPECT_FALSE(MATFrameView(mat, 1, 2));
    TSFT sft;
    EXPECT_FALSE(SFTFrameView(sft)); // no bitmap
    sft.BMHeader.NumImages = 1;
    sft.Width = 3;
    sft.Height = 1;
    sft.Pixels = {1, 2, 3};
    EXPECT_TRUE(SFTFrameView(sft));
}

TEST(FramePicture, EightBitExportKeepsTheFramesOwnIndices)
{
    // Entries 1 and 2 share a colour: drawing and matching would turn 2 into 1.
    TPalette palette{};
    palette[1] = palette[2] = {9, 9, 9};
    TempDir dir;
    SaveFrameBitmap(*BMFrameView(TwoByOneBM({2, 1}, false), 1), palette, 2, 8, dir.File("f.bmp"));
    const TBitmapPicture back = ReadBitmapFile(dir.File("f.bmp"));
    ASSERT_EQ(back.Width, 4);
    EXPECT_EQ(back.Indices, (Indices{2, 2, 1, 1, 2, 2, 1, 1}));
    EXPECT_EQ(back.ColorTable, Colours(palette.begin(), palette.end()));
}

TEST(ExportNames, OtherPathsExtensionsAndTextureDepths)
{
    EXPECT_EQ(ExportBaseName("walk.bm"), "walk");
    EXPECT_EQ(ExportBaseName("/games/jk/mats/dr.wall.MAT"), "dr.wall");
    EXPECT_EQ(ExportBaseName("C:\\fonts\\big.sft"), "big");
    EXPECT_EQ(ExportBaseName("C:walk.bm"), "walk");
    EXPECT_EQ(ExportBaseName("dir.d/noext"), "noext");
    TBM bm;
    bm.Header.NumImages = 2;
    EXPECT_EQ(BMExportPictures(bm, ExportBaseName("Untitled0.bm")),
              (std::vector<TExportPicture>{{"Untitled0-1.bmp", 1, 0}, {"Untitled0-2.bmp", 2, 0}}));
    EXPECT_EQ(MATLevelBitmapName("wall", 2, 1), "wall-2-A.bmp");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 4, ".png"), "wall-1-D.png");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 5), "wall-1.bmp"); // no letter beyond D
    TMAT mat;
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {64, 64, 0, {}, 2};
    mat.TextureHeaders[1] = {64, 4, 0, {}, 6}; // more levels than the editor makes
    EXPECT_EQ(MATExportPictures(mat, "m", ".png"),
              (std::vector<TExportPicture>{{"m-1-A.png", 1, 1}, {"m-1-B.png", 1, 2},
                                           {"m-2-A.png", 2, 1}, {"m-2-B.png", 2, 2},
                                           {"m-2-C.png", 2, 3}})); // 8x0: no picture
    mat.TextureHeaders[1] = {64, 64, 0, {}, 6};
    EXPECT_EQ(MATExportPictures(mat, "m").back(), (TExportPicture{"m-2-F.bmp", 2, 6}));
    mat.Header.MatType = 1; // a bare header: no frames at all
    EXPECT_TRUE(MATExportPictures(mat, "m").empty());
}
