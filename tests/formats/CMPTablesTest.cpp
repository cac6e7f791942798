#include "CMPReference.h"

#include "formats/LEC_CMP.h"
#include "formats/LEC_CMPTables.h"
#include "formats/LEC_ColorSearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using TLevels = std::array<TColorTable, 64>;
using TTables = std::array<TColorTable, 256>;

TPalette RandomPalette(unsigned seed)
{
    std::mt19937 rng(seed);
    TPalette pal;
    for (TPaletteEntry &p : pal)
        p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    return pal;
}

// Channels from a few levels whose blends land exactly halfway between two of them (0 and
// 10 blend to 6.5, 20 and 10 to 13.5, ...): targets equidistant from two, four or eight
// entries on every side.
TPalette TiePalette(unsigned seed)
{
    static const uint8_t levels[] = {0, 6, 7, 10, 13, 14, 20, 3, 4};
    std::mt19937 rng(seed);
    TPalette pal;
    for (TPaletteEntry &p : pal)
        p = {levels[rng() % 9], levels[rng() % 9], levels[rng() % 9]};
    return pal;
}

// A dozen colours, each at many indices.
TPalette RepeatedPalette(unsigned seed)
{
    const TPalette colours = RandomPalette(seed);
    std::mt19937 rng(seed + 1);
    TPalette pal;
    for (TPaletteEntry &p : pal)
        p = colours[rng() % 12];
    return pal;
}

// Everything within a small dark cube: long candidate lists, so boxes get split.
TPalette CrowdedPalette(unsigned seed)
{
    std::mt19937 rng(seed);
    TPalette pal;
    for (TPaletteEntry &p : pal)
        p = {uint8_t(rng() % 16), uint8_t(rng() % 16), uint8_t(rng() % 16)};
    return pal;
}

TPalette GreyRamp()
{
    TPalette pal;
    for (int i = 0; i < 256; ++i)
        pal[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    return pal;
}

std::unique_ptr<TCMP> MakeCMP(const TPalette &pal)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = pal;
    return cmp;
}

// Compares with the plain loops and names the first entry that differs.
void ExpectReferenceTables(const TPalette &pal, bool withTrans)
{
    auto cmp = MakeCMP(pal);
    cmp->CalcLightLevels();
    auto levels = std::make_unique<TLevels>();
    cmpref::CalcLightLevels(pal, *levels);
    for (int n = 0; n < 64; ++n)
        for (int i = 0; i < 256; ++i)
            if (cmp->LightLevels[n][i] != (*levels)[n][i])
                return ADD_FAILURE()
                       << "L[" << n << "][" << i << "] is " << int(cmp->LightLevels[n][i])
                       << ", want " << int((*levels)[n][i]);
    if (!withTrans)
        return;
    cmp->CalcTransTables();
    auto tables = std::make_unique<TTables>();
    cmpref::CalcTransTables(pal, *tables);
    for (int t = 0; t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            if (cmp->TransTables[t][e] != (*tables)[t][e])
                return ADD_FAILURE()
                       << "T[" << t << "][" << e << "] is " << int(cmp->TransTables[t][e])
                       << ", want " << int((*tables)[t][e]);
}

} // namespace

TEST(CMPTables, MatchTheReferenceOnRandomPalettes)
{
    for (unsigned seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        ExpectReferenceTables(RandomPalette(seed), seed <= 4);
    }
}

TEST(CMPTables, MatchTheReferenceOnAdversarialPalettes)
{
    auto allEqual = std::make_unique<TCMP>();
    allEqual->FillPalette(90, 200, 17);
    const std::pair<const char *, TPalette> cases[] = {
        {"ties 1", TiePalette(1)},        {"ties 2", TiePalette(2)},
        {"repeated", RepeatedPalette(3)}, {"all equal", allEqual->Palette},
        {"crowded", CrowdedPalette(4)},   {"grey ramp", GreyRamp()},
    };
    for (const auto &[name, pal] : cases) {
        SCOPED_TRACE(name);
        ExpectReferenceTables(pal, true);
    }
}

// Every target the tables ask for, and then some, across many palettes and on one search
// object per palette so that its boxes fill and split as in a real run.
TEST(ColorSearch, NearestAgreesWithThePlainSearch)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const double odd[][3] = {{-0.5, 10, 10},  {255.5, 0, 0}, {1e300, 5, 5},
                             {-Inf, 0, 0},    {NaN, 1, 2},   {0, 0, 0},
                             {255, 255, 255}, {32, 64, 96},  {31.999999, 63.5, 95.25}};
    for (unsigned seed = 0; seed < 90; ++seed) {
        const TPalette pal = seed % 3 == 0   ? RandomPalette(seed)
                             : seed % 3 == 1 ? TiePalette(seed)
                                             : CrowdedPalette(seed);
        TColorSearch search(pal);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> level(0, 255);
        for (int q = 0; q < 2000; ++q) {
            double r, g, b;
            if (q < 9) {
                r = odd[q][0], g = odd[q][1], b = odd[q][2];
            } else if (q % 3 == 0) {
                const TPaletteEntry &t = pal[rng() % 256], &e = pal[rng() % 256];
                r = TransBlendTarget(t.Red, e.Red), g = TransBlendTarget(t.Green, e.Green);
                b = TransBlendTarget(t.Blue, e.Blue);
            } else if (q % 3 == 1) {
                const TPaletteEntry &p = pal[rng() % 256];
                const int n = int(rng() % 64);
                r = LightLevelTarget(p.Red, n), g = LightLevelTarget(p.Green, n);
                b = LightLevelTarget(p.Blue, n);
            } else {
                r = level(rng), g = std::round(level(rng) * 2) / 2, b = level(rng);
            }
            ASSERT_EQ(search.Nearest(r, g, b), cmpref::NearestColor(pal, r, g, b))
                << "seed " << seed << " target " << r << ", " << g << ", " << b;
        }
    }
}

// Far from every colour the screen's rounding grows with the distance; targets a hair off
// the plane halfway between a dark and a bright colour must still be decided the exact way.
TEST(ColorSearch, NearTiesFarFromEveryColourAreDecidedExactly)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> level(0, 255), hair(-1e-5, 1e-5);
    for (int pair = 0; pair < 300; ++pair) {
        const TPaletteEntry dark = {uint8_t(rng() % 40), uint8_t(rng() % 40), uint8_t(rng() % 40)};
        const TPaletteEntry bright = {uint8_t(215 + rng() % 41), uint8_t(rng()), uint8_t(rng())};
        TPalette pal;
        pal.fill(dark);
        pal[1] = bright;
        TColorSearch search(pal);
        // r of the halfway plane 2 x q . (bright - dark) = |bright|^2 - |dark|^2.
        const auto sq = [](const TPaletteEntry &p) {
            return double(p.Red * p.Red + p.Green * p.Green + p.Blue * p.Blue);
        };
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

TEST(CMPTables, EqualColoursKeepTheFixedRangeAndMapTheRestToZero)
{
    auto cmp = std::make_unique<TCMP>(); // a new colormap: 256 times black
    cmp->CalcLightLevels();
    cmp->CalcTransTables();
    for (int n = 0; n < 64; ++n)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(cmp->LightLevels[n][i], i < 32 ? i : 0) << n << " " << i;
    for (const TColorTable &table : cmp->TransTables)
        for (uint8_t v : table)
            ASSERT_EQ(v, 0);
}

TEST(CMPTables, DistinctColoursMapToThemselvesAtFullLightAndOnTheDiagonal)
{
    TPalette pal;
    for (int i = 0; i < 256; ++i) // distinct, and the first 32 not at the start of a ramp
        pal[i] = {uint8_t(255 - i), uint8_t(i * 7), uint8_t(i * 13 + 5)};
    auto cmp = MakeCMP(pal);
    cmp->CalcLightLevels();
    cmp->CalcTransTables();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(cmp->LightLevels[63][i], i);
        EXPECT_EQ(cmp->TransTables[i][i], i);
    }
}

TEST(CMPTables, RepeatedColourIsAlwaysFoundAtItsFirstIndex)
{
    TPalette pal = RandomPalette(7);
    pal[200] = pal[90] = pal[10];
    auto cmp = MakeCMP(pal);
    cmp->CalcLightLevels();
    cmp->CalcTransTables();
    EXPECT_EQ(cmp->LightLevels[63][90], 10);
    EXPECT_EQ(cmp->LightLevels[63][200], 10);
    EXPECT_EQ(cmp->TransTables[200][200], 10);
    EXPECT_EQ(cmp->TransTables[90][200], 10);
}

TEST(CMPTables, TargetsOfTheDocumentedCases)
{
    EXPECT_EQ(TransBlendTarget(0, 255), 165.75);
    EXPECT_EQ(TransBlendTarget(255, 0), 89.25);
    EXPECT_EQ(TransBlendTarget(200, 0), 70.0);
    EXPECT_EQ(TransBlendTarget(0, 0), 0.0);
    EXPECT_EQ(TransBlendTarget(0, 100), 65.0);
    EXPECT_EQ(TransBlendTarget(0, 10), 6.5);
    EXPECT_EQ(LightLevelTarget(255, 21), 85.0);
    EXPECT_EQ(LightLevelTarget(128, 21), 128.0 / 3);
    EXPECT_EQ(LightLevelTarget(0, 21), 0.0);
    EXPECT_EQ(LightLevelTarget(201, 63), 201.0);
    EXPECT_EQ(LightLevelTarget(201, 0), 0.0);
    // Computed in double, these would come out one unit in the last place away.
    EXPECT_EQ(LightLevelTarget(33, 1), 33.0 / 63);
    EXPECT_NE(LightLevelTarget(33, 1), 33 * (1.0 / 63));
    EXPECT_EQ(TransBlendTarget(0, 3), 1.95);
    EXPECT_NE(TransBlendTarget(0, 3), 3 * 0.65);
}

// The tables themselves must use those targets: A and B below are exactly equally far from
// the intended target, so the lower index wins whichever of them it is; a target off by any
// amount would pick the same one of the two in both orders.
TEST(CMPTables, TransTablesLookUpTheBlendOfTableAndEntry)
{
    struct TCase
    {
        TPaletteEntry Table, Entry, A, B;
    };
    const TCase cases[] = {
        {{0, 0, 0}, {255, 255, 255}, {165, 165, 165}, {167, 166, 166}}, // 165.75 each
        {{255, 255, 255}, {0, 0, 0}, {89, 88, 88}, {91, 89, 89}},       // 89.25 each
        {{200, 0, 0}, {0, 0, 100}, {68, 0, 65}, {70, 2, 65}},           // (70, 0, 65)
        {{200, 0, 0}, {0, 0, 100}, {69, 0, 64}, {71, 0, 66}},
    };
    for (const TCase &c : cases) {
        for (bool swapped : {false, true}) {
            TPalette pal;
            pal.fill(c.Table);
            pal[1] = c.Entry;
            pal[2] = swapped ? c.B : c.A;
            pal[3] = swapped ? c.A : c.B;
            auto cmp = MakeCMP(pal);
            cmp->CalcTransTables();
            EXPECT_EQ(cmp->TransTables[0][1], 2) << int(c.A.Red) << " swapped " << swapped;
        }
    }
}

TEST(CMPTables, LightLevelsScaleByLevelOver63)
{
    TPalette pal;
    pal.fill({200, 200, 200});
    pal[40] = {255, 128, 0};
    pal[50] = {85, 42, 0};
    pal[51] = {85, 43, 0}; // nearer to (85, 42.666..., 0)
    auto cmp = MakeCMP(pal);
    cmp->CalcLightLevels();
    EXPECT_EQ(cmp->LightLevels[21][40], 51);
}

TEST(CMPTables, FixedRangeKeepsItsIndexWhateverItsColour)
{
    TPalette pal;
    pal.fill({60, 60, 60});
    pal[5] = pal[40] = {255, 255, 255};
    pal[12] = {3, 3, 3};
    pal[100] = {0, 0, 0};
    auto cmp = MakeCMP(pal);
    cmp->CalcLightLevels();
    EXPECT_EQ(cmp->LightLevels[0][5], 5);
    EXPECT_EQ(cmp->LightLevels[0][40], 100); // nearest to black, even past index 12
    EXPECT_EQ(cmp->LightLevels[63][40], 5);  // the fixed entries are candidates too
}

TEST(CMPTables, NearestColorTakesTheLowestOfEquallyNearEntries)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->FillPalette(255, 255, 255);
    cmp->Palette[30] = {10, 0, 0};
    cmp->Palette[20] = {0, 0, 10};
    EXPECT_EQ(cmp->NearestColor(5, 0, 5), 20);
    EXPECT_EQ(cmp->NearestColor(5.0000001, 0, 5), 30);
    EXPECT_EQ(cmp->NearestColor(255, 255, 255), 0);
    EXPECT_EQ(cmp->NearestColor(std::nan(""), 0, 0), 0); // no distance is ever smaller
}

TEST(CMPTables, ProgressCountsTheTablesAndCanStopTheRun)
{
    auto cmp = MakeCMP(RandomPalette(11));
    std::vector<int> seen;
    cmp->CalcTransTables([&](int done, int total) {
        EXPECT_EQ(total, 256);
        seen.push_back(done);
    });
    ASSERT_EQ(seen.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(seen[i], i + 1);

    // A caller may cancel by throwing; the exception reaches it unchanged.
    auto stopped = MakeCMP(RandomPalette(11));
    EXPECT_THROW(stopped->CalcTransTables([](int done, int) {
        if (done == 3)
            throw std::runtime_error("cancelled");
    }),
                 std::runtime_error);
    EXPECT_EQ(stopped->TransTables[2], cmp->TransTables[2]);
}
