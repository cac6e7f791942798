// Pictures into frames: the size rules and their texts, exact colour matching, 16-bit
// packing, the fields a new frame gets, Add Mipmap, colour frames and the SFT strip.

#include "core/GLM_Import.h"

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

TEST(Import, PacksSixteenBitPixelsByTruncation)
{
    // Low bits are dropped, not rounded; only pure black is transparent.
    EXPECT_EQ(PackPixel16(7, 3, 7, false), 0x0000);
    EXPECT_EQ(PackPixel16(7, 3, 7, true), 0x8000);
    // Every word, drawn as the windows draw it, packs back to itself: export then import of
    // a 16-bit frame loses no bit.
    for (uint32_t w = 0; w < 0x10000; ++w) {
        const auto word = static_cast<uint16_t>(w);
        const TPaletteEntry c = PixelWordColor(word, false), t = PixelWordColor(word, true);
        ASSERT_EQ(PackPixel16(c.Red, c.Green, c.Blue, false), word);
        const bool black = (word & 0x7FFF) == 0;
        ASSERT_EQ(PackPixel16(t.Red, t.Green, t.Blue, true), black ? 0 : (word | 0x8000)) << w;
    }
}

TEST(Import, TextureSizeRulesAndTheirTexts)
{
    const std::tuple<int, int, K, std::string> cases[] = {
        {63, 64, K::Error, "63x64\rDimensions must be even numbers"},
        {1, 2, K::Error, "1x2\rDimensions must be even numbers"},
        {0, 0, K::Error, "0x0\rDimensions must be greater than 1"},
        {1024, 2048, K::Warning, "1024x2048\rMaximum JK/MOTS texture size is 1024x1024"},
    };
    for (const auto &[width, height, kind, text] : cases)
        EXPECT_EQ(CheckTextureSize(width, height),
                  (TImportMessage{kind, "Bitmap Size: " + text}));
    EXPECT_FALSE(CheckTextureSize(1024, 1024));
    EXPECT_FALSE(CheckTextureSize(2, 2));
    // An error leaves the MAT alone; the warning does not stop the import.
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
    TNewFrameSettings settings;
    settings.NewTrans = true;
    settings.NewFillColor = 17;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 3;
    ASSERT_EQ(ImportMATFrame(mat, Picture(8, 8), TestPalette(), settings).Frame, 1);
    const TImportResult second =
        ImportMATFrame(mat, Picture(4, 2, {{1, 2, 3}, White, {}, {9, 9, 9}, {}, {}, {}, {}}),
                       TestPalette(), settings);
    EXPECT_EQ(second.Frame, 2);
    EXPECT_EQ(second.Level, 1);
    EXPECT_TRUE(second.Messages.empty());
    EXPECT_EQ(mat.Header.NumRecords, 2);
    EXPECT_EQ(mat.Header.NumTextures, 2);
    EXPECT_EQ(mat.TextureRecords[1], (TMATTextureRecord{8, 17, {}, 1}));
    // 4x2 and 2x1; a third level would be 1x0. Indices: the first exact entry, else 255.
    EXPECT_EQ(mat.TextureHeaders[1], (TMATTextureHeader{4, 2, 1, {}, 2}));
    EXPECT_EQ(mat.Pixels[1], (std::vector<uint8_t>{7, 20, 0, 255, 0, 0, 0, 0, 7, 0}));
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 3);
}

TEST(Import, SixteenBitFramesPackByTheirKind)
{
    // MAT frames by their own transparency; BM frames and font strips always as RGB565.
    const auto picture = Picture(2, 2, {{}, {0, 0, 8}, White, {255, 0, 0}});
    TMAT mat;
    mat.SetDefaults16();
    TNewFrameSettings transparent;
    transparent.NewTrans = true;
    ImportMATFrame(mat, picture, {}, transparent);
    ImportMATFrame(mat, picture, {}, {});
    EXPECT_EQ(WordsOf(mat.Pixels[0]), (Words{0x0000, 0x8001, 0xFFFF, 0xFC00}));
    EXPECT_EQ(WordsOf(mat.Pixels[1]), (Words{0x0000, 0x0001, 0xFFFF, 0xF800}));
    TBM bm;
    bm.SetDefaults16();
    bm.Header.TransColor = 0;
    EXPECT_EQ(ImportBMFrame(bm, Picture(3, 1, {{}, {8, 4, 8}, {255, 0, 0}}), {}).Frame, 1);
    EXPECT_EQ(bm.Images[0].Width, 3); // no size rule for BM frames, not even an empty one
    EXPECT_TRUE(ImportBMFrame(bm, Picture(0, 5), {}).Changed());
    EXPECT_EQ(bm.Images[1], (TBMImage{0, 5, {}}));
    EXPECT_EQ(WordsOf(bm.Images[0].Pixels), (Words{0x0000, 2081, 0xF800}));
    TSFT font;
    font.SetDefaults16();
    ImportSFTStrip(font, Picture(2, 1, {White, {8, 4, 8}}), {});
    EXPECT_EQ(WordsOf(font.Pixels), (Words{0xFFFF, 2081}));
}

TEST(Import, EightBitBMFramesAndFontStripsMatchExactly)
{
    TBM bm;
    ImportBMFrame(bm, Picture(1, 3, {White, {1, 2, 3}, {9, 9, 9}}), TestPalette());
    EXPECT_EQ(bm.Images[0].Pixels, (std::vector<uint8_t>{20, 7, 255}));
    TSFT font;
    font.Chars.Add({65, 0, 1});
    ImportSFTStrip(font, Picture(2, 1, {{1, 2, 3}, {4, 5, 6}}), TestPalette());
    EXPECT_EQ(font.Width, 2);
    EXPECT_EQ(font.Height, 1);
    EXPECT_EQ(font.BMHeader.NumImages, 1);
    EXPECT_EQ(font.Pixels, (std::vector<uint8_t>{7, 255}));
    EXPECT_EQ(font.Chars.Count(), 1); // the table is not touched
}

// A palette with the transparent-colour bit (3) stays through adding a frame and saving.
TEST(Import, BMFramesKeepThePaletteFlagAsStored)
{
    using namespace testutil;
    TempDir dir;
    Bytes file = BMHeaderBytes({.Palette = 3, .Images = 1}).I32(1).I32(1).U8(20);
    Bytes palette;
    palette.Fill(60).Append({1, 2, 3}).Fill(705);
    WriteFile(dir.File("in.bm"), file.Append(palette.Data).Data);
    TBM bm;
    bm.LoadFromFile(dir.File("in.bm"));
    ASSERT_TRUE(bm.HasPalette());
    // Matched against the file's own palette: (1, 2, 3) is its entry 20.
    ASSERT_TRUE(ImportBMFrame(bm, Picture(2, 1, {{1, 2, 3}, {}}), bm.Palette).Changed());
    bm.SaveToFile(dir.File("out.bm"));
    const Bytes want = BMHeaderBytes({.Palette = 3, .Images = 2}).I32(1).I32(1).U8(20).I32(2).I32(
        1).U8(20).U8(0).Append(palette.Data);
    EXPECT_EQ(ReadFile(dir.File("out.bm")), want.Data);
}

TEST(Import, FrameLimitsAreNeverOverrun)
{
    TMAT mat;
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(ImportMATFrame(mat, Picture(2, 2), {}, {}).Changed());
    const TMAT full = mat;
    EXPECT_FALSE(ImportMATFrame(mat, Picture(2, 2), {}, {}).Changed());
    EXPECT_EQ(mat, full);
    TBM bm;
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(ImportBMFrame(bm, Picture(1, 1), {}).Changed());
    EXPECT_FALSE(ImportBMFrame(bm, Picture(1, 1), {}).Changed());
    EXPECT_EQ(bm.NumImages(), 50);
    // Colour frames go only into a colour MAT, and no more than 16.
    TMAT colour, texture;
    colour.SetColorType();
    EXPECT_FALSE(ImportMATFrame(colour, Picture(2, 2), {}, {}).Changed());
    EXPECT_FALSE(AddMATColorFrame(texture, 1).Changed());
    EXPECT_EQ(AddMATColorFrame(colour, 42).Frame, 1);
    EXPECT_EQ(colour.ColorRecords[0], (TMATColorRecord{0, 42, {}}));
    EXPECT_EQ(colour.Header.NumTextures, 0); // the game reads that many texture headers
    for (int i = 1; i < 16; ++i)
        ASSERT_TRUE(AddMATColorFrame(colour, i).Changed());
    EXPECT_FALSE(AddMATColorFrame(colour, 1).Changed());
    EXPECT_EQ(colour.NumRecords(), 16);
}

TEST(Import, AddMipmapTakesOnlyTheNextLevelsSize)
{
    TMAT mat;
    ImportMATFrame(mat, Picture(64, 64), TestPalette(), {});
    const TImportResult wrong = AddMATMipmap(mat, 1, Picture(31, 32), TestPalette());
    EXPECT_FALSE(wrong.Changed());
    EXPECT_EQ(wrong.Messages, (std::vector<TImportMessage>{
                                  {K::Error, "Next mipmap size must be 32 x 32"}}));
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 1);
    mat.Pixels[0].push_back(99); // a stray byte after the last level goes
    const TImportResult right = AddMATMipmap(mat, 1, Picture(32, 32, {White}), TestPalette());
    EXPECT_EQ(right.Frame, 1);
    EXPECT_EQ(right.Level, 2);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 2);
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
    EXPECT_FALSE(full.Changed());
    EXPECT_TRUE(full.Messages.empty());
}
