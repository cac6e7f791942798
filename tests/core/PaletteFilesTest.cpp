// Palette files and palette names, checked against hand-built bytes.

#include "palettes/Adobe_ACT.h"
#include "palettes/GLM_Palettes.h"
#include "palettes/Jasc_PAL.h"
#include "palettes/Microsoft_PAL.h"
#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

namespace {

// Entry k = (k, 255 - k, k * 7 mod 256): every entry distinct, every channel used.
TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

TPalette Filled(uint8_t v)
{
    TPalette p;
    p.fill({v, v, v});
    return p;
}

std::vector<uint8_t> RiffHeader(uint16_t count)
{
    return Bytes().Text("RIFF").I32(1044).Text("PAL data").I32(1032).U16(0x0300).U16(count).Data;
}

std::string JascText(int colourLines, const std::string &eol = "\r\n")
{
    std::string s = "JASC-PAL" + eol + "0100" + eol + "256" + eol;
    for (int k = 0; k < colourLines; ++k)
        s += std::to_string(k) + " " + std::to_string(k / 2) + " " + std::to_string(255 - k) +
             eol;
    return s;
}

std::vector<uint8_t> Text(const std::string &s) { return {s.begin(), s.end()}; }

// A BM file without images, with or without its own palette.
std::vector<uint8_t> BMFile(bool withPalette, const TPalette &palette)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(withPalette ? 2 : 1).I32(0).Fill(128 - 20);
    if (withPalette)
        b.Append(std::vector<uint8_t>(&palette[0].Red, &palette[0].Red + 768));
    return b.Data;
}

} // namespace

TEST(RiffPAL, WritesTheFixed1052ByteLayout)
{
    TempDir dir;
    const TPalette ramp = Ramp();
    WriteRiffPAL(dir.File("a.pal"), ramp);
    const auto bytes = ReadFile(dir.File("a.pal"));
    ASSERT_EQ(bytes.size(), 1052u);
    // The two sizes count the four trailing zero bytes.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 24), RiffHeader(256));
    EXPECT_EQ(I32At(bytes, 4), 1044);
    EXPECT_EQ(I32At(bytes, 16), 1032);
    for (int k = 0; k < 256; ++k) {
        const size_t at = 24 + 4 * size_t(k);
        EXPECT_EQ(bytes[at], ramp[k].Red);
        EXPECT_EQ(bytes[at + 1], ramp[k].Green);
        EXPECT_EQ(bytes[at + 2], ramp[k].Blue);
        EXPECT_EQ(bytes[at + 3], 0);
    }
    EXPECT_EQ(I32At(bytes, 1048), 0);

    TPalette back = Filled(9);
    ReadRiffPAL(dir.File("a.pal"), back);
    EXPECT_EQ(back, ramp);
}

TEST(RiffPAL, ReadsOnlyTheCountedEntries)
{
    TempDir dir;
    Bytes b;
    b.Append(RiffHeader(16));
    for (int k = 0; k < 16; ++k)
        b.U8(uint8_t(k)).U8(uint8_t(k + 1)).U8(uint8_t(k + 2)).U8(0xEE);
    WriteFile(dir.File("16.pal"), b.Data);
    TPalette p = Filled(200);
    ReadRiffPAL(dir.File("16.pal"), p);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(p[k], (TPaletteEntry{uint8_t(k), uint8_t(k + 1), uint8_t(k + 2)}));
    for (int k = 16; k < 256; ++k)
        EXPECT_EQ(p[k], (TPaletteEntry{200, 200, 200})) << k;

    // A count above 256 reads 256 entries; nothing of the header is checked.
    Bytes big;
    big.Text("XXXXXXXXXXXXXXXXXXXXXX").U16(1000).Fill(1024, 3);
    WriteFile(dir.File("big.pal"), big.Data);
    ReadRiffPAL(dir.File("big.pal"), p);
    EXPECT_EQ(p, Filled(3));
}

TEST(RiffPAL, ShortOrMissingFiles)
{
    TempDir dir;
    Bytes b;
    b.Append(RiffHeader(256)).Fill(100 * 4, 1);
    WriteFile(dir.File("short.pal"), b.Data);
    TPalette p = Filled(5);
    EXPECT_EQ(MessageOf([&] { ReadRiffPAL(dir.File("short.pal"), p); }),
              "Read beyond end of file");
    EXPECT_EQ(p, Filled(5));
    EXPECT_EQ(MessageOf([&] { ReadRiffPAL(dir.File("absent.pal"), p); }), "no error");
    EXPECT_EQ(p, Filled(5));
}

TEST(JascPAL, WritesCrLfLinesWithSingleSpaces)
{
    TempDir dir;
    TPalette p = Filled(0);
    p[0] = {255, 0, 128};
    p[255] = {1, 22, 3};
    WriteJascPAL(dir.File("j.pal"), p);
    const auto bytes = ReadFile(dir.File("j.pal"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 32), "JASC-PAL\r\n0100\r\n256\r\n255 0 128\r\n");
    EXPECT_EQ(text.substr(text.size() - 15), "0 0 0\r\n1 22 3\r\n");
    EXPECT_EQ(text.size(), 21u + 11 + 254 * 7 + 8);

    TPalette back = Filled(7);
    ReadJascPAL(dir.File("j.pal"), back);
    EXPECT_EQ(back, p);
}

TEST(JascPAL, KeepsTheLow8BitsOfEachNumber)
{
    TempDir dir;
    std::string s = JascText(0, "\n"); // LF-only lines are read too
    s += "300 -1 256\n7 +8  9\n";
    for (int k = 2; k < 256; ++k)
        s += "1 2 3\n";
    WriteFile(dir.File("j.pal"), Text(s));
    TPalette p = Filled(0);
    ReadJascPAL(dir.File("j.pal"), p);
    EXPECT_EQ(p[0], (TPaletteEntry{44, 255, 0}));
    // A sign, and blanks before the last number, are allowed.
    EXPECT_EQ(p[1], (TPaletteEntry{7, 8, 9}));
    EXPECT_EQ(p[255], (TPaletteEntry{1, 2, 3}));
}

TEST(JascPAL, ABadColourLineNamesTheOffendingText)
{
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"255  0 128", "''"},      // two spaces after the first number
        {" 255 0 128", "''"},      // a leading space splits off an empty red
        {"255 0 128 ", "'128 '"},  // nothing may follow the digits
        {"255 0", "''"},           // only two numbers
        {"255 x1 0", "'x1'"},
        {"99999999999 0 0", "'99999999999'"},
    };
    for (const auto &[line, quoted] : cases) {
        std::string s = JascText(3) + line + "\r\n";
        WriteFile(dir.File("bad.pal"), Text(s));
        TPalette p = Filled(77);
        EXPECT_EQ(MessageOf([&] { ReadJascPAL(dir.File("bad.pal"), p); }),
                  quoted + " is not a valid integer value")
            << line;
        // Entries before the bad line are kept, the rest untouched.
        EXPECT_EQ(p[2], (TPaletteEntry{2, 1, 253}));
        EXPECT_EQ(p[3], (TPaletteEntry{77, 77, 77}));
    }
    // "255 0 128" itself is fine.
    std::string good = JascText(0);
    for (int k = 0; k < 256; ++k)
        good += "255 0 128\r\n";
    WriteFile(dir.File("good.pal"), Text(good));
    TPalette p = Filled(0);
    ReadJascPAL(dir.File("good.pal"), p);
    EXPECT_EQ(p[17], (TPaletteEntry{255, 0, 128}));
}

TEST(JascPAL, AShortFileRaisesTheConversionError)
{
    TempDir dir;
    WriteFile(dir.File("short.pal"), Text(JascText(10)));
    TPalette p = Filled(77);
    EXPECT_EQ(MessageOf([&] { ReadJascPAL(dir.File("short.pal"), p); }),
              "'' is not a valid integer value");
    EXPECT_EQ(p[9], (TPaletteEntry{9, 4, 246}));
    EXPECT_EQ(p[10], (TPaletteEntry{77, 77, 77}));
}

TEST(JascPAL, OtherHeadersLeaveThePaletteUnchanged)
{
    TempDir dir;
    const std::string headers[] = {
        "JASC-PAL\r\n0100\r\n16\r\n0 0 0\r\n",   // a 16-colour file
        "jasc-pal\r\n0100\r\n256\r\n",           // case-sensitive
        "JASC-PAL \r\n0100\r\n256\r\n",          // no blanks allowed
        "JASC-PAL\r\n0100\r\n",                  // too short for a header
        "JASC-PAL\r0100\r256\r",                 // a lone CR does not end a line
    };
    for (const std::string &h : headers) {
        WriteFile(dir.File("x.pal"), Text(h));
        TPalette p = Filled(77);
        EXPECT_EQ(MessageOf([&] { ReadJascPAL(dir.File("x.pal"), p); }), "no error") << h;
        EXPECT_EQ(p, Filled(77)) << h;
    }
}

TEST(AdobeACT, ReadsTheFirst768BytesAndWritesExactly768)
{
    TempDir dir;
    const TPalette ramp = Ramp();
    Bytes b;
    b.Append(std::vector<uint8_t>(&ramp[0].Red, &ramp[0].Red + 768)).Fill(4, 0xAB);
    ASSERT_EQ(b.Size(), 772u);
    WriteFile(dir.File("a.act"), b.Data);
    TPalette p = Filled(0);
    ReadACT(dir.File("a.act"), p);
    EXPECT_EQ(p, ramp);

    WriteACT(dir.File("b.act"), ramp);
    EXPECT_EQ(ReadFile(dir.File("b.act")),
              std::vector<uint8_t>(b.Data.begin(), b.Data.begin() + 768));
}

TEST(AdobeACT, AShortFileKeepsWhatItHeldAndRaises)
{
    TempDir dir;
    WriteFile(dir.File("s.act"), {1, 2, 3, 4, 5});
    TPalette p = Filled(9);
    EXPECT_EQ(MessageOf([&] { ReadACT(dir.File("s.act"), p); }), "Read beyond end of file");
    EXPECT_EQ(p[0], (TPaletteEntry{1, 2, 3}));
    EXPECT_EQ(p[1], (TPaletteEntry{4, 5, 9}));
    EXPECT_EQ(p[2], (TPaletteEntry{9, 9, 9}));
    EXPECT_NO_THROW(ReadACT(dir.File("absent.act"), p));
}

TEST(PaletteWriters, AFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    const std::function<void(const std::string &, const TPalette &)> writers[] = {
        WriteRiffPAL, WriteJascPAL, WriteACT};
    for (const auto &write : writers) {
        write(dir.File("p.pal"), Ramp());
        const auto before = ReadFile(dir.File("p.pal"));
        InjectWriteFailureForTesting(10);
        EXPECT_EQ(MessageOf([&] { write(dir.File("p.pal"), Filled(1)); }), "Disk full");
        InjectWriteFailureForTesting(std::nullopt);
        EXPECT_EQ(ReadFile(dir.File("p.pal")), before);
    }
}

TEST(ReadPAL, ChoosesTheReaderByTheFirstFourBytes)
{
    TempDir dir;
    WriteRiffPAL(dir.File("r.pal"), Ramp());
    WriteJascPAL(dir.File("j.pal"), Ramp());
    WriteFile(dir.File("o.pal"), Text("OTHER stuff"));
    WriteFile(dir.File("tiny.pal"), Text("RIF"));
    TPalette p = Filled(0);
    ReadPAL(dir.File("r.pal"), p);
    EXPECT_EQ(p, Ramp());
    p = Filled(0);
    ReadPAL(dir.File("j.pal"), p);
    EXPECT_EQ(p, Ramp());
    p = Filled(4);
    EXPECT_EQ(MessageOf([&] { ReadPAL(dir.File("o.pal"), p); }), "no error");
    EXPECT_EQ(p, Filled(4));
    EXPECT_EQ(MessageOf([&] { ReadPAL(dir.File("tiny.pal"), p); }), "Read beyond end of file");
    EXPECT_EQ(MessageOf([&] { ReadPAL(dir.File("absent.pal"), p); }), "File not found");
}

TEST(PaletteNames, ExtensionTest)
{
    EXPECT_EQ(LowerFileExt("C:\\Pal\\GAME.BMP"), ".bmp");
    EXPECT_EQ(LowerFileExt("/home/x/a.Pal"), ".pal");
    EXPECT_EQ(LowerFileExt("C:x.ACT"), ".act");
    EXPECT_EQ(LowerFileExt("dir.pal\\name"), "");
    EXPECT_EQ(LowerFileExt("dir.pal/name"), "");
    EXPECT_EQ(LowerFileExt("c.pal:stream"), "");
    EXPECT_EQ(LowerFileExt("name"), "");
    EXPECT_EQ(LowerFileExt("a.tar.CMP"), ".cmp");
    EXPECT_EQ(LowerFileExt("x.\xC3\x84"), ".\xC3\x84"); // only A..Z are lowered
}

TEST(PaletteNames, BuiltInNamesAreExactAndNeedNoFile)
{
    EXPECT_TRUE(IsValidPalette("Dflt"));
    EXPECT_TRUE(IsValidPalette("Uicolormap"));
    EXPECT_FALSE(IsValidPalette("dflt"));
    EXPECT_FALSE(IsValidPalette("UICOLORMAP"));
    EXPECT_FALSE(IsValidPalette(""));

    TempDir dir;
    // A file named "dflt" exists but has no palette extension.
    WriteFile(dir.File("dflt"), Text("x"));
    EXPECT_FALSE(IsValidPalette(dir.File("dflt")));

    TPalette p = Filled(1);
    LoadPalette("Dflt", p);
    EXPECT_EQ(p, DfltPalette());
    LoadPalette("Uicolormap", p);
    EXPECT_EQ(p, UicolormapPalette());
    p = Filled(1);
    LoadPalette(dir.File("missing.act"), p);
    EXPECT_EQ(p, DfltPalette());
}

TEST(PaletteNames, FilesAreJudgedByExtensionOnly)
{
    TempDir dir;
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal"})
        WriteFile(dir.File(name), Text("not examined"));
    for (const char *name : {"a.BMP", "b.act", "c.CMP", "d.pal", "e.Pal"})
        EXPECT_TRUE(IsValidPalette(dir.File(name))) << name;
    WriteFile(dir.File("f.sft"), Text("x"));
    WriteFile(dir.File("g.txt"), Text("x"));
    EXPECT_FALSE(IsValidPalette(dir.File("f.sft")));
    EXPECT_FALSE(IsValidPalette(dir.File("g.txt")));
    EXPECT_FALSE(IsValidPalette(dir.File("absent.bmp")));
    std::filesystem::create_directory(dir.Path / "folder.pal");
    EXPECT_FALSE(IsValidPalette(dir.File("folder.pal")));

    // An existing file of another kind leaves the palette as it was.
    TPalette p = Filled(3);
    LoadPalette(dir.File("g.txt"), p);
    EXPECT_EQ(p, Filled(3));
}

TEST(PaletteNames, BMFilesCountOnlyWithTheirOwnPalette)
{
    TempDir dir;
    WriteFile(dir.File("with.BM"), BMFile(true, Ramp()));
    WriteFile(dir.File("without.bm"), BMFile(false, Ramp()));
    WriteFile(dir.File("broken.bm"), Text("BM  short"));
    EXPECT_TRUE(IsValidPalette(dir.File("with.BM")));
    EXPECT_FALSE(IsValidPalette(dir.File("without.bm")));
    EXPECT_EQ(MessageOf([&] { IsValidPalette(dir.File("broken.bm")); }),
              "Read beyond end of file");

    TPalette p = Filled(0);
    LoadPalette(dir.File("with.BM"), p);
    EXPECT_EQ(p, Ramp());
    p = Filled(9);
    ReadBMPalette(dir.File("without.bm"), p);
    EXPECT_EQ(p, Filled(0));
}

TEST(PaletteNames, LoadsEachKindOfSource)
{
    TempDir dir;
    const TPalette ramp = Ramp();
    Bytes cmp;
    cmp.Text("CMP ").I32(30).I32(0).Fill(52);
    cmp.Append(std::vector<uint8_t>(&ramp[0].Red, &ramp[0].Red + 768)).Fill(64 * 256);
    WriteFile(dir.File("c.cmp"), cmp.Data);
    WriteACT(dir.File("a.ACT"), ramp);
    WriteRiffPAL(dir.File("r.pal"), ramp);
    WriteJascPAL(dir.File("j.PAL"), ramp);
    for (const char *name : {"c.cmp", "a.ACT", "r.pal", "j.PAL"}) {
        ASSERT_TRUE(IsValidPalette(dir.File(name)));
        TPalette p = Filled(0);
        LoadPalette(dir.File(name), p);
        EXPECT_EQ(p, ramp) << name;
    }
    WriteFile(dir.File("short.cmp"), Text("CMP "));
    TPalette p = Filled(0);
    EXPECT_EQ(MessageOf([&] { LoadPalette(dir.File("short.cmp"), p); }),
              "Read beyond end of file");
}
