// The light and transparency tables of a colormap. Every entry is the index the plain
// nearest-colour search gives (see TColorSearch); the tables are shared out over the cores.

#include "formats/LEC_CMP.h"
#include "formats/LEC_ColorSearch.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr unsigned MaxThreads = 16;

unsigned ThreadCount()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, MaxThreads);
}

// Runs work(item, worker) for item 0 .. count - 1 on `workers` threads, worker being the
// thread's number. The calling thread is worker 0 and the only one that reports progress, so
// a caller may update its window from the callback; an exception from the callback stops the
// run once the other threads have finished their item.
void RunOnAllCores(int count, unsigned workers, const std::function<void(int, unsigned)> &work,
                   const TProgressCallback &progress)
{
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    auto helper = [&](unsigned worker) {
        for (int i; !stop && (i = next++) < count;) {
            work(i, worker);
            ++done;
        }
    };

    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < workers)
            helpers.emplace_back(helper, static_cast<unsigned>(helpers.size() + 1));
    } catch (const std::system_error &) {
        // Fewer threads only make the run slower.
    }

    int reported = -1;
    try {
        for (int i; (i = next++) < count;) {
            work(i, 0);
            reported = ++done;
            if (progress)
                progress(reported, count);
        }
    } catch (...) {
        stop = true;
        for (std::thread &t : helpers)
            t.join();
        throw;
    }
    for (std::thread &t : helpers)
        t.join();
    if (progress && reported != count)
        progress(count, count);
}

} // namespace

uint8_t TCMP::NearestColor(double r, double g, double b) const
{
    return TColorSearch::FullScan(Palette, r, g, b);
}

void TCMP::CalcLightLevels()
{
    const unsigned workers = ThreadCount();
    std::vector<TColorSearch> searches(workers, TColorSearch(Palette)); // one per thread
    RunOnAllCores(
        static_cast<int>(LightLevels.size()), workers,
        [&](int level, unsigned worker) {
            TColorSearch &search = searches[worker];
            // Level n scales each channel by n / 63, the factor kept in extended precision.
            const long double f = static_cast<long double>(level) / 63;
            std::array<double, 256> scaled;
            for (int v = 0; v < 256; ++v)
                scaled[v] = static_cast<double>(v * f);
            TColorTable &table = LightLevels[level];
            for (int i = 0; i < 256; ++i) {
                const TPaletteEntry &p = Palette[i];
                table[i] = i < FixedColorCount
                               ? static_cast<uint8_t>(i)
                               : search.Nearest(scaled[p.Red], scaled[p.Green], scaled[p.Blue]);
            }
        },
        {});
}

void TCMP::CalcTransTables(const TProgressCallback &progress)
{
    const unsigned workers = ThreadCount();
    std::vector<TColorSearch> searches(workers, TColorSearch(Palette)); // one per thread
    // (entry - table) x weight for every channel difference, in extended precision.
    std::array<long double, 511> blend;
    for (int diff = -255; diff <= 255; ++diff)
        blend[diff + 255] = diff * TransBlendWeight;

    RunOnAllCores(
        static_cast<int>(TransTables.size()), workers,
        [&](int t, unsigned worker) {
            TColorSearch &search = searches[worker];
            const TPaletteEntry &base = Palette[t];
            auto mix = [&](uint8_t from, uint8_t to) {
                return static_cast<double>(from + blend[to - from + 255]);
            };
            TColorTable &table = TransTables[t];
            for (int e = 0; e < 256; ++e) {
                const TPaletteEntry &p = Palette[e];
                table[e] = search.Nearest(mix(base.Red, p.Red), mix(base.Green, p.Green),
                                          mix(base.Blue, p.Blue));
            }
        },
        progress);
}
