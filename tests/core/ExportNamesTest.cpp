// The names Save Bitmap and Save All Bitmaps give, and which pictures a run writes.

#include "core/GLM_ExportNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ExportNames, BaseNameIsTheFileNameWithoutExtension)
{
    EXPECT_EQ(ExportBaseName("walk.bm"), "walk");
    EXPECT_EQ(ExportBaseName("/games/jk/mats/dr.wall.MAT"), "dr.wall");
    EXPECT_EQ(ExportBaseName("C:\\fonts\\big.sft"), "big");
    EXPECT_EQ(ExportBaseName("Untitled0.bm"), "Untitled0");
    EXPECT_EQ(ExportBaseName("dir.d/noext"), "noext");
}

TEST(ExportNames, FrameLevelAndStripNames)
{
    EXPECT_EQ(BMFrameBitmapName("walk", 3), "walk-3.bmp");
    EXPECT_EQ(MATLevelBitmapName("wall", 2, 1), "wall-2-A.bmp");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 4, ".png"), "wall-1-D.png");
    EXPECT_EQ(MATLevelBitmapName("wall", 1, 0), "wall-1.bmp");
    EXPECT_EQ(SFTBitmapName("big"), "big.bmp");
    EXPECT_EQ(MipmapLetter(5), "");
}

TEST(ExportNames, AllBitmapsOfABM)
{
    TBM bm;
    bm.Header.NumImages = 3;
    const auto list = BMExportPictures(bm, "walk");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (TExportPicture{"walk-1.bmp", 1, 0}));
    EXPECT_EQ(list[2], (TExportPicture{"walk-3.bmp", 3, 0}));
}

TEST(ExportNames, AllLevelsOfEveryTextureFrame)
{
    TMAT mat;
    mat.Header.NumRecords = 2;
    mat.TextureHeaders[0] = {64, 64, 0, {}, 3};
    mat.TextureHeaders[1] = {64, 64, 0, {}, 1};
    const auto list = MATExportPictures(mat, "m");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], (TExportPicture{"m-1-A.bmp", 1, 1}));
    EXPECT_EQ(list[2], (TExportPicture{"m-1-C.bmp", 1, 3}));
    EXPECT_EQ(list[3], (TExportPicture{"m-2-A.bmp", 2, 1}));

    // Game files may hold more levels than the editor makes; an empty level has no picture.
    mat.Header.NumRecords = 1;
    mat.TextureHeaders[0] = {64, 4, 0, {}, 6};
    const auto deep = MATExportPictures(mat, "m");
    ASSERT_EQ(deep.size(), 3u); // 64x4, 32x2, 16x1; then 8x0
    mat.TextureHeaders[0] = {64, 64, 0, {}, 6};
    EXPECT_EQ(MATExportPictures(mat, "m").back().FileName, "m-1-F.bmp");
}

TEST(ExportNames, OnePicturePerColourFrame)
{
    TMAT mat;
    mat.SetColorType();
    mat.Header.NumRecords = 2;
    const auto list = MATExportPictures(mat, "c");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], (TExportPicture{"c-2.bmp", 2, 0}));
    mat.Header.MatType = 1; // a bare header: no frames at all
    EXPECT_TRUE(MATExportPictures(mat, "c").empty());
}

} // namespace
