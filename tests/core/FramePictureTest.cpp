// Frames drawn as the windows draw them, and written as their bitmap export writes them.

#include "core/GLM_Bitmaps.h"
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

TEST(FramePicture, IndicesGoThroughThePaletteWordsReadAs565Or1555)
{
    TPalette palette{};
    palette[3] = {10, 20, 30};
    palette[200] = {255, 0, 128};
    EXPECT_EQ(ColoursOf(BMFramePicture(TwoByOneBM({3, 200}, false), 1, palette)),
              (Colours{palette[3], palette[200]}));
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
    EXPECT_EQ(ColoursOf(MATFramePicture(mat, 2, 1, {})), (Colours{{123, 130, 0}, {0, 255, 0}}));
}

TEST(FramePicture, ColourFramesZoomAndMipmapLevels)
{
    // Colour frames are 64 x 64 blocks: a palette index at 8 bits, a colour at 16.
    TPalette palette{};
    palette[17] = {1, 2, 3};
    TMAT eight, sixteen;
    eight.SetColorType();
    AddMATColorFrame(eight, 17);
    sixteen.SetColorType();
    sixteen.SetDefaults16();
    AddMATColorFrame(sixteen, static_cast<int32_t>(MakeColor(200, 100, 50)));
    EXPECT_EQ(ColoursOf(MATFramePicture(eight, 1, 1, palette)), Colours(64 * 64, {1, 2, 3}));
    EXPECT_EQ(ColoursOf(MATFramePicture(sixteen, 1, 0, palette)),
              Colours(64 * 64, {200, 100, 50}));

    // Level 2 of a 4 x 2 texture lies after level 1's 8 bytes; zoom makes blocks.
    for (int i = 0; i < 256; ++i)
        palette[i] = {uint8_t(i), 0, 0};
    TMAT mat;
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {4, 2, 0, {}, 2};
    mat.Pixels[0] = {0, 1, 2, 3, 4, 5, 6, 7, 40, 41};
    const Colours level2 = ColoursOf(MATFramePicture(mat, 1, 2, palette, 3));
    ASSERT_EQ(level2.size(), 6u * 3);
    for (size_t i = 0; i < level2.size(); ++i)
        EXPECT_EQ(level2[i].Red, i % 6 < 3 ? 40 : 41) << i;
    EXPECT_TRUE(MATFramePicture(mat, 1, 3, palette).isNull());
    EXPECT_TRUE(MATFramePicture(mat, 2, 1, palette).isNull());
    EXPECT_EQ(FrameIndices(*MATFrameView(mat, 1, 1), 2),
              (Indices{0, 0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1, 2, 2, 3, 3,
                       4, 4, 5, 5, 6, 6, 7, 7, 4, 4, 5, 5, 6, 6, 7, 7}));
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
    const TBM bm = TwoByOneBM({2, 1}, false);
    TempDir dir;
    SaveFrameBitmap(*BMFrameView(bm, 1), palette, 2, 8, dir.File("f.bmp"));
    const TBitmapPicture back = ReadBitmapFile(dir.File("f.bmp"));
    ASSERT_EQ(back.Width, 4);
    ASSERT_EQ(back.Height, 2);
    EXPECT_EQ(back.Indices, (Indices{2, 2, 1, 1, 2, 2, 1, 1}));
    EXPECT_EQ(back.ColorTable, Colours(palette.begin(), palette.end()));

    // A 16-bit frame at 8 bits takes the palette entry of its colour.
    TPalette reds{};
    reds[5] = {255, 0, 0};
    SaveFrameBitmap(*BMFrameView(TwoByOneBM(Words({0xF800, 0xF800}), true), 1), reds, 1, 8,
                    dir.File("g.png"));
    EXPECT_EQ(ReadBitmapFile(dir.File("g.png")).Indices, (Indices{5, 5}));

    SaveFrameBitmap(*BMFrameView(bm, 1), palette, 1, 24, dir.File("h.bmp"));
    const TBitmapPicture rgb = ReadBitmapFile(dir.File("h.bmp"));
    EXPECT_TRUE(rgb.Indices.empty());
    EXPECT_EQ(rgb.PixelColor(1, 0), (TPaletteEntry{9, 9, 9}));
}
