// The character table's rules without widgets: rows for a list and back, the "Char" cell of
// a code and back, and the glyph preview's factor and picture.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/documents/GLM_CharacterTable.h"
#include "formats/GLM_IntegerText.h"

using namespace testutil;

namespace {

TSFTCharList List(std::initializer_list<TSFTCharDef> defs)
{
    TSFTCharList chars;
    for (const TSFTCharDef &def : defs)
        chars.Add(def);
    return chars;
}

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

TEST(CharacterTableTest, RowsShowEachCharacterInListOrder)
{
    const auto rows = CharGridRows(List({{65, 0, 8}, {66, 8, 7}}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (TCharRow{"65", "A", "0", "8"}));
    EXPECT_EQ(rows[1], (TCharRow{"66", "B", "8", "7"}));
    // A code above 255 shows the character of its low byte; negative offsets stay as read.
    EXPECT_EQ(CharGridRows(List({{321, -3, 2}}))[0], (TCharRow{"321", "A", "-3", "2"}));
    // A font without characters shows one empty row.
    EXPECT_EQ(CharGridRows({}), std::vector<TCharRow>{TCharRow{}});
}

TEST(CharacterTableTest, CharCellAndCodeConvertBothWays)
{
    EXPECT_EQ(CharText(97), "a");
    EXPECT_EQ(CharCode("b"), 98);
    EXPECT_EQ(CharText(65601), "A");
    // The ANSI code page, not Latin-1: 0x80 is the euro sign, 0xE9 an e with acute.
    EXPECT_EQ(CharText(0x80), "\xE2\x82\xAC");
    EXPECT_EQ(CharCode("\xE2\x82\xAC"), 0x80);
    EXPECT_EQ(CharText(0xE9), "\xC3\xA9");
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(CharCode(CharText(code)), code) << code;

    // Only a text of exactly one character the code page holds gives a code.
    EXPECT_EQ(CharCode(""), std::nullopt);
    EXPECT_EQ(CharCode("ab"), std::nullopt);
    EXPECT_EQ(CharCode("\xD0\x96"), std::nullopt); // Cyrillic Zhe
    EXPECT_EQ(CharCode("\xC3"), std::nullopt);     // a broken sequence
}

TEST(CharacterTableTest, CountingRowsBecomeCharactersInGridOrder)
{
    const std::vector<TCharRow> rows{
        {"66", "B", "8", "7"}, {"65601", "A", "0", "8"}, // modulo 65536
        {"-1", "", "1", "2"},                            // the "Char" cell is not read
        {"67", "C", "", "5"},                            // an emptied Offset drops the row
        {"", "D", "3", "4"},   {"x", "", "3", ""},       // not counting, so never converted
    };
    EXPECT_EQ(CharsFromRows(rows), List({{66, 8, 7}, {65, 0, 8}, {65535, 1, 2}}));
    EXPECT_EQ(CharsFromRows({TCharRow{}}).Count(), 0);
    EXPECT_EQ(NewCharRow(), (TCharRow{"0", "", "0", "0"}));
}

TEST(CharacterTableTest, AnyBadCountingCellRefusesTheWholeTable)
{
    for (const TCharRow &bad :
         {TCharRow{"6a", "", "0", "1"}, TCharRow{"65", "", "1.5", "1"},
          TCharRow{"65", "", "0", " "}, TCharRow{"70000000000", "", "0", "1"}}) {
        const std::vector<TCharRow> rows{{"65", "A", "0", "8"}, bad};
        EXPECT_THROW(CharsFromRows(rows), EConvertError) << bad.Ascii << bad.Offset;
    }
    EXPECT_EQ(MessageOf([] {
                  CharsFromRows({{"65", "", "1.5", "1"}});
              }),
              "'1.5' is not a valid integer value");
}

TEST(CharacterTableTest, PreviewFactorFitsTheLargerSide)
{
    EXPECT_EQ(PreviewFactor(8, 16), 5);
    EXPECT_EQ(PreviewFactor(30, 16), 3);
    EXPECT_EQ(PreviewFactor(16, 16), 5);
    EXPECT_EQ(PreviewFactor(20, 100), 0);
    EXPECT_EQ(PreviewFactor(-5, 16), 5);
    EXPECT_EQ(PreviewFactor(0, 0), 0);
}

TEST(CharacterTableTest, PreviewScalesTheGlyphByItsFactor)
{
    const QImage strip = Strip(40, 16);
    const QImage narrow = GlyphPreview(strip, 2, 8);
    EXPECT_EQ(narrow.size(), QSize(40, 80));
    // Block (x, y) of 5 x 5 pixels shows strip column 2 + x.
    EXPECT_EQ(narrow.pixelColor(0, 0), QColor(3, 0, 0));
    EXPECT_EQ(narrow.pixelColor(4, 79), QColor(3, 0, 0));
    EXPECT_EQ(narrow.pixelColor(5, 0), QColor(4, 0, 0));
    EXPECT_EQ(narrow.pixelColor(39, 40), QColor(10, 0, 0));
    EXPECT_EQ(GlyphPreview(strip, 0, 30).size(), QSize(90, 48));

    EXPECT_TRUE(GlyphPreview(Strip(40, 100), 0, 20).isNull()); // factor 0
    EXPECT_TRUE(GlyphPreview(strip, 0, 0).isNull());
    EXPECT_TRUE(GlyphPreview(strip, 0, -3).isNull());
    EXPECT_TRUE(GlyphPreview(QImage(), 0, 8).isNull());
}

TEST(CharacterTableTest, PreviewOutsideTheStripIsBlack)
{
    const QImage strip = Strip(4, 2);
    // Columns 2 and 3 are inside, 4 and 5 are not: factor 90 div 4 = 22.
    const QImage right = GlyphPreview(strip, 2, 4);
    ASSERT_EQ(right.size(), QSize(88, 44));
    EXPECT_EQ(right.pixelColor(0, 0), QColor(3, 0, 0));
    EXPECT_EQ(right.pixelColor(22, 43), QColor(4, 0, 0));
    EXPECT_EQ(right.pixelColor(44, 0), QColor(0, 0, 0));
    EXPECT_EQ(right.pixelColor(87, 43), QColor(0, 0, 0));
    // Left of the strip, and wholly outside it.
    const QImage left = GlyphPreview(strip, -1, 2);
    EXPECT_EQ(left.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(left.pixelColor(left.width() - 1, 0), QColor(1, 0, 0));
    const QImage outside = GlyphPreview(strip, 1000, 3);
    EXPECT_EQ(outside.size(), QSize(90, 60));
    EXPECT_EQ(outside.pixelColor(45, 30), QColor(0, 0, 0));
}
