// The character table's rules without widgets: the "Char" cell of a code and back, rows for
// a list and back, and the glyph preview's factor and picture.
#include <gtest/gtest.h>

#include "core/documents/GLM_CharacterTable.h"
#include "formats/GLM_IntegerText.h"

namespace {

// A strip whose column x has the colour (x + 1, 0, 0) on every row.
QImage Strip(int width, int height)
{
    QImage strip(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            strip.setPixelColor(x, y, QColor(x + 1, 0, 0));
    return strip;
}

} // namespace

TEST(CharacterTableTest, CharCellAndCodeConvertBothWays)
{
    EXPECT_EQ(CharText(65601), "A"); // the low byte
    // The ANSI code page, not Latin-1: 0x80 is the euro sign.
    EXPECT_EQ(CharText(0x80), "\xE2\x82\xAC");
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(CharCode(CharText(code)), code) << code;
    // Only one character the code page holds gives a code.
    EXPECT_EQ(CharCode("ab"), std::nullopt);
    EXPECT_EQ(CharCode("\xD0\x96"), std::nullopt); // Cyrillic Zhe
    EXPECT_EQ(CharCode("\xC3"), std::nullopt);     // a broken sequence
    EXPECT_EQ(CharGridRows({}), std::vector<TCharRow>{TCharRow{}});
}

TEST(CharacterTableTest, CountingRowsBecomeCharactersOrRefuseTheTable)
{
    TSFTCharList expected;
    for (const TSFTCharDef &def : {TSFTCharDef{65, 0, 8}, TSFTCharDef{65535, 1, 2}})
        expected.Add(def);
    EXPECT_EQ(CharsFromRows({{"65601", "B", "0", "8"}, // modulo 65536; "Char" is not read
                             {"-1", "", "1", "2"},
                             {"67", "C", "", "5"}, // not counting: dropped
                             {"x", "", "3", ""}}), // never converted
              expected);
    for (const TCharRow &bad : {TCharRow{"6a", "", "0", "1"}, TCharRow{"65", "", "0", " "},
                                TCharRow{"70000000000", "", "0", "1"}})
        EXPECT_THROW(CharsFromRows({{"65", "A", "0", "8"}, bad}), EConvertError);
}

TEST(CharacterTableTest, PreviewFitsTheLargerSideAndIsBlackOutsideTheStrip)
{
    EXPECT_EQ(PreviewFactor(8, 16), 5);
    EXPECT_EQ(PreviewFactor(30, 16), 3);
    EXPECT_EQ(PreviewFactor(20, 100), 0);
    EXPECT_EQ(PreviewFactor(0, 0), 0);
    EXPECT_TRUE(GlyphPreview(Strip(40, 100), 0, 20).isNull());
    EXPECT_TRUE(GlyphPreview(Strip(40, 16), 0, -3).isNull());

    // Columns 2 and 3 are inside, 4 and 5 are not: factor 90 div 4 = 22.
    const QImage right = GlyphPreview(Strip(4, 2), 2, 4);
    ASSERT_EQ(right.size(), QSize(88, 44));
    EXPECT_EQ(right.pixelColor(0, 0), QColor(3, 0, 0));
    EXPECT_EQ(right.pixelColor(22, 43), QColor(4, 0, 0));
    EXPECT_EQ(right.pixelColor(44, 0), QColor(0, 0, 0));
    const QImage left = GlyphPreview(Strip(4, 2), -1, 2);
    EXPECT_EQ(left.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(left.pixelColor(left.width() - 1, 0), QColor(1, 0, 0));
}
