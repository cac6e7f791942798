#include "formats/LEC_FileIO.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testutil;

TEST(FileReader, BoundsEveryReadByWhatTheFileHolds)
{
    TFileReader r(std::vector<uint8_t>{1, 0, 0, 0, 0xFF, 0xFF, 7});
    EXPECT_EQ(r.ReadInt32(), 1);
    EXPECT_EQ(r.ReadUInt16(), 0xFFFF);
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_EQ(MessageOf([&] { r.ReadInt32(); }), "Read beyond end of file");
    // A failed read consumes nothing.
    EXPECT_EQ(r.ReadByte(), 7);
    EXPECT_EQ(MessageOf([&] { r.Require(uint64_t(1) << 40); }), "Read beyond end of file");
}

TEST(FileReader, ReportsStandardTextsForMissingFilesAndFolders)
{
    TempDir dir;
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.File("absent.bm")); }), "File not found");
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.Path.string()); }), "File access denied");
}

TEST(FileIO, SizesAndCountsAreCheckedBeforeAnyUse)
{
    EXPECT_EQ(PictureBytes(3, 2, 2), 12u);
    EXPECT_EQ(PictureBytes(0x7FFFFFFF, 0x7FFFFFFF, 2), uint64_t(0x7FFFFFFF) * 0x7FFFFFFF * 2);
    EXPECT_EQ(MessageOf([] { PictureBytes(-1, 5, 1); }), "Invalid picture size: -1 x 5");
    EXPECT_NO_THROW(CheckCount("Image", 50, 50));
    EXPECT_EQ(MessageOf([] { CheckCount("Image", 51, 50); }),
              "Image count 51 exceeds the limit of 50");
}

class AtomicSave : public ::testing::Test
{
protected:
    void TearDown() override { InjectWriteFailureForTesting(std::nullopt); }
    TempDir Dir;
};

TEST_F(AtomicSave, ReplacesTheTargetAndLeavesNoTemporaryFile)
{
    const std::string path = Dir.File("a.mat");
    WriteFile(path, {9, 9, 9, 9, 9});
    TFileWriter w;
    w.WriteInt32(-2);
    w.WriteUInt16(0x1234);
    w.SaveTo(path);
    EXPECT_EQ(ReadFile(path), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 1);
}

// Guards against a failed save destroying the user's file (disk full mid-write).
TEST_F(AtomicSave, FailedWriteKeepsTheOldFileByteIdentical)
{
    const std::string path = Dir.File("keep.bm");
    const std::vector<uint8_t> old{1, 2, 3, 4, 5, 6, 7, 8};
    WriteFile(path, old);
    InjectWriteFailureForTesting(3);
    EXPECT_EQ(MessageOf([&] { SaveBytesAtomically(path, std::vector<uint8_t>(100, 0xAA)); }),
              "Disk full");
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 1);
}

TEST_F(AtomicSave, MissingFolderIsAnErrorNotACrash)
{
    EXPECT_EQ(MessageOf([&] { SaveBytesAtomically(Dir.File("no/such/x.bm"), {1}); }),
              "File not found");
}
