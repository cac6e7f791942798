// Saves under faults: every document kind keeps the old file through a full disk, a folder it
// may not write to, a folder in the target's place and a vanished folder; and the temporary
// file never takes over a name that exists (the Windows C runtime ignores fopen's "x").

#include "SaveFaults.h"
#include "FormatTests.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

using namespace testutil;

TEST(SaveFaults, EveryDocumentKindKeepsTheOldFile)
{
    ExpectSaveFaultsHarmless([](const std::string &p) { TBM().SaveToFile(p); }, "a.bm");
    ExpectSaveFaultsHarmless([](const std::string &p) { TMAT().SaveToFile(p); }, "a.mat");
    ExpectSaveFaultsHarmless([](const std::string &p) { TCMP().SaveToFile(p); }, "a.cmp");
    ExpectSaveFaultsHarmless([](const std::string &p) { TSFT().SaveToFile(p); }, "a.sft");
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
