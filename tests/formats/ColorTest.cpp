// The colour model and strict integer conversion of typed text (no
// junk around a number, no silent overflow, the standard message).

#include "TestFiles.h"
#include "formats/GLM_Globals.h"
#include "formats/GLM_IntegerText.h"

#include <gtest/gtest.h>

TEST(Colors, ConversionsAndTexts)
{
    EXPECT_EQ(MakeColor(1, 2, 3), 0x030201u);
    EXPECT_EQ(ColorText(MakeColor(255, 0, 128)), "RGB: 255 0 128");
    // To 565 each channel is truncated; back, each is snapped to a kept level.
    const std::pair<TColor, uint16_t> to565[] = {{MakeColor(255, 255, 255), 0xFFFF},
                                                 {MakeColor(7, 3, 7), 0},
                                                 {MakeColor(255, 0, 0), 0xF800},
                                                 {MakeColor(0, 255, 0), 0x07E0},
                                                 {MakeColor(0, 0, 255), 0x001F}};
    for (auto [color, want] : to565)
        EXPECT_EQ(ColorTo565(color), want) << color;
    EXPECT_EQ(Color565ToColor(0xFFFF), MakeColor(255, 255, 255));
    EXPECT_EQ(Color565ToColor(0xF800), MakeColor(255, 0, 0));
    EXPECT_EQ(Color565Text(0x7BEF), "RGB: 64 64 64");
    const std::pair<int, int> snaps[] = {{0, 0},     {63, 0},    {64, 64},   {127, 64},
                                         {128, 128}, {159, 128}, {160, 160}, {191, 160},
                                         {192, 192}, {247, 192}, {248, 255}, {255, 255}};
    for (auto [x, want] : snaps)
        EXPECT_EQ(SnapLevel(static_cast<uint8_t>(x)), want) << x;
}

// The colour a 16-bit pixel is drawn and exported with: every channel at full range (the
// import's tests pack every word back).
TEST(Colors, PixelWordsAreWidenedLosslessly)
{
    const std::tuple<uint16_t, bool, TPaletteEntry> cases[] = {
        {0xF800, false, {255, 0, 0}}, {0x07E0, false, {0, 255, 0}},
        {0x001F, false, {0, 0, 255}}, {0x8410, false, {132, 130, 132}},
        {0x7C00, true, {255, 0, 0}},  {0xFC00, true, {255, 0, 0}}, // bit 15 is no colour
        {0x03E0, true, {0, 255, 0}},  {0x0421, true, {8, 8, 8}},
    };
    for (const auto &[word, argb1555, want] : cases)
        EXPECT_EQ(PixelWordColor(word, argb1555), want) << word;
}

TEST(IntegerText, AcceptsPlainDecimalsWithinRangeAndRefusesTheRest)
{
    const std::pair<const char *, int32_t> good[] = {
        {"12", 12}, {"-3", -3}, {"+4", 4}, {"  7", 7}, {"007", 7}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}};
    for (const auto &[text, value] : good)
        EXPECT_EQ(StrToInt(text), value) << text;
    for (const std::string text : {"", " ", "-", "abc", "1.5", "12 ", "1e3", "0x10", "2147483648",
                                   "-2147483649", "99999999999999999999"})
        EXPECT_EQ(testutil::MessageOf([&] { StrToInt(text); }),
                  "'" + text + "' is not a valid integer value");
}
