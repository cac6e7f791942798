#include "FormatTests.h"
#include "TestWriteLimit.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

using namespace testutil;

TEST(FileReader, BoundsEveryReadAndOpensOnlyFiles)
{
    TFileReader r(std::vector<uint8_t>{1, 0, 0, 0, 0xFF, 0xFF, 7});
    EXPECT_EQ(r.ReadInt32(), 1);
    EXPECT_EQ(r.ReadUInt16(), 0xFFFF);
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_EQ(MessageOf([&] { r.ReadInt32(); }), "Read beyond end of file");
    EXPECT_EQ(r.ReadByte(), 7); // a failed read consumes nothing
    EXPECT_EQ(MessageOf([&] { r.Require(uint64_t(1) << 40); }), "Read beyond end of file");
    // Read-only files open; missing files and folders get the standard texts.
    TempDir dir;
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.File("absent.bm")); }), "File not found");
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.Path.string()); }), "File access denied");
    WriteFile(dir.File("cd.bm"), {1, 2});
    std::filesystem::permissions(dir.File("cd.bm"), std::filesystem::perms::owner_read);
    EXPECT_EQ(TFileReader(dir.File("cd.bm")).Size(), 2u);
}

// Guards against a failed save destroying the user's file (disk full mid-write), for every
// document kind: each must save through the atomic writer, which leaves no temporary file.
template <class T> using FailedSave = FormatTest<T>;
using TDocuments = ::testing::Types<TBM, TMAT, TCMP, TSFT>;
TYPED_TEST_SUITE(FailedSave, TDocuments);

TYPED_TEST(FailedSave, KeepsTheOldFileByteIdentical)
{
    const std::string path = this->Dir.File("keep");
    const std::vector<uint8_t> old(300, 0x42);
    WriteFile(path, old);
    TypeParam doc;
    {
        testutil::TScopedWriteLimit full(50);
        EXPECT_EQ(MessageOf([&] { doc.SaveToFile(path); }), "Disk full");
    }
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(MessageOf([&] { doc.SaveToFile(this->Dir.File("no/such/x")); }), "File not found");
    // A read-only file is not replaced behind its back (renaming over it would).
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(MessageOf([&] { doc.SaveToFile(path); }), "File access denied");
    EXPECT_EQ(ReadFile(path), old);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    doc.SaveToFile(path);
    EXPECT_NE(ReadFile(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(this->Dir.Path), {}), 1);
}
