#include "FormatTests.h"

#include <cerrno>

using namespace testutil;

TEST(FileReader, BoundsEveryReadAndOpensOnlyFiles)
{
    TFileReader r(std::vector<uint8_t>{1, 0, 0, 0, 0xFF, 0xFF, 7});
    EXPECT_EQ(r.ReadInt32(), 1);
    EXPECT_EQ(r.ReadUInt16(), 0xFFFF);
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_EQ(MessageOf([&] { r.ReadInt32(); }), "Read beyond end of file");
    EXPECT_EQ(*r.Take(1), 7); // a failed read consumes nothing
    EXPECT_EQ(MessageOf([&] { r.Require(uint64_t(1) << 40); }), "Read beyond end of file");
    // Read-only files open; missing files and folders get the standard texts.
    TempDir dir;
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.File("absent.bm")); }), "File not found");
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.Path.string()); }), "File access denied");
    WriteFile(dir.File("cd.bm"), {1, 2});
    std::filesystem::permissions(dir.File("cd.bm"), std::filesystem::perms::owner_read);
    EXPECT_EQ(TFileReader(dir.File("cd.bm")).Size(), 2u);
}

// What the user reads for each failure the system reports: a file-size limit reached
// mid-write is a full disk too.
TEST(FileErrors, SystemErrorsBecomeTheStandardTexts)
{
    const std::pair<int, const char *> cases[] = {
        {ENOENT, "File not found"},     {ENOTDIR, "File not found"},
        {EACCES, "File access denied"}, {EROFS, "File access denied"},
        {EISDIR, "File access denied"}, {ENOSPC, "Disk full"},
        {EFBIG, "Disk full"},
    };
    for (const auto &[err, text] : cases)
        EXPECT_EQ(std::string(EInOutError::FromErrno(err).what()), text) << err;
}
