#include "FormatTests.h"
#include "formats/LEC_CMP.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace testutil;
using CMPFile = FormatTest<TCMP>;

// Everything a colormap file can set, for the checks that a rejected file changes nothing.
static bool operator==(const TCMP &a, const TCMP &b)
{
    return std::memcmp(&a.Header, &b.Header, sizeof a.Header) == 0 && a.Palette == b.Palette &&
           a.LightLevels == b.LightLevels && a.TransTables == b.TransTables;
}

namespace {

// A colormap whose every byte tells where it sits: palette entry i is (i, 255 - i, i / 2),
// level L maps i to (i + L) & 255, table t maps e to t ^ e. The tint is 0.5, 1 and a
// signalling NaN, whose bits must survive as a stray reserved word must.
Bytes PatternedCmp(int32_t flag, bool withTables)
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(flag).I32(0x3F000000).I32(0x3F800000).I32(0x7FA00001);
    b.Fill(36).I32(0x11223344);
    for (int i = 0; i < 256; ++i)
        b.U8(uint8_t(i)).U8(uint8_t(255 - i)).U8(uint8_t(i / 2));
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(uint8_t(i + level));
    for (int t = 0; withTables && t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            b.U8(uint8_t(t ^ e));
    return b;
}

} // namespace

// Flag 2 stores the tables as 1 does; bytes after the last item are ignored, not written back.
TEST_F(CMPFile, ReadsEveryRegionAtItsOffsetAndRoundTripsByteIdentical)
{
    for (int32_t flag : {0, 2}) {
        const Bytes file = PatternedCmp(flag, flag != 0);
        ASSERT_EQ(file.Size(), flag ? 82752u : 17216u);
        Bytes withTail = file;
        TCMP cmp;
        cmp.TransTables[7][8] = 42; // without the flag the tables held are kept, not written
        EXPECT_EQ(RoundTrip(withTail.Fill(10, 0xEE).Data, cmp), file.Data) << flag;
        EXPECT_EQ(std::string(cmp.Header.Magic, 4), "CMP ");
        EXPECT_EQ(
            (std::array{cmp.Header.Version, cmp.Header.HasTransparency, cmp.Header.Reserved[9]}),
            (std::array{32, flag, 0x11223344}));
        EXPECT_EQ(cmp.Header.Tint[0], 0.5f);
        EXPECT_EQ(cmp.Header.Tint[1], 1.0f);
        EXPECT_TRUE(std::isnan(cmp.Header.Tint[2]));
        EXPECT_EQ(cmp.Palette[200], (TPaletteEntry{200, 55, 100}));
        EXPECT_EQ(cmp.LightLevels[63][200], static_cast<uint8_t>(263));
        EXPECT_EQ(cmp.TransTables[7][8], flag ? (7 ^ 8) : 42);
        EXPECT_EQ(cmp.TransTables[255][254], flag ? 1 : 0);
    }
}

TEST_F(CMPFile, AsCreatedIs17216BytesAndAnyNonZeroFlagAddsTheTables)
{
    TCMP cmp;
    Bytes want;
    want.Text("CMP ").I32(32).I32(0).Fill(52 + 768 + 16384);
    ASSERT_EQ(want.Size(), 17216u);
    EXPECT_EQ(Saved(cmp), want.Data);
    cmp.TransTables[3][4] = 9;
    cmp.FillPalette(255, 0, 254);
    for (int32_t flag : {1, 2, -1}) {
        cmp.Header.HasTransparency = flag;
        const auto bytes = Saved(cmp);
        ASSERT_EQ(bytes.size(), 82752u) << flag;
        EXPECT_EQ(I32At(bytes, 8), flag);
        EXPECT_EQ(bytes[17216 + 3 * 256 + 4], 9);
        for (size_t i = 64; i < 64 + 768; i += 3)
            ASSERT_EQ(I32At(bytes, i) & 0xFFFFFF, 0xFE00FF) << i;
        // FillPalette set the palette and nothing else: all zeros after it but the 9.
        EXPECT_EQ(std::count(bytes.begin() + 832, bytes.end(), 0), 16384 + 65535);
    }
}

TEST_F(CMPFile, TruncatedFilesAreRejected)
{
    TCMP cmp;
    cmp.LightLevels[1][1] = 5;
    cmp.TransTables[2][2] = 6;
    // Inside the header, at its end, inside the palette, the light levels and the tables.
    ExpectCutsRejected(cmp, PatternedCmp(1, true).Data, {0, 10, 63, 64, 831, 17215, 17216});
}
