#include "CMPReference.h"

#include "formats/LEC_CMP.h"
#include "formats/LEC_CMPTables.h"
#include "formats/LEC_ColorSearch.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

// Channels drawn at random from 0..range-1, or from the first `range` of `levels`.
TPalette RandomPalette(unsigned seed, unsigned range = 256, const uint8_t *levels = nullptr)
{
    std::mt19937 rng(seed);
    const auto pick = [&] {
        const unsigned v = rng() % range;
        return levels ? levels[v] : uint8_t(v);
    };
    TPalette pal;
    for (TPaletteEntry &p : pal)
        p = {pick(), pick(), pick()};
    return pal;
}

// `base` everywhere but at the listed indices.
TPalette With(TPaletteEntry base, std::initializer_list<std::pair<int, TPaletteEntry>> at)
{
    TPalette pal;
    pal.fill(base);
    for (auto [i, e] : at)
        pal[i] = e;
    return pal;
}

// A colormap of `pal`, with both kinds of tables computed if `calc`.
std::unique_ptr<TCMP> MakeCMP(const TPalette &pal, bool calc = true)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = pal;
    if (calc) {
        cmp->CalcLightLevels();
        cmp->CalcTransTables();
    }
    return cmp;
}

// The shipped tables equal the plain loops' (transparency tables only if `withTrans`);
// names the first entry that differs.
void ExpectReferenceTables(const TPalette &pal, bool withTrans)
{
    auto cmp = MakeCMP(pal, false), ref = MakeCMP(pal, false);
    cmp->CalcLightLevels();
    cmpref::CalcLightLevels(pal, ref->LightLevels);
    if (withTrans) {
        cmp->CalcTransTables();
        cmpref::CalcTransTables(pal, ref->TransTables);
    }
    for (int n = 0; n < 64 + 256; ++n) {
        const TColorTable &got = n < 64 ? cmp->LightLevels[n] : cmp->TransTables[n - 64];
        const TColorTable &want = n < 64 ? ref->LightLevels[n] : ref->TransTables[n - 64];
        for (int i = 0; i < 256; ++i)
            if (got[i] != want[i])
                return ADD_FAILURE() << (n < 64 ? "L[" : "T[") << (n < 64 ? n : n - 64) << "][" << i
                                     << "] is " << int(got[i]) << ", want " << int(want[i]);
    }
}

} // namespace

// Ties: channel levels whose blends land exactly halfway between two of them (0 and 10
// blend to 6.5, 20 and 10 to 13.5, ...), so targets are equidistant from several entries.
// Crowded: all in a small dark cube, so long candidate lists and search boxes get split.
const uint8_t TieLevels[] = {0, 6, 7, 10, 13, 14, 20, 3, 4};

TEST(CMPTables, MatchTheReferenceOnRandomAndAdversarialPalettes)
{
    TPalette grey, repeated;
    const TPalette dozen = RandomPalette(3);
    for (int i = 0; i < 256; ++i) {
        grey[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
        repeated[i] = dozen[(i * 7) % 12]; // a dozen colours, each at many indices
    }
    const std::pair<const char *, TPalette> adversarial[] = {
        {"ties 1", RandomPalette(1, 9, TieLevels)},
        {"ties 2", RandomPalette(2, 9, TieLevels)},
        {"repeated", repeated},
        {"all equal", With({90, 200, 17}, {})},
        {"crowded", RandomPalette(4, 16)},
        {"grey ramp", grey}};
    for (const auto &[name, pal] : adversarial) {
        SCOPED_TRACE(name);
        ExpectReferenceTables(pal, true);
    }
    // Light levels on many random palettes, the slower transparency tables on a few.
    for (unsigned seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        ExpectReferenceTables(RandomPalette(seed), seed <= 4);
    }
}

// The lowest index wins ties. The fast search agrees with the plain one on targets outside
// the cube and on targets a hair off the plane halfway between a dark and a bright colour:
// far from every colour the screen's rounding grows with the distance, and such near ties
// must still be decided the exact way.
TEST(NearestColor, LowestIndexWinsAndTheFastSearchAgreesWithThePlainOne)
{
    TColorSearch two(With({255, 255, 255}, {{30, {10, 0, 0}}, {20, {0, 0, 10}}}));
    EXPECT_EQ(two.Nearest(5, 0, 5), 20);
    EXPECT_EQ(two.Nearest(5.0000001, 0, 5), 30);
    EXPECT_EQ(two.Nearest(255, 255, 255), 0);
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(two.Nearest(NaN, 0, 0), 0); // no distance is ever smaller
    const double odd[][3] = {{-0.5, 10, 10}, {255.5, 0, 0}, {1e300, 5, 5},  {-Inf, 0, 0},
                             {NaN, 1, 2},    {0, 0, 0},     {255, 255, 255}};
    const TPalette ties = RandomPalette(1, 9, TieLevels);
    TColorSearch tieSearch(ties);
    for (const auto &[r, g, b] : odd)
        ASSERT_EQ(tieSearch.Nearest(r, g, b), cmpref::NearestColor(ties, r, g, b)) << r;

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> level(0, 255), hair(-1e-5, 1e-5);
    const auto sq = [](const TPaletteEntry &p) {
        return double(p.Red * p.Red + p.Green * p.Green + p.Blue * p.Blue);
    };
    for (int pair = 0; pair < 300; ++pair) {
        const TPaletteEntry dark = {uint8_t(rng() % 40), uint8_t(rng() % 40), uint8_t(rng() % 40)};
        const TPaletteEntry bright = {uint8_t(215 + rng() % 41), uint8_t(rng()), uint8_t(rng())};
        TPalette pal;
        pal.fill(dark);
        pal[1] = bright;
        TColorSearch search(pal);
        // r of the halfway plane 2 x q . (bright - dark) = |bright|^2 - |dark|^2.
        const double dx = bright.Red - dark.Red, dy = bright.Green - dark.Green,
                     dz = bright.Blue - dark.Blue;
        for (int q = 0; q < 100; ++q) {
            const double g = level(rng), b = level(rng);
            const double r =
                (sq(bright) - sq(dark) - 2 * dy * g - 2 * dz * b) / (2 * dx) + hair(rng);
            if (r < 0 || r > 255)
                continue;
            ASSERT_EQ(search.Nearest(r, g, b), cmpref::NearestColor(pal, r, g, b))
                << "pair " << pair << " target " << r << ", " << g << ", " << b;
        }
    }
}

// The first 32 entries keep their index at every light level whatever their colour; with all
// colours equal everything else maps to 0 (the reference tests above cover the rest).
TEST(CMPTables, FixedRangeAndEqualColours)
{
    const auto cmp = MakeCMP(TPalette{}); // a new colormap: 256 times black
    for (int n = 0; n < 64 * 256; ++n)
        ASSERT_EQ(cmp->LightLevels[n / 256][n % 256], n % 256 < 32 ? n % 256 : 0) << n;
    for (const TColorTable &table : cmp->TransTables)
        ASSERT_EQ(table, TColorTable{});
}

TEST(CMPTables, TablesLookUpTheBlendAndTheScaledColour)
{
    const std::pair<double, double> exact[] = {
        {TransBlendTarget(0, 255), 165.75},  {TransBlendTarget(255, 0), 89.25},
        {TransBlendTarget(200, 0), 70.0},    {TransBlendTarget(0, 100), 65.0},
        {TransBlendTarget(0, 10), 6.5},      {TransBlendTarget(0, 3), 1.95},
        {LightLevelTarget(255, 21), 85.0},   {LightLevelTarget(128, 21), 128.0 / 3},
        {LightLevelTarget(201, 63), 201.0},  {LightLevelTarget(201, 0), 0.0},
        {LightLevelTarget(33, 1), 33.0 / 63}};
    for (size_t i = 0; i < std::size(exact); ++i)
        EXPECT_EQ(exact[i].first, exact[i].second) << "case " << i;
    // Computed in double, these would come out one unit in the last place away.
    EXPECT_NE(LightLevelTarget(33, 1), 33 * (1.0 / 63));
    EXPECT_NE(TransBlendTarget(0, 3), 3 * 0.65);

    // Level 21 of (255, 128, 0) is (85, 42.666..., 0): nearer to index 51 than to 50.
    const auto cmp =
        MakeCMP(With({200, 200, 200}, {{40, {255, 128, 0}}, {50, {85, 42, 0}}, {51, {85, 43, 0}}}));
    EXPECT_EQ(cmp->LightLevels[21][40], 51);
}

TEST(CMPTables, ProgressCountsTheTablesAndCanStopTheRun)
{
    auto cmp = MakeCMP(RandomPalette(11), false), stopped = MakeCMP(RandomPalette(11), false);
    std::vector<int> seen, want(256);
    std::iota(want.begin(), want.end(), 1);
    cmp->CalcTransTables([&](int done, int total) { seen.push_back(total == 256 ? done : -1); });
    EXPECT_EQ(seen, want);
    // A caller may cancel by throwing: the exception reaches it, the tables done are kept.
    const auto stopAtThree = [](int done, int) {
        if (done == 3)
            throw std::runtime_error("cancelled");
    };
    EXPECT_THROW(stopped->CalcTransTables(stopAtThree), std::runtime_error);
    EXPECT_EQ(stopped->TransTables[2], cmp->TransTables[2]);
}
