// Frames seen through hand-built colormaps: light levels, full-bright colours, translucency
// over a backdrop, and the frames that cannot be seen so.

#include "core/GLM_LightView.h"
#include "TestPalettes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testutil;

namespace {

// Palette Ramp(); light level 63 the identity, level 0 sends i to 255 - i, every other level
// to i + 1, so no index is its own at every level; transparency table t sends e to 3t + e.
std::unique_ptr<TCMP> HandBuiltCMP()
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = Ramp();
    cmp->Header.HasTransparency = 1;
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            cmp->LightLevels[level][i] =
                uint8_t(level == 63 ? i : level == 0 ? 255 - i : (i + 1) % 256);
    for (int t = 0; t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            cmp->TransTables[t][e] = uint8_t(3 * t + e);
    return cmp;
}

TFrameView Indexed(int width, int height, const std::vector<uint8_t> &pixels)
{
    return {TPixelLayout::Indexed, width, height, pixels.data(), 0};
}

std::vector<TPaletteEntry> ColoursOf(const QImage &picture)
{
    std::vector<TPaletteEntry> all;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            all.push_back({uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
        }
    return all;
}

} // namespace

TEST(LightView, EachLevelDrawsItsRowsColours)
{
    const auto cmp = HandBuiltCMP();
    const std::vector<uint8_t> pixels{0, 1, 7, 31, 32, 200, 254, 255};
    const TFrameView frame = Indexed(4, 2, pixels);
    const TPalette ramp = Ramp();
    struct TCase
    {
        int Level;
        int (*Index)(int); // the palette entry pixel p is drawn with
    };
    const TCase cases[] = {
        {63, [](int p) { return p; }}, // the palette view
        {0, [](int p) { return 255 - p; }},
        {20, [](int p) { return (p + 1) % 256; }},
        {-5, [](int p) { return 255 - p; }}, // out of range: the nearest level
        {64, [](int p) { return p; }},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Level);
        const TGameLook look(frame, *cmp, {TGameLookKind::Lit, c.Level, {}});
        EXPECT_EQ(look.Refusal(), "");
        std::vector<TPaletteEntry> want;
        for (const uint8_t p : pixels)
            want.push_back(ramp[c.Index(p)]);
        EXPECT_EQ(ColoursOf(FramePicture(look.View(), look.Palette, 1)), want);
    }
    // A colour frame of one index is lit as its index.
    const TFrameView colour{TPixelLayout::ColorIndex, 64, 64, nullptr, 0x0307};
    const TGameLook look(colour, *cmp, {TGameLookKind::Lit, 0, {}});
    EXPECT_EQ(ColoursOf(FramePicture(look.View(), look.Palette, 1))[4095], ramp[248]);
}

TEST(LightView, FullBrightIsItsOwnIndexAtEveryLevelBelowFullLight)
{
    auto cmp = HandBuiltCMP();
    for (int level = 0; level < 64; ++level) {
        cmp->LightLevels[level][3] = 3;  // itself everywhere
        cmp->LightLevels[level][40] = 40;
        cmp->LightLevels[level][41] = 41; // but level 10 below
        cmp->LightLevels[level][42] = level == 63 ? 0 : 42;
    }
    cmp->LightLevels[10][41] = 7;
    const std::array<bool, 256> bright = FullBrightIndices(*cmp);
    std::vector<int> found;
    for (int i = 0; i < 256; ++i)
        if (bright[i])
            found.push_back(i);
    EXPECT_EQ(found, (std::vector<int>{3, 40, 42}));
    // The mask: white where the pixel's index is full-bright, black elsewhere.
    const std::vector<uint8_t> pixels{3, 41, 42, 0};
    const TGameLook mask(Indexed(2, 2, pixels), *cmp, {TGameLookKind::FullBright, 0, {}});
    const TPaletteEntry white{255, 255, 255}, black{0, 0, 0};
    EXPECT_EQ(ColoursOf(FramePicture(mask.View(), mask.Palette, 1)),
              (std::vector<TPaletteEntry>{white, black, white, black}));
}

TEST(LightView, TranslucentFaceIsTheTableOfItsLitIndexAtTheBackdropsIndex)
{
    const auto cmp = HandBuiltCMP();
    // Level 20 sends p to p + 1; squares of 2 pixels, 9 at the top-left, 200 beside it.
    const std::vector<uint8_t> pixels{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const TGameLook look(Indexed(4, 3, pixels), *cmp,
                         {TGameLookKind::Translucent, 20, TBackdrop{9, 200, 2}});
    ASSERT_EQ(look.Refusal(), "");
    const TFrameView view = look.View();
    ASSERT_EQ(view.Layout, TPixelLayout::Indexed);
    // T[3 x 11][9] = 42, T[3 x 21][9] = 72, T[3 x 31][200] = 293 mod 256 = 37, ...
    EXPECT_EQ(std::vector<uint8_t>(view.Pixels, view.Pixels + 12),
              (std::vector<uint8_t>{42, 72, 37, 67, 162, 192, 157, 187, 217, 247, 86, 116}));
    EXPECT_EQ(look.Palette, cmp->Palette);
    // One index behind: the same square everywhere.
    const TGameLook plain(Indexed(4, 3, pixels), *cmp,
                          {TGameLookKind::Translucent, 20, TBackdrop{9, 9, 2}});
    EXPECT_EQ(plain.View().Pixels[11], uint8_t(3 * 121 + 9));
}

TEST(LightView, FramesAndColormapsThatCannotBeSeenSoAreRefusedWithTheReason)
{
    const auto cmp = HandBuiltCMP();
    auto opaque = HandBuiltCMP();
    opaque->Header.HasTransparency = 0;
    const std::vector<uint8_t> bytes(8, 0x7F);
    const std::string sixteen = "A 16-bit frame has no palette indices to look up in a colormap";
    const std::string noTables = "The colormap has no transparency tables";
    struct TCase
    {
        TPixelLayout Layout;
        const TCMP *Colormap;
        TGameLookKind Kind;
        std::string Refusal;
    };
    const TCase cases[] = {
        {TPixelLayout::RGB565, cmp.get(), TGameLookKind::Lit, sixteen},
        {TPixelLayout::ARGB1555, cmp.get(), TGameLookKind::FullBright, sixteen},
        {TPixelLayout::ColorValue, cmp.get(), TGameLookKind::Lit, sixteen},
        {TPixelLayout::RGB565, opaque.get(), TGameLookKind::Translucent, sixteen},
        {TPixelLayout::Indexed, opaque.get(), TGameLookKind::Translucent, noTables},
        {TPixelLayout::Indexed, opaque.get(), TGameLookKind::Lit, ""},
        {TPixelLayout::ColorIndex, cmp.get(), TGameLookKind::Translucent, ""},
    };
    for (const TCase &c : cases) {
        const TFrameView frame{c.Layout, 2, 2, bytes.data(), 0};
        const TGameLook look(frame, *c.Colormap, {c.Kind, 5, {}});
        EXPECT_EQ(look.Refusal(), c.Refusal) << int(c.Layout) << " " << int(c.Kind);
        if (!c.Refusal.empty()) {
            EXPECT_EQ(look.View().Pixels, bytes.data());
        }
    }
}
