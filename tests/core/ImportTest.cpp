// Pictures into frames: the size rules and their texts, exact colour matching, 16-bit
// packing, the fields a new frame gets, Add Mipmap, colour frames and the SFT strip.

#include "core/GLM_Import.h"

#include <gtest/gtest.h>

namespace {

// A picture of the given size filled with one colour.
TBitmapPicture Picture(int width, int height, TPaletteEntry color = {0, 0, 0})
{
    TBitmapPicture p;
    p.Width = width;
    p.Height = height;
    for (int i = 0; i < width * height; ++i)
        p.RGB.insert(p.RGB.end(), {color.Red, color.Green, color.Blue});
    return p;
}

TBitmapPicture Pixels(int width, int height, const std::vector<TPaletteEntry> &colors)
{
    TBitmapPicture p;
    p.Width = width;
    p.Height = height;
    for (const TPaletteEntry &c : colors)
        p.RGB.insert(p.RGB.end(), {c.Red, c.Green, c.Blue});
    return p;
}

uint16_t WordAt(const std::vector<uint8_t> &bytes, size_t i)
{
    return static_cast<uint16_t>(bytes.at(2 * i) | (bytes.at(2 * i + 1) << 8));
}

TPalette TestPalette()
{
    TPalette palette{};
    palette[7] = {1, 2, 3};
    palette[9] = {1, 2, 3};
    palette[20] = {255, 255, 255};
    return palette;
}

TEST(Import, PacksSixteenBitPixelsByTruncation)
{
    EXPECT_EQ(PackPixel16(0, 0, 0, true), 0x0000);
    EXPECT_EQ(PackPixel16(0, 0, 8, true), 0x8001);
    EXPECT_EQ(PackPixel16(255, 255, 255, false), 0xFFFF);
    EXPECT_EQ(PackPixel16(255, 255, 255, true), 0xFFFF);
    EXPECT_EQ(PackPixel16(8, 0, 0, true), 0x8400);
    EXPECT_EQ(PackPixel16(7, 3, 7, false), 0x0000);
    EXPECT_EQ(PackPixel16(7, 3, 7, true), 0x8000); // not pure black: opaque
    EXPECT_EQ(PackPixel16(8, 4, 8, false), 2081);
}

TEST(Import, TextureSizeRulesAndTheirTexts)
{
    const auto odd = CheckTextureSize(63, 64);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->Kind, TImportMessageKind::Error);
    EXPECT_EQ(odd->Text, "Bitmap Size: 63x64\rDimensions must be even numbers");
    EXPECT_EQ(CheckTextureSize(0, 0)->Text,
              "Bitmap Size: 0x0\rDimensions must be greater than 1");
    EXPECT_EQ(CheckTextureSize(1, 2)->Text,
              "Bitmap Size: 1x2\rDimensions must be even numbers");
    const auto big = CheckTextureSize(1024, 2048);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->Kind, TImportMessageKind::Warning);
    EXPECT_EQ(big->Text, "Bitmap Size: 1024x2048\rMaximum JK/MOTS texture size is 1024x1024");
    EXPECT_FALSE(CheckTextureSize(1024, 1024));
    EXPECT_FALSE(CheckTextureSize(2, 2));
}

TEST(Import, EightBitPixelsTakeTheFirstExactEntryElse255)
{
    const auto indices = PictureToIndices(
        Pixels(3, 1, {{1, 2, 3}, {4, 5, 6}, {255, 255, 255}}), TestPalette());
    EXPECT_EQ(indices, (std::vector<uint8_t>{7, 255, 20}));
}

TEST(Import, NewTextureFrameGetsTheEditorsFields)
{
    TMAT mat;
    TNewFrameSettings settings;
    settings.NewTrans = true;
    settings.NewFillColor = 17;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 3;
    ASSERT_EQ(ImportMATFrame(mat, Picture(8, 8), TestPalette(), settings).Frame, 1);
    const TImportResult second = ImportMATFrame(mat, Picture(4, 2), TestPalette(), settings);
    EXPECT_EQ(second.Frame, 2);
    EXPECT_EQ(second.Level, 1);
    EXPECT_TRUE(second.Messages.empty());
    EXPECT_EQ(mat.Header.NumRecords, 2);
    EXPECT_EQ(mat.Header.NumTextures, 2);
    const TMATTextureRecord &r = mat.TextureRecords[1];
    EXPECT_EQ(r.RecordType, 8);
    EXPECT_EQ(r.FillColor, 17);
    EXPECT_EQ(r.CelIndex, 1);
    const TMATTextureHeader &h = mat.TextureHeaders[1];
    EXPECT_EQ(h.Width, 4);
    EXPECT_EQ(h.Height, 2);
    EXPECT_EQ(h.Transparent, 1);
    EXPECT_EQ(h.NumMipmaps, 2); // 4x2, 2x1; a third level would be 1x0
    EXPECT_EQ(mat.Pixels[1].size(), 8u + 2);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 3);
}

TEST(Import, SizeErrorsLeaveTheMATAloneAndTheWarningDoesNot)
{
    TMAT mat;
    const TMAT empty = mat;
    const TImportResult odd = ImportMATFrame(mat, Picture(63, 64), TestPalette(), {});
    EXPECT_FALSE(odd.Changed());
    ASSERT_EQ(odd.Messages.size(), 1u);
    EXPECT_EQ(mat, empty);

    const TImportResult big = ImportMATFrame(mat, Picture(2048, 2), TestPalette(), {});
    EXPECT_EQ(big.Frame, 1);
    ASSERT_EQ(big.Messages.size(), 1u);
    EXPECT_EQ(big.Messages[0].Kind, TImportMessageKind::Warning);
    EXPECT_EQ(big.Messages[0].Text,
              "Bitmap Size: 2048x2\rMaximum JK/MOTS texture size is 1024x1024");
}

TEST(Import, SixteenBitTexturesPackByTheFramesTransparency)
{
    TMAT mat;
    mat.SetDefaults16();
    const auto picture = Pixels(2, 2, {{0, 0, 0}, {0, 0, 8}, {255, 255, 255}, {255, 0, 0}});
    TNewFrameSettings transparent;
    transparent.NewTrans = true;
    ImportMATFrame(mat, picture, {}, transparent);
    ImportMATFrame(mat, picture, {}, {});
    EXPECT_EQ(WordAt(mat.Pixels[0], 0), 0x0000);
    EXPECT_EQ(WordAt(mat.Pixels[0], 1), 0x8001);
    EXPECT_EQ(WordAt(mat.Pixels[0], 3), 0xFC00);
    EXPECT_EQ(WordAt(mat.Pixels[1], 1), 0x0001);
    EXPECT_EQ(WordAt(mat.Pixels[1], 2), 0xFFFF);
    EXPECT_EQ(WordAt(mat.Pixels[1], 3), 0xF800);
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

    TMAT colour;
    colour.SetColorType();
    EXPECT_FALSE(ImportMATFrame(colour, Picture(2, 2), {}, {}).Changed());
    EXPECT_EQ(colour.NumRecords(), 0);
}

TEST(Import, BMFramesHaveNoSizeRuleAndAreRGB565At16Bits)
{
    TBM bm;
    bm.SetDefaults16();
    bm.Header.TransColor = 0;
    const auto picture = Pixels(3, 1, {{0, 0, 0}, {8, 4, 8}, {255, 0, 0}});
    const TImportResult r = ImportBMFrame(bm, picture, {});
    EXPECT_EQ(r.Frame, 1);
    const TBMImage &image = bm.Images[0];
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 1);
    EXPECT_EQ(WordAt(image.Pixels, 0), 0x0000); // black stays black: no transparency bit
    EXPECT_EQ(WordAt(image.Pixels, 1), 2081);
    EXPECT_EQ(WordAt(image.Pixels, 2), 0xF800);

    TBM paletted;
    ImportBMFrame(paletted, Pixels(1, 3, {{255, 255, 255}, {1, 2, 3}, {9, 9, 9}}), TestPalette());
    EXPECT_EQ(paletted.Images[0].Pixels, (std::vector<uint8_t>{20, 7, 255}));
}

TEST(Import, AddMipmapTakesOnlyTheNextLevelsSize)
{
    TMAT mat;
    ImportMATFrame(mat, Picture(64, 64), TestPalette(), {});
    const TImportResult wrong = AddMATMipmap(mat, 1, Picture(31, 32), TestPalette());
    EXPECT_FALSE(wrong.Changed());
    ASSERT_EQ(wrong.Messages.size(), 1u);
    EXPECT_EQ(wrong.Messages[0].Text, "Next mipmap size must be 32 x 32");
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 1);

    const TImportResult right =
        AddMATMipmap(mat, 1, Picture(32, 32, {255, 255, 255}), TestPalette());
    EXPECT_EQ(right.Frame, 1);
    EXPECT_EQ(right.Level, 2);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 2);
    ASSERT_EQ(mat.Pixels[0].size(), 4096u + 1024);
    EXPECT_EQ(mat.Pixels[0][4095], 0);    // level 1 kept: black is index 0
    EXPECT_EQ(mat.Pixels[0][4096], 20);   // the new level: white
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

TEST(Import, ColourFramesAndTheirLimit)
{
    TMAT mat;
    mat.SetColorType();
    EXPECT_EQ(AddMATColorFrame(mat, 42).Frame, 1);
    EXPECT_EQ(mat.ColorRecords[0].Color, 42);
    EXPECT_EQ(mat.ColorRecords[0].RecordType, 0);
    EXPECT_EQ(mat.Header.NumTextures, 1);
    for (int i = 1; i < 16; ++i)
        AddMATColorFrame(mat, i);
    EXPECT_FALSE(AddMATColorFrame(mat, 1).Changed());
    TMAT texture;
    EXPECT_FALSE(AddMATColorFrame(texture, 1).Changed());
}

TEST(Import, FontStripMatchesExactlyOrPacksRGB565)
{
    TSFT sft;
    sft.Chars.Add({65, 0, 1});
    ImportSFTStrip(sft, Pixels(2, 1, {{1, 2, 3}, {4, 5, 6}}), TestPalette());
    EXPECT_EQ(sft.Width, 2);
    EXPECT_EQ(sft.Height, 1);
    EXPECT_EQ(sft.BMHeader.NumImages, 1);
    EXPECT_EQ(sft.Pixels, (std::vector<uint8_t>{7, 255}));
    EXPECT_EQ(sft.Chars.Count(), 1); // the table is not touched

    TSFT wide;
    wide.SetDefaults16();
    ImportSFTStrip(wide, Pixels(2, 1, {{255, 255, 255}, {8, 4, 8}}), {});
    EXPECT_EQ(WordAt(wide.Pixels, 0), 65535);
    EXPECT_EQ(WordAt(wide.Pixels, 1), 2081);
}

} // namespace
