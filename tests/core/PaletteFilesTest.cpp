// Palette files and names against hand-built bytes: what each reader takes, what it leaves
// when the file is short, odd or missing, what each writer writes; and colour matching
// against the straightforward loops.

#include "CMPReference.h"
#include "CoreTestData.h"
#include "SaveFaults.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_PaletteMatch.h"
#include "core/GLM_PaletteSource.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/GLM_Palettes.h"
#include "core/palettes/Gimp_GPL.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"

#include <gtest/gtest.h>

#include <random>

using namespace testutil;

namespace {

using TReader = void (*)(const std::string &, TPalette &);
const std::string Beyond = "Read beyond end of file";

Bytes RiffHeader(uint16_t count)
{
    return Bytes().Text("RIFF").I32(1044).Text("PAL data").I32(1032).U16(0x0300).U16(count);
}

// The JASC header and `colourLines` lines "k k/2 255-k".
std::string JascText(int colourLines, const std::string &eol = "\r\n")
{
    std::string s = "JASC-PAL" + eol + "0100" + eol + "256" + eol;
    for (int k = 0; k < colourLines; ++k)
        s += std::to_string(k) + " " + std::to_string(k / 2) + " " + std::to_string(255 - k) + eol;
    return s;
}

// Filled(77) with the given entries.
TPalette With(std::initializer_list<std::pair<int, TPaletteEntry>> entries, uint8_t fill = 77)
{
    TPalette p = Filled(fill);
    for (auto [k, e] : entries)
        p[k] = e;
    return p;
}

} // namespace

TEST(PaletteFiles, WritersWriteTheLayoutsAndReadersReadThemBack)
{
    TempDir dir;
    TPalette p = Ramp();
    p[255] = {1, 22, 3};
    // RIFF: 1052 bytes; the two sizes, 1044 and 1032, count the four trailing zero bytes.
    Bytes riff = RiffHeader(256);
    for (const TPaletteEntry &e : p)
        riff.U8(e.Red).U8(e.Green).U8(e.Blue).U8(0);
    std::string jasc = "JASC-PAL\r\n0100\r\n256\r\n";
    for (const TPaletteEntry &e : p)
        jasc += std::to_string(e.Red) + " " + std::to_string(e.Green) + " " +
                std::to_string(e.Blue) + "\r\n";
    const std::tuple<std::string, void (*)(const std::string &, const TPalette &), TReader,
                     std::vector<uint8_t>>
        cases[] = {
            {"a.pal", WriteRiffPAL, ReadRiffPAL, riff.I32(0).Data},
            {"j.pal", WriteJascPAL, ReadJascPAL, Text(jasc)},
            {"a.act", WriteACT, ReadACT, PaletteBytes(p)},
        };
    for (const auto &[name, write, read, bytes] : cases) {
        write(dir.File(name), p);
        EXPECT_EQ(ReadFile(dir.File(name)), bytes) << name;
        EXPECT_EQ(ReadWith(read, dir.File(name)).Palette, p) << name;
        EXPECT_EQ(ReadWith(LoadPalette, dir.File(name)).Palette, p) << name;
    }
    EXPECT_EQ(riff.Size(), 1052u);
    WriteGimpGPL(dir.File("out.gpl"), Ramp(), "two\nlines");
    const std::vector<uint8_t> gpl = ReadFile(dir.File("out.gpl"));
    const std::string text(gpl.begin(), gpl.end());
    EXPECT_EQ(text.substr(0, 45), "GIMP Palette\nName: two lines\nColumns: 16\n#\n  ");
    EXPECT_NE(text.find("\n  1 254   7\tIndex 1\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(ReadWith(ReadGimpGPL, dir.File("out.gpl")).Palette, Ramp());
    // Every writer saves through the atomic save: a full disk keeps the old file.
    const std::string old = Put(dir, "old.pal", {1, 2, 3});
    TScopedFullDisk full(100);
    for (const auto &[name, write, read, bytes] : cases)
        EXPECT_EQ(MessageOf([&] { write(old, p); }), "Disk full") << name;
    EXPECT_EQ(MessageOf([&] { WriteGimpGPL(old, p, "x"); }), "Disk full");
    EXPECT_EQ(ReadFile(old), (std::vector<uint8_t>{1, 2, 3}));
}

// Each reader on odd, short, broken and missing files: the error the user sees ("no error"
// for none) and the palette left, which started as Filled(77).
TEST(PaletteFiles, ReadersOnOddShortAndMissingFiles)
{
    std::string lowBits = JascText(0, "\n") + "300 -1 256\n7 +8  9\n"; // LF-only lines too
    for (int k = 2; k < 256; ++k)
        lowBits += "1 2 3\n";
    TPalette low;
    low.fill({1, 2, 3});
    low[0] = {44, 255, 0};
    low[1] = {7, 8, 9};
    const TPalette jascStart = With({{0, {0, 0, 255}}, {1, {1, 0, 254}}, {2, {2, 1, 253}}});
    const std::string invalid = " is not a valid integer value";
    const std::tuple<TReader, std::string, std::vector<uint8_t>, std::string, TPalette> cases[] = {
        // RIFF: only the counted entries; a count above 256 reads 256; nothing else checked.
        {ReadRiffPAL, "16.pal",
         RiffHeader(2).U8(1).U8(2).U8(3).U8(0xEE).U8(4).U8(5).U8(6).U8(0).Data, "no error",
         With({{0, {1, 2, 3}}, {1, {4, 5, 6}}})},
        {ReadRiffPAL, "big.pal", Bytes().Text(std::string(22, 'X')).U16(999).Fill(1024, 3).Data,
         "no error", Filled(3)},
        {ReadRiffPAL, "s.pal", RiffHeader(9).Fill(30).Data, Beyond, Filled(77)},
        // ACT: the first 768 bytes; a short file keeps what it held and raises.
        {ReadACT, "a.act", Bytes().Append(PaletteBytes(Ramp())).Fill(4, 0xAB).Data, "no error",
         Ramp()},
        {ReadACT, "s.act", {1, 2, 3, 4, 5}, Beyond, With({{0, {1, 2, 3}}, {1, {4, 5, 77}}})},
        // JASC: the low 8 bits of each number, a sign, blanks before a number.
        {ReadJascPAL, "low.pal", Text(lowBits), "no error", low},
        // A bad colour line raises the conversion error; the entries before it are kept.
        {ReadJascPAL, "b1.pal", Text(JascText(3) + "255  0 128\r\n"), "''" + invalid, jascStart},
        {ReadJascPAL, "b3.pal", Text(JascText(3) + "255 0 128 \r\n"), "'128 '" + invalid,
         jascStart},
        {ReadJascPAL, "b4.pal", Text(JascText(3) + "255 0\r\n"), "''" + invalid, jascStart},
        {ReadJascPAL, "b5.pal", Text(JascText(3) + "255 x1 0\r\n"), "'x1'" + invalid, jascStart},
        {ReadJascPAL, "b7.pal", Text(JascText(3)), "''" + invalid, jascStart}, // ends early
        // Any other header leaves the palette unchanged without an error.
        {ReadJascPAL, "16.pal", Text("JASC-PAL\r\n0100\r\n16\r\n0 0 0\r\n"), "no error",
         Filled(77)},
        {ReadJascPAL, "c.pal", Text("jasc-pal\r\n0100\r\n256\r\n"), "no error", Filled(77)},
        {ReadJascPAL, "e.pal", Text("JASC-PAL\r\n0100\r\n"), "no error", Filled(77)},
        {ReadJascPAL, "f.pal", Text("JASC-PAL\r0100\r256\r"), "no error", Filled(77)},
        // GIMP: colour lines around headers and comments; entries left out are black. Other
        // files and bad lines change nothing.
        {ReadGimpGPL, "p.gpl",
         Text("GIMP Palette\r\nName: Test\r\nColumns: 4\r\n# note\r\n\r\n255   0 128\tPink\r\n"
              "  1 2 3\r\n4\t5\t6 more\r\n"),
         "no error", With({{0, {255, 0, 128}}, {1, {1, 2, 3}}, {2, {4, 5, 6}}}, 0)},
        {ReadGimpGPL, "j.gpl", Text("JASC-PAL\n0100\n256\n"), "Not a GIMP palette", Filled(77)},
        {ReadGimpGPL, "b.gpl", Text("GIMP Palette\n1 2 3\n1 2 300\n"),
         "Invalid colour on line 3 of GIMP palette", Filled(77)},
        {ReadGimpGPL, "d.gpl", Text("GIMP Palette\n1 2 3x\n"),
         "Invalid colour on line 2 of GIMP palette", Filled(77)},
        // Missing files: RIFF, ACT and JASC skip them; the rest raise.
        {ReadRiffPAL, "", {}, "no error", Filled(77)},
        {ReadACT, "", {}, "no error", Filled(77)},
        {ReadJascPAL, "", {}, "no error", Filled(77)},
        {ReadGimpGPL, "", {}, "File not found", Filled(77)},
        {ReadPAL, "", {}, "File not found", Filled(77)},
    };
    TempDir dir;
    for (const auto &[read, name, bytes, error, palette] : cases) {
        const TReadResult r =
            ReadWith(read, name.empty() ? dir.File("absent") : Put(dir, name, bytes));
        EXPECT_EQ(std::tie(r.Error, r.Palette), std::tie(error, palette)) << name;
    }
}

TEST(PaletteNames, ExtensionTest)
{
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\Pal\\GAME.BMP", ".bmp"}, {"/home/x/a.Pal", ".pal"}, {"C:x.ACT", ".act"},
        {"dir.pal\\name", ""},         {"dir.pal/name", ""},      {"c.pal:stream", ""},
        {"name", ""},                  {"a.tar.CMP", ".cmp"},
        {"x.\xC3\x84", ".\xC3\x84"}, // only A..Z are lowered
    };
    for (const auto &[name, ext] : cases)
        EXPECT_EQ(LowerFileExt(name), ext) << name;
}

TEST(PaletteNames, BuiltInNamesAreExactAndFilesAreJudgedByExtension)
{
    TempDir dir;
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal", "f.sft", "dflt"})
        Put(dir, name, Text("not examined"));
    const TPalette nine = Filled(9);
    Put(dir, "with.BM", BMBytes({}, 8, &nine));
    Put(dir, "without.bm", BMBytes({}));
    std::filesystem::create_directory(dir.Path / "folder.pal");
    for (const std::string name : {"Dflt", "Uicolormap"})
        EXPECT_TRUE(IsValidPalette(name)) << name;
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal", "with.BM"})
        EXPECT_TRUE(IsValidPalette(dir.File(name))) << name;
    for (const std::string name : {"dflt", "UICOLORMAP", ""})
        EXPECT_FALSE(IsValidPalette(name)) << name;
    // A .bm counts only with its own palette.
    for (const char *name : {"f.sft", "dflt", "absent.bmp", "folder.pal", "without.bm"})
        EXPECT_FALSE(IsValidPalette(dir.File(name))) << name;
    EXPECT_EQ(MessageOf([&] { IsValidPalette(Put(dir, "broken.bm", Text("BM  short"))); }), Beyond);

    // Loading: a missing file gives the default; a file of another kind, or a .pal neither
    // RIFF nor JASC, leaves the palette as it was; a BM without its own palette gives black.
    const std::pair<std::string, TReadResult> loads[] = {
        {"Dflt", {"no error", DfltPalette()}},
        {"Uicolormap", {"no error", UicolormapPalette()}},
        {Put(dir, "c.cmp", CMPBytes(0)), {"no error", Ramp()}},
        {dir.File("with.BM"), {"no error", Filled(9)}},
        {dir.File("missing.act"), {"no error", DfltPalette()}},
        {Put(dir, "g.txt", Text("x")), {"no error", Filled(77)}},
        {Put(dir, "o.pal", Text("OTHER stuff")), {"no error", Filled(77)}},
        {dir.File("without.bm"), {"no error", Filled(0)}},
        {Put(dir, "short.cmp", Text("CMP ")), {Beyond, Filled(77)}},
        {Put(dir, "tiny.pal", Text("RIF")), {Beyond, Filled(77)}},
    };
    for (const auto &[name, want] : loads) {
        const TReadResult r = ReadWith(LoadPalette, name);
        EXPECT_EQ(std::tie(r.Error, r.Palette), std::tie(want.Error, want.Palette)) << name;
    }
}

TEST(PaletteSource, BuiltInNamesFilesAndFailures)
{
    EXPECT_EQ(LoadPaletteSource("Uicolormap"), UicolormapPalette());
    TempDir dir;
    // A RIFF file of two entries: the rest are black, not the default palette's.
    TPalette two{};
    two[0] = {10, 20, 30};
    EXPECT_EQ(
        LoadPaletteSource(Put(dir, "two.pal", RiffHeader(2).U8(10).U8(20).U8(30).Fill(1025).Data)),
        two);
    const std::pair<std::string, std::string> failures[] = {
        {"dflt", "File not found"},
        {Put(dir, "junk.pal", Text("NOPE and more bytes")), "No palette in this file"},
        {Put(dir, "plain.bm", BMBytes({})), "No palette in this file"},
        {Put(dir, "short.act", std::vector<uint8_t>(100, 1)), Beyond},
    };
    for (const auto &[name, message] : failures)
        EXPECT_EQ(MessageOf([&] { LoadPaletteSource(name); }), message) << name;
}

// Every palette colour, its one-off neighbours and random colours, one by one and in bulk: the
// import's first equal entry, else 255; the 8-bit export's first equal entry, else the nearest.
static void ExpectMatchesAsTheLoopsDo(const TPalette &p, std::mt19937 &rng)
{
    std::vector<uint8_t> rgb;
    for (const TPaletteEntry &e : p)
        rgb.insert(rgb.end(),
                   {e.Red, e.Green, e.Blue, uint8_t(e.Red ^ 1), e.Green, e.Blue, e.Red,
                    uint8_t(e.Green ^ 1), e.Blue, e.Red, e.Green, uint8_t(e.Blue ^ 128)});
    for (int i = 0; i < 60000; ++i)
        rgb.push_back(uint8_t(rng()));
    const TPaletteMatcher matcher(p);
    TExportMatcher exporter(p);
    std::vector<uint8_t> bulk(rgb.size() / 3);
    matcher.MatchPixels(rgb.data(), bulk.size(), bulk.data());
    for (size_t i = 0; i < bulk.size(); ++i) {
        const TPaletteEntry c{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
        int exact = 0;
        while (exact < 256 && !(p[exact] == c))
            ++exact;
        exact = exact == 256 ? -1 : exact;
        ASSERT_EQ(matcher.Find(c.Red, c.Green, c.Blue), exact) << i;
        ASSERT_EQ(bulk[i], exact < 0 ? 255 : exact) << i;
        if (i % 16 == 0) { // the nearest-colour search has its own tests; a sample suffices
            ASSERT_EQ(exporter.Index(c),
                      exact < 0 ? cmpref::NearestColor(p, c.Red, c.Green, c.Blue) : exact)
                << i;
        }
    }
}

// Random palettes, the built-in ones, and few distinct colours over all 256 entries (the
// lowest index wins); odd rounds use colours whose keys differ only in the high bits, which
// crowd the same table slots.
TEST(PaletteMatch, EqualsTheStraightforwardLoops)
{
    std::mt19937 rng(1234);
    ExpectMatchesAsTheLoopsDo(DfltPalette(), rng);
    ExpectMatchesAsTheLoopsDo(UicolormapPalette(), rng);
    for (int round = 0; round < 80; ++round) {
        const int distinct = round < 40 ? 256 : 1 + round % 9;
        TPalette p;
        for (TPaletteEntry &e : p) {
            const int c = int(rng() % distinct);
            e = round < 40       ? TPaletteEntry{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}
                : round % 2 != 0 ? TPaletteEntry{0, 0, uint8_t(c * 16)}
                                 : TPaletteEntry{uint8_t(c), uint8_t(c * 3), 255};
        }
        ExpectMatchesAsTheLoopsDo(p, rng);
    }
    TPalette white{}; // index 255 found is not "no match"
    white[255] = {255, 255, 255};
    EXPECT_EQ(TPaletteMatcher(white).Find(255, 255, 255), 255);
}
