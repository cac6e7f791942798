#include "core/GLM_Thumbnails.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include "core/GLM_FileNames.h"
#include "core/GLM_FramePicture.h"
#include "formats/LEC_CMP.h"

namespace {

QImage Fitted(const QImage &picture, int side)
{
    if (picture.isNull() || side < 1)
        return {};
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation);
}

QImage PaletteGrid(const TPalette &palette)
{
    QImage grid(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i)
        grid.setPixel(i % 16, i / 16, qRgb(palette[i].Red, palette[i].Green, palette[i].Blue));
    return grid;
}

} // namespace

QImage MemberThumbnail(const std::string &name, std::vector<uint8_t> bytes, const TPalette &palette,
                       int side)
{
    try {
        switch (FileKindOf(name)) {
        case TFileKind::BM: {
            TBM bm;
            bm.LoadFromBytes(std::move(bytes));
            const std::optional<TFrameView> view = BMFrameView(bm, 1);
            return view ? Fitted(FramePicture(*view, bm.HasPalette() ? bm.Palette : palette), side)
                        : QImage();
        }
        case TFileKind::MAT: {
            TMAT mat;
            mat.LoadFromBytes(std::move(bytes));
            const std::optional<TFrameView> view = MATFrameView(mat, 1, 1);
            return view ? Fitted(FramePicture(*view, palette), side) : QImage();
        }
        case TFileKind::SFT: {
            TSFT sft;
            sft.LoadFromBytes(std::move(bytes));
            const std::optional<TFrameView> view = SFTFrameView(sft);
            if (!view)
                return {};
            // A font's strip is long and low: its first characters stand for it.
            const QImage strip = FramePicture(*view, palette);
            return Fitted(
                strip.copy(0, 0, std::min(strip.width(), 2 * strip.height()), strip.height()),
                side);
        }
        case TFileKind::CMP: {
            TCMP cmp;
            cmp.LoadFromBytes(std::move(bytes));
            return Fitted(PaletteGrid(cmp.Palette), side);
        }
        case TFileKind::Unknown:
            break;
        }
    } catch (const std::exception &) {
        // A broken member shows no picture; opening it says what is wrong.
    }
    return {};
}

TThumbnailMaker::TThumbnailMaker(QObject *receiver, TDone done, int threads)
    : FReceiver(receiver), FDone(std::move(done)), FPool(std::make_unique<QThreadPool>()),
      FGeneration(std::make_shared<std::atomic<int>>(0))
{
    FPool->setMaxThreadCount(std::max(threads, 1));
}

TThumbnailMaker::~TThumbnailMaker()
{
    Clear();
    FPool->waitForDone();
}

void TThumbnailMaker::Request(int key, const std::string &name, TRead read, const TPalette &palette,
                              int side)
{
    const int generation = FGeneration->load();
    // The receiver may go while a picture is on its way; QPointer sees that on its thread.
    QPointer<QObject> receiver(FReceiver);
    auto gen = FGeneration;
    TDone done = FDone;
    FPool->start(
        [=, read = std::move(read)] {
            if (gen->load() != generation)
                return;
            QImage picture;
            try {
                picture = MemberThumbnail(name, read(), palette, side);
            } catch (const std::exception &) {
            }
            if (!receiver)
                return;
            QMetaObject::invokeMethod(
                receiver.data(),
                [=] {
                    if (gen->load() == generation)
                        done(key, picture);
                },
                Qt::QueuedConnection);
        },
        ++FPriority);
}

void TThumbnailMaker::Clear()
{
    ++*FGeneration;
    FPool->clear();
    FPriority = 0;
}

void TThumbnailMaker::WaitForDone()
{
    FPool->waitForDone();
}
