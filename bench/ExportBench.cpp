// Exporting a 1024 x 1024 frame at zoom 10 (a 10240 x 10240 picture, 300 MB at 24 bits) as
// Windows bitmaps of 24 and 8 bits, from 8-bit and 16-bit frames: into a file beside the
// others (the whole save, flushed to disk), and into a sink that only counts (the rows made
// without the disk). Peak memory is measured on glimra-cli export, not here.

#include "core/GLM_BitmapStream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr int Side = 1024;
constexpr int Zoom = 10;

struct TFrames
{
    std::vector<uint8_t> Indices; // 8-bit frame
    std::vector<uint8_t> Words;   // 16-bit frame, RGB565 little-endian
    TPalette Palette;
};

const TFrames &Frames()
{
    static const TFrames frames = [] {
        TFrames f;
        for (int k = 0; k < 256; ++k)
            f.Palette[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
        f.Indices.resize(size_t(Side) * Side);
        f.Words.resize(size_t(Side) * Side * 2);
        for (size_t i = 0; i < f.Indices.size(); ++i) {
            const size_t x = i % Side, y = i / Side;
            f.Indices[i] = uint8_t((x * 3 + y * 5) / 4);
            const auto w = uint16_t(((x / 32) << 11) | ((y / 16) << 5) | ((x + y) / 64 % 32));
            f.Words[2 * i] = uint8_t(w);
            f.Words[2 * i + 1] = uint8_t(w >> 8);
        }
        return f;
    }();
    return frames;
}

TFrameView View(bool sixteen)
{
    const TFrames &f = Frames();
    return sixteen ? TFrameView{TPixelLayout::RGB565, Side, Side, f.Words.data(), 0}
                   : TFrameView{TPixelLayout::Indexed, Side, Side, f.Indices.data(), 0};
}

class TCountingSink final : public TByteSink
{
public:
    void Write(const void *src, size_t n) override
    {
        benchmark::DoNotOptimize(src);
        Bytes += n;
    }
    uint64_t Bytes = 0;
};

// Arguments: bits of the picture, bits of the frame.
void BM_ExportToFile(benchmark::State &state)
{
    const int bits = int(state.range(0));
    const TFrameView view = View(state.range(1) == 16);
    const char *dir = std::getenv("GLIMRA_BENCH_DIR");
    const std::filesystem::path path =
        std::filesystem::path(dir ? dir : std::filesystem::temp_directory_path().string()) /
        "glimra-export-bench.bmp";
    for (auto _ : state)
        SaveFrameBitmap(view, Frames().Palette, Zoom, bits, path.string());
    const auto size = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["file_MB"] = double(size) / (1024 * 1024);
}

void BM_ExportRowsOnly(benchmark::State &state)
{
    const int bits = int(state.range(0));
    const TFrameView view = View(state.range(1) == 16);
    uint64_t bytes = 0;
    for (auto _ : state) {
        TCountingSink sink;
        StreamFrameBitmap(view, Frames().Palette, Zoom, bits, sink);
        bytes = sink.Bytes;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

} // namespace

BENCHMARK(BM_ExportToFile)
    ->ArgNames({"bits", "frame"})
    ->ArgsProduct({{24, 8}, {8, 16}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExportRowsOnly)
    ->ArgNames({"bits", "frame"})
    ->ArgsProduct({{24, 8}, {8, 16}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
