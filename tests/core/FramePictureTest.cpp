// Frames drawn as the windows draw them, and written as their bitmap export writes them.

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testutil;

namespace {

TPaletteEntry At(const QImage &picture, int x, int y)
{
    const QRgb c = picture.pixel(x, y);
    return {static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
            static_cast<uint8_t>(qBlue(c))};
}

std::vector<uint8_t> Words(std::initializer_list<uint16_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
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

TEST(FramePicture, EightBitFramesGoThroughTheDisplayPalette)
{
    TPalette palette{};
    palette[3] = {10, 20, 30};
    palette[200] = {255, 0, 128};
    const QImage picture = BMFramePicture(TwoByOneBM({3, 200}, false), 1, palette);
    ASSERT_EQ(picture.size(), QSize(2, 1));
    EXPECT_EQ(At(picture, 0, 0), (TPaletteEntry{10, 20, 30}));
    EXPECT_EQ(At(picture, 1, 0), (TPaletteEntry{255, 0, 128}));
}

TEST(FramePicture, SixteenBitWordsReadAs565Or1555)
{
    const QImage rgb = BMFramePicture(TwoByOneBM(Words({0xF800, 0xFFFF}), true), 1, {});
    EXPECT_EQ(At(rgb, 0, 0), (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ(At(rgb, 1, 0), (TPaletteEntry{255, 255, 255}));

    // The same words in a transparent MAT texture are 5-5-5 with bit 15 ignored.
    TMAT mat;
    mat.SetDefaults16();
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {2, 1, 1, {}, 1};
    mat.TextureHeaders[1] = {2, 1, 0, {}, 1};
    mat.Pixels[0] = Words({0x7C00, 0xFC00});
    mat.Pixels[1] = Words({0x7C00, 0x07E0});
    const QImage transparent = MATFramePicture(mat, 1, 1, {});
    EXPECT_EQ(At(transparent, 0, 0), (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ(At(transparent, 1, 0), (TPaletteEntry{255, 0, 0}));
    const QImage opaque = MATFramePicture(mat, 2, 1, {});
    EXPECT_EQ(At(opaque, 0, 0), (TPaletteEntry{123, 130, 0})); // 0x7C00 as 5-6-5
    EXPECT_EQ(At(opaque, 1, 0), (TPaletteEntry{0, 255, 0}));
}

TEST(FramePicture, EverySixteenBitWordPacksBackToItself)
{
    // Export then import of a 16-bit frame must not lose a bit.
    for (uint32_t w = 0; w < 0x10000; ++w) {
        const auto word = static_cast<uint16_t>(w);
        const uint8_t r = Expand5(word >> 11), g = Expand6(word >> 5), b = Expand5(word);
        ASSERT_EQ(PackPixel16(r, g, b, false), word);
        const uint8_t tr = Expand5(word >> 10), tg = Expand5(word >> 5), tb = Expand5(word);
        const bool black = (word & 0x7FFF) == 0;
        ASSERT_EQ(PackPixel16(tr, tg, tb, true), black ? 0 : (word | 0x8000)) << w;
    }
}

TEST(FramePicture, ColourFramesAre64PixelBlocks)
{
    TPalette palette{};
    palette[17] = {1, 2, 3};
    TMAT eight;
    eight.SetColorType();
    AddMATColorFrame(eight, 17);
    const QImage block = MATFramePicture(eight, 1, 1, palette);
    ASSERT_EQ(block.size(), QSize(64, 64));
    EXPECT_EQ(At(block, 63, 63), (TPaletteEntry{1, 2, 3}));

    TMAT sixteen;
    sixteen.SetColorType();
    sixteen.SetDefaults16();
    AddMATColorFrame(sixteen, static_cast<int32_t>(MakeColor(200, 100, 50)));
    EXPECT_EQ(At(MATFramePicture(sixteen, 1, 0, palette), 5, 5), (TPaletteEntry{200, 100, 50}));
}

TEST(FramePicture, ZoomMakesBlocksAndLevelsAreFoundByOffset)
{
    TPalette palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<uint8_t>(i), 0, 0};
    TMAT mat;
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {4, 2, 0, {}, 2};
    mat.Pixels[0] = {0, 1, 2, 3, 4, 5, 6, 7, 40, 41};
    const QImage level2 = MATFramePicture(mat, 1, 2, palette, 3);
    ASSERT_EQ(level2.size(), QSize(6, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(level2, x, y).Red, 40);
        for (int x = 3; x < 6; ++x)
            EXPECT_EQ(At(level2, x, y).Red, 41);
    }
    EXPECT_TRUE(MATFramePicture(mat, 1, 3, palette).isNull());
    EXPECT_TRUE(MATFramePicture(mat, 2, 1, palette).isNull());
    const auto view = MATFrameView(mat, 1, 1);
    ASSERT_TRUE(view);
    EXPECT_EQ(FrameIndices(*view, 2),
              (std::vector<uint8_t>{0, 0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1, 2, 2, 3, 3,
                                    4, 4, 5, 5, 6, 6, 7, 7, 4, 4, 5, 5, 6, 6, 7, 7}));
}

TEST(FramePicture, DamagedFramesAreNotRead)
{
    TBM bm = TwoByOneBM({1}, false); // one pixel short
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
    const TBM bm = TwoByOneBM({2, 1}, false);
    TempDir dir;
    const std::string path = dir.File("f.bmp");
    SaveFrameBitmap(*BMFrameView(bm, 1), palette, 2, 8, path);
    const TBitmapPicture back = ReadBitmapFile(path);
    ASSERT_EQ(back.Width, 4);
    ASSERT_EQ(back.Height, 2);
    EXPECT_EQ(back.Indices, (std::vector<uint8_t>{2, 2, 1, 1, 2, 2, 1, 1}));
    ASSERT_EQ(back.ColorTable.size(), 256u);
    EXPECT_EQ(back.ColorTable[2], (TPaletteEntry{9, 9, 9}));

    // A 16-bit frame at 8 bits takes the palette entry of its colour.
    TPalette reds{};
    reds[5] = {255, 0, 0};
    SaveFrameBitmap(*BMFrameView(TwoByOneBM(Words({0xF800, 0xF800}), true), 1), reds, 1, 8,
                    dir.File("g.png"));
    EXPECT_EQ(ReadBitmapFile(dir.File("g.png")).Indices, (std::vector<uint8_t>{5, 5}));

    SaveFrameBitmap(*BMFrameView(bm, 1), palette, 1, 24, dir.File("h.bmp"));
    const TBitmapPicture rgb = ReadBitmapFile(dir.File("h.bmp"));
    EXPECT_TRUE(rgb.Indices.empty());
    EXPECT_EQ(rgb.PixelColor(1, 0), (TPaletteEntry{9, 9, 9}));
}

} // namespace
