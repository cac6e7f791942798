// The SFT window's rules that its widget tests cannot reach: a depth other than 8 or 16
// bits, a stored palette flag, and characters reaching past the 32-bit range.
#include <gtest/gtest.h>

#include "core/documents/GLM_SFTDocument.h"

TEST(SFTDocumentTest, OddDepthKeepsItsPanelsAndDrawsThroughThePalette)
{
    TSFT font = NewSFT(false);
    font.BMHeader.BitsPerPixel = 24;
    font.BMHeader.PaletteIncluded = 2;
    ApplyFontSettings(font, {2, 9, 5, 0});
    EXPECT_EQ(font.BMHeader.PaletteIncluded, 1);
    const std::array<std::string, 8> before{"a", "b", "c", "d", "e", "f", "Character: A", "h"};
    EXPECT_EQ(SFTStatusTexts(font, "Dflt", before),
              (std::array<std::string, 8>{"a", "Size: 0 x 0", "c", "Character Gap: 2",
                                          "Space Length: 9", "", "", "h"}));
    EXPECT_EQ(SFTFacts(font, 1).BitsPerPixel, 8);
}

TEST(SFTDocumentTest, CharacterUnderTheMouse)
{
    TSFTCharList chars;
    chars.Add({65, 10, 5});
    chars.Add({67, 12, 1}); // overlapping: the last in list order wins
    chars.Add({68, 2147483600, 100});
    EXPECT_EQ(CharacterAt(chars, 25, 2), 67);
    EXPECT_EQ(CharacterAt(chars, 26, 2), 65);
    EXPECT_EQ(CharacterAt(chars, 2147483647, 1), 68);
    EXPECT_EQ(CharacterAt(chars, 30, 2), std::nullopt);
}
