// Mipmap levels: capacity of a frame, and generation by keeping the top-left pixel of every
// 2 x 2 block (which also pins level sizes and offsets).

#include "core/GLM_Mipmaps.h"

#include <gtest/gtest.h>

namespace {

TMATTextureHeader Header(int32_t width, int32_t height, int32_t levels)
{
    return {width, height, 0, {}, levels};
}

// A texture MAT with one frame of one level whose pixel at (x, y) is x + 16 * y (8-bit) or
// the word 0x8000 | (x + 256 * y) (16-bit).
TMAT OneFrame(int32_t width, int32_t height, bool is16 = false)
{
    TMAT mat;
    if (is16)
        mat.SetDefaults16();
    mat.Header.NumRecords = mat.Header.NumTextures = 1;
    mat.TextureHeaders[0] = Header(width, height, 1);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int word = 0x8000 | (x + 256 * y);
            if (is16)
                mat.Pixels[0].insert(mat.Pixels[0].end(), {uint8_t(word), uint8_t(word >> 8)});
            else
                mat.Pixels[0].push_back(static_cast<uint8_t>(x + 16 * y));
        }
    return mat;
}

} // namespace

TEST(Mipmaps, FullWhenFourLevelsOrTheNextWouldBeEmpty)
{
    // The next level 8 x 8, 0 x 0, 1 x 1, 1 x 0 and 2 x 0; at four or more levels; none.
    const std::tuple<int, int, int, bool> cases[] = {
        {64, 64, 3, false}, {4, 4, 3, true},       {2, 2, 1, false},  {2, 1, 1, true},
        {8, 3, 2, true},    {1024, 1024, 4, true}, {64, 64, 7, true}, {0, 0, 0, false}};
    for (const auto &[width, height, levels, full] : cases)
        EXPECT_EQ(MipmapsFull(Header(width, height, levels)), full) << width << "x" << height;
}

TEST(Mipmaps, KeepsTheTopLeftPixelOfEachBlock)
{
    // 6 x 6 with 3 levels: 6x6, 3x3, 1x1; the 1x1 level is pixel (0, 0) of the 3x3 one.
    TMAT mat = OneFrame(6, 6);
    GenerateMipmaps(mat, 1, 3);
    std::vector<uint8_t> want = OneFrame(6, 6).Pixels[0];
    want.insert(want.end(), {0, 2, 4, 32, 34, 36, 64, 66, 68, 0});
    EXPECT_EQ(mat.Pixels[0], want);
    // 16-bit pixels move as whole words, the top bit kept.
    TMAT wide = OneFrame(4, 4, true);
    GenerateMipmaps(wide, 1, 2);
    want = OneFrame(4, 4, true).Pixels[0];
    want.insert(want.end(), {0, 0x80, 2, 0x80, 0, 0x82, 2, 0x82});
    EXPECT_EQ(wide.Pixels[0], want);
}

TEST(Mipmaps, StopsAtFourLevelsOrAnEmptyOneAndRegeneratesFromLevelOne)
{
    const std::tuple<int, int, int, int, size_t> cases[] = {
        {64, 32, 4, 4, 2048 + 512 + 128 + 32}, {64, 64, 9, 4, 4096 + 1024 + 256 + 64},
        {8, 2, 4, 2, 16 + 4}, // 8x2 and 4x1 only
        {8, 8, 1, 1, 64},
    };
    for (const auto &[width, height, asked, levels, bytes] : cases) {
        TMAT mat = OneFrame(width, height);
        GenerateMipmaps(mat, 1, asked);
        EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, levels) << width << "x" << height;
        EXPECT_EQ(mat.Pixels[0].size(), bytes) << width << "x" << height;
    }
    // Regenerated with fewer levels: the extra ones go.
    TMAT mat = OneFrame(16, 16);
    GenerateMipmaps(mat, 1, 4);
    GenerateMipmaps(mat, 1, 2);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 2);
    EXPECT_EQ(mat.Pixels[0].size(), 256u + 64);
    // A damaged frame, or one that does not exist, is left alone.
    mat = OneFrame(16, 16);
    mat.Pixels[0].resize(10);
    const TMAT before = mat;
    GenerateMipmaps(mat, 1, 4);
    GenerateMipmaps(mat, 2, 4);
    EXPECT_EQ(mat, before);
}
