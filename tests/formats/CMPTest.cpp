#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

namespace {

Bytes CmpHeader(int32_t flag, int32_t version = 32)
{
    Bytes b;
    b.Text("CMP ").I32(version).I32(flag);
    for (int i = 0; i < 13; ++i)
        b.I32(i == 12 ? 0x11223344 : 0); // a stray reserved word must survive
    return b;
}

// A colormap whose every byte tells where it sits: palette entry i is (i, 255 - i, i / 2),
// level L maps i to (i + L) & 255, table t maps e to t ^ e.
Bytes PatternedCmp(int32_t flag, bool withTables)
{
    Bytes b = CmpHeader(flag);
    for (int i = 0; i < 256; ++i)
        b.U8(static_cast<uint8_t>(i)).U8(static_cast<uint8_t>(255 - i)).U8(
            static_cast<uint8_t>(i / 2));
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(static_cast<uint8_t>(i + level));
    if (withTables)
        for (int t = 0; t < 256; ++t)
            for (int e = 0; e < 256; ++e)
                b.U8(static_cast<uint8_t>(t ^ e));
    return b;
}

class CMPFile : public ::testing::Test
{
protected:
    void TearDown() override { InjectWriteFailureForTesting(std::nullopt); }
    TempDir Dir;
};

} // namespace

TEST_F(CMPFile, FreshColormapSavesAs17216BytesOfHeaderAndZeros)
{
    TCMP cmp;
    cmp.SaveToFile(Dir.File("new.cmp"));
    Bytes want;
    want.Text("CMP ").I32(32).I32(0).Fill(52).Fill(768 + 16384);
    EXPECT_EQ(want.Size(), 17216u);
    EXPECT_EQ(ReadFile(Dir.File("new.cmp")), want.Data);
}

TEST_F(CMPFile, ReadsEveryRegionAtItsOffset)
{
    const std::string path = Dir.File("a.cmp");
    WriteFile(path, PatternedCmp(1, true).Data);
    TCMP cmp;
    cmp.LoadFromFile(path);
    EXPECT_EQ(std::string(cmp.Header.Magic, 4), "CMP ");
    EXPECT_EQ(cmp.Header.Version, 32);
    EXPECT_EQ(cmp.Header.HasTransparency, 1);
    EXPECT_EQ(cmp.Header.Reserved[12], 0x11223344);
    EXPECT_EQ(cmp.Palette[0], (TPaletteEntry{0, 255, 0}));
    EXPECT_EQ(cmp.Palette[200], (TPaletteEntry{200, 55, 100}));
    EXPECT_EQ(cmp.LightLevels[0][0], 0);
    EXPECT_EQ(cmp.LightLevels[63][200], static_cast<uint8_t>(263));
    EXPECT_EQ(cmp.TransTables[0][255], 255);
    EXPECT_EQ(cmp.TransTables[170][85], 255);
    EXPECT_EQ(cmp.TransTables[255][254], 1);
}

TEST_F(CMPFile, RoundTripsAreByteIdenticalWithAndWithoutTables)
{
    // Bytes after the last item are ignored and not written back.
    for (bool tables : {false, true}) {
        const Bytes file = PatternedCmp(tables ? 1 : 0, tables);
        Bytes withTail = file;
        withTail.Fill(10, 0xEE);
        const std::string in = Dir.File("in.cmp"), out = Dir.File("out.cmp");
        WriteFile(in, withTail.Data);
        TCMP cmp;
        cmp.LoadFromFile(in);
        cmp.SaveToFile(out);
        EXPECT_EQ(ReadFile(out), file.Data) << tables;
        EXPECT_EQ(file.Size(), tables ? 82752u : 17216u);
    }
}

TEST_F(CMPFile, AnyNonZeroFlagStoresTheTables)
{
    TCMP cmp;
    cmp.TransTables[3][4] = 9;
    for (int32_t flag : {1, 2, -1}) {
        cmp.Header.HasTransparency = flag;
        cmp.SaveToFile(Dir.File("t.cmp"));
        const auto bytes = ReadFile(Dir.File("t.cmp"));
        ASSERT_EQ(bytes.size(), 82752u) << flag;
        EXPECT_EQ(I32At(bytes, 8), flag);
        EXPECT_EQ(bytes[17216 + 3 * 256 + 4], 9);
    }
    // A flag-2 file is read with its tables, too.
    const std::string path = Dir.File("two.cmp");
    WriteFile(path, PatternedCmp(2, true).Data);
    TCMP other;
    other.LoadFromFile(path);
    EXPECT_EQ(other.TransTables[1][3], 2);
}

TEST_F(CMPFile, LoadWithoutFlagKeepsPreviousTablesAndDoesNotWriteThem)
{
    const std::string path = Dir.File("plain.cmp");
    WriteFile(path, PatternedCmp(0, false).Data);
    TCMP cmp;
    cmp.TransTables[7][8] = 42;
    cmp.LoadFromFile(path);
    EXPECT_EQ(cmp.TransTables[7][8], 42);
    cmp.SaveToFile(Dir.File("out.cmp"));
    EXPECT_EQ(ReadFile(Dir.File("out.cmp")).size(), 17216u);
}

TEST_F(CMPFile, FillPaletteTouchesOnlyThePalette)
{
    TCMP cmp;
    cmp.LightLevels[5][6] = 77;
    cmp.FillPalette(255, 0, 255);
    for (const TPaletteEntry &e : cmp.Palette)
        ASSERT_EQ(e, (TPaletteEntry{255, 0, 255}));
    EXPECT_EQ(cmp.LightLevels[5][6], 77);
}

// A short file must fail cleanly and leave the document as it was, so a window never shows
// or later saves a half-read colormap.
TEST_F(CMPFile, TruncatedFilesFailAndLeaveTheObjectUnchanged)
{
    const Bytes full = PatternedCmp(1, true);
    const size_t cuts[] = {0, 10, 63, 64, 831, 17215, 17216, 82751};
    for (size_t cut : cuts) {
        const std::string path = Dir.File("short.cmp");
        WriteFile(path, std::vector<uint8_t>(full.Data.begin(), full.Data.begin() + cut));
        TCMP cmp;
        cmp.LightLevels[1][1] = 5;
        cmp.TransTables[2][2] = 6;
        EXPECT_EQ(MessageOf([&] { cmp.LoadFromFile(path); }), "Read beyond end of file") << cut;
        EXPECT_EQ(cmp.Header.HasTransparency, 0);
        EXPECT_EQ(cmp.Palette[1], (TPaletteEntry{0, 0, 0}));
        EXPECT_EQ(cmp.LightLevels[1][1], 5);
        EXPECT_EQ(cmp.TransTables[2][2], 6);
    }
    // The same 17216 bytes are a whole file once the flag is clear.
    Bytes plain = PatternedCmp(0, false);
    WriteFile(Dir.File("ok.cmp"), plain.Data);
    TCMP cmp;
    EXPECT_NO_THROW(cmp.LoadFromFile(Dir.File("ok.cmp")));
}

// Guards against a failed save destroying the colormap already on disk.
TEST_F(CMPFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    const std::string path = Dir.File("keep.cmp");
    const Bytes old = PatternedCmp(1, true);
    WriteFile(path, old.Data);
    TCMP cmp;
    InjectWriteFailureForTesting(1000);
    EXPECT_EQ(MessageOf([&] { cmp.SaveToFile(path); }), "Disk full");
    EXPECT_EQ(ReadFile(path), old.Data);
}
