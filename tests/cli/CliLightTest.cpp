// export --cmp: frames drawn through a colormap at light levels, as translucent faces and as
// full-bright masks, each pixel checked against the colours looked up in the files' bytes.

#include "CliRun.h"
#include "GameFiles.h"

#include "core/GLM_Bitmaps.h"

#include <gtest/gtest.h>

#include <functional>

using namespace clitest;
using namespace testutil;

namespace {

// Light level L sends i to i + 3L, except: 0, 1, 2 stay themselves; indices 5 mod 16 stay
// themselves below level 63 (full-bright) and go to 0 at 63; indices 9 mod 16 stay
// themselves except at level 40.
// Transparency table t sends e to 5t + 3e.
std::vector<uint8_t> LightCMP(int32_t flag)
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(flag).Fill(52).Append(PaletteBytes(Ramp()));
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(i < 3             ? i
                 : i % 16 == 5 ? (level == 63 ? 0 : i)
                 : i % 16 == 9 ? (level == 40 ? 0 : i)
                               : uint8_t(i + 3 * level));
    for (int t = 0; t < 256 && flag != 0; ++t)
        for (int e = 0; e < 256; ++e)
            b.U8(uint8_t(5 * t + 3 * e));
    return b.Data;
}

// An 8-bit BM of two frames, 16 x 8 and 4 x 4, pixel (x, y) = 16x + 3y (+ 1 in frame 2).
std::vector<uint8_t> TwoFrameBM()
{
    Bytes b = BMHeaderBytes({.Images = 2});
    for (const auto &[w, h, add] : {std::tuple{16, 8, 0}, {4, 4, 1}}) {
        b.I32(w).I32(h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b.U8(uint8_t(16 * x + 3 * y + add));
    }
    return b.Data;
}

using TReference = std::function<TPaletteEntry(const std::vector<uint8_t> &cmp, uint8_t index)>;

// The colour index `i` is drawn with: palette entry `entry` of the colormap's bytes.
TPaletteEntry Entry(const std::vector<uint8_t> &cmp, uint8_t entry)
{
    return {cmp[64 + 3 * entry], cmp[65 + 3 * entry], cmp[66 + 3 * entry]};
}

uint8_t LightRow(const std::vector<uint8_t> &cmp, int level, uint8_t i)
{
    return cmp[832 + 256 * level + i];
}

TReference Lit(int level)
{
    return [level](const auto &cmp, uint8_t i) { return Entry(cmp, LightRow(cmp, level, i)); };
}

} // namespace

TEST(CliLight, FramesThroughTheColormapMatchTheTablesInItsBytes)
{
    TempDir dir;
    const std::string bm = Put(dir, "hand.bm", TwoFrameBM());
    const std::string cmpFile = Put(dir, "light.cmp", LightCMP(1));
    const std::vector<uint8_t> cmp = ReadFile(cmpFile), bytes = ReadFile(bm);
    EXPECT_NE(RunCli({"info", cmpFile}).Out.find("\n  full-bright: 0-2, 5, 21, 37, 53, 69,"),
              std::string::npos);
    const TReference translucent = [](const auto &c, uint8_t i) {
        return Entry(c, c[17216 + 256 * LightRow(c, 31, i) + 200]);
    };
    const TReference mask = [](const auto &c, uint8_t i) {
        for (int level = 0; level < 63; ++level)
            if (LightRow(c, level, i) != i)
                return TPaletteEntry{0, 0, 0};
        return TPaletteEntry{255, 255, 255};
    };
    struct TCase
    {
        std::vector<std::string> Args;
        std::string Extension;
        int Zoom;
        TReference Reference;
    };
    const TCase cases[] = {
        {{"--light", "0"}, ".bmp", 1, Lit(0)},
        {{"--light", "31", "--png", "--zoom", "2"}, ".png", 2, Lit(31)},
        {{"--light", "40", "--bits", "8"}, ".bmp", 1, Lit(40)},
        {{"--light", "63"}, ".bmp", 1, Lit(63)},
        {{"--light", "31", "--translucent-over", "200"}, ".bmp", 1, translucent},
        {{"--full-bright-mask", "--zoom", "3"}, ".bmp", 3, mask},
    };
    for (const TCase &c : cases) {
        const TempDir out;
        std::vector<std::string> args{"export", bm, "--cmp", cmpFile, "-o", out.File("")};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const std::string line = c.Args[0] + " " + c.Args[1];
        const TRun run = RunCli(args);
        ASSERT_EQ(run.Code, 0) << line << ": " << run.Err;
        ASSERT_EQ(FilesIn(out.Path),
                  (std::vector<std::string>{"hand-1" + c.Extension, "hand-2" + c.Extension}));
        size_t at = 128; // the first frame's size fields
        for (const int frame : {1, 2}) {
            const int w = I32At(bytes, at), h = I32At(bytes, at + 4);
            const TBitmapPicture p =
                ReadBitmapFile(out.File("hand-" + std::to_string(frame) + c.Extension));
            ASSERT_EQ(p.Width, w * c.Zoom) << line;
            ASSERT_EQ(p.Height, h * c.Zoom) << line;
            for (int y = 0; y < p.Height; ++y)
                for (int x = 0; x < p.Width; ++x)
                    ASSERT_EQ(p.PixelColor(x, y),
                              c.Reference(cmp, bytes[at + 8 + (y / c.Zoom) * w + x / c.Zoom]))
                        << line << " frame " << frame << " at " << x << ", " << y;
            at += 8 + size_t(w) * h;
        }
    }
}

TEST(CliLight, FramesAndColormapsThatCannotBeSeenSoFailAndWriteNothing)
{
    TempDir dir;
    const std::string bm16 = Put(dir, "wide.bm", BMBytes({{2, 2, 7}}, 16));
    const std::string bm = Put(dir, "hand.bm", TwoFrameBM());
    const std::string opaque = Put(dir, "opaque.cmp", LightCMP(0));
    const std::string out = dir.File("out");
    struct TCase
    {
        std::vector<std::string> Args;
        std::string Failure; // the line on stderr
    };
    const TCase cases[] = {
        {{bm16, "--cmp", opaque, "--light", "3"},
         bm16 + ": A 16-bit frame has no palette indices to look up in a colormap"},
        {{bm, "--cmp", opaque, "--light", "3", "--translucent-over", "1"},
         opaque + ": The colormap has no transparency tables"},
        {{bm, "--cmp", dir.File("none.cmp"), "--light", "3"},
         dir.File("none.cmp") + ": File not found"},
    };
    for (const TCase &c : cases) {
        std::vector<std::string> args{"export", "-o", out};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const TRun run = RunCli(args);
        EXPECT_EQ(run.Code, 1) << c.Failure;
        EXPECT_EQ(run.Err, "glimra-cli: " + c.Failure + "\n");
        EXPECT_TRUE(!std::filesystem::exists(out) || FilesIn(out).empty()) << c.Failure;
    }
}
