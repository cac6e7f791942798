// The import path: a picture becomes a new BM frame, a MAT texture frame (with generated
// mipmaps), the next mipmap level of a MAT frame and an SFT strip, at 8 and 16 bits. A
// picture the rules refuse leaves the document as it was.
#include "FuzzPicture.h"
#include "core/GLM_Import.h"

namespace {

// An accepted picture's pixels fit its size.
void ImportInto(const TBitmapPicture &picture, const TBM &seed)
{
    auto bm = std::make_unique<TBM>(seed);
    const TImportResult r = ImportBMFrame(*bm, picture, DfltPalette());
    if (r.Changed()
            ? bm->Images[r.Frame - 1].Pixels.size() != bm->ImageBytes(picture.Width, picture.Height)
            : !(*bm == seed))
        fuzz::Fail("a BM frame import broke the document");
}

void ImportInto(const TBitmapPicture &picture, const TMAT &seed, uint8_t choice)
{
    const TNewFrameSettings settings{(choice & 1) != 0, (choice & 2) != 0, 1 + (choice >> 2) % 4,
                                     choice};
    auto mat = std::make_unique<TMAT>(seed), level = std::make_unique<TMAT>(seed);
    if ((!ImportMATFrame(*mat, picture, DfltPalette(), settings).Changed() && !(*mat == seed)) ||
        (!AddMATMipmap(*level, 1, picture, DfltPalette()).Changed() && !(*level == seed)))
        fuzz::Fail("a refused MAT frame or mipmap level changed the document");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    // Each pixel is matched five times over: a few run-length bytes declaring millions would
    // take seconds under the sanitizers, a hang to the fuzzer. The picture target has those.
    constexpr int64_t MaxImportPixels = 1024 * 1024;
    if (!fuzz::FitsFuzzerMemory(bytes, MaxImportPixels))
        return 0;
    TBitmapPicture picture;
    try {
        picture = ReadBitmapBytes(bytes);
    } catch (const EInOutError &) {
        return 0;
    }
    ImportInto(picture, fuzz::Seed<TBM>("sample8.bm"));
    ImportInto(picture, fuzz::Seed<TBM>("sample16.bm"));
    ImportInto(picture, fuzz::Seed<TMAT>("texture8.mat"), data[0]);
    ImportInto(picture, fuzz::Seed<TMAT>("texture16t.mat"), data[0]);
    auto sft = std::make_unique<TSFT>(fuzz::Seed<TSFT>("font8.sft"));
    ImportSFTStrip(*sft, picture, DfltPalette());
    const size_t stripPixels = size_t(picture.Width) * size_t(picture.Height);
    if (sft->Pixels.size() != stripPixels * sft->BMHeader.BytesPerPixel())
        fuzz::Fail("an imported strip's pixels do not match its size");
    return 0;
}
