#include "FormatTests.h"
#include "formats/LEC_SFT.h"

#include <numeric>
#include <stdexcept>

using namespace testutil;
using SFTFile = FormatTest<TSFT>;

namespace {

Bytes SftHeader(int32_t numRanges, int32_t gap = 0, int32_t space = 0)
{
    Bytes b;
    b.Text("SFNT").I32(10).I32(gap).I32(space).I32(0).I32(numRanges).Fill(16);
    return b;
}

// The bitmap part of a font without pixels: a fresh BM header and a 0 x 0 size.
Bytes &NoBitmap(Bytes &b, bool defaults16 = false)
{
    return b.Append(BMHeaderBytes(1, 0, 8, defaults16).Data).I32(0).I32(0);
}

// Three ranges, one of them empty (Last < First), and a 100 x 10 16-bit bitmap.
Bytes SampleFont()
{
    Bytes file = SftHeader(3, 2, 7);
    file.U16(70).U16(65).U16(97).U16(98).I32(0).I32(5).I32(5).I32(6);
    file.U16(65535).U16(65535).I32(11).I32(3);
    return file.Append(BMHeaderBytes(1, 1, 16).Data).I32(100).I32(10).Append(Ramp(2000, 9));
}

TSFT WithCodes(const std::vector<int> &codes)
{
    TSFT sft;
    for (size_t i = 0; i < codes.size(); ++i)
        sft.Chars.Add({static_cast<uint16_t>(codes[i]), int(i) * 10, codes[i] % 7 + 1});
    return sft;
}

} // namespace

TEST_F(SFTFile, AsCreatedAndDefaults16AreByteExact)
{
    TSFT sft;
    Bytes want = SftHeader(0), want16 = SftHeader(0);
    ASSERT_EQ(NoBitmap(want).Size(), 176u);
    EXPECT_EQ(Saved(sft), want.Data);
    sft.Width = 40;
    sft.Height = 8; // a window dropped the pixels but left the size: stored as 0 x 0
    EXPECT_EQ(Saved(sft), want.Data);
    sft.SetDefaults16();
    EXPECT_EQ(Saved(sft), NoBitmap(want16, true).Data);
    // Pixels too short for the size are refused rather than read past.
    sft.Pixels.assign(10, 1);
    EXPECT_NE(MessageOf([&] { sft.SaveToFile(Dir.File("bad.sft")); }), "no error");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("bad.sft")));
}

// Runs of consecutive codes in list order (never sorted) become ranges; 65535 then 0 is no run.
TEST_F(SFTFile, ConsecutiveCodesAreWrittenAsRanges)
{
    std::vector<int> ascii(95);
    std::iota(ascii.begin(), ascii.end(), 32);
    struct TCase
    {
        std::vector<int> Codes;
        std::vector<std::pair<int, int>> Ranges;
    };
    const TCase cases[] = {
        {{65, 66, 68}, {{65, 66}, {68, 68}}},
        {ascii, {{32, 126}}},
        {{65, 67, 66}, {{65, 65}, {67, 67}, {66, 66}}},
        {{65534, 65535, 0, 1}, {{65534, 65535}, {0, 1}}},
        {{}, {}},
    };
    for (const TCase &c : cases) {
        TSFT sft = WithCodes(c.Codes);
        const int ranges = int(c.Ranges.size());
        EXPECT_EQ(sft.CountRanges(), ranges);
        Bytes want = SftHeader(ranges);
        int k = 0;
        for (auto [first, last] : c.Ranges) {
            EXPECT_EQ(sft.RangeEnd(k), k + last - first) << first;
            want.U16(uint16_t(first)).U16(uint16_t(last));
            for (int code = first; code <= last; ++code, ++k)
                want.I32(k * 10).I32(code % 7 + 1);
        }
        EXPECT_EQ(sft.RangeEnd(99), k - 1); // beyond the end: the last index, or -1
        EXPECT_EQ(Saved(sft), NoBitmap(want).Data) << k << " codes";
        EXPECT_EQ(sft.Header.NumRanges, ranges);
    }
}

TEST(SFTCharList, TypedGetterNamesTheBadIndex)
{
    TSFTCharList list;
    list.Add({65, 1, 2});
    list.Add({66, 3, 4});
    list.Insert(2, {67, 5, 6});
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), (TSFTCharDef{66, 3, 4}));
    EXPECT_THROW(list.Items(2), std::out_of_range);
    for (int bad : {-1, 2})
        EXPECT_EQ(MessageOf([&] { list[bad]; }),
                  "Character definition index is out of bounds: " + std::to_string(bad));
    EXPECT_EQ(MessageOf([&] { list.Delete(2); }), "Character definition index is out of bounds: 2");
}

TEST_F(SFTFile, ReadsRangesAndSixteenBitBitmapAppendingToTheList)
{
    WriteFile(Dir.File("a.sft"), SampleFont().Fill(3, 0xEE).Data); // trailing bytes ignored
    TSFT sft = WithCodes({65});
    sft.LoadFromFile(Dir.File("a.sft"));
    EXPECT_EQ(
        (std::array{sft.Header.CharGap, sft.Header.SpaceLength, sft.Header.NumRanges,
                    sft.BMHeader.BitsPerPixel, sft.BMHeader.NumImages, sft.Width, sft.Height}),
        (std::array{2, 7, 3, 16, 1, 100, 10}));
    const std::vector<TSFTCharDef> want{{65, 0, 3}, {97, 0, 5}, {98, 5, 6}, {65535, 11, 3}};
    EXPECT_EQ(std::vector<TSFTCharDef>(sft.Chars.begin(), sft.Chars.end()), want);
    EXPECT_EQ(sft.Pixels, Ramp(2000, 9));
}

TEST_F(SFTFile, RoundTripIsByteIdentical)
{
    // Unnamed header words, a non-8/16 BitsPerPixel (one byte per pixel) and odd codes
    // must all come back as they were.
    Bytes file;
    file.Text("SFNT").I32(11).I32(1).I32(4).I32(-5).I32(2).I32(1).I32(2).I32(3).I32(4);
    file.U16(0).U16(2).I32(0).I32(1).I32(1).I32(2).I32(3).I32(3);
    file.U16(300).U16(300).I32(-7).I32(9);
    Bytes bm = BMHeaderBytes(1, 1, 24);
    bm.Data[100] = 0x5A;
    file.Append(bm.Data).I32(3).I32(5);
    for (int i = 0; i < 15; ++i)
        file.U8(static_cast<uint8_t>(i * 17));
    TSFT sft;
    EXPECT_EQ(RoundTrip(file.Data, sft), file.Data);
}

// Short files, absurd counts and sizes fail cleanly, before anything the size of the claim
// is allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(SFTFile, TruncatedAndHostileFilesAreRejectedBeforeAllocating)
{
    TSFT sft = WithCodes({7});
    // A huge range count with nothing behind it.
    ExpectRejected(sft, SftHeader(0x7FFFFFFF).Data, "Read beyond end of file");
    // One range claiming 65536 definitions in a tiny file.
    ExpectRejected(sft, SftHeader(1).U16(0).U16(65535).I32(1).I32(2).Data,
                   "Read beyond end of file");
    // Many empty ranges (Last < First) are read on until the file ends.
    Bytes empties = SftHeader(1000);
    for (int i = 0; i < 10; ++i)
        empties.U16(9).U16(1);
    ExpectRejected(sft, empties.Data, "Read beyond end of file");
    // A bitmap of 2^31-1 squared 16-bit pixels, and negative sizes.
    const auto withSize = [](int32_t bpp, int32_t w, int32_t h) {
        return SftHeader(0).Append(BMHeaderBytes(1, 1, bpp).Data).I32(w).I32(h).Fill(64).Data;
    };
    ExpectRejected(sft, withSize(16, 0x7FFFFFFF, 0x7FFFFFFF), "Read beyond end of file");
    ExpectRejected(sft, withSize(8, -4, 0), "Invalid picture size: -4 x 0");
    ExpectRejected(sft, withSize(8, -65536, -65536), "Invalid picture size: -65536 x -65536");
    // Inside the header, each range, the bitmap header, its size and its pixels.
    ExpectCutsRejected(sft, SampleFont().Data, {0, 20, 42, 46, 56, 66, 72, 150, 208, 1000});
}
