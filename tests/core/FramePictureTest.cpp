// Frames found in the documents and drawn as the windows draw them, and the names Save All
// Bitmaps gives them.

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"

#include <gtest/gtest.h>

namespace {

using Colours = std::vector<TPaletteEntry>;

Colours ColoursOf(const std::optional<TFrameView> &view, int zoom = 1)
{
    Colours all;
    const QImage picture = FramePicture(*view, {}, zoom);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            all.push_back({uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
        }
    return all;
}

} // namespace

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
    EXPECT_FALSE(BMFrameView(bm, 1));
    EXPECT_FALSE(BMFrameView(bm, 2));
    TMAT mat;
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {4, 4, 0, {}, 2};
    mat.Pixels[0].resize(16 + 3); // level 2 needs 4 bytes
    EXPECT_TRUE(MATFrameView(mat, 1, 1));
    EXPECT_FALSE(MATFrameView(mat, 1, 2));
    EXPECT_FALSE(MATFrameView(mat, 1, 3)); // no such level
    EXPECT_FALSE(MATFrameView(mat, 2, 1)); // no such frame
    TSFT sft;
    EXPECT_FALSE(SFTFrameView(sft)); // no bitmap
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
