// File I/O: bounded reads, the standard error texts, and saves under faults: every document
// kind keeps the old file through a full disk, a folder it may not write to, a folder in the
// target's place and a vanished folder; and the temporary file never takes over a name that
// exists (the Windows C runtime ignores fopen's "x").

#include "FormatTests.h"
#include "GameFiles.h"
#include "SaveFaults.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

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

TEST(SaveFaults, EveryDocumentKindKeepsTheOldFile)
{
    ExpectSaveFaultsHarmless([](const std::string &p) { TBM().SaveToFile(p); }, "a.bm");
    ExpectSaveFaultsHarmless([](const std::string &p) { TMAT().SaveToFile(p); }, "a.mat");
    ExpectSaveFaultsHarmless([](const std::string &p) { TCMP().SaveToFile(p); }, "a.cmp");
    ExpectSaveFaultsHarmless([](const std::string &p) { TSFT().SaveToFile(p); }, "a.sft");
}

// A member read from and written to memory (a container's) takes the same bytes as a file;
// a short one is refused and leaves the object as it was.
template <class T> void ExpectSameBytesInMemory(const std::vector<uint8_t> &bytes)
{
    TempDir dir;
    T fromFile, fromBytes;
    fromFile.LoadFromFile(Put(dir, "in", bytes));
    fromBytes.LoadFromBytes(bytes);
    EXPECT_EQ(fromBytes.SaveToBytes(), bytes);
    fromFile.SaveToFile(dir.File("out"));
    EXPECT_EQ(ReadFile(dir.File("out")), bytes);
    EXPECT_EQ(MessageOf([&] {
                  fromBytes.LoadFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
              }),
              "Read beyond end of file");
    EXPECT_EQ(fromBytes.SaveToBytes(), bytes);
}

TEST(FileReader, EveryKindReadsAndWritesBytesInMemoryAsFiles)
{
    const TPalette own = Ramp();
    ExpectSameBytesInMemory<TBM>(BMBytes({{3, 2, 7}, {1, 1, 9}}, 8, &own));
    ExpectSameBytesInMemory<TMAT>(TextureMAT({{4, 4, 2, 5}}));
    ExpectSameBytesInMemory<TCMP>(CMPBytes(1));
    ExpectSameBytesInMemory<TSFT>(SFTBytes({{65, 0, 2}}, 4, 2));
}

// Renaming over a read-only file would replace it behind its protection's back.
TEST(SaveFaults, AReadOnlyFileIsRefusedAndKept)
{
    TempDir dir;
    const std::string path = dir.File("ro.bm");
    WriteFile(path, {1, 2, 3});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(MessageOf([&] { TBM().SaveToFile(path); }), "File access denied");
    EXPECT_EQ(ReadFile(path), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(SaveFaults, AnExistingTemporaryNameIsNeitherOverwrittenNorRemoved)
{
    TempDir dir;
    const std::string target = dir.File("t.bm");
    const std::string taken = dir.File(".t.bm.glimra-taken.tmp");
    WriteFile(target, {1, 2, 3});
    WriteFile(taken, {9, 9});
    {
        TTemporaryTags tags({"taken", "free"});
        SaveBytesAtomically(target, {4, 5});
    }
    EXPECT_EQ(ReadFile(target), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(ReadFile(taken), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(FolderNames(dir.Path), (std::set<std::string>{".t.bm.glimra-taken.tmp", "t.bm"}));
}

TEST(SaveFaults, NamesOutsideTheAnsiCodePageSurviveTheTemporaryFile)
{
    TempDir dir;
    const std::string name = "\xE5\x9C\x96-\xCE\xB1\xCE\xB2-\xC3\xA5.bm"; // 圖-αβ-å.bm
    const std::u8string full = (dir.Path / Utf8Path(name)).u8string();
    const std::string path(full.begin(), full.end());
    SaveBytesAtomically(path, {7});
    SaveBytesAtomically(path, {8, 8}); // replacing it goes through a temporary name too
    EXPECT_EQ(TFileReader(path).Size(), 2u);
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1);
    const std::u8string found =
        std::filesystem::directory_iterator(dir.Path)->path().filename().u8string();
    EXPECT_EQ(std::string(found.begin(), found.end()), name);
}
