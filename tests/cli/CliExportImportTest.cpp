// export and import: the names and pixels of exported pictures, pictures imported back into
// the same frames, and the warnings and characters only the command line has.

#include "CliRun.h"

#include "core/GLM_Bitmaps.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
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

std::string Picture(const TempDir &dir, const std::string &name, int width, int height,
                    QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    image.save(QString::fromStdString(dir.File(name)));
    return dir.File(name);
}

// The "chars" array of `info --json` for a font.
std::string CharsOf(const std::string &font)
{
    const std::string out = RunCli({"info", "--json", font}).Out;
    const size_t start = out.find("\"chars\": ");
    return start == std::string::npos ? "" : out.substr(start + 9, out.rfind('}') - start - 9);
}

} // namespace

// Export names every frame and level as the windows do; imported back, level A of each frame
// with generated levels gives the sample byte for byte, and 8-bit frames the same indices.
TEST(CliExportImport, ExportedPicturesRebuildTheSamples)
{
    TempDir dir;
    const TRun run = RunCli({"export", Sample("texture16t.mat"), Sample("font8.sft"),
                             Sample("sample16.bm"), "-o", dir.File("")});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Err, ""); // stderr is no terminal here: no progress lines
    // The 8-bit MATs are drawn for the sample colormap's palette.
    const std::string ramps = Sample("colormap.cmp");
    ASSERT_EQ(Exit({"export", Sample("texture8.mat"), Sample("color.mat"), "--palette", ramps,
                    "-o", dir.File("")}),
              0);
    ASSERT_EQ(Exit({"export", Sample("sample8.bm"), "--bits", "8", "-o", dir.File("")}), 0);
    EXPECT_EQ(FilesIn(dir.Path),
              (std::vector<std::string>{
                  "color-1.bmp", "color-2.bmp", "color-3.bmp", "color-4.bmp", "font8.bmp",
                  "sample16-1.bmp", "sample8-1.bmp", "sample8-2.bmp", "sample8-3.bmp",
                  "texture16t-1-A.bmp", "texture16t-1-B.bmp", "texture16t-1-C.bmp",
                  "texture8-1-A.bmp", "texture8-1-B.bmp", "texture8-1-C.bmp",
                  "texture8-1-D.bmp", "texture8-2-A.bmp", "texture8-2-B.bmp",
                  "texture8-2-C.bmp", "texture8-2-D.bmp"}));
    // A MAT level at 24 bits through the palette asked for.
    const TMAT mat = Load<TMAT>(Sample("texture8.mat"));
    const TBitmapPicture level2 = ReadBitmapFile(dir.File("texture8-1-B.bmp"));
    const TCMP ramp = Load<TCMP>(ramps);
    ASSERT_EQ(level2.Width, 64);
    for (int i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(level2.PixelColor(i % 64, i / 64), ramp.Palette[mat.Pixels[0][128 * 128 + i]]);

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
    // The strip without the character table; the 16-bit frame with the same words.
    const TSFT font = Load<TSFT>(Sample("font8.sft")),
               strip = Load<TSFT>(dir.File("new-font8.sft"));
    EXPECT_EQ(std::tie(strip.Pixels, strip.Width), std::tie(font.Pixels, font.Width));
    EXPECT_EQ(strip.Chars.Count(), 0);
    const TBM wide = Load<TBM>(dir.File("new-sample16.bm"));
    EXPECT_EQ(wide.Images[0], Load<TBM>(Sample("sample16.bm")).Images[0]);
    EXPECT_EQ(wide.BitsPerPixel(), 16);
}

// The import's rules live in the core; the command line reports each picture's messages on
// its own line, writes nothing after an error and keeps a warning's result.
TEST(CliImport, MessagesAndFrameLimits)
{
    TempDir dir;
    const std::string odd = Picture(dir, "odd.bmp", 63, 64, qRgb(0, 0, 0));
    const std::string big = Picture(dir, "big.bmp", 2048, 2, qRgb(255, 255, 255));
    const TRun rejected = RunCli({"import", dir.File("t.mat"), big, odd});
    EXPECT_EQ(rejected.Code, 1);
    EXPECT_EQ(rejected.Err,
              "glimra-cli: " + big +
                  ": warning: Bitmap Size: 2048x2: Maximum JK/MOTS texture size is 1024x1024\n"
                  "glimra-cli: " + odd + ": Bitmap Size: 63x64: Dimensions must be even numbers\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.mat")));
    EXPECT_EQ(Exit({"import", dir.File("t.mat"), big}), 0);
    // A colour frame needs a picture of one colour; a MAT takes 16 pictures at most.
    QImage two(2, 2, QImage::Format_RGB32);
    two.fill(Qt::white);
    two.setPixel(1, 1, qRgb(0, 0, 0));
    two.save(QString::fromStdString(dir.File("two.bmp")));
    EXPECT_EQ(RunCli({"import", dir.File("d.mat"), dir.File("two.bmp"), "--color"}).Err,
              "glimra-cli: " + dir.File("two.bmp") +
                  ": A colour frame picture must be one colour\n");
    std::vector<std::string> args{"import", dir.File("m.mat")};
    args.insert(args.end(), 17, dir.File("two.bmp"));
    const TRun many = RunCli(args);
    EXPECT_EQ(many.Code, 1);
    EXPECT_EQ(many.Err, "glimra-cli: " + dir.File("m.mat") +
                            ": A MAT holds at most 16 frames, 17 pictures given\n");
    args.pop_back();
    EXPECT_EQ(Exit(args), 0);
}

TEST(CliImport, FontCharactersFromARangeOrATable)
{
    TempDir dir;
    const std::string strip = Picture(dir, "strip.bmp", 96, 8, qRgb(255, 255, 255));
    ASSERT_EQ(Exit({"import", dir.File("r.sft"), strip, "--chars", "65-72"}), 0);
    // Eight 12-pixel characters in one range: First 65, Last 72, then offset and width each.
    Bytes head = SFTHeaderBytes(1).U16(65).U16(72);
    for (int32_t i = 0; i < 8; ++i)
        head.I32(12 * i).I32(12);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("r.sft"));
    ASSERT_EQ(bytes.size(), head.Size() + 128 + 8 + 96 * 8);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + head.Size()), head.Data);

    // A table as info --json prints it comes back the same; list order is kept, and codes
    // that do not follow on start new ranges.
    const std::string spaced = "[\n  [70, 0, 3],\t[65, 3, 4] , [66,7,0]\r\n]\n";
    const std::string table =
        Put(dir, "s.json", std::vector<uint8_t>(spaced.begin(), spaced.end()));
    ASSERT_EQ(Exit({"import", dir.File("s.sft"), strip, "--chars", table}), 0);
    EXPECT_EQ(CharsOf(dir.File("s.sft")), "[[70, 0, 3], [65, 3, 4], [66, 7, 0]]");
    EXPECT_EQ(I32At(ReadFile(dir.File("s.sft")), 20), 2);

    // Without characters the font is written, with a warning that the game cannot load it.
    const TRun bare = RunCli({"import", dir.File("b.sft"), strip});
    EXPECT_EQ(bare.Code, 0);
    EXPECT_EQ(bare.Err, "glimra-cli: " + dir.File("b.sft") +
                            ": warning: The font has no characters. The game cannot load it "
                            "until it has some.\n");
    EXPECT_EQ(I32At(ReadFile(dir.File("b.sft")), 20), 0);
}
