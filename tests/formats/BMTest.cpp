#include "formats/LEC_BM.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

namespace {

// A BM header as the game's tools write it, with the fields a test varies.
Bytes BMHeader(int32_t paletteIncluded, int32_t numImages, int32_t bitsPerPixel = 8)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(paletteIncluded).I32(numImages);
    b.I32(0).I32(0).I32(0).I32(0).I32(bitsPerPixel).Fill(88);
    return b;
}

std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(start + i);
    return v;
}

class BMFile : public ::testing::Test
{
protected:
    void TearDown() override { InjectWriteFailureForTesting(std::nullopt); }

    // Writes `bytes`, loads them into `bm` and returns what saving it again writes.
    std::vector<uint8_t> LoadAndSave(const std::vector<uint8_t> &bytes, TBM &bm)
    {
        WriteFile(Dir.File("in.bm"), bytes);
        bm.LoadFromFile(Dir.File("in.bm"));
        bm.SaveToFile(Dir.File("out.bm"));
        return ReadFile(Dir.File("out.bm"));
    }

    TempDir Dir;
};

} // namespace

TEST_F(BMFile, FreshObjectSavesTheAsCreatedHeaderAndSetDefaults16OnlyItsWords)
{
    TBM bm;
    EXPECT_FALSE(bm.HasPalette());
    bm.SaveToFile(Dir.File("new.bm"));
    Bytes expected = BMHeader(1, 0);
    EXPECT_EQ(ReadFile(Dir.File("new.bm")), expected.Data);

    bm.SetDefaults16();
    bm.SaveToFile(Dir.File("new16.bm"));
    Bytes expected16;
    expected16.Text("BM  ").I32(70).I32(0).I32(1).I32(0).I32(0).I32(0).I32(0);
    expected16.I32(1).I32(16).I32(5).I32(6).I32(5).I32(11).I32(5).I32(3).I32(2).I32(3);
    expected16.Fill(56);
    ASSERT_EQ(expected16.Size(), 128u);
    EXPECT_EQ(ReadFile(Dir.File("new16.bm")), expected16.Data);
}

TEST_F(BMFile, Reads16BitImageOfThreeByTwo)
{
    const std::vector<uint8_t> pixels = Ramp(12, 0xA0);
    Bytes file = BMHeader(1, 1, 16);
    file.I32(3).I32(2).Append(pixels);
    ASSERT_EQ(file.Size(), 128u + 8 + 12);

    TBM bm;
    EXPECT_EQ(LoadAndSave(file.Data, bm), file.Data);
    EXPECT_EQ(bm.NumImages(), 1);
    EXPECT_EQ(bm.BitsPerPixel(), 16);
    EXPECT_EQ(bm.Images[0].Width, 3);
    EXPECT_EQ(bm.Images[0].Height, 2);
    EXPECT_EQ(bm.Images[0].Pixels, pixels);
    EXPECT_TRUE(bm.Images[1].Pixels.empty());
}

TEST_F(BMFile, RoundTripKeepsEveryHeaderWordAndChecksNoSignature)
{
    // Odd signature, version and uninterpreted words: all carried through unchanged.
    Bytes file;
    file.Text("XY\x01\x02").I32(71).I32(-5).I32(2).I32(2).I32(-7).I32(9).I32(200);
    file.I32(3).I32(8);
    for (int32_t i = 0; i < 22; ++i)
        file.I32(1000 + i);
    file.I32(4).I32(1).Append(Ramp(4, 10));
    file.I32(2).I32(3).Append(Ramp(6, 50));
    file.Append(Ramp(768, 7));

    TBM bm;
    EXPECT_EQ(LoadAndSave(file.Data, bm), file.Data);
    EXPECT_EQ(bm.Header.XOffset, -7);
    EXPECT_EQ(bm.Header.YOffset, 9);
    EXPECT_EQ(bm.Header.TransColor, 200);
    EXPECT_EQ(bm.Header.ColorLayout[7], 1007);
    EXPECT_EQ(bm.Header.Reserved[13], 1021);
    EXPECT_EQ(bm.Images[1].Pixels, Ramp(6, 50));
    EXPECT_TRUE(bm.HasPalette());
    EXPECT_EQ(bm.Palette[1], (TPaletteEntry{10, 11, 12}));
}

TEST_F(BMFile, PaletteIsReadOnlyWhenPaletteIncludedIsTwo)
{
    Bytes withPalette = BMHeader(2, 0);
    withPalette.Append(Ramp(768));
    TBM bm;
    EXPECT_EQ(LoadAndSave(withPalette.Data, bm), withPalette.Data);
    EXPECT_EQ(withPalette.Size(), 128u + 768);
    EXPECT_EQ(bm.Palette[255], (TPaletteEntry{253, 254, 255}));

    // Any other value: the 768 bytes that follow are ignored, and the palette held stays.
    for (int32_t flag : {0, 1, 3}) {
        Bytes noPalette = BMHeader(flag, 0);
        noPalette.Fill(768, 0x55);
        TBM other = bm;
        EXPECT_EQ(LoadAndSave(noPalette.Data, other), BMHeader(flag, 0).Data) << flag;
        EXPECT_FALSE(other.HasPalette());
        EXPECT_EQ(other.Palette, bm.Palette);
    }
}

TEST_F(BMFile, TruncatedFilesReadBeyondEndAndLeaveTheObjectUnchanged)
{
    Bytes good = BMHeader(2, 1);
    good.I32(4).I32(4).Append(Ramp(16)).Append(Ramp(768));
    TBM bm;
    LoadAndSave(good.Data, bm);
    const TBM before = bm;

    // Inside the header, the image header, the pixels and the palette.
    for (size_t cut : {size_t(0), size_t(100), size_t(130), size_t(140), good.Size() - 1}) {
        std::vector<uint8_t> bytes(good.Data.begin(), good.Data.begin() + cut);
        WriteFile(Dir.File("short.bm"), bytes);
        EXPECT_EQ(MessageOf([&] { bm.LoadFromFile(Dir.File("short.bm")); }),
                  "Read beyond end of file")
            << cut;
        EXPECT_EQ(bm, before) << cut;
    }
    EXPECT_EQ(MessageOf([&] { bm.LoadFromFile(Dir.File("absent.bm")); }), "File not found");
    EXPECT_EQ(bm, before);
}

// Hostile counts and sizes must fail cleanly before anything the size of the claim is
// allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(BMFile, HostileCountsAndSizesAreRejectedBeforeAllocating)
{
    TBM bm;
    bm.Header.XOffset = 42;
    bm.Palette[3] = {1, 2, 3};
    const TBM before = bm;
    struct TCase
    {
        Bytes File;
        std::string Message;
    };
    std::vector<TCase> cases;
    cases.push_back({BMHeader(1, 51), "Image count 51 exceeds the limit of 50"});
    cases.push_back({BMHeader(1, 0x7FFFFFFF), "Image count 2147483647 exceeds the limit of 50"});
    cases.push_back({BMHeader(1, 1, 16).I32(0x7FFFFFFF).I32(0x7FFFFFFF).Fill(64),
                     "Read beyond end of file"});
    cases.push_back({BMHeader(1, 1).I32(70000).I32(70000).Fill(64), "Read beyond end of file"});
    cases.push_back({BMHeader(1, 1).I32(-3).I32(2).Fill(64), "Invalid picture size: -3 x 2"});
    // -65536 x -65536 is 0 in 32-bit arithmetic: must not pass as an empty image.
    cases.push_back({BMHeader(1, 1).I32(-65536).I32(-65536),
                     "Invalid picture size: -65536 x -65536"});
    for (const TCase &c : cases) {
        WriteFile(Dir.File("bad.bm"), c.File.Data);
        EXPECT_EQ(MessageOf([&] { bm.LoadFromFile(Dir.File("bad.bm")); }), c.Message);
        EXPECT_EQ(bm, before);
    }

    // A negative count reads no images, as the game's tools do.
    EXPECT_EQ(LoadAndSave(BMHeader(1, -4).Data, bm), BMHeader(1, -4).Data);
}

TEST_F(BMFile, ReadOnlyFilesCanBeOpened)
{
    const std::string path = Dir.File("cd.bm");
    WriteFile(path, BMHeader(1, 0).Data);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    TBM bm;
    EXPECT_NO_THROW(bm.LoadFromFile(path));
}

// Guards against a failed or inconsistent save destroying the file already on disk.
TEST_F(BMFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    Bytes old = BMHeader(1, 1);
    old.I32(2).I32(2).Append(Ramp(4));
    const std::string path = Dir.File("keep.bm");
    WriteFile(path, old.Data);

    TBM bm;
    bm.LoadFromFile(path);
    bm.Header.XOffset = 5;
    InjectWriteFailureForTesting(130);
    EXPECT_EQ(MessageOf([&] { bm.SaveToFile(path); }), "Disk full");
    EXPECT_EQ(ReadFile(path), old.Data);
    InjectWriteFailureForTesting(std::nullopt);

    // A pixel buffer that does not match the image size is refused, not written past.
    bm.Images[0].Width = 3;
    EXPECT_EQ(MessageOf([&] { bm.SaveToFile(path); }),
              "Image 1 holds 4 pixel bytes, 6 expected");
    bm.Images[0].Width = 2;
    bm.Header.NumImages = 51;
    EXPECT_EQ(MessageOf([&] { bm.SaveToFile(path); }), "Image count 51 exceeds the limit of 50");
    EXPECT_EQ(ReadFile(path), old.Data);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 1);
}
