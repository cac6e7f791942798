// Colour matching against the straightforward loops: the import's first equal entry, else
// 255; the 8-bit export's first equal entry, else the nearest.

#include "CMPReference.h"
#include "core/GLM_PaletteMatch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

int ReferenceExact(const TPalette &p, uint8_t r, uint8_t g, uint8_t b)
{
    for (int k = 0; k < 256; ++k)
        if (p[k] == TPaletteEntry{r, g, b})
            return k;
    return -1;
}

// Every palette colour, its one-off neighbours and random colours, one by one and in bulk.
void ExpectSameAsReference(const TPalette &p, std::mt19937 &rng)
{
    std::vector<uint8_t> rgb;
    for (const TPaletteEntry &e : p)
        rgb.insert(rgb.end(), {e.Red, e.Green, e.Blue, uint8_t(e.Red ^ 1), e.Green, e.Blue,
                               e.Red, uint8_t(e.Green ^ 1), e.Blue, e.Red, e.Green,
                               uint8_t(e.Blue ^ 128)});
    for (int i = 0; i < 60000; ++i)
        rgb.push_back(uint8_t(rng()));
    const TPaletteMatcher matcher(p);
    TExportMatcher exporter(p);
    std::vector<uint8_t> bulk(rgb.size() / 3);
    matcher.MatchPixels(rgb.data(), bulk.size(), bulk.data());
    for (size_t i = 0; i < bulk.size(); ++i) {
        const uint8_t r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        const int exact = ReferenceExact(p, r, g, b);
        ASSERT_EQ(matcher.Find(r, g, b), exact) << r * 65536 + g * 256 + b;
        ASSERT_EQ(bulk[i], exact < 0 ? 255 : exact) << i;
        if (i % 16 == 0) { // the nearest-colour search has its own tests; a sample suffices
            ASSERT_EQ(exporter.Index({r, g, b}),
                      exact < 0 ? cmpref::NearestColor(p, r, g, b) : exact)
                << r * 65536 + g * 256 + b;
        }
    }
}

} // namespace

TEST(PaletteMatch, EqualsTheStraightforwardLoops)
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
    // Few distinct colours over all 256 entries: the lowest index wins. Odd rounds use colours
    // whose keys differ only in the high bits, which crowd the same table slots.
    for (int round = 0; round < 40; ++round) {
        const int distinct = 1 + round % 9;
        TPalette p;
        for (TPaletteEntry &e : p) {
            const int c = int(rng() % distinct);
            e = round % 2 ? TPaletteEntry{0, 0, uint8_t(c * 16)}
                          : TPaletteEntry{uint8_t(c), uint8_t(c * 3), 255};
        }
        ExpectSameAsReference(p, rng);
    }
    // Index 255 found is not "no match".
    TPalette white{};
    white[255] = {255, 255, 255};
    EXPECT_EQ(TPaletteMatcher(white).Find(255, 255, 255), 255);
}
