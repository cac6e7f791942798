#include "formats/LEC_FileIO.h"
#include "formats/LEC_SFT.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace testutil;

namespace {

Bytes SftHeader(int32_t numRanges, int32_t gap = 0, int32_t space = 0)
{
    Bytes b;
    b.Text("SFNT").I32(10).I32(gap).I32(space).I32(0).I32(numRanges).Fill(16);
    return b;
}

// The fresh BM header: "BM  ", 70, 0, PaletteIncluded 1, then zeros except BitsPerPixel.
Bytes FreshBMHeader(int32_t bitsPerPixel = 8, int32_t numImages = 0)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(1).I32(numImages).I32(0).I32(0).I32(0).I32(0).I32(
        bitsPerPixel);
    b.Fill(128 - b.Size());
    return b;
}

TSFT WithCodes(std::initializer_list<int> codes)
{
    TSFT sft;
    int offset = 0;
    for (int code : codes) {
        sft.Chars.Add({static_cast<uint16_t>(code), offset, code % 7 + 1});
        offset += 10;
    }
    return sft;
}

class SFTFile : public ::testing::Test
{
protected:
    void TearDown() override { InjectWriteFailureForTesting(std::nullopt); }

    std::vector<uint8_t> Saved(TSFT &sft)
    {
        sft.SaveToFile(Dir.File("out.sft"));
        return ReadFile(Dir.File("out.sft"));
    }
    TSFT Loaded(const Bytes &file)
    {
        WriteFile(Dir.File("in.sft"), file.Data);
        TSFT sft;
        sft.LoadFromFile(Dir.File("in.sft"));
        return sft;
    }
    TempDir Dir;
};

} // namespace

TEST_F(SFTFile, FreshFontSavesAs176Bytes)
{
    TSFT sft;
    Bytes want = SftHeader(0);
    want.Append(FreshBMHeader().Data).I32(0).I32(0);
    EXPECT_EQ(want.Size(), 176u);
    EXPECT_EQ(Saved(sft), want.Data);
}

TEST_F(SFTFile, SetDefaults16WritesTheLayoutWordsIntoTheBitmapHeader)
{
    TSFT sft;
    sft.SetDefaults16();
    const auto bytes = Saved(sft);
    const size_t bm = 40;
    EXPECT_EQ(I32At(bytes, bm + 32), 1);
    EXPECT_EQ(I32At(bytes, bm + 36), 16);
    const int32_t layout[8] = {5, 6, 5, 11, 5, 3, 2, 3};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(I32At(bytes, bm + 40 + 4 * size_t(i)), layout[i]) << i;
}

TEST_F(SFTFile, ConsecutiveCodesAreWrittenAsRanges)
{
    TSFT sft = WithCodes({65, 66, 68});
    EXPECT_EQ(sft.CountRanges(), 2);
    EXPECT_EQ(sft.RangeEnd(0), 1);
    EXPECT_EQ(sft.RangeEnd(2), 2);
    Bytes want = SftHeader(2);
    want.U16(65).U16(66).I32(0).I32(3).I32(10).I32(4);
    want.U16(68).U16(68).I32(20).I32(6);
    want.Append(FreshBMHeader().Data).I32(0).I32(0);
    EXPECT_EQ(Saved(sft), want.Data);
    EXPECT_EQ(sft.Header.NumRanges, 2);
}

TEST_F(SFTFile, PrintableAsciiIsOneRange)
{
    TSFT sft;
    for (int c = 32; c <= 126; ++c)
        sft.Chars.Add({static_cast<uint16_t>(c), c, 1});
    EXPECT_EQ(sft.CountRanges(), 1);
    EXPECT_EQ(sft.RangeEnd(0), 94);
    const auto bytes = Saved(sft);
    ASSERT_EQ(bytes.size(), 40 + 4 + 95 * 8 + 128 + 8u);
    EXPECT_EQ(I32At(bytes, 20), 1);
    EXPECT_EQ(bytes[40] | bytes[41] << 8, 32);
    EXPECT_EQ(bytes[42] | bytes[43] << 8, 126);
    EXPECT_EQ(I32At(bytes, 44 + 94 * 8), 126); // offset of the last definition
}

TEST_F(SFTFile, ListOrderIsKeptNotSorted)
{
    TSFT sft = WithCodes({65, 67, 66});
    EXPECT_EQ(sft.CountRanges(), 3);
    Bytes want = SftHeader(3);
    want.U16(65).U16(65).I32(0).I32(3);
    want.U16(67).U16(67).I32(10).I32(5);
    want.U16(66).U16(66).I32(20).I32(4);
    want.Append(FreshBMHeader().Data).I32(0).I32(0);
    EXPECT_EQ(Saved(sft), want.Data);
}

TEST_F(SFTFile, RangeEdgesAndCodeWrapAround)
{
    TSFT empty;
    EXPECT_EQ(empty.CountRanges(), 0);
    EXPECT_EQ(empty.RangeEnd(0), -1);
    // 65535 then 0 is not a run: the difference is taken on unsigned codes.
    TSFT wrap = WithCodes({65534, 65535, 0, 1});
    EXPECT_EQ(wrap.CountRanges(), 2);
    EXPECT_EQ(wrap.RangeEnd(0), 1);
    EXPECT_EQ(wrap.RangeEnd(2), 3);
    EXPECT_EQ(wrap.RangeEnd(7), 3); // beyond the end: the last index
    EXPECT_EQ(MessageOf([&] { wrap.RangeEnd(-1); }),
              "Character definition index is out of bounds: -1");
}

TEST(SFTCharList, TypedGetterNamesTheBadIndex)
{
    TSFTCharList list;
    list.Add({65, 1, 2});
    list.Add({66, 3, 4});
    EXPECT_EQ(list.Items(1), (TSFTCharDef{66, 3, 4}));
    EXPECT_THROW(list.Items(2), std::out_of_range);
    EXPECT_EQ(MessageOf([&] { list.Items(-1); }),
              "Character definition index is out of bounds: -1");
    EXPECT_EQ(MessageOf([&] { list[2]; }), "Character definition index is out of bounds: 2");
    list.Insert(2, {67, 5, 6});
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Code, 66);
    EXPECT_EQ(MessageOf([&] { list.Delete(2); }),
              "Character definition index is out of bounds: 2");
}

TEST_F(SFTFile, ReadsRangesHeaderAndSixteenBitBitmap)
{
    Bytes file = SftHeader(3, 2, 7);
    file.U16(70).U16(65);                           // Last < First: no definitions
    file.U16(97).U16(98).I32(0).I32(5).I32(5).I32(6);
    file.U16(65535).U16(65535).I32(11).I32(3);
    file.Append(FreshBMHeader(16, 1).Data).I32(100).I32(10);
    for (int i = 0; i < 1000; ++i)
        file.U16(static_cast<uint16_t>(i));
    file.Fill(3, 0xEE); // trailing bytes are ignored
    TSFT sft = Loaded(file);
    EXPECT_EQ(sft.Header.CharGap, 2);
    EXPECT_EQ(sft.Header.SpaceLength, 7);
    EXPECT_EQ(sft.Header.NumRanges, 3);
    ASSERT_EQ(sft.Chars.Count(), 3);
    EXPECT_EQ(sft.Chars[0], (TSFTCharDef{97, 0, 5}));
    EXPECT_EQ(sft.Chars[1], (TSFTCharDef{98, 5, 6}));
    EXPECT_EQ(sft.Chars[2], (TSFTCharDef{65535, 11, 3}));
    EXPECT_EQ(sft.BMHeader.BitsPerPixel, 16);
    EXPECT_EQ(sft.BMHeader.NumImages, 1);
    EXPECT_EQ(sft.Width, 100);
    EXPECT_EQ(sft.Height, 10);
    ASSERT_EQ(sft.Pixels.size(), 2000u);
    EXPECT_EQ(sft.Pixels[2 * 999], 999 & 0xFF);
    EXPECT_EQ(sft.Pixels[2 * 999 + 1], 999 >> 8);
}

TEST_F(SFTFile, LoadAppendsToExistingDefinitions)
{
    Bytes file = SftHeader(1);
    file.U16(66).U16(66).I32(4).I32(5);
    file.Append(FreshBMHeader().Data).I32(0).I32(0);
    WriteFile(Dir.File("a.sft"), file.Data);
    TSFT sft = WithCodes({65});
    sft.LoadFromFile(Dir.File("a.sft"));
    ASSERT_EQ(sft.Chars.Count(), 2);
    EXPECT_EQ(sft.Chars[0].Code, 65);
    EXPECT_EQ(sft.Chars[1], (TSFTCharDef{66, 4, 5}));
}

TEST_F(SFTFile, RoundTripIsByteIdentical)
{
    // Unnamed header words, a non-8/16 BitsPerPixel (one byte per pixel) and odd codes
    // must all come back as they were.
    Bytes file;
    file.Text("SFNT").I32(11).I32(1).I32(4).I32(-5).I32(2).I32(1).I32(2).I32(3).I32(4);
    file.U16(0).U16(2).I32(0).I32(1).I32(1).I32(2).I32(3).I32(3);
    file.U16(300).U16(300).I32(-7).I32(9);
    Bytes bm = FreshBMHeader(24, 1);
    bm.Data[100] = 0x5A;
    file.Append(bm.Data).I32(3).I32(5);
    for (int i = 0; i < 15; ++i)
        file.U8(static_cast<uint8_t>(i * 17));
    TSFT sft = Loaded(file);
    EXPECT_EQ(Saved(sft), file.Data);
}

TEST_F(SFTFile, FontWithoutBitmapIsStoredAsZeroByZero)
{
    TSFT sft;
    sft.Width = 40;
    sft.Height = 8; // the window dropped the pixels but left the size
    Bytes want = SftHeader(0);
    want.Append(FreshBMHeader().Data).I32(0).I32(0);
    EXPECT_EQ(Saved(sft), want.Data);
    // Pixels too short for the size is refused rather than read past the buffer.
    sft.Pixels.assign(10, 1);
    EXPECT_NE(MessageOf([&] { sft.SaveToFile(Dir.File("bad.sft")); }), "no error");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("bad.sft")));
}

// A short file must fail cleanly and append nothing, so a window never shows or later saves
// a half-read font.
TEST_F(SFTFile, TruncatedFilesFailAndLeaveTheObjectUnchanged)
{
    Bytes file = SftHeader(2);
    file.U16(65).U16(66).I32(0).I32(3).I32(3).I32(3);
    file.U16(90).U16(90).I32(6).I32(2);
    file.Append(FreshBMHeader().Data).I32(4).I32(2).Fill(8, 9);
    for (size_t cut = 0; cut < file.Size(); cut += (cut < 80 ? 1 : 37)) {
        WriteFile(Dir.File("s.sft"), {file.Data.begin(), file.Data.begin() + cut});
        TSFT sft = WithCodes({1});
        const TSFT before = sft;
        EXPECT_EQ(MessageOf([&] { sft.LoadFromFile(Dir.File("s.sft")); }),
                  "Read beyond end of file") << cut;
        EXPECT_EQ(sft, before) << cut;
    }
    EXPECT_NO_THROW(Loaded(file));
}

// Absurd counts and sizes must fail before anything is allocated: the sanitizer build would
// abort on a multi-gigabyte allocation, and the object must stay as it was.
TEST_F(SFTFile, HostileCountsAndSizesAreRejected)
{
    auto expectRejected = [&](const Bytes &file, const std::string &message) {
        WriteFile(Dir.File("h.sft"), file.Data);
        TSFT sft = WithCodes({7});
        const TSFT before = sft;
        EXPECT_EQ(MessageOf([&] { sft.LoadFromFile(Dir.File("h.sft")); }), message);
        EXPECT_EQ(sft, before);
    };
    Bytes bm = FreshBMHeader();
    // A huge range count with nothing behind it.
    expectRejected(SftHeader(0x7FFFFFFF), "Read beyond end of file");
    // One range claiming 65536 definitions in a tiny file.
    Bytes wide = SftHeader(1);
    wide.U16(0).U16(65535).I32(1).I32(2);
    expectRejected(wide, "Read beyond end of file");
    // Many empty ranges (Last < First) are read on until the file ends.
    Bytes empties = SftHeader(1000);
    for (int i = 0; i < 10; ++i)
        empties.U16(9).U16(1);
    expectRejected(empties, "Read beyond end of file");
    // A bitmap of 2^31-1 squared 16-bit pixels.
    Bytes big = SftHeader(0);
    big.Append(FreshBMHeader(16).Data).I32(0x7FFFFFFF).I32(0x7FFFFFFF).Fill(64);
    expectRejected(big, "Read beyond end of file");
    // Negative sizes.
    Bytes negative = SftHeader(0);
    negative.Append(bm.Data).I32(-4).I32(0);
    expectRejected(negative, "Invalid picture size: -4 x 0");
    Bytes negative2 = SftHeader(0);
    negative2.Append(bm.Data).I32(-65536).I32(-65536).Fill(64);
    expectRejected(negative2, "Invalid picture size: -65536 x -65536");
}

// Guards against a failed save destroying the font already on disk.
TEST_F(SFTFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    const std::string path = Dir.File("keep.sft");
    const std::vector<uint8_t> old(300, 0x42);
    WriteFile(path, old);
    TSFT sft = WithCodes({65, 66});
    InjectWriteFailureForTesting(50);
    EXPECT_EQ(MessageOf([&] { sft.SaveToFile(path); }), "Disk full");
    EXPECT_EQ(ReadFile(path), old);
}
