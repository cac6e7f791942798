#include "FormatTests.h"

#include <cerrno>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
// Reads of a file go through a window that refills as they pass its end; large ones go
// straight to their place. Every mix of the two gives the file's bytes in order.
TEST(FileReader, ReadsInPiecesGiveTheFileInOrder)
{
    TempDir dir;
    const std::vector<uint8_t> file = Ramp(300001, 3); // not a multiple of the window
    WriteFile(dir.File("f"), file);
    const std::vector<std::vector<size_t>> plans = {
        {300001}, {1, 65535, 1, 65536, 168928}, {70000, 3, 200000, 29998}, {65537, 234464}};
    for (const auto &plan : plans) {
        TFileReader r(dir.File("f"));
        std::vector<uint8_t> got;
        for (size_t i = 0; i < plan.size(); ++i) {
            std::vector<uint8_t> piece(plan[i]);
            if (i % 2 == 0) {
                r.Read(piece.data(), piece.size());
            } else {
                const uint8_t *p = r.Take(plan[i]);
                piece.assign(p, p + plan[i]);
            }
            got.insert(got.end(), piece.begin(), piece.end());
        }
        EXPECT_EQ(got, file) << plan.size() << " pieces";
        EXPECT_EQ(MessageOf([&] { r.ReadUInt16(); }), "Read beyond end of file");
    }
}

#ifndef _WIN32
// A pipe has no size to tell (a script's <(command)): it is read to its end.
TEST(FileReader, APipeIsReadToItsEnd)
{
    TempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { WriteFile(fifo, Ramp(70000)); });
    std::vector<uint8_t> got;
    {
        TFileReader r(fifo);
        got.resize(r.Size());
        r.Read(got.data(), got.size());
    } // closed before the writer is waited for, so a reader that stops early cannot hang it
    writer.join();
    EXPECT_EQ(got, Ramp(70000));
}
#endif
