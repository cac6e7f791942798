// Palette names for scripts, and GIMP palettes read and written.

#include "CoreTestData.h"
#include "core/GLM_PaletteSource.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_FileIO.h"
#include "core/palettes/Gimp_GPL.h"

#include <gtest/gtest.h>

using namespace testutil;

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
    Bytes riff;
    riff.Text("RIFF").I32(1044).Text("PAL data").I32(1032).U16(0x300).U16(2);
    WriteFile(dir.File("two.pal"), riff.U8(10).U8(20).U8(30).U8(0).Fill(1024).Data);
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
