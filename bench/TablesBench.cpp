// Colormap tables: the shipped computation against the plain reference loop, side by side.
// Arg 0 is a random palette; arg 1 a palette of shaded ramps crowded towards black, the
// shape of real game colormaps. Each shipped run first checks that it matches the reference.

#include "CMPReference.h"

#include "formats/LEC_CMP.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

TPalette MakePalette(int kind)
{
    TPalette pal;
    std::mt19937 rng(20240611);
    for (int i = 0; i < 256; ++i) {
        TPaletteEntry &p = pal[i];
        if (kind == 0) {
            p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
        } else {
            // 16 hues of 16 shades each, from near black to the full hue.
            const int hue = i / 16, shade = i % 16 + 1;
            const int r = hue & 1 ? 255 : 60 + hue * 8, g = hue & 2 ? 240 : 40 + hue * 5;
            const int b = hue & 4 ? 250 : 30 + hue * 10;
            p = {uint8_t(r * shade / 16), uint8_t(g * shade / 16), uint8_t(b * shade / 16)};
        }
    }
    return pal;
}

void TransTablesReference(benchmark::State &state)
{
    const TPalette pal = MakePalette(static_cast<int>(state.range(0)));
    auto tables = std::make_unique<std::array<TColorTable, 256>>();
    for (auto _ : state) {
        cmpref::CalcTransTables(pal, *tables);
        benchmark::DoNotOptimize(tables->data());
    }
}

void TransTablesShipped(benchmark::State &state)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = MakePalette(static_cast<int>(state.range(0)));
    auto expected = std::make_unique<std::array<TColorTable, 256>>();
    cmpref::CalcTransTables(cmp->Palette, *expected);
    cmp->CalcTransTables();
    if (cmp->TransTables != *expected)
        state.SkipWithError("transparency tables differ from the reference");
    for (auto _ : state) {
        cmp->CalcTransTables();
        benchmark::DoNotOptimize(cmp->TransTables.data());
    }
}

void LightLevelsReference(benchmark::State &state)
{
    const TPalette pal = MakePalette(static_cast<int>(state.range(0)));
    auto levels = std::make_unique<std::array<TColorTable, 64>>();
    for (auto _ : state) {
        cmpref::CalcLightLevels(pal, *levels);
        benchmark::DoNotOptimize(levels->data());
    }
}

void LightLevelsShipped(benchmark::State &state)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = MakePalette(static_cast<int>(state.range(0)));
    auto expected = std::make_unique<std::array<TColorTable, 64>>();
    cmpref::CalcLightLevels(cmp->Palette, *expected);
    cmp->CalcLightLevels();
    if (cmp->LightLevels != *expected)
        state.SkipWithError("light tables differ from the reference");
    for (auto _ : state) {
        cmp->CalcLightLevels();
        benchmark::DoNotOptimize(cmp->LightLevels.data());
    }
}

} // namespace

BENCHMARK(TransTablesReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TransTablesShipped)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LightLevelsReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LightLevelsShipped)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
