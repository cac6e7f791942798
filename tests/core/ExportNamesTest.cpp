// The names Save Bitmap and Save All Bitmaps give, beyond what the command-line export of the
// samples shows: other paths, other extensions, and texture frames of unusual depth.

#include "core/GLM_ExportNames.h"

#include <gtest/gtest.h>

TEST(ExportNames, BaseNamesAndSingleNames)
{
    EXPECT_EQ(ExportBaseName("/games/jk/mats/dr.wall.MAT"), "dr.wall");
    EXPECT_EQ(ExportBaseName("C:\\fonts\\big.sft"), "big");
    EXPECT_EQ(ExportBaseName("C:walk.bm"), "walk");
    EXPECT_EQ(ExportBaseName("dir.d/noext"), "noext");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 4, ".png"), "wall-1-D.png");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 0), "wall-1.bmp");
    EXPECT_EQ(MipmapLetter(5), "");
}

TEST(ExportNames, EveryLevelOfEveryTextureFrame)
{
    TMAT mat;
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {64, 64, 0, {}, 2};
    mat.TextureHeaders[1] = {64, 4, 0, {}, 6}; // more levels than the editor makes
    const std::vector<TExportPicture> want = {
        {"m-1-A.png", 1, 1}, {"m-1-B.png", 1, 2}, {"m-2-A.png", 2, 1},
        {"m-2-B.png", 2, 2}, {"m-2-C.png", 2, 3}, // 64x4, 32x2, 16x1; then 8x0: no picture
    };
    EXPECT_EQ(MATExportPictures(mat, "m", ".png"), want);
    mat.TextureHeaders[1] = {64, 64, 0, {}, 6};
    EXPECT_EQ(MATExportPictures(mat, "m").back(), (TExportPicture{"m-2-F.bmp", 2, 6}));
    mat.Header.MatType = 1; // a bare header: no frames at all
    EXPECT_TRUE(MATExportPictures(mat, "m").empty());
}
