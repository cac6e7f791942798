#include "core/GLM_LightView.h"

#include <algorithm>

namespace {

const TColorTable &LightRow(const TCMP &cmp, int level)
{
    return cmp.LightLevels[static_cast<size_t>(std::clamp(level, 0, FullLightLevel))];
}

} // namespace

std::string LightViewRefusal(const TFrameView &view)
{
    if (view.IsPaletted())
        return {};
    return "A 16-bit frame has no palette indices to look up in a colormap";
}

std::string TranslucentViewRefusal(const TCMP &cmp)
{
    if (cmp.Header.HasTransparency != 0)
        return {};
    return "The colormap has no transparency tables";
}

TPalette LitPalette(const TCMP &cmp, int level)
{
    // Composing the light row with the palette costs 256 lookups, after which relighting a
    // frame of any size is the palette view's own single lookup per pixel; remapping the
    // indices first would add a pass over every pixel and a frame-sized buffer.
    const TColorTable &row = LightRow(cmp, level);
    TPalette lit;
    for (size_t i = 0; i < lit.size(); ++i)
        lit[i] = cmp.Palette[row[i]];
    return lit;
}

std::array<bool, 256> FullBrightIndices(const TCMP &cmp)
{
    std::array<bool, 256> bright;
    bright.fill(true);
    for (int level = 0; level < FullLightLevel; ++level)
        for (size_t i = 0; i < bright.size(); ++i)
            bright[i] = bright[i] && cmp.LightLevels[level][i] == i;
    return bright;
}

TPalette FullBrightMaskPalette(const TCMP &cmp)
{
    const std::array<bool, 256> bright = FullBrightIndices(cmp);
    TPalette mask;
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = bright[i] ? TPaletteEntry{255, 255, 255} : TPaletteEntry{0, 0, 0};
    return mask;
}

uint8_t TBackdrop::At(int x, int y) const
{
    const int cell = std::max(CellSize, 1);
    return (x / cell + y / cell) % 2 == 0 ? First : Second;
}

std::vector<uint8_t> TranslucentIndices(const TFrameView &view, const TCMP &cmp, int level,
                                        const TBackdrop &backdrop)
{
    const TColorTable &row = LightRow(cmp, level);
    const auto width = static_cast<size_t>(view.Width);
    std::vector<uint8_t> out(width * static_cast<size_t>(view.Height));
    // The backdrop's two kinds of row, so the inner loop is two table lookups.
    std::vector<uint8_t> behind[2] = {std::vector<uint8_t>(width), std::vector<uint8_t>(width)};
    for (int x = 0; x < view.Width; ++x) {
        behind[0][x] = backdrop.At(x, 0);
        behind[1][x] = backdrop.At(x, std::max(backdrop.CellSize, 1));
    }
    for (int y = 0; y < view.Height; ++y) {
        const uint8_t *bg = behind[y / std::max(backdrop.CellSize, 1) % 2].data();
        uint8_t *o = out.data() + y * width;
        if (view.Layout == TPixelLayout::ColorIndex) {
            const uint8_t lit = row[view.Color & 0xFF];
            for (size_t x = 0; x < width; ++x)
                o[x] = cmp.TransTables[lit][bg[x]];
            continue;
        }
        const uint8_t *in = view.Pixels + y * width;
        for (size_t x = 0; x < width; ++x)
            o[x] = cmp.TransTables[row[in[x]]][bg[x]];
    }
    return out;
}

TGameLook::TGameLook(const TFrameView &frame, const TCMP &cmp, const TGameLookOptions &options)
    : FFrame(frame)
{
    FRefusal = LightViewRefusal(frame);
    if (FRefusal.empty() && options.Kind == TGameLookKind::Translucent)
        FRefusal = TranslucentViewRefusal(cmp);
    if (!FRefusal.empty())
        return;
    switch (options.Kind) {
    case TGameLookKind::Lit: Palette = LitPalette(cmp, options.Level); break;
    case TGameLookKind::FullBright: Palette = FullBrightMaskPalette(cmp); break;
    case TGameLookKind::Translucent:
        FIndices = TranslucentIndices(frame, cmp, options.Level, options.Backdrop);
        Palette = cmp.Palette;
        break;
    }
}

TFrameView TGameLook::View() const
{
    if (FIndices.empty())
        return FFrame;
    return TFrameView{TPixelLayout::Indexed, FFrame.Width, FFrame.Height, FIndices.data(), 0};
}
