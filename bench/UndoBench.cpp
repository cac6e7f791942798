// The memory a document holds with its undo steps: a 50-frame 1024 x 1024 BM (50 MB) after
// 100 steps on a stack with the default limit of 100 must hold at most twice its own size.
//
// Memory is measured as the heap in use (glibc's mallinfo2: bytes in use from the arena plus
// the mmapped blocks, where the 1 MB frames live) after the steps, less the heap in use
// before the document was made, divided by what the document alone took. The steps' own
// count of what they hold (HeldBytes) is reported beside it.
//
// "mixed" runs every BM step kind in turn (delete, add, shift, properties, palette);
// "delete-add" is the worst case: each delete keeps its frame, each add brings a new one.

#include "core/documents/GLM_BMDocument.h"
#include "core/documents/GLM_EditSteps.h"
#include "formats/LEC_BM.h"

#include "BenchFiles.h"

#include <QUndoStack>

#include <benchmark/benchmark.h>

namespace {

using bench::HeapInUse;

constexpr int Side = 1024;
constexpr int Frames = 50;
constexpr int Steps = 100;

TBMImage Frame(int seed)
{
    TBMImage image{Side, Side, std::vector<uint8_t>(size_t(Side) * Side)};
    for (size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = uint8_t(i * 31 + size_t(seed));
    return image;
}

std::unique_ptr<TEditStep> DoStep(TBM &bm, int kind, int n)
{
    const int count = bm.NumImages();
    const int frame = 1 + n % count;
    std::unique_ptr<TEditStep> step;
    switch (kind) {
    case 0:
        step = MakeStep(bm, "Delete Frame", TFrameEdit::Removed, frame);
        DeleteBMFrame(bm, frame);
        break;
    case 1:
        step = MakeStep(bm, "Add Frames", TFrameEdit::Added);
        bm.Images[size_t(count)] = Frame(n);
        bm.Header.NumImages = count + 1;
        break;
    case 2:
        step = MakeStep(bm, "Shift To Next Frame", TFrameEdit::Swapped, frame, frame % count + 1);
        SwapBMFrames(bm, frame, frame % count + 1);
        break;
    case 3:
        step = MakeStep(bm, "Edit Properties");
        ApplyBMSettings(bm, {n, -n, n % 256, 0, true}, bm.Palette);
        break;
    default:
        step = MakeStep(bm, "Select Palette");
        bm.Palette[size_t(n % 256)] = {uint8_t(n), 1, 2};
        break;
    }
    step->Finish();
    return step;
}

void BM_UndoMemory(benchmark::State &state)
{
    const bool worst = state.range(0) == 1;
    double ratio = 0, held = 0, docBytes = 0;
    for (auto _ : state) {
        const size_t base = HeapInUse();
        auto bm = std::make_unique<TBM>();
        for (int f = 0; f < Frames; ++f)
            bm->Images[size_t(f)] = Frame(f);
        bm->Header.NumImages = Frames;
        docBytes = double(HeapInUse() - base);
        {
            QUndoStack stack;
            stack.setUndoLimit(100);
            for (int n = 0; n < Steps; ++n) {
                const int kind = worst ? n % 2 : n % 5;
                stack.push(DoStep(*bm, kind, n).release());
            }
            // A few undos and redos: the frames move between document and steps.
            for (int k = 0; k < 10; ++k)
                stack.undo();
            for (int k = 0; k < 10; ++k)
                stack.redo();
            ratio = double(HeapInUse() - base) / docBytes;
            held = 0;
            for (int i = 0; i < stack.count(); ++i)
                held += double(static_cast<const TEditStep *>(stack.command(i))->HeldBytes());
            benchmark::DoNotOptimize(stack.count());
        }
    }
    state.counters["doc_MB"] = docBytes / 1e6;
    state.counters["steps_MB"] = held / 1e6;
    state.counters["heap_ratio"] = ratio;
    // Every frame deleted must be kept for its undo, so the worst case cannot stay below twice
    // the document; it may not go beyond it by more than the steps' small fields.
    if (ratio > (worst ? 2.01 : 2.0))
        state.SkipWithError("the document and its steps hold more than twice its size");
}
BENCHMARK(BM_UndoMemory)->ArgName("delete_add")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
