// Palette names for scripts, and GIMP palettes read and written.

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_FileIO.h"
#include "palettes/Gimp_GPL.h"
#include "palettes/Microsoft_PAL.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

namespace {

std::vector<uint8_t> Text(const std::string &s)
{
    return {s.begin(), s.end()};
}

TEST(GimpPalette, ReadsColourLinesAroundHeadersAndComments)
{
    TempDir dir;
    const std::string path = dir.File("p.gpl");
    WriteFile(path, Text("GIMP Palette\r\nName: Test\r\nColumns: 4\r\n# comment\r\n\r\n"
                         "255   0 128\tPink\r\n  1 2 3\r\n4\t5\t6 more words\r\n"));
    TPalette palette;
    palette.fill({7, 7, 7});
    ReadGimpGPL(path, palette);
    EXPECT_EQ(palette[0], (TPaletteEntry{255, 0, 128}));
    EXPECT_EQ(palette[1], (TPaletteEntry{1, 2, 3}));
    EXPECT_EQ(palette[2], (TPaletteEntry{4, 5, 6}));
    EXPECT_EQ(palette[3], (TPaletteEntry{0, 0, 0})); // not in the file: black
}

TEST(GimpPalette, RejectsOtherFilesAndBadLines)
{
    TempDir dir;
    TPalette palette{};
    palette[0] = {9, 9, 9};
    WriteFile(dir.File("a.gpl"), Text("JASC-PAL\n0100\n256\n"));
    EXPECT_EQ(MessageOf([&] { ReadGimpGPL(dir.File("a.gpl"), palette); }), "Not a GIMP palette");
    WriteFile(dir.File("b.gpl"), Text("GIMP Palette\n1 2 3\n1 2 300\n"));
    EXPECT_EQ(MessageOf([&] { ReadGimpGPL(dir.File("b.gpl"), palette); }),
              "Invalid colour on line 3 of GIMP palette");
    WriteFile(dir.File("c.gpl"), Text("GIMP Palette\n1 2\n"));
    EXPECT_NE(MessageOf([&] { ReadGimpGPL(dir.File("c.gpl"), palette); }), "no error");
    WriteFile(dir.File("d.gpl"), Text("GIMP Palette\n1 2 3x\n"));
    EXPECT_NE(MessageOf([&] { ReadGimpGPL(dir.File("d.gpl"), palette); }), "no error");
    EXPECT_EQ(palette[0], (TPaletteEntry{9, 9, 9})); // a failed read changes nothing
    EXPECT_EQ(MessageOf([&] { ReadGimpGPL(dir.File("none.gpl"), palette); }), "File not found");
}

TEST(GimpPalette, WritesAllEntriesAndReadsThemBack)
{
    TempDir dir;
    TPalette palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i * 7)};
    const std::string path = dir.File("out.gpl");
    WriteGimpGPL(path, palette, "two\nlines");
    const std::vector<uint8_t> bytes = ReadFile(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 45), "GIMP Palette\nName: two lines\nColumns: 16\n#\n  ");
    EXPECT_NE(text.find("\n  1 254   7\tIndex 1\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    TPalette back{};
    ReadGimpGPL(path, back);
    EXPECT_EQ(back, palette);
}

TEST(PaletteSource, BuiltInNamesFilesAndFailures)
{
    EXPECT_EQ(LoadPaletteSource("Dflt"), DfltPalette());
    EXPECT_EQ(LoadPaletteSource("Uicolormap"), UicolormapPalette());
    EXPECT_EQ(MessageOf([] { LoadPaletteSource("dflt"); }), "File not found");

    TempDir dir;
    WriteFile(dir.File("junk.pal"), Text("NOPE and more bytes"));
    EXPECT_EQ(MessageOf([&] { LoadPaletteSource(dir.File("junk.pal")); }),
              "No palette in this file");
    WriteFile(dir.File("x.sft"), Text("SFNT"));
    EXPECT_EQ(MessageOf([&] { LoadPaletteSource(dir.File("x.sft")); }),
              "No palette in this file");
    TBM bm; // no palette of its own
    bm.SaveToFile(dir.File("plain.bm"));
    EXPECT_EQ(MessageOf([&] { LoadPaletteSource(dir.File("plain.bm")); }),
              "No palette in this file");
    WriteFile(dir.File("short.act"), std::vector<uint8_t>(100, 1));
    EXPECT_EQ(MessageOf([&] { LoadPaletteSource(dir.File("short.act")); }),
              "Read beyond end of file");
}

TEST(PaletteSource, EntriesAFileLeavesOutAreBlack)
{
    TempDir dir;
    Bytes riff;
    riff.Text("RIFF").I32(1044).Text("PAL data").I32(1032).U16(0x300).U16(2);
    riff.U8(10).U8(20).U8(30).U8(0).U8(255).U8(255).U8(255).U8(0);
    riff.Fill(1024 - 8 + 4);
    WriteFile(dir.File("two.pal"), riff.Data);
    const TPalette palette = LoadPaletteSource(dir.File("two.pal"));
    EXPECT_EQ(palette[0], (TPaletteEntry{10, 20, 30}));
    EXPECT_EQ(palette[1], (TPaletteEntry{255, 255, 255}));
    EXPECT_EQ(palette[2], (TPaletteEntry{0, 0, 0}));
    EXPECT_EQ(palette[255], (TPaletteEntry{0, 0, 0}));
}

} // namespace
