#include "formats/LEC_MAT.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

namespace {

Bytes MATHeader(int32_t matType, int32_t numRecords, int32_t bitsPerPixel = 8)
{
    Bytes b;
    b.Text("MAT ").I32(50).I32(matType).I32(numRecords).I32(numRecords);
    b.I32(bitsPerPixel == 16 ? 1 : 0).I32(bitsPerPixel).Fill(48);
    return b;
}

Bytes &TextureRecord(Bytes &b, int32_t fillColor, int32_t celIndex)
{
    return b.I32(8).I32(fillColor).Fill(28).I32(celIndex);
}

Bytes &TextureHeader(Bytes &b, int32_t w, int32_t h, int32_t transparent, int32_t mipmaps)
{
    return b.I32(w).I32(h).I32(transparent).I32(0).I32(0).I32(mipmaps);
}

std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(start + i);
    return v;
}

class MATFile : public ::testing::Test
{
protected:
    void TearDown() override { InjectWriteFailureForTesting(std::nullopt); }

    std::vector<uint8_t> LoadAndSave(const std::vector<uint8_t> &bytes, TMAT &mat)
    {
        WriteFile(Dir.File("in.mat"), bytes);
        mat.LoadFromFile(Dir.File("in.mat"));
        mat.SaveToFile(Dir.File("out.mat"));
        return ReadFile(Dir.File("out.mat"));
    }

    TempDir Dir;
};

} // namespace

TEST_F(MATFile, FreshObjectSavesTheAsCreatedHeader)
{
    TMAT mat;
    mat.SaveToFile(Dir.File("new.mat"));
    Bytes expected;
    expected.Text("MAT ").I32(50).I32(2).I32(0).I32(0).I32(0).I32(8).Fill(48);
    ASSERT_EQ(expected.Size(), 76u);
    EXPECT_EQ(ReadFile(Dir.File("new.mat")), expected.Data);

    mat.SetColorType();
    mat.SetDefaults16();
    mat.SaveToFile(Dir.File("new16.mat"));
    Bytes expected16;
    expected16.Text("MAT ").I32(50).I32(0).I32(0).I32(0).I32(1).I32(16).Fill(48);
    EXPECT_EQ(ReadFile(Dir.File("new16.mat")), expected16.Data);
}

TEST_F(MATFile, MipmapLevelsHalveByTruncation)
{
    TMATTextureHeader h{64, 64, 0, {}, 4};
    EXPECT_EQ(TMAT::TextureBytes(h, 4, 1), 5440u);
    EXPECT_EQ(TMAT::TextureBytes(h, 4, 2), 10880u);
    EXPECT_EQ(TMAT::TextureBytes(h, 2, 1), 5120u); // offset of the third level
    h = {5, 3, 0, {}, 3};
    EXPECT_EQ(TMAT::TextureBytes(h, 3, 1), 17u); // 15 + 2 + 0
    h = {1, 1, 0, {}, 0x7FFFFFFF};
    EXPECT_EQ(TMAT::TextureBytes(h, h.NumMipmaps, 2), 2u);
    h.NumMipmaps = -1;
    EXPECT_EQ(TMAT::TextureBytes(h, h.NumMipmaps, 2), 0u);
}

TEST_F(MATFile, ReadsTextureFramesWithFourLevelsAndWithOddSizes)
{
    // Frame 1: 16 x 8 at four levels (128 + 32 + 8 + 2 bytes). Frame 2: 5 x 3 at three levels
    // (15 + 2 + 0 pixels).
    Bytes file = MATHeader(2, 2);
    TextureRecord(file, 7, 0);
    TextureRecord(file, 9, 1);
    TextureHeader(file, 16, 8, 0, 4).Append(Ramp(170));
    TextureHeader(file, 5, 3, 1, 3).Append(Ramp(17, 200));
    ASSERT_EQ(file.Size(), 76u + 80 + 24 + 170 + 24 + 17);

    TMAT mat;
    EXPECT_EQ(LoadAndSave(file.Data, mat), file.Data);
    EXPECT_EQ(mat.NumRecords(), 2);
    EXPECT_EQ(mat.TextureRecords[0].RecordType, 8);
    EXPECT_EQ(mat.TextureRecords[1].FillColor, 9);
    EXPECT_EQ(mat.TextureRecords[1].CelIndex, 1);
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 4);
    EXPECT_EQ(mat.TextureHeaders[1].Transparent, 1);
    EXPECT_EQ(mat.Pixels[0], Ramp(170));
    EXPECT_EQ(mat.Pixels[1], Ramp(17, 200));
    EXPECT_TRUE(mat.Pixels[2].empty());
}

TEST_F(MATFile, Reads16BitOddSizedTexture)
{
    Bytes file = MATHeader(2, 1, 16);
    TextureRecord(file, 0xF81F, 0);
    TextureHeader(file, 5, 3, 1, 3).Append(Ramp(34));
    TMAT mat;
    EXPECT_EQ(LoadAndSave(file.Data, mat), file.Data);
    EXPECT_EQ(mat.Pixels[0].size(), 34u);
}

TEST_F(MATFile, ReadsColorFramesWithoutPixelData)
{
    Bytes file = MATHeader(0, 3);
    for (int32_t i = 0; i < 3; ++i)
        file.I32(0).I32(10 + i).I32(i).I32(0).I32(0).I32(-1);
    ASSERT_EQ(file.Size(), 76u + 3 * 24);
    file.Fill(30, 0xEE); // trailing bytes are ignored

    TMAT mat;
    std::vector<uint8_t> saved = LoadAndSave(file.Data, mat);
    EXPECT_EQ(saved, std::vector<uint8_t>(file.Data.begin(), file.Data.end() - 30));
    EXPECT_EQ(mat.ColorRecords[2].Color, 12);
    EXPECT_EQ(mat.ColorRecords[2].Reserved[0], 2);
    EXPECT_EQ(mat.ColorRecords[2].Reserved[3], -1);
    EXPECT_EQ(mat.TextureRecords[0], TMATTextureRecord{});
}

TEST_F(MATFile, OtherMatTypesAreABareHeaderWhateverTheCount)
{
    Bytes file = MATHeader(1, 100000);
    file.Fill(500, 0x11);
    TMAT mat;
    EXPECT_EQ(LoadAndSave(file.Data, mat), MATHeader(1, 100000).Data);
    EXPECT_EQ(mat.NumRecords(), 100000);
}

TEST_F(MATFile, TruncatedFilesReadBeyondEndAndLeaveTheObjectUnchanged)
{
    Bytes good = MATHeader(2, 1);
    TextureRecord(good, 0, 0);
    TextureHeader(good, 4, 4, 0, 2).Append(Ramp(20));
    TMAT mat;
    LoadAndSave(good.Data, mat);
    const TMAT before = mat;

    // Inside the header, the record, the texture header and the pixels.
    for (size_t cut : {size_t(0), size_t(50), size_t(100), size_t(130), good.Size() - 1}) {
        std::vector<uint8_t> bytes(good.Data.begin(), good.Data.begin() + cut);
        WriteFile(Dir.File("short.mat"), bytes);
        EXPECT_EQ(MessageOf([&] { mat.LoadFromFile(Dir.File("short.mat")); }),
                  "Read beyond end of file")
            << cut;
        EXPECT_EQ(mat, before) << cut;
    }
}

// Hostile counts and sizes must fail cleanly before anything the size of the claim is
// allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(MATFile, HostileCountsAndSizesAreRejectedBeforeAllocating)
{
    TMAT mat;
    mat.SetDefaults16();
    const TMAT before = mat;
    struct TCase
    {
        Bytes File;
        std::string Message;
    };
    std::vector<TCase> cases;
    cases.push_back({MATHeader(2, 17).Fill(2000), "Frame count 17 exceeds the limit of 16"});
    cases.push_back({MATHeader(0, 0x7FFFFFFF), "Frame count 2147483647 exceeds the limit of 16"});
    Bytes huge = MATHeader(2, 1, 16);
    TextureRecord(huge, 0, 0);
    TextureHeader(huge, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0x7FFFFFFF).Fill(64);
    cases.push_back({huge, "Read beyond end of file"});
    Bytes negative = MATHeader(2, 1);
    TextureRecord(negative, 0, 0);
    TextureHeader(negative, -65536, -65536, 0, 1);
    cases.push_back({negative, "Invalid picture size: -65536 x -65536"});
    for (const TCase &c : cases) {
        WriteFile(Dir.File("bad.mat"), c.File.Data);
        EXPECT_EQ(MessageOf([&] { mat.LoadFromFile(Dir.File("bad.mat")); }), c.Message);
        EXPECT_EQ(mat, before);
    }
}

// Guards against a failed or inconsistent save destroying the file already on disk.
TEST_F(MATFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    Bytes old = MATHeader(2, 1);
    TextureRecord(old, 0, 0);
    TextureHeader(old, 2, 2, 0, 1).Append(Ramp(4));
    const std::string path = Dir.File("keep.mat");
    WriteFile(path, old.Data);

    TMAT mat;
    mat.LoadFromFile(path);
    mat.TextureRecords[0].FillColor = 3;
    InjectWriteFailureForTesting(80);
    EXPECT_EQ(MessageOf([&] { mat.SaveToFile(path); }), "Disk full");
    InjectWriteFailureForTesting(std::nullopt);

    mat.TextureHeaders[0].NumMipmaps = 2; // promises 5 bytes, the buffer holds 4
    EXPECT_EQ(MessageOf([&] { mat.SaveToFile(path); }),
              "Frame 1 holds 4 pixel bytes, 5 expected");
    mat.TextureHeaders[0].NumMipmaps = 1;
    mat.Header.NumRecords = 17;
    EXPECT_EQ(MessageOf([&] { mat.SaveToFile(path); }),
              "Frame count 17 exceeds the limit of 16");
    EXPECT_EQ(ReadFile(path), old.Data);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 1);
}

TEST(MATPixels, TransparentTexturesUseARGB1555WithOnlyPureBlackClear)
{
    EXPECT_EQ(ColorToARGB1555(MakeColor(0, 0, 0)), 0x0000);
    EXPECT_EQ(ColorToARGB1555(MakeColor(255, 255, 255)), 0xFFFF);
    EXPECT_EQ(ColorToARGB1555(MakeColor(8, 0, 0)), 0x8400);
    EXPECT_EQ(ColorToARGB1555(MakeColor(0, 0, 7)), 0x8000); // dark, but not black
    EXPECT_EQ(RGB565ToARGB1555(0xFFFF), 0xFFFF);
    EXPECT_EQ(RGB565ToARGB1555(0x0000), 0x0000);
    EXPECT_EQ(RGB565ToARGB1555(0xF800), 0xFC00);
    EXPECT_EQ(ARGB1555ToRGB565(0xFFFF), 0xFFDF); // the low green bit is not recovered
    EXPECT_EQ(ARGB1555ToRGB565(0x7C00), 0xF800); // alpha is dropped
}
