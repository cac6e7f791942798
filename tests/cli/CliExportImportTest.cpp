// export and import: the names and pixels of exported pictures, and pictures imported back
// into the same frames.

#include "CliRun.h"

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FramePicture.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace clitest;
using namespace testutil;

namespace {

TPaletteEntry ColorAt(const TBitmapPicture &p, int x, int y)
{
    return p.PixelColor(x, y);
}

TEST(CliExport, NamesEveryFrameLevelColourFrameAndStrip)
{
    TempDir dir;
    const TRun run = RunCli({"export", Sample("sample8.bm"), Sample("sample16.bm"),
                             Sample("texture8.mat"), Sample("texture16t.mat"),
                             Sample("color.mat"), Sample("font8.sft"), "-o", dir.File("out")});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Err, ""); // stderr is no terminal here: no progress lines
    EXPECT_EQ(FilesIn(dir.Path / "out"),
              (std::vector<std::string>{
                  "color-1.bmp", "color-2.bmp", "color-3.bmp", "color-4.bmp", "font8.bmp",
                  "sample16-1.bmp", "sample8-1.bmp", "sample8-2.bmp", "sample8-3.bmp",
                  "texture16t-1-A.bmp", "texture16t-1-B.bmp", "texture16t-1-C.bmp",
                  "texture8-1-A.bmp", "texture8-1-B.bmp", "texture8-1-C.bmp",
                  "texture8-1-D.bmp", "texture8-2-A.bmp", "texture8-2-B.bmp",
                  "texture8-2-C.bmp", "texture8-2-D.bmp"}));
}

TEST(CliExport, PixelsAreThoseTheWindowsDraw)
{
    TempDir dir;
    ASSERT_EQ(RunCli({"export", Sample("sample8.bm"), Sample("texture8.mat"),
                      Sample("color.mat"), Sample("sample16.bm"), "-o", dir.File("")})
                  .Code,
              0);
    TBM bm;
    bm.LoadFromFile(Sample("sample8.bm"));
    // The BM's own palette by default.
    const TBitmapPicture frame2 = ReadBitmapFile(dir.File("sample8-2.bmp"));
    ASSERT_EQ(frame2.Width, bm.Images[1].Width);
    ASSERT_EQ(frame2.Height, bm.Images[1].Height);
    EXPECT_TRUE(frame2.Indices.empty()); // 24-bit by default
    for (int y = 0; y < frame2.Height; ++y)
        for (int x = 0; x < frame2.Width; ++x)
            ASSERT_EQ(ColorAt(frame2, x, y),
                      bm.Palette[bm.Images[1].Pixels[y * frame2.Width + x]]);

    // A MAT level through "Dflt", the MAT windows' default palette.
    TMAT mat;
    mat.LoadFromFile(Sample("texture8.mat"));
    const TBitmapPicture level2 = ReadBitmapFile(dir.File("texture8-1-B.bmp"));
    ASSERT_EQ(level2.Width, 16);
    const uint8_t *pixels = mat.Pixels[0].data() + 32 * 32;
    for (int i = 0; i < 16 * 16; ++i)
        ASSERT_EQ(ColorAt(level2, i % 16, i / 16), DfltPalette()[pixels[i]]);

    const TBitmapPicture colour = ReadBitmapFile(dir.File("color-2.bmp"));
    EXPECT_EQ(colour.Width, 64);
    EXPECT_EQ(colour.Height, 64);
    EXPECT_EQ(ColorAt(colour, 40, 40), DfltPalette()[6]);

    TBM wide;
    wide.LoadFromFile(Sample("sample16.bm"));
    const TBitmapPicture rgb = ReadBitmapFile(dir.File("sample16-1.bmp"));
    const std::vector<uint8_t> &w = wide.Images[0].Pixels;
    const uint16_t word = static_cast<uint16_t>(w[2 * 33] | (w[2 * 33 + 1] << 8)); // (1, 1)
    EXPECT_EQ(ColorAt(rgb, 1, 1), (TPaletteEntry{Expand5(word >> 11), Expand6(word >> 5),
                                                 Expand5(word)}));
}

TEST(CliExport, ZoomBitsPaletteAndPng)
{
    TempDir dir;
    ASSERT_EQ(RunCli({"export", Sample("sample8.bm"), "--zoom", "3", "--bits", "8", "--png",
                      "--palette", "Dflt", "-o", dir.File("")})
                  .Code,
              0);
    EXPECT_EQ(FilesIn(dir.Path), (std::vector<std::string>{"sample8-1.png", "sample8-2.png",
                                                           "sample8-3.png"}));
    TBM bm;
    bm.LoadFromFile(Sample("sample8.bm"));
    const TBitmapPicture p = ReadBitmapFile(dir.File("sample8-3.png"));
    ASSERT_EQ(p.Width, 48);
    ASSERT_EQ(p.Height, 48);
    ASSERT_EQ(p.ColorTable.size(), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(p.ColorTable[i], DfltPalette()[i]);
    // 8-bit output keeps the frame's own indices, each as a 3 x 3 block.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(p.Indices[y * 48 + x], bm.Images[2].Pixels[(y / 3) * 16 + x / 3]);
}

TEST(CliImport, ExportedEightBitBitmapsComeBackAsTheSameIndices)
{
    TempDir dir;
    for (const char *bits : {"8", "24"}) {
        const std::string out = dir.File(std::string("x") + bits);
        ASSERT_EQ(RunCli({"export", Sample("sample8.bm"), "--bits", bits, "-o", out}).Code, 0);
        const std::string made = dir.File(std::string("back") + bits + ".bm");
        const TRun run = RunCli({"import", made, out + "/sample8-1.bmp", out + "/sample8-2.bmp",
                                 out + "/sample8-3.bmp", "--palette", Sample("sample8.bm"),
                                 "--internal"});
        ASSERT_EQ(run.Code, 0) << run.Err;
        TBM original, back;
        original.LoadFromFile(Sample("sample8.bm"));
        back.LoadFromFile(made);
        EXPECT_EQ(back.Images, original.Images) << bits;
        EXPECT_EQ(back.Palette, original.Palette);
        EXPECT_TRUE(back.HasPalette());
    }
}

TEST(CliImport, ExportedTexturesFontsAndColourFramesRebuildTheSameFiles)
{
    TempDir dir;
    ASSERT_EQ(RunCli({"export", Sample("texture8.mat"), Sample("texture16t.mat"),
                      Sample("color.mat"), Sample("font8.sft"), Sample("sample16.bm"), "-o",
                      dir.File("")})
                  .Code,
              0);
    // Level A of each frame, with the generated levels, gives the sample byte for byte.
    ASSERT_EQ(RunCli({"import", dir.File("t8.mat"), dir.File("texture8-1-A.bmp"),
                      dir.File("texture8-2-A.bmp"), "--mipmaps", "4", "--fill", "31"})
                  .Code,
              0);
    EXPECT_EQ(ReadFile(dir.File("t8.mat")), ReadFile(Sample("texture8.mat")));

    TMAT t16;
    t16.LoadFromFile(Sample("texture16t.mat"));
    ASSERT_EQ(RunCli({"import", dir.File("t16.mat"), dir.File("texture16t-1-A.png"), "--bits",
                      "16", "--transparent", "--mipmaps", "3", "--fill",
                      std::to_string(t16.TextureRecords[0].FillColor)})
                  .Code,
              1); // no such picture: exported as .bmp
    ASSERT_EQ(RunCli({"import", dir.File("t16.mat"), dir.File("texture16t-1-A.bmp"), "--bits",
                      "16", "--transparent", "--mipmaps", "3", "--fill",
                      std::to_string(t16.TextureRecords[0].FillColor)})
                  .Code,
              0);
    EXPECT_EQ(ReadFile(dir.File("t16.mat")), ReadFile(Sample("texture16t.mat")));

    ASSERT_EQ(RunCli({"import", dir.File("c.mat"), dir.File("color-1.bmp"),
                      dir.File("color-2.bmp"), dir.File("color-3.bmp"), dir.File("color-4.bmp"),
                      "--color"})
                  .Code,
              0);
    EXPECT_EQ(ReadFile(dir.File("c.mat")), ReadFile(Sample("color.mat")));

    ASSERT_EQ(RunCli({"import", dir.File("f.sft"), dir.File("font8.bmp")}).Code, 0);
    TSFT font, strip;
    font.LoadFromFile(Sample("font8.sft"));
    strip.LoadFromFile(dir.File("f.sft"));
    EXPECT_EQ(strip.Pixels, font.Pixels);
    EXPECT_EQ(strip.Width, font.Width);
    EXPECT_EQ(strip.Chars.Count(), 0);

    ASSERT_EQ(RunCli({"import", dir.File("w.bm"), dir.File("sample16-1.bmp"), "--bits", "16"})
                  .Code,
              0);
    TBM wide, back;
    wide.LoadFromFile(Sample("sample16.bm"));
    back.LoadFromFile(dir.File("w.bm"));
    EXPECT_EQ(back.Images[0], wide.Images[0]);
    EXPECT_EQ(back.BitsPerPixel(), 16);
}

TEST(CliImport, SizeRulesFailOrWarnAndLeaveNoFile)
{
    TempDir dir;
    QImage odd(63, 64, QImage::Format_RGB32);
    odd.fill(Qt::black);
    odd.save(QString::fromStdString(dir.File("odd.bmp")));
    QImage big(2048, 2, QImage::Format_RGB32);
    big.fill(Qt::white);
    big.save(QString::fromStdString(dir.File("big.bmp")));

    const TRun rejected = RunCli({"import", dir.File("t.mat"), dir.File("big.bmp"),
                                  dir.File("odd.bmp")});
    EXPECT_EQ(rejected.Code, 1);
    EXPECT_EQ(rejected.Err,
              "glimra-cli: " + dir.File("big.bmp") +
                  ": warning: Bitmap Size: 2048x2: Maximum JK/MOTS texture size is 1024x1024\n"
                  "glimra-cli: " + dir.File("odd.bmp") +
                  ": Bitmap Size: 63x64: Dimensions must be even numbers\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.mat")));

    // An existing file is left as it was.
    WriteFile(dir.File("keep.mat"), {1, 2, 3});
    EXPECT_EQ(RunCli({"import", dir.File("keep.mat"), dir.File("odd.bmp")}).Code, 1);
    EXPECT_EQ(ReadFile(dir.File("keep.mat")), (std::vector<uint8_t>{1, 2, 3}));

    const TRun warned = RunCli({"import", dir.File("t.mat"), dir.File("big.bmp")});
    EXPECT_EQ(warned.Code, 0);
    EXPECT_NE(warned.Err.find("warning"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.File("t.mat")));

    // A BM has no size rule.
    EXPECT_EQ(RunCli({"import", dir.File("odd.bm"), dir.File("odd.bmp")}).Code, 0);

    const TRun mixed = RunCli({"import", dir.File("c.mat"), dir.File("big.bmp"), "--color"});
    EXPECT_EQ(mixed.Code, 0); // one colour: fine
    QImage two(2, 2, QImage::Format_RGB32);
    two.fill(Qt::white);
    two.setPixel(1, 1, qRgb(0, 0, 0));
    two.save(QString::fromStdString(dir.File("two.bmp")));
    const TRun notOne = RunCli({"import", dir.File("d.mat"), dir.File("two.bmp"), "--color"});
    EXPECT_EQ(notOne.Code, 1);
    EXPECT_EQ(notOne.Err, "glimra-cli: " + dir.File("two.bmp") +
                              ": A colour frame picture must be one colour\n");
}

TEST(CliImport, FrameLimits)
{
    TempDir dir;
    QImage tiny(2, 2, QImage::Format_RGB32);
    tiny.fill(Qt::white);
    tiny.save(QString::fromStdString(dir.File("p.bmp")));
    std::vector<std::string> args{"import", dir.File("m.mat")};
    for (int i = 0; i < 17; ++i)
        args.push_back(dir.File("p.bmp"));
    const TRun run = RunCli(args);
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "glimra-cli: " + dir.File("m.mat") +
                           ": A MAT holds at most 16 frames, 17 pictures given\n");
    args.pop_back();
    EXPECT_EQ(RunCli(args).Code, 0);
}

} // namespace
