// The import path: a picture becomes a new BM frame, a MAT texture frame (with generated
// mipmaps), the next mipmap level of a MAT frame and an SFT strip, at 8 and 16 bits. A
// picture the rules refuse leaves the document as it was.
#include "FuzzPicture.h"
#include "core/GLM_Import.h"

#include <memory>

namespace {

template <typename T> const T &Seed(const char *sample)
{
    static const std::unique_ptr<T> seed = [&] {
        auto object = std::make_unique<T>();
        object->LoadFromFile(fuzz::Sample(sample));
        return object;
    }();
    return *seed;
}

void ImportInto(const TBitmapPicture &picture, const TBM &seed)
{
    auto bm = std::make_unique<TBM>(seed);
    const TImportResult r = ImportBMFrame(*bm, picture, DfltPalette());
    if (r.Changed() &&
        bm->Images[r.Frame - 1].Pixels.size() != bm->ImageBytes(picture.Width, picture.Height))
        fuzz::Fail("an imported BM frame's pixels do not match its size");
}

void ImportInto(const TBitmapPicture &picture, const TMAT &seed, uint8_t choice)
{
    const TNewFrameSettings settings{(choice & 1) != 0, (choice & 2) != 0, 1 + (choice >> 2) % 4,
                                     choice};
    auto mat = std::make_unique<TMAT>(seed);
    const TImportResult frame = ImportMATFrame(*mat, picture, DfltPalette(), settings);
    if (!frame.Changed() && !(*mat == seed))
        fuzz::Fail("a refused MAT frame changed the document");
    auto level = std::make_unique<TMAT>(seed);
    const TImportResult mipmap = AddMATMipmap(*level, 1, picture, DfltPalette());
    if (!mipmap.Changed() && !(*level == seed))
        fuzz::Fail("a refused mipmap level changed the document");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    // Every pixel is matched against a palette five times over; a run-length file of a few
    // bytes can declare millions of them and take seconds under the sanitizers, which the
    // fuzzer would report as a hang. The picture target covers the large ones.
    constexpr int64_t MaxImportPixels = 1024 * 1024;
    if (!fuzz::FitsFuzzerMemory(bytes, MaxImportPixels))
        return 0;
    TBitmapPicture picture;
    try {
        picture = ReadBitmapBytes(bytes);
    } catch (const EInOutError &) {
        return 0;
    }
    ImportInto(picture, Seed<TBM>("sample8.bm"));
    ImportInto(picture, Seed<TBM>("sample16.bm"));
    ImportInto(picture, Seed<TMAT>("texture8.mat"), data[0]);
    ImportInto(picture, Seed<TMAT>("texture16t.mat"), data[0]);
    auto sft = std::make_unique<TSFT>(Seed<TSFT>("font8.sft"));
    ImportSFTStrip(*sft, picture, DfltPalette());
    if (sft->Pixels.size() !=
        size_t(picture.Width) * size_t(picture.Height) * sft->BMHeader.BytesPerPixel())
        fuzz::Fail("an imported strip's pixels do not match its size");
    return 0;
}
