// Import colour matching over a 1024 x 1024 picture: the plain scan of up to 256 entries per
// pixel against TPaletteMatcher, on the same pixels. Both must give the same indices.

#include "core/GLM_PaletteMatch.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr size_t PixelCount = 1024 * 1024;

uint8_t PlainMatch(const TPalette &p, uint8_t r, uint8_t g, uint8_t b)
{
    for (int k = 0; k < 256; ++k)
        if (p[k].Red == r && p[k].Green == g && p[k].Blue == b)
            return static_cast<uint8_t>(k);
    return 255;
}

struct TScene
{
    TPalette Palette;
    std::vector<uint8_t> RGB;
};

// kind 0: every pixel a palette colour (what an import is meant to get);
// kind 1: random colours, nearly all absent from the palette.
TScene MakeScene(int kind)
{
    std::mt19937 rng(42);
    TScene s;
    for (TPaletteEntry &e : s.Palette)
        e = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    s.RGB.resize(PixelCount * 3);
    for (size_t i = 0; i < PixelCount; ++i) {
        const TPaletteEntry e = kind == 0 ? s.Palette[rng() & 255]
                                          : TPaletteEntry{uint8_t(rng()), uint8_t(rng()),
                                                          uint8_t(rng())};
        s.RGB[3 * i] = e.Red;
        s.RGB[3 * i + 1] = e.Green;
        s.RGB[3 * i + 2] = e.Blue;
    }
    return s;
}

const TScene &Scene(int kind)
{
    static const TScene scenes[2] = {MakeScene(0), MakeScene(1)};
    return scenes[kind];
}

void PlainPicture(const TScene &s, std::vector<uint8_t> &out)
{
    for (size_t i = 0; i < PixelCount; ++i)
        out[i] = PlainMatch(s.Palette, s.RGB[3 * i], s.RGB[3 * i + 1], s.RGB[3 * i + 2]);
}

void FastPicture(const TScene &s, std::vector<uint8_t> &out)
{
    const TPaletteMatcher matcher(s.Palette); // built per picture, as an import does
    matcher.MatchPixels(s.RGB.data(), PixelCount, out.data());
}

void BM_PlainScan(benchmark::State &state)
{
    const TScene &s = Scene(static_cast<int>(state.range(0)));
    std::vector<uint8_t> out(PixelCount);
    for (auto _ : state) {
        PlainPicture(s, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(PixelCount));
}

void BM_PaletteMatcher(benchmark::State &state)
{
    const TScene &s = Scene(static_cast<int>(state.range(0)));
    std::vector<uint8_t> out(PixelCount), plain(PixelCount);
    PlainPicture(s, plain);
    FastPicture(s, out);
    if (out != plain) {
        state.SkipWithError("TPaletteMatcher differs from the plain scan");
        return;
    }
    for (auto _ : state) {
        FastPicture(s, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(PixelCount));
}

} // namespace

// Argument 0: palette colours only; 1: random colours.
BENCHMARK(BM_PlainScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaletteMatcher)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
