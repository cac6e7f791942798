#include "FormatTests.h"
#include "formats/LEC_SFT.h"

#include <numeric>
#include <stdexcept>

using namespace testutil;
using SFTFile = FormatTest<TSFT>;

namespace {

// The bitmap part of a font without pixels: a fresh BM header and a 0 x 0 size.
Bytes &NoBitmap(Bytes &b, const TBMHead &head = {})
{
    return b.Append(BMHeaderBytes(head).Data).I32(0).I32(0);
}

// Three ranges, one of them empty (Last < First), and a 100 x 10 16-bit bitmap.
Bytes SampleFont()
{
    Bytes file = SFTHeaderBytes(3, 2, 7);
    file.U16(70).U16(65).U16(97).U16(98).I32(0).I32(5).I32(5).I32(6);
    file.U16(65535).U16(65535).I32(11).I32(3);
    return file.Append(BMHeaderBytes({.Images = 1, .Bits = 16}).Data).I32(100).I32(10).Append(
        Ramp(2000, 9));
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
    Bytes want = SFTHeaderBytes(0), want16 = SFTHeaderBytes(0);
    ASSERT_EQ(NoBitmap(want).Size(), 176u);
    EXPECT_EQ(Saved(sft), want.Data);
    sft.Width = 40;
    sft.Height = 8; // a window dropped the pixels but left the size: stored as 0 x 0
    EXPECT_EQ(Saved(sft), want.Data);
    sft.SetDefaults16();
    EXPECT_EQ(Saved(sft), NoBitmap(want16, Defaults16).Data);
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
    const std::pair<std::vector<int>, std::vector<std::pair<int, int>>> cases[] = {
        {{65, 66, 68}, {{65, 66}, {68, 68}}},
        {ascii, {{32, 126}}},
        {{65, 67, 66}, {{65, 65}, {67, 67}, {66, 66}}},
        {{65534, 65535, 0, 1}, {{65534, 65535}, {0, 1}}},
        {{}, {}},
    };
    for (const auto &[codes, ranges] : cases) {
        TSFT sft = WithCodes(codes);
        Bytes want = SFTHeaderBytes(int32_t(ranges.size()));
        int k = 0;
        for (auto [first, last] : ranges) {
            EXPECT_EQ(sft.RangeEnd(k), k + last - first) << first;
            want.U16(uint16_t(first)).U16(uint16_t(last));
            for (int code = first; code <= last; ++code, ++k)
                want.I32(k * 10).I32(code % 7 + 1);
        }
        EXPECT_EQ(sft.RangeEnd(99), k - 1); // beyond the end: the last index, or -1
        EXPECT_EQ(Saved(sft), NoBitmap(want).Data) << k << " codes";
        EXPECT_EQ(sft.Header.NumRanges, int32_t(ranges.size()));
    }
}

TEST(SFTCharList, TypedGetterNamesTheBadIndex)
{
    TSFTCharList list = WithCodes({65, 66}).Chars;
    list.Insert(2, {67, 5, 6});
    list.Delete(0);
    EXPECT_EQ(std::vector<TSFTCharDef>(list.begin(), list.end()),
              (std::vector<TSFTCharDef>{{66, 10, 4}, {67, 5, 6}}));
    EXPECT_THROW(list.Items(2), std::out_of_range);
    for (int bad : {-1, 2})
        EXPECT_EQ(MessageOf([&] { list[bad]; }) + MessageOf([&] { list.Delete(bad); }),
                  "Character definition index is out of bounds: " + std::to_string(bad) +
                      "Character definition index is out of bounds: " + std::to_string(bad));
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

    // Unnamed header words, a non-8/16 BitsPerPixel (one byte per pixel) and odd codes
    // must all come back as they were.
    Bytes odd;
    odd.Text("SFNT").I32(11).I32(1).I32(4).I32(-5).I32(2).I32(1).I32(2).I32(3).I32(4);
    odd.U16(0).U16(2).I32(0).I32(1).I32(1).I32(2).I32(3).I32(3);
    odd.U16(300).U16(300).I32(-7).I32(9);
    Bytes bm = BMHeaderBytes({.Images = 1, .Bits = 24});
    bm.Data[100] = 0x5A;
    odd.Append(bm.Data).I32(3).I32(5).Append(Ramp(15));
    TSFT other;
    EXPECT_EQ(RoundTrip(odd.Data, other), odd.Data);
}

// Short files, absurd counts and sizes fail cleanly, before anything the size of the claim
// is allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(SFTFile, TruncatedAndHostileFilesAreRejectedBeforeAllocating)
{
    TSFT sft = WithCodes({7});
    Bytes empties = SFTHeaderBytes(1000); // many empty ranges (Last < First) read to the end
    for (int i = 0; i < 10; ++i)
        empties.U16(9).U16(1);
    const auto withSize = [](int bits, int32_t w, int32_t h) {
        return SFTHeaderBytes(0).Append(BMHeaderBytes({.Images = 1, .Bits = bits}).Data).I32(w).I32(
            h).Fill(64).Data;
    };
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {SFTHeaderBytes(0x7FFFFFFF).Data, "Read beyond end of file"},
        // One range claiming 65536 definitions in a tiny file.
        {SFTHeaderBytes(1).U16(0).U16(65535).I32(1).I32(2).Data, "Read beyond end of file"},
        {empties.Data, "Read beyond end of file"},
        {withSize(16, 0x7FFFFFFF, 0x7FFFFFFF), "Read beyond end of file"},
        {withSize(8, -4, 0), "Invalid picture size: -4 x 0"},
        {withSize(8, -65536, -65536), "Invalid picture size: -65536 x -65536"},
    };
    for (const auto &[bytes, message] : cases)
        ExpectRejected(sft, bytes, message);
    // Inside the header, each range, the bitmap header, its size and its pixels.
    ExpectCutsRejected(sft, SampleFont().Data, {0, 20, 42, 46, 56, 66, 72, 150, 208, 1000});
}
