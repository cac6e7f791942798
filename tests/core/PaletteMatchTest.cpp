// The import's colour matching against the plain rule: the first equal entry, else 255.

#include "core/GLM_PaletteMatch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

uint8_t ReferenceMatch(const TPalette &p, uint8_t r, uint8_t g, uint8_t b)
{
    for (int k = 0; k < 256; ++k)
        if (p[k].Red == r && p[k].Green == g && p[k].Blue == b)
            return static_cast<uint8_t>(k);
    return 255;
}

// Every palette colour, its one-off neighbours and random colours.
void ExpectSameAsReference(const TPalette &p, std::mt19937 &rng)
{
    const TPaletteMatcher matcher(p);
    auto check = [&](int r, int g, int b) {
        const auto R = uint8_t(r), G = uint8_t(g), B = uint8_t(b);
        ASSERT_EQ(matcher.MatchPaletteIndex(R, G, B), ReferenceMatch(p, R, G, B))
            << r << " " << g << " " << b;
    };
    for (const TPaletteEntry &e : p) {
        check(e.Red, e.Green, e.Blue);
        check(e.Red ^ 1, e.Green, e.Blue);
        check(e.Red, e.Green ^ 1, e.Blue);
        check(e.Red, e.Green, e.Blue ^ 128);
    }
    for (int i = 0; i < 20000; ++i)
        check(int(rng() & 255), int(rng() & 255), int(rng() & 255));

    // The bulk form gives the same answers.
    std::vector<uint8_t> rgb;
    for (const TPaletteEntry &e : p)
        rgb.insert(rgb.end(), {e.Red, e.Green, e.Blue, uint8_t(rng()), 1, 2});
    std::vector<uint8_t> out(rgb.size() / 3);
    matcher.MatchPixels(rgb.data(), out.size(), out.data());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], ReferenceMatch(p, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
}

} // namespace

TEST(MatchPaletteIndex, EqualsTheFirstMatchRuleOnRandomPalettes)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 40; ++round) {
        TPalette p;
        for (TPaletteEntry &e : p)
            e = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
        ExpectSameAsReference(p, rng);
    }
    ExpectSameAsReference(DfltPalette(), rng);
    ExpectSameAsReference(UicolormapPalette(), rng);
}

TEST(MatchPaletteIndex, DuplicatesGiveTheLowestIndex)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 40; ++round) {
        // Few distinct colours spread over all 256 entries; some rounds use colours whose
        // keys differ only in the high bits, which crowd the same table slots.
        const int distinct = 1 + round % 9;
        TPalette p;
        for (TPaletteEntry &e : p) {
            const int c = int(rng() % distinct);
            e = round % 2 ? TPaletteEntry{0, 0, uint8_t(c * 16)}
                          : TPaletteEntry{uint8_t(c), uint8_t(c * 3), 255};
        }
        ExpectSameAsReference(p, rng);
    }
    TPalette allEqual;
    allEqual.fill({255, 255, 255});
    const TPaletteMatcher m(allEqual);
    EXPECT_EQ(m.MatchPaletteIndex(255, 255, 255), 0);
    EXPECT_EQ(m.MatchPaletteIndex(0, 0, 0), 255);
    EXPECT_EQ(m.Find(0, 0, 0), -1);
}

TEST(MatchPaletteIndex, AColourOnlyAtIndex255IsFoundThere)
{
    TPalette p{};
    p[255] = {255, 255, 255};
    const TPaletteMatcher m(p);
    EXPECT_EQ(m.Find(255, 255, 255), 255);
    EXPECT_EQ(m.Find(0, 0, 0), 0);
    EXPECT_EQ(m.Find(1, 0, 0), -1);
}
