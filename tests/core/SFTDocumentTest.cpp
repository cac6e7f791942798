// The SFT window's rules without widgets: a new font and its settings, the status panels in
// both depths, removing the strip (and what a font without one writes), the command facts
// and the character under the mouse.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/documents/GLM_SFTDocument.h"

using namespace testutil;

namespace {

using TTexts = std::array<std::string, 8>;

TSFT Font(bool is16Bit)
{
    TSFT sft = NewSFT(is16Bit);
    ApplyFontSettings(sft, {2, 9, 5, 0xFFFF});
    return sft;
}

} // namespace

TEST(SFTDocumentTest, NewFontTakesTheSettingsOfItsDepth)
{
    const TSFT font8 = Font(false);
    EXPECT_EQ(font8.BMHeader.BitsPerPixel, 8);
    EXPECT_EQ(font8.BMHeader.TransColor, 5);
    EXPECT_EQ(font8.Header.CharGap, 2);
    EXPECT_EQ(font8.Header.SpaceLength, 9);
    EXPECT_FALSE(HasBitmap(font8));
    EXPECT_EQ(font8.Chars.Count(), 0);

    const TSFT font16 = Font(true);
    EXPECT_EQ(font16.BMHeader.BitsPerPixel, 16);
    EXPECT_EQ(font16.BMHeader.TransColor, 0xFFFF);

    // A loaded font that stored a palette flag of 2 is written as 1 once settings apply.
    TSFT loaded;
    loaded.BMHeader.PaletteIncluded = 2;
    ApplyFontSettings(loaded, {});
    EXPECT_EQ(loaded.BMHeader.PaletteIncluded, 1);
}

TEST(SFTDocumentTest, StatusPanelsOfBothDepths)
{
    EXPECT_EQ(SFTStatusTexts(Font(false), "Uicolormap"),
              (TTexts{"8-Bit SFT", "Size: 0 x 0", "Trans Index: 5", "Character Gap: 2",
                      "Space Length: 9", "", "", "Display Palette: Uicolormap"}));
    TSFT font = Font(false);
    font.Width = 120;
    font.Height = 16;
    EXPECT_EQ(SFTStatusTexts(font, "/home/u/pal/menu.act")[7], "Display Palette: menu.act");
    EXPECT_EQ(SFTStatusTexts(font, "Uicolormap")[1], "Size: 120 x 16");

    // Panel 6 (the character readout) is cleared; 16 bits name the colour, no palette.
    const TTexts before{"a", "b", "c", "d", "e", "f", "Character: A", "h"};
    EXPECT_EQ(SFTStatusTexts(Font(true), "Uicolormap", before),
              (TTexts{"16-Bit SFT", "Size: 0 x 0", "RGB: 255 255 255", "Character Gap: 2",
                      "Space Length: 9", "", "", ""}));
    // Another depth leaves the panels that depend on it as they were.
    TSFT odd = Font(false);
    odd.BMHeader.BitsPerPixel = 24;
    EXPECT_EQ(
        SFTStatusTexts(odd, "Dflt", before),
        (TTexts{"a", "Size: 0 x 0", "c", "Character Gap: 2", "Space Length: 9", "", "", "h"}));
}

TEST(SFTDocumentTest, FactsFollowTheStrip)
{
    TSFT font = Font(true);
    EXPECT_EQ(SFTFacts(font, 3).Frames, 0);
    EXPECT_EQ(SFTFacts(font, 3).BitsPerPixel, 16);
    EXPECT_EQ(SFTFacts(font, 3).Zoom, 3);
    EXPECT_EQ(SFTFacts(font, 3).Kind, TDocumentKind::SFT);
    font.BMHeader.NumImages = 1;
    EXPECT_EQ(SFTFacts(font, 1).Frames, 1);
    font.BMHeader.BitsPerPixel = 24; // drawn through the palette
    EXPECT_EQ(SFTFacts(font, 1).BitsPerPixel, 8);
}

TEST(SFTDocumentTest, FontWithoutItsStripWritesAnEmptyBitmap)
{
    TSFT font = Font(false);
    font.Chars.Add({65, 0, 3});
    font.Width = 3;
    font.Height = 1;
    font.BMHeader.NumImages = 1;
    font.Pixels = {1, 2, 3};
    DeleteSFTBitmap(font);
    EXPECT_FALSE(HasBitmap(font));
    EXPECT_TRUE(font.Pixels.empty());
    EXPECT_EQ(font.Width, 3); // still shown as "Size: 3 x 1"
    EXPECT_EQ(font.Chars.Count(), 1);

    TempDir dir;
    font.SaveToFile(dir.File("a.sft"));
    Bytes header;
    header.Text("SFNT").I32(10).I32(2).I32(9).I32(0).I32(1).Fill(16);
    header.U16(65).U16(65).I32(0).I32(3);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("a.sft"));
    ASSERT_EQ(bytes.size(), header.Size() + 128 + 8);
    EXPECT_TRUE(std::equal(header.Data.begin(), header.Data.end(), bytes.begin()));
    EXPECT_EQ(I32At(bytes, header.Size() + 12), 1);  // PaletteIncluded
    EXPECT_EQ(I32At(bytes, header.Size() + 16), 0);  // NumImages
    EXPECT_EQ(I32At(bytes, header.Size() + 128), 0); // Width
    EXPECT_EQ(I32At(bytes, header.Size() + 132), 0); // Height
}

TEST(SFTDocumentTest, CharacterUnderTheMouse)
{
    TSFTCharList chars;
    chars.Add({65, 10, 5});
    EXPECT_EQ(CharacterAt(chars, 19, 2), std::nullopt);
    EXPECT_EQ(CharacterAt(chars, 20, 2), 65);
    EXPECT_EQ(CharacterAt(chars, 29, 2), 65);
    EXPECT_EQ(CharacterAt(chars, 30, 2), std::nullopt);
    chars.Add({66, 15, 4});
    EXPECT_EQ(CharacterAt(chars, 30, 2), 66);
    // Overlapping characters: the last in list order wins.
    chars.Add({67, 12, 1});
    EXPECT_EQ(CharacterAt(chars, 12, 1), 67);
    EXPECT_EQ(CharacterAt(chars, 13, 1), 65);
    // Widths that reach past the 32-bit range do not wrap.
    chars.Add({68, 2147483600, 100});
    EXPECT_EQ(CharacterAt(chars, 2147483647, 1), 68);

    EXPECT_EQ(CharacterText(65), "Character: A");
    EXPECT_EQ(CharacterText(0x161), "Character: a");
}
