// Pictures into frames: the size rules and their texts, exact colour matching, 16-bit
// packing, the fields a new frame gets, Add Mipmap, colour frames and the SFT strip; and
// generated mipmap levels.

#include "core/GLM_Import.h"
#include "core/GLM_Mipmaps.h"

#include "GameFiles.h"

#include <gtest/gtest.h>

namespace {

using Colours = std::vector<TPaletteEntry>;
using Words = std::vector<uint16_t>;
using K = TImportMessageKind;

const TPaletteEntry White{255, 255, 255};
// A picture of the given colours, rows from the top; a single colour fills it.
TBitmapPicture Picture(int width, int height, const Colours &colours = {{}})
{
    TBitmapPicture p;
    p.Width = width;
    p.Height = height;
    for (int i = 0; i < width * height; ++i) {
        const TPaletteEntry &c = colours[colours.size() == 1 ? 0 : size_t(i)];
        p.RGB.insert(p.RGB.end(), {c.Red, c.Green, c.Blue});
    }
    return p;
}

Words WordsOf(const std::vector<uint8_t> &bytes)
{
    Words words;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        words.push_back(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return words;
}

// Entries 7 and 9 share a colour; 20 is white; black is entry 0.
TPalette TestPalette()
{
    TPalette palette{};
    palette[7] = palette[9] = {1, 2, 3};
    palette[20] = White;
    return palette;
}

} // namespace

// Low bits are dropped, not rounded; only pure black is transparent; every word, drawn as
// the windows draw it, packs back to itself (export then import loses no bit).
TEST(Import, PacksSixteenBitPixelsByTruncation)
{
    EXPECT_EQ(PackPixel16(7, 3, 7, false), 0x0000);
    EXPECT_EQ(PackPixel16(7, 3, 7, true), 0x8000);
    for (uint32_t w = 0; w < 0x10000; ++w) {
        const auto word = static_cast<uint16_t>(w);
        const TPaletteEntry c = PixelWordColor(word, false), t = PixelWordColor(word, true);
        ASSERT_EQ(PackPixel16(c.Red, c.Green, c.Blue, false), word);
        const bool black = (word & 0x7FFF) == 0;
        ASSERT_EQ(PackPixel16(t.Red, t.Green, t.Blue, true), black ? 0 : (word | 0x8000)) << w;
    }
}

// An error leaves the MAT alone; the warning does not stop the import.
TEST(Import, TextureSizeRulesAndTheirTexts)
{
    const std::tuple<int, int, K, std::string> cases[] = {
        {63, 64, K::Error, "63x64\rDimensions must be even numbers"},
        {1, 2, K::Error, "1x2\rDimensions must be even numbers"},
        {0, 0, K::Error, "0x0\rDimensions must be greater than 1"},
        {0, 2, K::Error, "0x2\rDimensions must be greater than 1"},
        {1024, 2048, K::Warning, "1024x2048\rMaximum JK/MOTS texture size is 1024x1024"},
    };
    for (const auto &[width, height, kind, text] : cases)
        EXPECT_EQ(CheckTextureSize(width, height), (TImportMessage{kind, "Bitmap Size: " + text}));
    EXPECT_FALSE(CheckTextureSize(1024, 1024) || CheckTextureSize(2, 2));
    TMAT mat;
    const TImportResult odd = ImportMATFrame(mat, Picture(63, 64), {}, {});
    EXPECT_FALSE(odd.Changed());
    EXPECT_EQ(odd.Messages, std::vector{*CheckTextureSize(63, 64)});
    EXPECT_EQ(mat, TMAT());
    const TImportResult big = ImportMATFrame(mat, Picture(2048, 2), {}, {});
    EXPECT_EQ(big.Frame, 1);
    EXPECT_EQ(big.Messages, std::vector{*CheckTextureSize(2048, 2)});
}

TEST(Import, NewTextureFramesGetTheEditorsFields)
{
    TMAT mat;
    const TNewFrameSettings settings{
        .NewTrans = true, .AutoMipmaps = true, .NumberMipmaps = 3, .NewFillColor = 17};
    ASSERT_EQ(ImportMATFrame(mat, Picture(8, 8), TestPalette(), settings).Frame, 1);
    const TImportResult second =
        ImportMATFrame(mat, Picture(4, 2, {{1, 2, 3}, White, {}, {9, 9, 9}, {}, {}, {}, {}}),
                       TestPalette(), settings);
    EXPECT_EQ(std::make_tuple(second.Frame, second.Level, second.Messages.size()),
              std::make_tuple(2, 1, size_t(0)));
    EXPECT_EQ(std::make_pair(mat.Header.NumRecords, mat.Header.NumTextures), std::make_pair(2, 2));
    EXPECT_EQ(mat.TextureRecords[1], (TMATTextureRecord{8, 17, {}, 1}));
    // 4x2 and 2x1; a third level would be 1x0. Indices: the first exact entry, else 255.
    EXPECT_EQ(mat.TextureHeaders[1], (TMATTextureHeader{4, 2, 1, {}, 2}));
    EXPECT_EQ(mat.Pixels[1], (std::vector<uint8_t>{7, 20, 0, 255, 0, 0, 0, 0, 7, 0}));
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 3);
}

// MAT frames by their own transparency; BM frames and font strips always as RGB565; 8-bit BM
// frames and strips match exactly, else 255.
TEST(Import, FramesAndStripsPackOrMatchByTheirKind)
{
    const auto picture = Picture(2, 2, {{}, {0, 0, 8}, White, {255, 0, 0}});
    TMAT mat;
    mat.SetDefaults16();
    ImportMATFrame(mat, picture, {}, {.NewTrans = true});
    ImportMATFrame(mat, picture, {}, {});
    EXPECT_EQ(WordsOf(mat.Pixels[0]), (Words{0x0000, 0x8001, 0xFFFF, 0xFC00}));
    EXPECT_EQ(WordsOf(mat.Pixels[1]), (Words{0x0000, 0x0001, 0xFFFF, 0xF800}));
    TBM bm;
    bm.SetDefaults16();
    bm.Header.TransColor = 0;
    EXPECT_EQ(ImportBMFrame(bm, Picture(3, 1, {{}, {8, 4, 8}, {255, 0, 0}}), {}).Frame, 1);
    EXPECT_EQ(WordsOf(bm.Images[0].Pixels), (Words{0x0000, 2081, 0xF800}));
    EXPECT_TRUE(ImportBMFrame(bm, Picture(0, 5), {}).Changed()); // no size rule for BM frames
    EXPECT_EQ(bm.Images[1], (TBMImage{0, 5, {}}));
    TSFT font;
    font.SetDefaults16();
    ImportSFTStrip(font, Picture(2, 1, {White, {8, 4, 8}}), {});
    EXPECT_EQ(WordsOf(font.Pixels), (Words{0xFFFF, 2081}));

    TBM bm8;
    ImportBMFrame(bm8, Picture(1, 3, {White, {1, 2, 3}, {9, 9, 9}}), TestPalette());
    EXPECT_EQ(bm8.Images[0].Pixels, (std::vector<uint8_t>{20, 7, 255}));
    TSFT font8;
    font8.Chars.Add({65, 0, 1});
    ImportSFTStrip(font8, Picture(2, 1, {{1, 2, 3}, {4, 5, 6}}), TestPalette());
    EXPECT_EQ(std::make_tuple(font8.Width, font8.Height, font8.BMHeader.NumImages),
              std::make_tuple(2, 1, 1));
    EXPECT_EQ(font8.Pixels, (std::vector<uint8_t>{7, 255}));
    EXPECT_EQ(font8.Chars.Count(), 1); // the table is not touched
}

// A palette with the transparent-colour bit (3) stays through adding a frame and saving.
TEST(Import, BMFramesKeepThePaletteFlagAsStored)
{
    using namespace testutil;
    TempDir dir;
    Bytes palette;
    palette.Fill(60).Append({1, 2, 3}).Fill(705); // (1, 2, 3) is entry 20
    const Bytes file = BMHeaderBytes({.Palette = 3, .Images = 1}).I32(1).I32(1).U8(20);
    TBM bm;
    bm.LoadFromFile(Put(dir, "in.bm", Bytes(file).Append(palette.Data).Data));
    ASSERT_TRUE(ImportBMFrame(bm, Picture(2, 1, {{1, 2, 3}, {}}), bm.Palette).Changed());
    bm.SaveToFile(dir.File("out.bm"));
    Bytes want = BMHeaderBytes({.Palette = 3, .Images = 2}).I32(1).I32(1).U8(20);
    want.I32(2).I32(1).U8(20).U8(0).Append(palette.Data);
    EXPECT_EQ(ReadFile(dir.File("out.bm")), want.Data);
}

// 16 MAT frames, 50 BM frames; colour frames only into a colour MAT, which must keep
// NumTextures 0 (the game reads that many texture headers).
TEST(Import, FrameLimitsAreNeverOverrun)
{
    TMAT mat, colour, texture;
    TBM bm;
    colour.SetColorType();
    EXPECT_FALSE(ImportMATFrame(colour, Picture(2, 2), {}, {}).Changed());
    EXPECT_FALSE(AddMATColorFrame(texture, 1).Changed());
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(ImportMATFrame(mat, Picture(2, 2), {}, {}).Changed() &&
                    AddMATColorFrame(colour, 42 + i).Changed());
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(ImportBMFrame(bm, Picture(1, 1), {}).Changed());
    const TMAT full = mat;
    EXPECT_FALSE(ImportMATFrame(mat, Picture(2, 2), {}, {}).Changed());
    EXPECT_EQ(mat, full);
    EXPECT_FALSE(ImportBMFrame(bm, Picture(1, 1), {}).Changed());
    EXPECT_EQ(bm.NumImages(), 50);
    EXPECT_FALSE(AddMATColorFrame(colour, 1).Changed());
    EXPECT_EQ(colour.ColorRecords[0], (TMATColorRecord{0, 42, {}}));
    EXPECT_EQ(std::make_pair(colour.NumRecords(), colour.Header.NumTextures),
              std::make_pair(16, 0));
}

TEST(Import, AddMipmapTakesOnlyTheNextLevelsSize)
{
    TMAT mat;
    ImportMATFrame(mat, Picture(64, 64), TestPalette(), {});
    const TImportResult wrong = AddMATMipmap(mat, 1, Picture(31, 32), TestPalette());
    EXPECT_FALSE(wrong.Changed());
    EXPECT_EQ(wrong.Messages,
              (std::vector<TImportMessage>{{K::Error, "Next mipmap size must be 32 x 32"}}));
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 1);
    mat.Pixels[0].push_back(99); // a stray byte after the last level goes
    const TImportResult right = AddMATMipmap(mat, 1, Picture(32, 32, {White}), TestPalette());
    EXPECT_EQ(std::make_tuple(right.Frame, right.Level, mat.TextureHeaders[0].NumMipmaps),
              std::make_tuple(1, 2, 2));
    ASSERT_EQ(mat.Pixels[0].size(), 4096u + 1024);
    EXPECT_EQ(mat.Pixels[0][4095], 0);  // level 1 kept: black is index 0
    EXPECT_EQ(mat.Pixels[0][4096], 20); // the new level: white
    EXPECT_EQ(AddMATMipmap(mat, 1, Picture(31, 32), {}).Messages[0].Text,
              "Next mipmap size must be 16 x 16");
    TMAT small;
    ImportMATFrame(small, Picture(2, 2), {}, {});
    ASSERT_TRUE(AddMATMipmap(small, 1, Picture(1, 1), {}).Changed());
    // Full now (a third level would be 0 x 0): nothing happens, no message.
    const TImportResult full = AddMATMipmap(small, 1, Picture(0, 0), {});
    EXPECT_TRUE(!full.Changed() && full.Messages.empty());
}

// A texture MAT of one frame of one level whose pixel (x, y) is x + 16y (8-bit) or the word
// 0x8000 | (x + 256y) (16-bit).
static TMAT OneFrame(int32_t width, int32_t height, bool is16 = false)
{
    TMAT mat;
    if (is16)
        mat.SetDefaults16();
    mat.Header.NumRecords = mat.Header.NumTextures = 1;
    mat.TextureHeaders[0] = {width, height, 0, {}, 1};
    testutil::Bytes b;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            is16 ? b.U16(uint16_t(0x8000 | (x + 256 * y))) : b.U8(uint8_t(x + 16 * y));
    mat.Pixels[0] = b.Data;
    return mat;
}

// Full at four levels or when the next would be empty (8 x 8, 0 x 0, 1 x 1, 1 x 0, 2 x 0 next).
TEST(Mipmaps, FullWhenFourLevelsOrTheNextWouldBeEmpty)
{
    const std::tuple<int, int, int, bool> cases[] = {
        {64, 64, 3, false}, {4, 4, 3, true},       {2, 2, 1, false},  {2, 1, 1, true},
        {8, 3, 2, true},    {1024, 1024, 4, true}, {64, 64, 7, true}, {0, 0, 0, false}};
    for (const auto &[width, height, levels, full] : cases)
        EXPECT_EQ(MipmapsFull({width, height, 0, {}, levels}), full) << width << "x" << height;
}

// Each level keeps the top-left pixel of every 2 x 2 block of the one above (16-bit pixels
// as whole words); at most four levels and none empty; regenerated from level one; a damaged
// or missing frame is left alone.
TEST(Mipmaps, KeepTheTopLeftPixelOfEachBlockAndRegenerateFromLevelOne)
{
    TMAT mat = OneFrame(6, 6), wide = OneFrame(4, 4, true);
    GenerateMipmaps(mat, 1, 3); // 6x6, 3x3 and 1x1, pixel (0, 0) of the 3x3
    GenerateMipmaps(wide, 1, 2);
    std::vector<uint8_t> want = OneFrame(6, 6).Pixels[0];
    want.insert(want.end(), {0, 2, 4, 32, 34, 36, 64, 66, 68, 0});
    EXPECT_EQ(mat.Pixels[0], want);
    want = OneFrame(4, 4, true).Pixels[0];
    want.insert(want.end(), {0, 0x80, 2, 0x80, 0, 0x82, 2, 0x82});
    EXPECT_EQ(wide.Pixels[0], want);
    const std::tuple<int, int, int, int, size_t> cases[] = {{64, 32, 4, 4, 2048 + 512 + 128 + 32},
                                                            {64, 64, 9, 4, 4096 + 1024 + 256 + 64},
                                                            {8, 2, 4, 2, 16 + 4},
                                                            {8, 8, 1, 1, 64}};
    for (const auto &[width, height, asked, levels, bytes] : cases) {
        mat = OneFrame(width, height);
        GenerateMipmaps(mat, 1, asked);
        EXPECT_EQ(std::make_pair(mat.TextureHeaders[0].NumMipmaps, mat.Pixels[0].size()),
                  std::make_pair(levels, bytes))
            << width << "x" << height;
    }
    mat = OneFrame(16, 16);
    GenerateMipmaps(mat, 1, 4);
    GenerateMipmaps(mat, 1, 2);
    EXPECT_EQ(std::make_pair(mat.TextureHeaders[0].NumMipmaps, mat.Pixels[0].size()),
              std::make_pair(2, size_t(256 + 64)));
    mat = OneFrame(16, 16);
    mat.Pixels[0].resize(10);
    const TMAT before = mat;
    GenerateMipmaps(mat, 1, 4);
    GenerateMipmaps(mat, 2, 4);
    EXPECT_EQ(mat, before);
}
