// export and import: the warnings and characters only the command line has, and export --cmp
// reaching the light view.

#include "CliRun.h"

#include "core/GLM_Bitmaps.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>

using namespace clitest;
using namespace testutil;

namespace {

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

// Level L sends i to i + 3L, except that 0, 1, 2 and every index 5 mod 16 stay themselves
// below level 63 (full-bright); transparency table t sends e to 5t + 3e.
uint8_t Lit(int level, int i)
{
    return uint8_t(i < 3 || (i % 16 == 5 && level < 63) ? i : i % 16 == 5 ? 0 : i + 3 * level);
}

std::vector<uint8_t> LightCMP()
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(1).Fill(52).Append(PaletteBytes(Ramp()));
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(Lit(level, i));
    for (int t = 0; t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            b.U8(uint8_t(5 * t + 3 * e));
    return b.Data;
}

} // namespace

// Each picture's messages on a line of their own; nothing written after an error.
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
    // A MAT takes 16 pictures (17 are refused in the failure table).
    std::vector<std::string> args{"import", dir.File("m.mat")};
    args.insert(args.end(), 16, big);
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
    const std::string table = Put(dir, "s.json", Text(spaced));
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

TEST(CliLight, OptionsReachTheLightView)
{
    TempDir dir;
    Bytes frame = BMHeaderBytes({.Images = 1}).I32(16).I32(8);
    for (int p = 0; p < 128; ++p)
        frame.U8(uint8_t(2 * p + 1)); // pixel (x, y) = 2 (16y + x) + 1
    const std::string bm = Put(dir, "hand.bm", frame.Data), cmp = Put(dir, "l.cmp", LightCMP());
    EXPECT_NE(RunCli({"info", cmp}).Out.find("\n  full-bright: 0-2, 5, 21, 37,"),
              std::string::npos);
    const TPalette ramp = Ramp();
    const TPaletteEntry white{255, 255, 255}, black{};
    const std::tuple<std::vector<std::string>, int, std::function<TPaletteEntry(int)>> cases[] = {
        {{"--light", "0"}, 1, [&](int p) { return ramp[Lit(0, p)]; }},
        {{"--light", "40", "--png", "--zoom", "2"}, 2, [&](int p) { return ramp[Lit(40, p)]; }},
        {{"--light", "31", "--translucent-over", "200", "--bits", "8"}, 1,
         [&](int p) { return ramp[uint8_t(5 * Lit(31, p) + 600)]; }},
        {{"--full-bright-mask", "--zoom", "3"}, 3,
         [&](int p) { return p < 3 || p % 16 == 5 ? white : black; }},
    };
    for (const auto &[options, zoom, colour] : cases) {
        const TempDir out;
        std::vector<std::string> args{"export", bm, "--cmp", cmp, "-o", out.File("")};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(Exit(args), 0) << options[0] << " " << options[1];
        const std::string name = FilesIn(out.Path).at(0);
        EXPECT_EQ(name, options.size() > 2 && options[2] == "--png" ? "hand-1.png" : "hand-1.bmp");
        const TBitmapPicture p = ReadBitmapFile(out.File(name));
        ASSERT_EQ(std::make_pair(p.Width, p.Height), std::make_pair(16 * zoom, 8 * zoom));
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x)
                ASSERT_EQ(p.PixelColor(x, y), colour(2 * (16 * (y / zoom) + x / zoom) + 1))
                    << options[0] << " " << options[1] << " at " << x << ", " << y;
    }
}
