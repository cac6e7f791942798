// Frames found in the documents and drawn as the windows draw them, the names Save All
// Bitmaps gives them, and frames seen through a hand-built colormap: light levels, full-bright
// colours, translucency over a backdrop, and the frames that cannot be seen so.

#include "CoreTestData.h"
#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "core/GLM_LightView.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testutil;
using Colours = std::vector<TPaletteEntry>;

static Colours ColoursOf(const std::optional<TFrameView> &view, int zoom = 1)
{
    return PixelColours(FramePicture(*view, {}, zoom));
}

// Which words a frame holds decides how they are drawn: a transparent MAT texture's are
// ARGB1555, every other 16-bit frame's RGB565; a colour frame is a 64 x 64 block.
TEST(FramePicture, FramesAreFoundAndDrawnByTheirKind)
{
    TMAT mat;
    mat.SetDefaults16();
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {2, 1, 1, {}, 1};
    mat.TextureHeaders[1] = {2, 1, 0, {}, 1};
    mat.Pixels[0] = mat.Pixels[1] = {0x00, 0x7C, 0xE0, 0x07};
    const TPaletteEntry A{123, 130, 0}, B{0, 255, 0};
    EXPECT_EQ(ColoursOf(MATFrameView(mat, 1, 1)), (Colours{{255, 0, 0}, {8, 255, 0}}));
    EXPECT_EQ(ColoursOf(MATFrameView(mat, 2, 1), 2), (Colours{A, A, B, B, A, A, B, B}));
    TBM bm;
    bm.SetDefaults16();
    bm.Header.NumImages = 1;
    bm.Images[0] = {1, 1, {0x00, 0x7C}};
    EXPECT_EQ(ColoursOf(BMFrameView(bm, 1)), Colours{A});
    TMAT colour;
    colour.SetColorType();
    colour.SetDefaults16();
    AddMATColorFrame(colour, static_cast<int32_t>(MakeColor(200, 100, 50)));
    EXPECT_EQ(ColoursOf(MATFrameView(colour, 1, 0)), Colours(64 * 64, {200, 100, 50}));
}

TEST(FramePicture, MissingAndDamagedFramesAreNotRead)
{
    TBM bm;
    bm.Header.NumImages = 1;
    bm.Images[0] = {2, 1, {1}}; // one pixel short
    TMAT mat;
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {4, 4, 0, {}, 2};
    mat.Pixels[0].resize(16 + 3); // level 2 needs 4 bytes
    TSFT sft;                     // no bitmap
    EXPECT_TRUE(MATFrameView(mat, 1, 1));
    // Level 2 short, no level 3, no frame 2.
    for (const auto &view : {BMFrameView(bm, 1), BMFrameView(bm, 2), MATFrameView(mat, 1, 2),
                             MATFrameView(mat, 1, 3), MATFrameView(mat, 2, 1), SFTFrameView(sft)})
        EXPECT_FALSE(view);
    EXPECT_TRUE(SFTPicture(sft, {}).isNull());
    sft.BMHeader.NumImages = 1;
    sft.Width = 3;
    sft.Height = 1;
    sft.Pixels = {1, 2, 3};
    EXPECT_EQ(SFTPicture(sft, {}, 2).size(), QSize(6, 2));
}

TEST(ExportNames, OtherPathsExtensionsAndTextureDepths)
{
    const std::pair<const char *, const char *> bases[] = {
        {"walk.bm", "walk"},     {"/games/jk/mats/dr.wall.MAT", "dr.wall"},
        {"C:\\fonts\\big.sft", "big"}, {"C:walk.bm", "walk"}, {"dir.d/noext", "noext"}};
    for (const auto &[path, base] : bases)
        EXPECT_EQ(ExportBaseName(path), base);
    TBM bm;
    bm.Header.NumImages = 2;
    EXPECT_EQ(BMExportPictures(bm, ExportBaseName("Untitled0.bm")),
              (std::vector<TExportPicture>{{"Untitled0-1.bmp", 1, 0}, {"Untitled0-2.bmp", 2, 0}}));
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 5), "wall-1.bmp"); // no letter beyond D
    TMAT mat;
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {64, 64, 0, {}, 2};
    mat.TextureHeaders[1] = {64, 4, 0, {}, 6}; // more levels than the editor makes
    EXPECT_EQ(MATExportPictures(mat, "m", ".png"),
              (std::vector<TExportPicture>{{"m-1-A.png", 1, 1}, {"m-1-B.png", 1, 2},
                                           {"m-2-A.png", 2, 1}, {"m-2-B.png", 2, 2},
                                           {"m-2-C.png", 2, 3}})); // 8x0: no picture
    mat.TextureHeaders[1] = {64, 64, 0, {}, 6};
    EXPECT_EQ(MATExportPictures(mat, "m").back(), (TExportPicture{"m-2-F.bmp", 2, 6}));
    mat.Header.MatType = 1; // a bare header: no frames at all
    EXPECT_TRUE(MATExportPictures(mat, "m").empty());
}

namespace {

// Palette Ramp(); level 63 the identity, level 0 sends i to 255 - i, every other level to
// i + 1, so no index is its own at every level; transparency table t sends e to 3t + e.
std::unique_ptr<TCMP> HandBuiltCMP()
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = Ramp();
    cmp->Header.HasTransparency = 1;
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            cmp->LightLevels[level][i] = uint8_t(level == 63  ? i
                                                 : level == 0 ? 255 - i
                                                              : (i + 1) % 256);
    for (int t = 0; t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            cmp->TransTables[t][e] = uint8_t(3 * t + e);
    return cmp;
}

TFrameView Indexed(int width, int height, const std::vector<uint8_t> &pixels)
{
    return {TPixelLayout::Indexed, width, height, pixels.data(), 0};
}

std::vector<TPaletteEntry> Drawn(const TGameLook &look)
{
    return PixelColours(FramePicture(look.View(), look.Palette, 1));
}

} // namespace

TEST(LightView, EachLevelDrawsItsRowsColours)
{
    const auto cmp = HandBuiltCMP();
    const std::vector<uint8_t> pixels{0, 1, 7, 31, 32, 200, 254, 255};
    const TPalette ramp = Ramp();
    // The level, and the palette entry pixel p is drawn with; out of range, the nearest level.
    const std::pair<int, int (*)(int)> cases[] = {
        {63, [](int p) { return p; }}, {0, [](int p) { return 255 - p; }},
        {20, [](int p) { return (p + 1) % 256; }}, {-5, [](int p) { return 255 - p; }},
        {64, [](int p) { return p; }}};
    for (const auto &[level, index] : cases) {
        const TGameLook look(Indexed(4, 2, pixels), *cmp, {TGameLookKind::Lit, level, {}});
        EXPECT_EQ(look.Refusal(), "");
        std::vector<TPaletteEntry> want;
        for (const uint8_t p : pixels)
            want.push_back(ramp[index(p)]);
        EXPECT_EQ(Drawn(look), want) << level;
    }
    // A colour frame of one index is lit as its index.
    const TFrameView colour{TPixelLayout::ColorIndex, 64, 64, nullptr, 0x0307};
    EXPECT_EQ(Drawn(TGameLook(colour, *cmp, {TGameLookKind::Lit, 0, {}}))[4095], ramp[248]);
}

// Full-bright: its own index at every level below full light. The mask draws those white.
TEST(LightView, FullBrightIsItsOwnIndexAtEveryLevelBelowFullLight)
{
    auto cmp = HandBuiltCMP();
    for (int level = 0; level < 64; ++level) {
        cmp->LightLevels[level][3] = 3;
        cmp->LightLevels[level][40] = 40;
        cmp->LightLevels[level][41] = level == 10 ? 7 : 41;
        cmp->LightLevels[level][42] = level == 63 ? 0 : 42;
    }
    const std::array<bool, 256> bright = FullBrightIndices(*cmp);
    std::vector<int> found;
    for (int i = 0; i < 256; ++i)
        if (bright[i])
            found.push_back(i);
    EXPECT_EQ(found, (std::vector<int>{3, 40, 42}));
    const std::vector<uint8_t> pixels{3, 41, 42, 0};
    const TPaletteEntry white{255, 255, 255}, black{0, 0, 0};
    EXPECT_EQ(Drawn(TGameLook(Indexed(2, 2, pixels), *cmp, {TGameLookKind::FullBright, 0, {}})),
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
    const TGameLook plain(Indexed(4, 3, pixels), *cmp,
                          {TGameLookKind::Translucent, 20, TBackdrop{9, 9, 2}});
    EXPECT_EQ(plain.View().Pixels[11], uint8_t(3 * 121 + 9)); // one index behind: one square
}

// A refused frame is left as it is.
TEST(LightView, FramesAndColormapsThatCannotBeSeenSoAreRefusedWithTheReason)
{
    const auto cmp = HandBuiltCMP();
    auto opaque = HandBuiltCMP();
    opaque->Header.HasTransparency = 0;
    const std::vector<uint8_t> bytes(8, 0x7F);
    const std::string sixteen = "A 16-bit frame has no palette indices to look up in a colormap";
    using L = TPixelLayout;
    using K = TGameLookKind;
    const std::tuple<L, const TCMP *, K, std::string> cases[] = {
        {L::RGB565, cmp.get(), K::Lit, sixteen},
        {L::ARGB1555, cmp.get(), K::FullBright, sixteen},
        {L::ColorValue, cmp.get(), K::Lit, sixteen},
        {L::RGB565, opaque.get(), K::Translucent, sixteen},
        {L::Indexed, opaque.get(), K::Translucent, "The colormap has no transparency tables"},
        {L::Indexed, opaque.get(), K::Lit, ""},
        {L::ColorIndex, cmp.get(), K::Translucent, ""},
    };
    for (const auto &[layout, colormap, kind, refusal] : cases) {
        const TGameLook look({layout, 2, 2, bytes.data(), 0}, *colormap, {kind, 5, {}});
        EXPECT_EQ(look.Refusal(), refusal) << int(layout) << " " << int(kind);
        if (!refusal.empty()) {
            EXPECT_EQ(look.View().Pixels, bytes.data());
        }
    }
}
