#include "palettes/GLM_Globals.h"

#include <gtest/gtest.h>

TEST(Colors, To565TruncatesEachChannel)
{
    EXPECT_EQ(ColorTo565(MakeColor(255, 255, 255)), 0xFFFF);
    EXPECT_EQ(ColorTo565(MakeColor(7, 3, 7)), 0);
    EXPECT_EQ(ColorTo565(MakeColor(255, 0, 0)), 0xF800);
    EXPECT_EQ(ColorTo565(MakeColor(0, 255, 0)), 0x07E0);
    EXPECT_EQ(ColorTo565(MakeColor(0, 0, 255)), 0x001F);
}

TEST(Colors, From565SnapsToSixLevels)
{
    EXPECT_EQ(Color565ToColor(0xFFFF), MakeColor(255, 255, 255));
    EXPECT_EQ(Color565ToColor(0x7BEF), MakeColor(64, 64, 64));
    EXPECT_EQ(Color565Text(0x7BEF), "RGB: 64 64 64");
    EXPECT_EQ(Color565ToColor(0xF800), MakeColor(255, 0, 0));
}

TEST(Colors, SnapLevelEdges)
{
    const std::pair<int, int> cases[] = {{0, 0},       {63, 0},     {64, 64},   {127, 64},
                                         {128, 128},   {159, 128},  {160, 160}, {191, 160},
                                         {192, 192},   {247, 192},  {248, 255}, {255, 255}};
    for (auto [x, want] : cases)
        EXPECT_EQ(SnapLevel(static_cast<uint8_t>(x)), want) << x;
}

TEST(Colors, MakeColorAndText)
{
    EXPECT_EQ(MakeColor(1, 2, 3), 0x030201u);
    EXPECT_EQ(ColorText(MakeColor(255, 0, 128)), "RGB: 255 0 128");
}

TEST(Colors, LongPathNameLeavesUnknownAndBarePathsAlone)
{
    EXPECT_EQ(LongPathName("/no/such/place/FILE~1.BM"), "/no/such/place/FILE~1.BM");
    EXPECT_EQ(LongPathName("sample.bm"), "sample.bm");
}

TEST(BuiltInPalettes, FixedEntries)
{
    for (const TPalette *p : {&DfltPalette(), &UicolormapPalette()}) {
        EXPECT_EQ((*p)[0], (TPaletteEntry{0, 0, 0}));
        EXPECT_EQ((*p)[255], (TPaletteEntry{255, 255, 255}));
        EXPECT_EQ((*p)[1], (TPaletteEntry{0, 255, 0}));
        EXPECT_EQ((*p)[5], (TPaletteEntry{0, 59, 0}));
        EXPECT_EQ((*p)[31], (TPaletteEntry{0, 0, 255}));
        EXPECT_EQ((*p)[32], (TPaletteEntry{253, 253, 253}));
        EXPECT_EQ((*p)[63], (TPaletteEntry{0, 0, 0}));
        EXPECT_EQ((*p)[191], (TPaletteEntry{55, 0, 91}));
        // The grey ramp falls steadily, about 8 a step.
        for (int i = 33; i <= 63; ++i) {
            const int step = (*p)[i - 1].Red - (*p)[i].Red;
            EXPECT_GE(step, 7) << i;
            EXPECT_LE(step, 9) << i;
        }
    }
    for (int i = 0; i < 192; ++i)
        EXPECT_EQ(DfltPalette()[i], UicolormapPalette()[i]) << i;
    for (int i = 192; i <= 254; ++i)
        EXPECT_EQ(DfltPalette()[i], (TPaletteEntry{255, 0, 255})) << i;
    const TPalette &ui = UicolormapPalette();
    EXPECT_EQ(ui[192], (TPaletteEntry{200, 123, 135}));
    EXPECT_EQ(ui[200], (TPaletteEntry{126, 213, 236}));
    EXPECT_EQ(ui[223], (TPaletteEntry{4, 14, 84}));
    EXPECT_EQ(ui[224], (TPaletteEntry{212, 0, 0}));
    EXPECT_EQ(ui[228], (TPaletteEntry{47, 0, 0}));
    EXPECT_EQ(ui[229], (TPaletteEntry{0, 0, 0}));
}
