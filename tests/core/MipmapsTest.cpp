// Mipmap levels: capacity of a frame, level sizes and offsets, and generation by keeping the
// top-left pixel of every 2 x 2 block.

#include "core/GLM_Mipmaps.h"

#include <gtest/gtest.h>

namespace {

TMATTextureHeader Header(int32_t width, int32_t height, int32_t levels)
{
    TMATTextureHeader h;
    h.Width = width;
    h.Height = height;
    h.NumMipmaps = levels;
    return h;
}

// A texture MAT with one frame of one level whose pixel at (x, y) is x + 16 * y (8-bit) or
// the word 0x8000 | (x + 256 * y) (16-bit).
TMAT OneFrame(int32_t width, int32_t height, bool is16)
{
    TMAT mat;
    if (is16)
        mat.SetDefaults16();
    mat.Header.NumRecords = mat.Header.NumTextures = 1;
    mat.TextureHeaders[0] = Header(width, height, 1);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            if (is16) {
                const int word = 0x8000 | (x + 256 * y);
                mat.Pixels[0].push_back(static_cast<uint8_t>(word & 0xFF));
                mat.Pixels[0].push_back(static_cast<uint8_t>(word >> 8));
            } else {
                mat.Pixels[0].push_back(static_cast<uint8_t>(x + 16 * y));
            }
        }
    return mat;
}

TEST(Mipmaps, FullWhenFourLevelsOrTheNextWouldBeEmpty)
{
    EXPECT_FALSE(MipmapsFull(Header(64, 64, 3)));  // fourth level 8 x 8
    EXPECT_TRUE(MipmapsFull(Header(4, 4, 3)));     // fourth level 0 x 0
    EXPECT_FALSE(MipmapsFull(Header(2, 2, 1)));    // second level 1 x 1
    EXPECT_TRUE(MipmapsFull(Header(2, 1, 1)));     // second level 1 x 0
    EXPECT_TRUE(MipmapsFull(Header(1024, 1024, 4)));
    EXPECT_TRUE(MipmapsFull(Header(64, 64, 7)));
    EXPECT_FALSE(MipmapsFull(Header(0, 0, 0)));    // no level: never full
    EXPECT_TRUE(MipmapsFull(Header(8, 3, 2)));     // third level 2 x 0
}

TEST(Mipmaps, LevelSizesAndOffsets)
{
    const TMATTextureHeader h = Header(64, 32, 4);
    EXPECT_EQ(MipmapLevelSize(h, 1).Width, 64);
    EXPECT_EQ(MipmapLevelSize(h, 3).Width, 16);
    EXPECT_EQ(MipmapLevelSize(h, 3).Height, 8);
    EXPECT_EQ(MipmapLevelOffset(h, 1, 1), 0u);
    EXPECT_EQ(MipmapLevelOffset(h, 2, 1), 2048u);
    EXPECT_EQ(MipmapLevelOffset(h, 4, 2), 2u * (2048 + 512 + 128));
}

TEST(Mipmaps, GeneratesUpToTheAskedNumberOfLevels)
{
    TMAT mat = OneFrame(64, 32, false);
    GenerateMipmaps(mat, 1, 4);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 4);
    EXPECT_EQ(mat.Pixels[0].size(), 2048u + 512 + 128 + 32); // 64x32, 32x16, 16x8, 8x4

    TMAT narrow = OneFrame(8, 2, false);
    GenerateMipmaps(narrow, 1, 4);
    EXPECT_EQ(narrow.TextureHeaders[0].NumMipmaps, 2); // 8x2 and 4x1 only
    EXPECT_EQ(narrow.Pixels[0].size(), 16u + 4);

    TMAT single = OneFrame(8, 8, false);
    const TMAT before = single;
    GenerateMipmaps(single, 1, 1);
    EXPECT_EQ(single, before);
}

TEST(Mipmaps, KeepsTheTopLeftPixelOfEachBlock)
{
    // 6 x 6 with 3 levels: 6x6, 3x3, 1x1; the 1x1 level is pixel (0, 0) of the 3x3 one.
    TMAT mat = OneFrame(6, 6, false);
    GenerateMipmaps(mat, 1, 3);
    ASSERT_EQ(mat.TextureHeaders[0].NumMipmaps, 3);
    const std::vector<uint8_t> &p = mat.Pixels[0];
    ASSERT_EQ(p.size(), 36u + 9 + 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(p[36 + y * 3 + x], 2 * x + 16 * 2 * y) << x << "," << y;
    EXPECT_EQ(p[45], p[36]);
    // Level 1 is untouched.
    EXPECT_EQ(p[35], 5 + 16 * 5);
}

TEST(Mipmaps, SixteenBitPixelsMoveAsWholeWords)
{
    TMAT mat = OneFrame(4, 4, true);
    GenerateMipmaps(mat, 1, 2);
    const std::vector<uint8_t> &p = mat.Pixels[0];
    ASSERT_EQ(p.size(), 2u * (16 + 4));
    // Level 2 pixel (1, 1) is level 1 pixel (2, 2): 0x8000 | (2 + 512), the top bit kept.
    const size_t at = 32 + 2 * (1 * 2 + 1);
    EXPECT_EQ(p[at] | (p[at + 1] << 8), 0x8000 | (2 + 256 * 2));
}

TEST(Mipmaps, RegeneratesFromLevelOneAndIgnoresDamagedFrames)
{
    TMAT mat = OneFrame(16, 16, false);
    GenerateMipmaps(mat, 1, 4);
    GenerateMipmaps(mat, 1, 2); // fewer levels: the extra ones go
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 2);
    EXPECT_EQ(mat.Pixels[0].size(), 256u + 64);

    TMAT shortBuffer = OneFrame(16, 16, false);
    shortBuffer.Pixels[0].resize(10);
    const TMAT before = shortBuffer;
    GenerateMipmaps(shortBuffer, 1, 4);
    EXPECT_EQ(shortBuffer, before);
    GenerateMipmaps(shortBuffer, 2, 4); // no such frame
    EXPECT_EQ(shortBuffer, before);
}

} // namespace
