// Containers and large files against the disk:
//   OpenAndList    a 100 MB container of 5,000 members opened and listed (target 150 ms), with
//                  the heap the open index holds as a counter (target at most 40 MB);
//   SaveContainer  the same container saved whole (target at most twice DurableCopy);
//   ResaveMAT      a 22 MB texture MAT loaded and saved (likewise against DurableCopy);
//   DurableCopy    the same bytes copied to a new file and flushed to the disk, as
//                  `dd if=IN of=OUT bs=1M conv=fsync` does.
// The inputs are made in a temporary folder when the program starts and removed at its end.

#include "formats/LEC_FileIO.h"
#include "formats/LEC_GOB.h"
#include "formats/LEC_MAT.h"

#include "BenchFiles.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace bench;
namespace fs = std::filesystem;

struct TInputs : TempDir
{
    std::string Container = File("big.gob"), MAT = File("big.mat");

    TInputs()
    {
        const std::vector<uint8_t> noise = Noise(1 << 20);
        WriteBigContainer(Container, noise);
        // 16 frames of 1024 x 1024 with four levels each: 22.3 MB.
        TMAT mat;
        mat.SetNumRecords(16);
        for (int i = 0; i < 16; ++i) {
            mat.TextureRecords[i] = {8, 5, {}, i};
            mat.TextureHeaders[i] = {1024, 1024, 0, {}, 4};
            mat.Pixels[i].resize(mat.TextureBytes(mat.TextureHeaders[i]));
            for (size_t k = 0; k < mat.Pixels[i].size(); ++k)
                mat.Pixels[i][k] = noise[k % noise.size()];
        }
        mat.SaveToFile(MAT);
    }
};

const TInputs &Inputs()
{
    static const TInputs inputs;
    return inputs;
}

void OpenAndList(benchmark::State &state)
{
    const TInputs &in = Inputs();
    size_t heap = 0, unfindable = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto gob = std::make_unique<TGOB>();
        gob->LoadFromFile(in.Container);
        heap = HeapInUse() - before;
        for (const TGOBMember &m : gob->Members()) {
            benchmark::DoNotOptimize(GOBShownName(m.Name));
            unfindable += GOBUnfindableReason(m.Name).empty() ? 0 : 1;
        }
        benchmark::DoNotOptimize(unfindable);
    }
    state.counters["index_MB"] = double(heap) / 1e6;
    state.counters["members"] = BigMembers;
}
BENCHMARK(OpenAndList)->Unit(benchmark::kMillisecond);

void SaveContainer(benchmark::State &state)
{
    const TInputs &in = Inputs();
    TGOB gob;
    gob.LoadFromFile(in.Container);
    const std::string out = in.File("saved.gob");
    for (auto _ : state)
        gob.WriteToFile(out);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(out)));
}
BENCHMARK(SaveContainer)->Unit(benchmark::kMillisecond)->UseRealTime();

void ResaveMAT(benchmark::State &state)
{
    const TInputs &in = Inputs();
    const std::string out = in.File("resaved.mat");
    for (auto _ : state) {
        auto mat = std::make_unique<TMAT>();
        mat->LoadFromFile(in.MAT);
        mat->SaveToFile(out);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(out)));
}
BENCHMARK(ResaveMAT)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1 MiB at a time into a new file, then fsync: what dd does with bs=1M conv=fsync.
void DurableCopy(benchmark::State &state)
{
    const TInputs &in = Inputs();
    const std::string from = state.range(0) == 0 ? in.Container : in.MAT;
    const std::string to = in.File("copy");
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE *src = std::fopen(from.c_str(), "rb");
        std::FILE *dst = std::fopen(to.c_str(), "wb");
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), src)) > 0)
            std::fwrite(buffer.data(), 1, n, dst);
        std::fflush(dst);
        ::fsync(fileno(dst));
        std::fclose(dst);
        std::fclose(src);
    }
    state.SetLabel(state.range(0) == 0 ? "container" : "MAT");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(from)));
}
BENCHMARK(DurableCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
