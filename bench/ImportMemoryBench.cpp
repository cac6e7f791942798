// Importing a run-length 8-bit Windows bitmap of 5792 x 5792 (a file of about 1 KB that
// decodes to 33.5 million pixels) as a frame of an 8-bit BM: the time, and the peak memory it
// takes. The peak is the process's high-water mark of resident memory (VmHWM) after the mark
// has been reset to the memory in use (writing 5 to /proc/self/clear_refs), less what was in
// use then; reported as PeakMB. The target is 120 MB at most: the decoder's 8-bit picture,
// the indices and the frame, with no 24- or 32-bit copy of the whole picture.

#include "core/GLM_Bitmaps.h"
#include "core/GLM_Import.h"
#include "formats/LEC_BM.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int Side = 5792;

void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// A bottom-up RLE8 bitmap with a two-colour table: one run of colour 1 along the bottom row,
// then the end of the picture (the rest stays colour 0).
std::vector<uint8_t> RunLengthBitmap()
{
    std::vector<uint8_t> b(14 + 40 + 8);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 10, 14 + 40 + 8);
    Put32(b, 14, 40);
    Put32(b, 18, Side);
    Put32(b, 22, Side);
    b[26] = 1, b[28] = 8; // planes, bits
    Put32(b, 30, 1);      // BI_RLE8
    Put32(b, 46, 2);      // colours used
    b[58] = b[59] = b[60] = 255;
    for (int x = 0; x < Side; x += 255)
        b.insert(b.end(), {uint8_t(std::min(255, Side - x)), 1});
    b.insert(b.end(), {0, 1});
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 34, uint32_t(b.size() - 62));
    return b;
}

long StatusKB(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    return -1;
}

void ImportRunLengthBitmap(benchmark::State &state)
{
    const std::string path = "import-memory-bench.bmp";
    const std::vector<uint8_t> bytes = RunLengthBitmap();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    TPalette palette{};
    palette[1] = {255, 255, 255};
    double peakMB = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKB("VmRSS:");
        TBM bm;
        ImportBMFrame(bm, ReadBitmapFile(path), palette);
        benchmark::DoNotOptimize(bm.Images[0].Pixels.data());
        peakMB = double(StatusKB("VmHWM:") - before) / 1024.0;
    }
    std::remove(path.c_str());
    state.counters["PeakMB"] = peakMB;
    state.counters["FileBytes"] = double(bytes.size());
}

} // namespace

BENCHMARK(ImportRunLengthBitmap)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
