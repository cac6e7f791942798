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

template <class T>
T Load(const std::string &path)
{
    T document;
    document.LoadFromFile(path);
    return document;
}

void SavePicture(const std::string &path, int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    image.save(QString::fromStdString(path));
}

} // namespace

TEST(CliExport, NamesAndPixelsAreThoseTheWindowsGive)
{
    TempDir dir;
    const TRun run = RunCli({"export", Sample("sample8.bm"), Sample("sample16.bm"),
                             Sample("texture8.mat"), Sample("texture16t.mat"),
                             Sample("color.mat"), Sample("font8.sft"), "-o", dir.File("")});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Err, ""); // stderr is no terminal here: no progress lines
    EXPECT_EQ(FilesIn(dir.Path),
              (std::vector<std::string>{
                  "color-1.bmp", "color-2.bmp", "color-3.bmp", "color-4.bmp", "font8.bmp",
                  "sample16-1.bmp", "sample8-1.bmp", "sample8-2.bmp", "sample8-3.bmp",
                  "texture16t-1-A.bmp", "texture16t-1-B.bmp", "texture16t-1-C.bmp",
                  "texture8-1-A.bmp", "texture8-1-B.bmp", "texture8-1-C.bmp",
                  "texture8-1-D.bmp", "texture8-2-A.bmp", "texture8-2-B.bmp",
                  "texture8-2-C.bmp", "texture8-2-D.bmp"}));
    // A BM frame through the BM's own palette, 24 bits by default.
    const TBM bm = Load<TBM>(Sample("sample8.bm"));
    const TBitmapPicture frame2 = ReadBitmapFile(dir.File("sample8-2.bmp"));
    ASSERT_EQ(frame2.Width, bm.Images[1].Width);
    ASSERT_EQ(frame2.Height, bm.Images[1].Height);
    EXPECT_TRUE(frame2.Indices.empty());
    for (int i = 0; i < frame2.Width * frame2.Height; ++i)
        ASSERT_EQ(frame2.PixelColor(i % frame2.Width, i / frame2.Width),
                  bm.Palette[bm.Images[1].Pixels[i]]);
    // A MAT level through "Dflt", the MAT windows' default palette.
    const TMAT mat = Load<TMAT>(Sample("texture8.mat"));
    const TBitmapPicture level2 = ReadBitmapFile(dir.File("texture8-1-B.bmp"));
    ASSERT_EQ(level2.Width, 64);
    for (int i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(level2.PixelColor(i % 64, i / 64), DfltPalette()[mat.Pixels[0][128 * 128 + i]]);
    const TBitmapPicture colour = ReadBitmapFile(dir.File("color-2.bmp"));
    EXPECT_EQ(colour.Width, 64);
    EXPECT_EQ(colour.Height, 64);
    EXPECT_EQ(colour.PixelColor(40, 40),
              DfltPalette()[Load<TMAT>(Sample("color.mat")).ColorRecords[1].Color]);
    const std::vector<uint8_t> w = Load<TBM>(Sample("sample16.bm")).Images[0].Pixels;
    const uint16_t word = static_cast<uint16_t>(w[2 * 129] | (w[2 * 129 + 1] << 8)); // (1, 1)
    EXPECT_EQ(ReadBitmapFile(dir.File("sample16-1.bmp")).PixelColor(1, 1),
              (TPaletteEntry{Expand5(word >> 11), Expand6(word >> 5), Expand5(word)}));
}

TEST(CliExport, ZoomBitsPaletteAndPng)
{
    TempDir dir;
    ASSERT_EQ(Exit({"export", Sample("sample8.bm"), "--zoom", "3", "--bits", "8", "--png",
                    "--palette", "Dflt", "-o", dir.File("")}),
              0);
    EXPECT_EQ(FilesIn(dir.Path),
              (std::vector<std::string>{"sample8-1.png", "sample8-2.png", "sample8-3.png"}));
    const TBM bm = Load<TBM>(Sample("sample8.bm"));
    const TBitmapPicture p = ReadBitmapFile(dir.File("sample8-3.png"));
    ASSERT_EQ(p.Width, 384);
    ASSERT_EQ(p.Height, 288);
    EXPECT_EQ(p.ColorTable,
              std::vector<TPaletteEntry>(DfltPalette().begin(), DfltPalette().end()));
    // 8-bit output keeps the frame's own indices, each as a 3 x 3 block.
    for (int i = 0; i < 384 * 288; ++i)
        ASSERT_EQ(p.Indices[i], bm.Images[2].Pixels[(i / 384 / 3) * 128 + i % 384 / 3]) << i;
}

TEST(CliImport, ExportedPicturesRebuildTheSamples)
{
    TempDir dir;
    ASSERT_EQ(Exit({"export", Sample("texture16t.mat"), Sample("font8.sft"),
                    Sample("sample16.bm"), "-o", dir.File("")}),
              0);
    // The 8-bit MATs are drawn for the sample colormap's palette.
    const std::string ramps = Sample("colormap.cmp");
    ASSERT_EQ(Exit({"export", Sample("texture8.mat"), Sample("color.mat"), "--palette", ramps,
                    "-o", dir.File("")}),
              0);
    ASSERT_EQ(Exit({"export", Sample("sample8.bm"), "--bits", "8", "-o", dir.File("")}), 0);
    // Level A of each frame, with generated levels, gives the sample byte for byte; 8-bit
    // frames come back as the same indices.
    const std::pair<std::string, std::vector<std::string>> steps[] = {
        {"sample8.bm",
         {"sample8-1.bmp", "sample8-2.bmp", "sample8-3.bmp", "--palette", Sample("sample8.bm"),
          "--internal"}},
        {"texture8.mat",
         {"texture8-1-A.bmp", "texture8-2-A.bmp", "--mipmaps", "4", "--fill", "72", "--palette",
          ramps}},
        {"texture16t.mat",
         {"texture16t-1-A.bmp", "--bits", "16", "--transparent", "--mipmaps", "3", "--fill",
          "33808"}},
        {"color.mat",
         {"color-1.bmp", "color-2.bmp", "color-3.bmp", "color-4.bmp", "--color", "--palette",
          ramps}},
        {"font8.sft", {"font8.bmp"}},
        {"sample16.bm", {"sample16-1.bmp", "--bits", "16"}},
    };
    for (const auto &[sample, inputs] : steps) {
        std::vector<std::string> args{"import", dir.File("new-" + sample)};
        for (const std::string &a : inputs)
            args.push_back(a.find(".bmp") != std::string::npos ? dir.File(a) : a);
        ASSERT_EQ(Exit(args), 0) << sample;
    }
    for (const char *sample : {"texture8.mat", "texture16t.mat", "color.mat"})
        EXPECT_EQ(ReadFile(dir.File(std::string("new-") + sample)), ReadFile(Sample(sample)));
    const TBM bm = Load<TBM>(Sample("sample8.bm")), back = Load<TBM>(dir.File("new-sample8.bm"));
    EXPECT_EQ(back.Images, bm.Images);
    EXPECT_EQ(back.Palette, bm.Palette);
    EXPECT_TRUE(back.HasPalette());
    // NumTextures: the game reads that many texture headers, in a colour MAT too.
    EXPECT_EQ(I32At(ReadFile(dir.File("new-color.mat")), 16), 0);
    EXPECT_EQ(I32At(ReadFile(dir.File("new-texture8.mat")), 16), 2);
    // The strip without the character table; the 16-bit frame with the same words.
    const TSFT font = Load<TSFT>(Sample("font8.sft"));
    const TSFT strip = Load<TSFT>(dir.File("new-font8.sft"));
    EXPECT_EQ(strip.Pixels, font.Pixels);
    EXPECT_EQ(strip.Width, font.Width);
    EXPECT_EQ(strip.Chars.Count(), 0);
    const TBM wide = Load<TBM>(dir.File("new-sample16.bm"));
    EXPECT_EQ(wide.Images[0], Load<TBM>(Sample("sample16.bm")).Images[0]);
    EXPECT_EQ(wide.BitsPerPixel(), 16);
}

TEST(CliImport, SizeRulesAndFrameLimitsFailOrWarnAndLeaveNoFile)
{
    TempDir dir;
    SavePicture(dir.File("odd.bmp"), 63, 64, qRgb(0, 0, 0));
    SavePicture(dir.File("big.bmp"), 2048, 2, qRgb(255, 255, 255));
    const std::string err = "glimra-cli: ";
    const TRun rejected =
        RunCli({"import", dir.File("t.mat"), dir.File("big.bmp"), dir.File("odd.bmp")});
    EXPECT_EQ(rejected.Code, 1);
    EXPECT_EQ(rejected.Err,
              err + dir.File("big.bmp") +
                  ": warning: Bitmap Size: 2048x2: Maximum JK/MOTS texture size is 1024x1024\n" +
                  err + dir.File("odd.bmp") +
                  ": Bitmap Size: 63x64: Dimensions must be even numbers\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.mat")));
    WriteFile(dir.File("keep.mat"), {1, 2, 3}); // an existing file is left as it was
    EXPECT_EQ(Exit({"import", dir.File("keep.mat"), dir.File("odd.bmp")}), 1);
    EXPECT_EQ(ReadFile(dir.File("keep.mat")), (std::vector<uint8_t>{1, 2, 3}));
    const TRun warned = RunCli({"import", dir.File("t.mat"), dir.File("big.bmp")});
    EXPECT_EQ(warned.Code, 0);
    EXPECT_NE(warned.Err.find("warning"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.File("t.mat")));
    EXPECT_EQ(Exit({"import", dir.File("odd.bm"), dir.File("odd.bmp")}), 0); // no BM size rule
    // A colour frame needs a picture of one colour.
    EXPECT_EQ(Exit({"import", dir.File("c.mat"), dir.File("big.bmp"), "--color"}), 0);
    QImage two(2, 2, QImage::Format_RGB32);
    two.fill(Qt::white);
    two.setPixel(1, 1, qRgb(0, 0, 0));
    two.save(QString::fromStdString(dir.File("two.bmp")));
    const TRun notOne = RunCli({"import", dir.File("d.mat"), dir.File("two.bmp"), "--color"});
    EXPECT_EQ(notOne.Code, 1);
    EXPECT_EQ(notOne.Err,
              err + dir.File("two.bmp") + ": A colour frame picture must be one colour\n");
    std::vector<std::string> args{"import", dir.File("m.mat")};
    args.insert(args.end(), 17, dir.File("two.bmp"));
    const TRun many = RunCli(args);
    EXPECT_EQ(many.Code, 1);
    EXPECT_EQ(many.Err,
              err + dir.File("m.mat") + ": A MAT holds at most 16 frames, 17 pictures given\n");
    args.pop_back();
    EXPECT_EQ(Exit(args), 0);
}

namespace {

// The "chars" array of `info --json` for a font.
std::string CharsOf(const std::string &font)
{
    const std::string out = RunCli({"info", "--json", font}).Out;
    const size_t start = out.find("\"chars\": ");
    return start == std::string::npos ? "" : out.substr(start + 9, out.rfind('}') - start - 9);
}

} // namespace

TEST(CliImport, FontCharactersFromARangeOrATable)
{
    TempDir dir;
    SavePicture(dir.File("strip.bmp"), 96, 8, qRgb(255, 255, 255));
    const TRun range =
        RunCli({"import", dir.File("r.sft"), dir.File("strip.bmp"), "--chars", "65-72"});
    ASSERT_EQ(range.Code, 0) << range.Err;
    EXPECT_EQ(range.Err, "");
    // Eight 12-pixel characters in one range: First 65, Last 72, then offset and width each.
    Bytes head;
    head.Text("SFNT").I32(10).I32(0).I32(0).I32(0).I32(1).Fill(16).U16(65).U16(72);
    for (int32_t i = 0; i < 8; ++i)
        head.I32(12 * i).I32(12);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("r.sft"));
    ASSERT_EQ(bytes.size(), head.Size() + 128 + 8 + 96 * 8);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + head.Size()), head.Data);

    // A table as info --json prints it comes back the same; list order is kept, and codes
    // that do not follow on start new ranges.
    ASSERT_EQ(Exit({"export", Sample("font8.sft"), "-o", dir.File("")}), 0);
    const std::string table = CharsOf(Sample("font8.sft"));
    ASSERT_EQ(table.substr(0, 12), "[[32, 0, 6],");
    WriteFile(dir.File("t.json"), std::vector<uint8_t>(table.begin(), table.end()));
    ASSERT_EQ(
        Exit({"import", dir.File("t.sft"), dir.File("font8.bmp"), "--chars", dir.File("t.json")}),
        0);
    EXPECT_EQ(CharsOf(dir.File("t.sft")), table);
    const std::string spaced = "[\n  [70, 0, 3],\t[65, 3, 4] , [66,7,0]\r\n]\n";
    WriteFile(dir.File("s.json"), std::vector<uint8_t>(spaced.begin(), spaced.end()));
    ASSERT_EQ(
        Exit({"import", dir.File("s.sft"), dir.File("strip.bmp"), "--chars", dir.File("s.json")}),
        0);
    EXPECT_EQ(CharsOf(dir.File("s.sft")), "[[70, 0, 3], [65, 3, 4], [66, 7, 0]]");
    EXPECT_EQ(I32At(ReadFile(dir.File("s.sft")), 20), 2);

    // Without characters the font is written, with a warning that the game cannot load it.
    const TRun bare = RunCli({"import", dir.File("b.sft"), dir.File("strip.bmp")});
    EXPECT_EQ(bare.Code, 0);
    EXPECT_EQ(bare.Err, "glimra-cli: " + dir.File("b.sft") +
                            ": warning: The font has no characters. The game cannot load it "
                            "until it has some.\n");
    EXPECT_EQ(I32At(ReadFile(dir.File("b.sft")), 20), 0);
}

TEST(CliImport, UnevenStripsAndMalformedTablesLeaveNoFont)
{
    TempDir dir;
    SavePicture(dir.File("strip.bmp"), 96, 8, qRgb(0, 0, 0));
    SavePicture(dir.File("odd.bmp"), 97, 8, qRgb(0, 0, 0));
    const std::string out = dir.File("out.sft"), table = dir.File("t.json");
    const TRun uneven = RunCli({"import", out, dir.File("odd.bmp"), "--chars", "65-72"});
    EXPECT_EQ(uneven.Code, 1);
    EXPECT_EQ(uneven.Err, "glimra-cli: " + dir.File("odd.bmp") +
                              ": The strip is 97 pixels wide, which does not divide into 8 "
                              "characters of equal width\n");
    // Each table, and its reason; "" where only the one line naming the table is checked.
    const std::pair<std::string, std::string> tables[] = {
        {"[[65, 0]]", "Not a character table [[code, offset, width], ...]: unexpected ']' at "
                      "byte 8"},
        {"[[65, 0, 3],]", ""},
        {"{\"chars\": [[65, 0, 3]]}", ""},
        {"[[65, 0, 3]] x", ""},
        {"[[65.5, 0, 3]]", ""},
        {"", "Not a character table [[code, offset, width], ...]: unexpected end"},
        {"[[70000, 0, 3]]", "Character code 70000 is not from 0 to 65535"},
        {"[[65, 0, 99999999999]]", ""},
        {"[[65, 90, 12]]", "Character 65 at 90, 12 pixels wide, lies outside the 96-pixel strip"},
        {"[[65, -1, 2]]", ""},
    };
    for (const auto &[text, reason] : tables) {
        WriteFile(table, std::vector<uint8_t>(text.begin(), text.end()));
        const TRun run = RunCli({"import", out, dir.File("strip.bmp"), "--chars", table});
        EXPECT_EQ(run.Code, 1) << text;
        const std::string head = "glimra-cli: " + table + ": ";
        EXPECT_EQ(run.Err.substr(0, head.size()), head) << text;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        if (!reason.empty()) {
            EXPECT_EQ(run.Err, head + reason + "\n");
        }
    }
    EXPECT_EQ(Exit({"import", out, dir.File("strip.bmp"), "--chars", dir.File("no.json")}), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}
