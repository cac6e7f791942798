// The container window against a large container:
//   OpenWindow   a 100 MB container of 5,000 members opened in its window, listed and painted
//                once (target 150 ms); counters: the growth of the process's resident size
//                (VmRSS, /proc/self/status) and of the heap (mallinfo2) from just before the
//                open to after the first paint, the window already made (target 40 MB);
//   Thumbnails   the worker making the thumbnails of 5,000 64 x 64 texture MATs, read from
//                their container as the window reads them, all handed back to the window's
//                thread (target 5 s); counter: thumbnails a second;
//   Scroll       the icon view of those 5,000 MATs scrolled page by page to its end while the
//                worker makes the thumbnails of each page: each step repainted before the
//                next; counter: the longest step (a stall would show there).
// The containers are made in a temporary folder when the program starts and removed at its
// end; the widgets run on Qt's offscreen platform.

#include "GLM_TestPlatform.h"
#include "BenchFiles.h"
#include "GameFiles.h"
#include "core/GLM_Thumbnails.h"
#include "formats/LEC_FileIO.h"
#include "formats/LEC_GOB.h"
#include "ui/gob/GLM_GOBForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QThread>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

namespace {

using namespace bench;

struct TInputs : TempDir
{
    std::string Big = File("big.gob"), Textures = File("textures.gob");

    TInputs()
    {
        WriteBigContainer(Big, Noise(1 << 20));
        TGOB textures;
        for (int i = 0; i < BigMembers; ++i)
            textures.Put("mat/" + std::to_string(i / 100) + "/t" + std::to_string(i) + ".mat",
                         testutil::TextureMAT({{64, 64, 4, uint16_t(i % 256)}}));
        textures.WriteToFile(Textures);
    }
};

const TInputs &Inputs()
{
    static const TInputs inputs;
    return inputs;
}

double ResidentMB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0; // kB
    return 0;
}

void OpenWindow(benchmark::State &state)
{
    const TInputs &in = Inputs();
    TTestPlatform desk;
    TWindowContext context(desk);
    double resident = 0, heap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<TGOBForm>(context);
        window->resize(800, 600);
        window->FormCreate(0);
        window->show();
        QApplication::processEvents();
        const double residentBefore = ResidentMB(), heapBefore = double(HeapInUse()) / 1e6;
        state.ResumeTiming();
        window->LoadFile(in.Big);
        window->ShowIcons(false);
        window->repaint(); // the list as the user first sees it
        QApplication::processEvents();
        state.PauseTiming();
        // The first open is the one that takes memory from the system; later ones reuse it.
        resident = std::max(resident, ResidentMB() - residentBefore);
        heap = std::max(heap, double(HeapInUse()) / 1e6 - heapBefore);
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["resident_MB"] = resident;
    state.counters["heap_MB"] = heap;
    state.counters["members"] = BigMembers;
}
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void Thumbnails(benchmark::State &state)
{
    const TInputs &in = Inputs();
    TGOB gob;
    gob.LoadFromFile(in.Textures);
    QObject receiver;
    int made = 0;
    TThumbnailMaker maker(
        &receiver, [&made](int, const QImage &picture) { made += picture.isNull() ? 0 : 1; },
        std::max(1, QThread::idealThreadCount() - 1));
    for (auto _ : state) {
        made = 0;
        for (size_t i = 0; i < gob.Members().size(); ++i) {
            const TGOBMember &m = gob.Members()[i];
            const std::string file = in.Textures;
            const auto offset = uint64_t(m.Offset);
            const auto size = size_t(m.Size);
            maker.Request(
                int(i), m.Name,
                [file, offset, size] {
                    std::vector<uint8_t> bytes(size);
                    std::FILE *f = OpenForReading(file);
                    ReadAt(f, offset, bytes.data(), size);
                    std::fclose(f);
                    return bytes;
                },
                DfltPalette(), 64);
        }
        while (made < BigMembers) {
            maker.WaitForDone();
            QApplication::processEvents();
        }
    }
    state.counters["thumbnails_per_s"] = benchmark::Counter(
        double(BigMembers) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(Thumbnails)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void Scroll(benchmark::State &state)
{
    const TInputs &in = Inputs();
    TTestPlatform desk;
    TWindowContext context(desk);
    double longest = 0;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<TGOBForm>(context);
        window->resize(800, 600);
        window->FormCreate(0);
        window->show();
        window->LoadFile(in.Textures);
        window->ShowIcons(true);
        QApplication::processEvents();
        QScrollBar *bar = window->IconView->verticalScrollBar();
        state.ResumeTiming();
        for (int at = 0; at <= bar->maximum(); at += bar->pageStep(), ++steps) {
            QElapsedTimer step;
            step.start();
            bar->setValue(at);
            window->IconView->viewport()->repaint();
            QApplication::processEvents();
            longest = std::max(longest, double(step.nsecsElapsed()) / 1e6);
        }
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_step_ms"] = longest;
    state.counters["steps"] = steps / double(state.iterations());
}
BENCHMARK(Scroll)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
