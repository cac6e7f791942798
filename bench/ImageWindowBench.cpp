// What an image window does for the user: painting a 1024 x 1024 frame at zooms 1, 4 and 10
// into a 1280 x 1024 view (from the 1:1 picture; the zoomed picture is never made), and
// opening a BM of 50 frames up to its first picture.

#include "TestFiles.h"
#include "core/GLM_FramePicture.h"
#include "core/documents/GLM_ZoomPainter.h"
#include "formats/LEC_BM.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

TBM PatternBM(int frames, int side)
{
    TBM bm;
    for (int f = 0; f < frames; ++f) {
        TBMImage &image = bm.Images[f];
        image.Width = image.Height = side;
        image.Pixels.resize(size_t(side) * side);
        for (size_t i = 0; i < image.Pixels.size(); ++i)
            image.Pixels[i] = uint8_t(i * 31 + f);
    }
    bm.Header.NumImages = frames;
    return bm;
}

// One full repaint of the view, as after a zoom or a step.
void BM_PaintFrame(benchmark::State &state)
{
    const int zoom = int(state.range(0));
    const TBM bm = PatternBM(1, 1024);
    const QImage picture = DisplayPicture(*BMFrameView(bm, 1), Ramp());
    QImage view(1280, 1024, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&view);
        PaintZoomed(painter, picture, zoom, QPoint(0, 0), view.rect());
        painter.end();
        benchmark::DoNotOptimize(view.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 1280 * 1024);
}
BENCHMARK(BM_PaintFrame)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMillisecond);

// Reading the whole file and drawing the first frame at 1:1, as LoadFile does.
void BM_Open50FrameBM(benchmark::State &state)
{
    const int side = int(state.range(0));
    testutil::TempDir dir;
    const std::string path = dir.File("fifty.bm");
    PatternBM(TBM::MaxImages, side).SaveToFile(path);
    const TPalette palette = Ramp();
    for (auto _ : state) {
        TBM bm;
        bm.LoadFromFile(path);
        const QImage first = DisplayPicture(*BMFrameView(bm, 1), palette);
        benchmark::DoNotOptimize(first.constBits());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(TBM::MaxImages) * side * side);
}
BENCHMARK(BM_Open50FrameBM)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
