#include "core/documents/GLM_BMDocument.h"

#include <utility>

#include "core/GLM_FileNames.h"

namespace {

bool IsFrame(const TBM &bm, int frame)
{
    return frame >= 1 && frame <= bm.NumImages() && frame <= TBM::MaxImages;
}

} // namespace

TBM NewBM(bool is16Bit)
{
    TBM bm;
    if (is16Bit)
        bm.SetDefaults16();
    return bm;
}

void ApplyBMSettings(TBM &bm, const TBMSettings &settings, const TPalette &displayPalette)
{
    bm.Header.XOffset = settings.XOffset;
    bm.Header.YOffset = settings.YOffset;
    if (settings.UseInternalPalette)
        bm.Palette = displayPalette;
    bm.Header.TransColor = bm.BitsPerPixel() == 16 ? settings.TransColor : settings.TransIndex;
    // The other bits of the flag (the game's transparency bit) stay unless the choice changes.
    bm.SetHasPalette(settings.UseInternalPalette);
}

void DeleteBMFrame(TBM &bm, int frame)
{
    if (!IsFrame(bm, frame))
        return;
    const int count = bm.NumImages();
    for (int i = frame; i < count; ++i)
        bm.Images[i - 1] = std::move(bm.Images[i]);
    bm.Images[count - 1] = TBMImage{};
    bm.Header.NumImages = count - 1;
}

void SwapBMFrames(TBM &bm, int a, int b)
{
    if (IsFrame(bm, a) && IsFrame(bm, b))
        std::swap(bm.Images[a - 1], bm.Images[b - 1]);
}

std::array<std::string, 8> BMStatusTexts(const TBM &bm, int currentFrame,
                                         const std::string &paletteName)
{
    const bool is16 = bm.BitsPerPixel() == 16;
    std::array<std::string, 8> texts;
    texts[0] = is16 ? "16-Bit BM" : "8-Bit BM";
    texts[1] = "Frame: " + std::to_string(currentFrame) + " of " + std::to_string(bm.NumImages());
    int width = 0, height = 0;
    if (IsFrame(bm, currentFrame)) {
        width = bm.Images[currentFrame - 1].Width;
        height = bm.Images[currentFrame - 1].Height;
    }
    texts[2] = "Size: " + std::to_string(width) + " x " + std::to_string(height);
    texts[3] =
        "Offset: " + std::to_string(bm.Header.XOffset) + " x " + std::to_string(bm.Header.YOffset);
    if (is16) {
        texts[4] = "No Palette";
        texts[5] = Color565Text(static_cast<uint16_t>(bm.Header.TransColor));
    } else {
        texts[4] = bm.HasPalette() ? "Internal: Yes" : "Internal: No";
        texts[5] = "Trans Index: " + std::to_string(bm.Header.TransColor);
        texts[7] = "Display Palette: " + ExtractFileName(paletteName);
    }
    return texts;
}

TDocumentFacts BMFacts(const TBM &bm, int zoom)
{
    TDocumentFacts facts;
    facts.Kind = TDocumentKind::BM;
    facts.Frames = bm.NumImages();
    facts.Zoom = zoom;
    facts.BitsPerPixel = bm.BitsPerPixel() == 16 ? 16 : 8;
    return facts;
}
