// Palette files and palette names, checked against hand-built bytes; GIMP palettes and the
// palette sources scripts name.

#include "CoreTestData.h"
#include "SaveFaults.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_PaletteSource.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/GLM_Palettes.h"
#include "core/palettes/Gimp_GPL.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_FileIO.h"

#include <gtest/gtest.h>

using namespace testutil;

namespace {

const char *const Beyond = "Read beyond end of file";
Bytes RiffHeader(uint16_t count)
{
    Bytes b;
    b.Text("RIFF").I32(1044).Text("PAL data").I32(1032).U16(0x0300).U16(count);
    return b;
}

// The JASC header and `colourLines` lines "k k/2 255-k".
std::string JascText(int colourLines, const std::string &eol = "\r\n")
{
    std::string s = "JASC-PAL" + eol + "0100" + eol + "256" + eol;
    for (int k = 0; k < colourLines; ++k)
        s += std::to_string(k) + " " + std::to_string(k / 2) + " " + std::to_string(255 - k) +
             eol;
    return s;
}

// A BM file without images, with or without Ramp() as its own palette.
std::vector<uint8_t> BMFile(bool withPalette)
{
    Bytes b = BMHeaderBytes({.Palette = withPalette ? 2 : 1});
    return withPalette ? b.Append(PaletteBytes(Ramp())).Data : b.Data;
}

} // namespace

TEST(RiffPAL, WritesThe1052ByteLayoutAndReadsItBack)
{
    TempDir dir;
    WriteRiffPAL(dir.File("a.pal"), Ramp());
    // The two sizes, 1044 and 1032, count the four trailing zero bytes.
    Bytes want = RiffHeader(256);
    for (const TPaletteEntry &e : Ramp())
        want.U8(e.Red).U8(e.Green).U8(e.Blue).U8(0);
    want.I32(0);
    ASSERT_EQ(want.Size(), 1052u);
    EXPECT_EQ(ReadFile(dir.File("a.pal")), want.Data);
    EXPECT_EQ(ReadWith(ReadRiffPAL, dir.File("a.pal")).Palette, Ramp());
}

TEST(RiffPAL, ReadsOnlyTheCountedEntries)
{
    TempDir dir;
    Bytes b = RiffHeader(16);
    TPalette want = Filled(200);
    for (int k = 0; k < 16; ++k) {
        b.U8(uint8_t(k)).U8(uint8_t(k + 1)).U8(uint8_t(k + 2)).U8(0xEE);
        want[k] = {uint8_t(k), uint8_t(k + 1), uint8_t(k + 2)};
    }
    EXPECT_EQ(ReadWith(ReadRiffPAL, Put(dir, "16.pal", b.Data), Filled(200)).Palette, want);
    // A count above 256 reads 256 entries; nothing of the header is checked.
    const Bytes big = Bytes().Text(std::string(22, 'X')).U16(999).Fill(1024, 3);
    EXPECT_EQ(ReadWith(ReadRiffPAL, Put(dir, "big.pal", big.Data)).Palette, Filled(3));
    // A short file raises and changes nothing; a missing one is skipped.
    const TReadResult cut = ReadWith(ReadRiffPAL, Put(dir, "s.pal", RiffHeader(9).Fill(30).Data));
    EXPECT_EQ(cut.Error, Beyond);
    EXPECT_EQ(cut.Palette, Filled(77));
    EXPECT_EQ(ReadWith(ReadRiffPAL, dir.File("absent.pal")).Error, "no error");
}

TEST(JascPAL, WritesCrLfLinesWithSingleSpacesAndReadsThemBack)
{
    TempDir dir;
    TPalette p = Filled(0);
    p[0] = {255, 0, 128};
    p[255] = {1, 22, 3};
    WriteJascPAL(dir.File("j.pal"), p);
    std::string want = "JASC-PAL\r\n0100\r\n256\r\n255 0 128\r\n";
    for (int k = 1; k < 255; ++k)
        want += "0 0 0\r\n";
    EXPECT_EQ(ReadFile(dir.File("j.pal")), Text(want + "1 22 3\r\n"));
    EXPECT_EQ(ReadWith(ReadJascPAL, dir.File("j.pal")).Palette, p);
}

TEST(JascPAL, KeepsTheLow8BitsOfEachNumber)
{
    TempDir dir;
    std::string s = JascText(0, "\n") + "300 -1 256\n7 +8  9\n"; // LF-only lines are read too
    for (int k = 2; k < 256; ++k)
        s += "1 2 3\n";
    const TPalette p = ReadWith(ReadJascPAL, Put(dir, "j.pal", Text(s))).Palette;
    EXPECT_EQ(p[0], (TPaletteEntry{44, 255, 0}));
    EXPECT_EQ(p[1], (TPaletteEntry{7, 8, 9})); // a sign, and blanks before the last number
    EXPECT_EQ(p[255], (TPaletteEntry{1, 2, 3}));
}

TEST(JascPAL, ABadOrMissingColourLineRaisesTheConversionError)
{
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"255  0 128\r\n", "''"},     // two spaces after the first number
        {" 255 0 128\r\n", "''"},     // a leading space splits off an empty red
        {"255 0 128 \r\n", "'128 '"}, // nothing may follow the digits
        {"255 0\r\n", "''"},          // only two numbers
        {"255 x1 0\r\n", "'x1'"},
        {"99999999999 0 0\r\n", "'99999999999'"},
        {"", "''"}, // the file ends after three colours
    };
    for (const auto &[tail, quoted] : cases) {
        const TReadResult r = ReadWith(ReadJascPAL, Put(dir, "bad.pal", Text(JascText(3) + tail)));
        EXPECT_EQ(r.Error, quoted + " is not a valid integer value") << tail;
        // Entries before the bad line are kept, the rest untouched.
        EXPECT_EQ(r.Palette[2], (TPaletteEntry{2, 1, 253}));
        EXPECT_EQ(r.Palette[3], (TPaletteEntry{77, 77, 77}));
    }
}

TEST(JascPAL, OtherHeadersLeaveThePaletteUnchanged)
{
    TempDir dir;
    for (const std::string h : {
             "JASC-PAL\r\n0100\r\n16\r\n0 0 0\r\n", // a 16-colour file
             "jasc-pal\r\n0100\r\n256\r\n",         // case-sensitive
             "JASC-PAL \r\n0100\r\n256\r\n",        // no blanks allowed
             "JASC-PAL\r\n0100\r\n",                // too short for a header
             "JASC-PAL\r0100\r256\r",               // a lone CR does not end a line
         }) {
        const TReadResult r = ReadWith(ReadJascPAL, Put(dir, "x.pal", Text(h)));
        EXPECT_EQ(r.Error, "no error") << h;
        EXPECT_EQ(r.Palette, Filled(77)) << h;
    }
}

TEST(AdobeACT, ReadsTheFirst768BytesAndWritesExactly768)
{
    TempDir dir;
    const Bytes act = Bytes().Append(PaletteBytes(Ramp())).Fill(4, 0xAB); // 772 bytes
    EXPECT_EQ(ReadWith(ReadACT, Put(dir, "a.act", act.Data)).Palette, Ramp());
    WriteACT(dir.File("b.act"), Ramp());
    EXPECT_EQ(ReadFile(dir.File("b.act")), PaletteBytes(Ramp()));
    // A short file keeps the bytes it held and raises; a missing one is skipped.
    const TReadResult r = ReadWith(ReadACT, Put(dir, "s.act", {1, 2, 3, 4, 5}));
    TPalette want = Filled(77);
    want[0] = {1, 2, 3};
    want[1] = {4, 5, 77};
    EXPECT_EQ(r.Error, Beyond);
    EXPECT_EQ(r.Palette, want);
    EXPECT_EQ(ReadWith(ReadACT, dir.File("absent.act")).Error, "no error");
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
    EXPECT_TRUE(IsValidPalette("Dflt"));
    EXPECT_TRUE(IsValidPalette("Uicolormap"));
    for (const char *name : {"dflt", "UICOLORMAP", ""})
        EXPECT_FALSE(IsValidPalette(name)) << name;
    TempDir dir;
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal", "f.sft", "dflt"})
        WriteFile(dir.File(name), Text("not examined"));
    WriteFile(dir.File("with.BM"), BMFile(true));
    WriteFile(dir.File("without.bm"), BMFile(false));
    WriteFile(dir.File("broken.bm"), Text("BM  short"));
    std::filesystem::create_directory(dir.Path / "folder.pal");
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal", "with.BM"})
        EXPECT_TRUE(IsValidPalette(dir.File(name))) << name;
    // A .bm counts only with its own palette.
    for (const char *name : {"f.sft", "dflt", "absent.bmp", "folder.pal", "without.bm"})
        EXPECT_FALSE(IsValidPalette(dir.File(name))) << name;
    EXPECT_EQ(MessageOf([&] { IsValidPalette(dir.File("broken.bm")); }), Beyond);
}

TEST(PaletteNames, LoadsEachKindOfSourceAndTellsRiffFromJasc)
{
    TempDir dir;
    WriteFile(dir.File("c.cmp"), CMPBytes(0));
    WriteFile(dir.File("b.BM"), BMFile(true));
    WriteACT(dir.File("a.ACT"), Ramp());
    WriteRiffPAL(dir.File("r.pal"), Ramp());
    WriteJascPAL(dir.File("j.PAL"), Ramp());
    for (const char *name : {"c.cmp", "b.BM", "a.ACT", "r.pal", "j.PAL"})
        EXPECT_EQ(ReadWith(LoadPalette, dir.File(name)).Palette, Ramp()) << name;
    EXPECT_EQ(ReadWith(LoadPalette, "Dflt").Palette, DfltPalette());
    EXPECT_EQ(ReadWith(LoadPalette, "Uicolormap").Palette, UicolormapPalette());
    // A missing file gives the default; a file of another kind, or a .pal neither RIFF nor
    // JASC, leaves the palette as it was; a BM without its own palette gives black.
    EXPECT_EQ(ReadWith(LoadPalette, dir.File("missing.act")).Palette, DfltPalette());
    EXPECT_EQ(ReadWith(LoadPalette, Put(dir, "g.txt", Text("x"))).Palette, Filled(77));
    const TReadResult other = ReadWith(LoadPalette, Put(dir, "o.pal", Text("OTHER stuff")));
    EXPECT_EQ(other.Error, "no error");
    EXPECT_EQ(other.Palette, Filled(77));
    EXPECT_EQ(ReadWith(ReadBMPalette, Put(dir, "w.bm", BMFile(false))).Palette, Filled(0));
    EXPECT_EQ(ReadWith(LoadPalette, Put(dir, "short.cmp", Text("CMP "))).Error, Beyond);
    EXPECT_EQ(ReadWith(LoadPalette, Put(dir, "tiny.pal", Text("RIF"))).Error, Beyond);
    EXPECT_EQ(ReadWith(ReadPAL, dir.File("absent.pal")).Error, "File not found");
}

// ---- GIMP palettes, and palette names for scripts

TEST(GimpPalette, ReadsColourLinesAroundHeadersAndComments)
{
    TempDir dir;
    WriteFile(dir.File("p.gpl"), Text("GIMP Palette\r\nName: Test\r\nColumns: 4\r\n# note\r\n"
                                      "\r\n255   0 128\tPink\r\n  1 2 3\r\n4\t5\t6 more\r\n"));
    TPalette want{}; // entries the file leaves out are black
    want[0] = {255, 0, 128};
    want[1] = {1, 2, 3};
    want[2] = {4, 5, 6};
    EXPECT_EQ(ReadWith(ReadGimpGPL, dir.File("p.gpl")).Palette, want);
}

TEST(GimpPalette, RejectsOtherFilesAndBadLinesChangingNothing)
{
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"JASC-PAL\n0100\n256\n", "Not a GIMP palette"},
        {"GIMP Palette\n1 2 3\n1 2 300\n", "Invalid colour on line 3 of GIMP palette"},
        {"GIMP Palette\n1 2\n", ""},
        {"GIMP Palette\n1 2 3x\n", ""},
    };
    for (const auto &[text, message] : cases) {
        const TReadResult r = ReadWith(ReadGimpGPL, Put(dir, "a.gpl", Text(text)));
        EXPECT_EQ(message.empty() ? r.Error : message, r.Error) << text;
        EXPECT_NE(r.Error, "no error") << text;
        EXPECT_EQ(r.Palette, Filled(77)) << text;
    }
    EXPECT_EQ(ReadWith(ReadGimpGPL, dir.File("none.gpl")).Error, "File not found");
}

TEST(GimpPalette, WritesAllEntriesAndReadsThemBack)
{
    TempDir dir;
    WriteGimpGPL(dir.File("out.gpl"), Ramp(), "two\nlines");
    const std::vector<uint8_t> bytes = ReadFile(dir.File("out.gpl"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 45), "GIMP Palette\nName: two lines\nColumns: 16\n#\n  ");
    EXPECT_NE(text.find("\n  1 254   7\tIndex 1\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(ReadWith(ReadGimpGPL, dir.File("out.gpl")).Palette, Ramp());
}

TEST(PaletteSource, BuiltInNamesFilesAndFailures)
{
    EXPECT_EQ(LoadPaletteSource("Dflt"), DfltPalette());
    EXPECT_EQ(LoadPaletteSource("Uicolormap"), UicolormapPalette());
    TempDir dir;
    // A RIFF file of two entries: the rest are black, not the default palette's.
    WriteFile(dir.File("two.pal"), RiffHeader(2).U8(10).U8(20).U8(30).U8(0).Fill(1024).Data);
    TPalette two{};
    two[0] = {10, 20, 30};
    EXPECT_EQ(LoadPaletteSource(dir.File("two.pal")), two);
    WriteFile(dir.File("junk.pal"), Text("NOPE and more bytes"));
    TBM().SaveToFile(dir.File("plain.bm")); // no palette of its own
    WriteFile(dir.File("short.act"), std::vector<uint8_t>(100, 1));
    const std::pair<std::string, std::string> failures[] = {
        {"dflt", "File not found"},
        {dir.File("junk.pal"), "No palette in this file"}, // a .pal no reader knows
        {dir.File("plain.bm"), "No palette in this file"},
        {dir.File("short.act"), "Read beyond end of file"},
    };
    for (const auto &[name, message] : failures)
        EXPECT_EQ(MessageOf([&] { LoadPaletteSource(name); }), message) << name;
}

// Every palette writer saves through the atomic save: a full disk keeps the old file.
TEST(PaletteWriters, AFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = Put(dir, "old.pal", {1, 2, 3});
    for (void (*write)(const std::string &, const TPalette &) : {WriteRiffPAL, WriteJascPAL, WriteACT}) {
        TScopedFullDisk full(100);
        EXPECT_EQ(MessageOf([&] { write(path, Ramp()); }), "Disk full");
    }
    {
        TScopedFullDisk full(100);
        EXPECT_EQ(MessageOf([&] { WriteGimpGPL(path, Ramp(), "x"); }), "Disk full");
    }
    EXPECT_EQ(FolderNames(dir.Path), std::set<std::string>{"old.pal"});
    EXPECT_EQ(ReadFile(path), (std::vector<uint8_t>{1, 2, 3}));
}
