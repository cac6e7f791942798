// GOB containers against hand-built bytes: the layout read and written, hostile tables
// refused, hostile members marked with the rest usable, names as the game finds them,
// edits saved in place, extraction kept inside its folder, CONTAINER::NAME paths.

#include "FormatTests.h"
#include "GameFiles.h"
#include "SaveFaults.h"
#include "formats/LEC_GOB.h"

using namespace testutil;

namespace {

const std::vector<TMember> Three = {
    {"mat\\00abb3.mat", Ramp(10)}, {"misc\\cmp\\dflt.cmp", Ramp(5, 100)}, {"empty.txt", {}}};

std::vector<uint8_t> Member(const TGOB &gob, const std::string &name)
{
    return gob.ReadMember(static_cast<size_t>(gob.Find(name)));
}

// A container of a good member "ok" after one entry made by `entry`.
std::vector<uint8_t> WithBadEntry(const std::function<void(Bytes &)> &entry)
{
    Bytes b;
    b.Text("GOB ").I32(20).I32(12).I32(2);
    entry(b);
    GOBEntry(b, 12 + 4 + 2 * 136, 3, "ok");
    return b.Fill(3, 7).Data;
}

} // namespace

TEST(GOB, ReadsTheLayoutAndWritesItsOwnBackByteForByte)
{
    TempDir dir;
    for (const bool tableLast : {false, true}) {
        const std::string path = Put(dir, "in.gob", GOBBytes(Three, tableLast));
        TGOB gob;
        gob.LoadFromFile(path);
        ASSERT_EQ(gob.Members().size(), 3u);
        const int64_t first = tableLast ? 12 : 12 + 4 + 3 * 136;
        EXPECT_EQ(gob.Members()[1].Name, "misc\\cmp\\dflt.cmp");
        EXPECT_EQ(gob.Members()[1].Offset, first + 10);
        EXPECT_EQ(gob.Members()[1].Size, 5);
        for (const TMember &m : Three)
            EXPECT_EQ(Member(gob, m.Name), m.Data) << m.Name;
        // Either layout comes out as the table-first one, which reads back unchanged.
        gob.SaveToFile(dir.File("out.gob"));
        EXPECT_EQ(ReadFile(dir.File("out.gob")), GOBBytes(Three)) << tableLast;
        EXPECT_EQ(Member(gob, "MISC/CMP/DFLT.CMP"), Three[1].Data); // now from out.gob
    }
}

TEST(GOB, BrokenTablesAreRefusedAndLeaveTheObjectAsItWas)
{
    TempDir dir;
    const auto header = [](int32_t version, int32_t table) {
        return Bytes().Text("GOB ").I32(version).I32(table);
    };
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {{'G', 'O', 'B'}, "Not a GOB container"},
        {Bytes().Text("BM  ").I32(20).I32(12).I32(0).Data, "Not a GOB container"},
        {header(21, 12).I32(0).Data, "GOB version 21 is not supported (only 20 is)"},
        {header(20, 13).I32(0).Data, "The member table at 13 lies past the end of the file"},
        {header(20, -4).I32(0).Data, "The member table at -4 lies past the end of the file"},
        {header(20, 12).I32(2).Fill(271).Data,
         "Member count 2 exceeds what the file holds (1)"},
        {header(20, 12).I32(-1).Data, "Member count -1 exceeds what the file holds (0)"},
        {header(20, 12).I32(0x7FFFFFFF).Data,
         "Member count 2147483647 exceeds what the file holds (0)"},
    };
    TGOB gob;
    gob.LoadFromFile(Put(dir, "good.gob", GOBBytes(Three)));
    for (const auto &[bytes, message] : cases) {
        EXPECT_EQ(MessageOf([&] { gob.LoadFromFile(Put(dir, "bad.gob", bytes)); }), message);
        EXPECT_EQ(gob.FileName(), dir.File("good.gob"));
        EXPECT_EQ(gob.Members().size(), 3u);
    }
    // An empty table is a container with no members.
    gob.LoadFromFile(Put(dir, "empty.gob", header(20, 12).I32(0).Data));
    EXPECT_TRUE(gob.Members().empty());
}

TEST(GOB, BadMembersAreListedWithTheirReasonAndTheRestStaysUsable)
{
    TempDir dir;
    const std::string control = std::string("mat\\a") + '\x1b' + "b.mat";
    const std::pair<std::function<void(Bytes &)>, std::string> cases[] = {
        {[](Bytes &b) { GOBEntry(b, 0, 1000, "big.mat"); }, "bytes past the end of the file"},
        {[](Bytes &b) { GOBEntry(b, 1000, 0, "far.mat"); }, "bytes past the end of the file"},
        {[](Bytes &b) { GOBEntry(b, 0x7FFFFFFF, 0x7FFFFFFF, "x.mat"); },
         "bytes past the end of the file"},
        {[](Bytes &b) { GOBEntry(b, 0, -1, "neg.mat"); }, "negative size"},
        {[](Bytes &b) { GOBEntry(b, -8, 4, "neg.mat"); }, "negative offset"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, std::string(128, 'a')); },
         "name without an end within 128 bytes"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, ""); }, "empty name"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "..\\evil.mat"); }, "'..' in the name"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "mat/../../evil.mat"); }, "'..' in the name"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "\\etc\\evil"); }, "name starting with a slash"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "/etc/evil"); }, "name starting with a slash"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "c:\\evil.mat"); }, "drive letter or ':' in the name"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "c:evil.mat"); }, "drive letter or ':' in the name"},
        {[&](Bytes &b) { GOBEntry(b, 0, 4, control); }, "control characters in the name"},
        {[](Bytes &b) { GOBEntry(b, 0, 4, "mat\\"); }, "name of a folder"},
    };
    for (const auto &[entry, reason] : cases) {
        const std::vector<uint8_t> bytes = WithBadEntry(entry);
        TGOB gob;
        gob.LoadFromFile(Put(dir, "bad.gob", bytes));
        ASSERT_EQ(gob.Members().size(), 2u) << reason;
        EXPECT_EQ(gob.Members()[0].Problem, reason);
        EXPECT_EQ(MessageOf([&] { gob.ReadMember(0); }), reason);
        EXPECT_EQ(MessageOf([&] { gob.Extract(0, dir.File("x")); }), reason);
        EXPECT_FALSE(std::filesystem::exists(dir.File("x"))) << reason;
        EXPECT_EQ(gob.ReadMember(1), std::vector<uint8_t>(3, 7)) << reason;
        // Bytes that are not there cannot be saved; a bad name is kept as it was.
        const std::string saved = MessageOf([&] { gob.SaveToFile(dir.File("s.gob")); });
        if (reason.find("past the end") != std::string::npos || reason.starts_with("negative")) {
            EXPECT_EQ(saved, "Member 1 (" + GOBShownName(gob.Members()[0].Name) + "): " +
                                 reason + "; remove it before saving");
        } else {
            TGOB again;
            again.LoadFromFile(dir.File("s.gob"));
            EXPECT_EQ(again.Members()[0].Name, gob.Members()[0].Name);
            EXPECT_EQ(again.Members()[0].Problem, reason);
        }
    }
}

TEST(GOB, OverlapsDuplicatesAndNamesTheGameCannotFindAreKeptAndFlagged)
{
    TempDir dir;
    Bytes b;
    b.Text("GOB ").I32(20).I32(12).I32(4);
    const int32_t data = 12 + 4 + 4 * 136;
    GOBEntry(b, data, 6, "MAT\\A.MAT");
    GOBEntry(b, data + 4, 4, "mat/a.mat");
    GOBEntry(b, data, 2, "mat\\a.mat");
    GOBEntry(b, data + 7, 2, "Sub/B.mat");
    b.Append(Ramp(10));
    TGOB gob;
    gob.LoadFromFile(Put(dir, "o.gob", b.Data));
    const std::vector<TGOBMember> &m = gob.Members();
    EXPECT_EQ(gob.Find("mat\\A.mat"), 0); // the first of equal names
    EXPECT_EQ(gob.ReadMember(1), Ramp(4, 4));
    const std::string unfindable[] = {"capital letters", "'/' between folders", "",
                                      "capital letters and '/'"};
    const int overlaps[] = {-1, 0, 0, 1};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(m[i].Problem, "") << i;
        EXPECT_EQ(GOBUnfindableReason(m[i].Name), unfindable[i]) << i;
        EXPECT_EQ(m[i].Overlaps, overlaps[i]) << i;
    }
    gob.SaveToFile(dir.File("o2.gob")); // names as they were, bytes apart
    TGOB again;
    again.LoadFromFile(dir.File("o2.gob"));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(again.Members()[i].Name, m[i].Name);
        EXPECT_EQ(again.ReadMember(i), gob.ReadMember(i));
        EXPECT_EQ(again.Members()[i].Overlaps, -1);
    }
}

TEST(GOB, NamesTheUserGivesAreStoredAsTheGameLooksThemUp)
{
    const std::pair<std::string, std::string> stored[] = {
        {"A/Sub//Z.Mat", "a\\sub\\z.mat"}, {"./x.bm", "x.bm"}, {"a\\.\\b", "a\\b"}};
    for (const auto &[given, want] : stored)
        EXPECT_EQ(GOBStoredName(given), want);
    const std::pair<std::string, std::string> refused[] = {
        {"../x", "'..' in the name"},         {"/x", "name starting with a slash"},
        {"c:/x", "drive letter or ':' in the name"}, {"a\tb", "control characters in the name"},
        {"", "empty name"},                    {"./", "empty name"},
        {std::string(128, 'a'), "longer than 127 bytes"}};
    for (const auto &[given, reason] : refused)
        EXPECT_EQ(MessageOf([&] { GOBStoredName(given); }),
                  "Member name '" + given + "': " + reason);
    EXPECT_EQ(GOBStoredName(std::string(127, 'A')), std::string(127, 'a'));
}

TEST(GOB, EditsAreHeldUntilTheSaveWhichReplacesTheContainerItReadsFrom)
{
    TempDir dir;
    const std::string path = Put(dir, "c.gob", GOBBytes(Three));
    Put(dir, "loose.bin", Ramp(7, 50));
    TGOB gob;
    gob.LoadFromFile(path);
    gob.Replace(0, Ramp(3, 9));                       // edited in memory
    EXPECT_EQ(gob.Put("NEW/One.BM", Ramp(2)), 3u);   // added
    EXPECT_EQ(gob.PutFile("empty.txt", dir.File("loose.bin")), 2u); // same name: replaced
    gob.Rename(1, "Misc/Other.cmp");
    const std::vector<uint8_t> big = Ramp((1 << 20) + 3, 1); // more than one piece
    gob.Put("big.bin", big);
    EXPECT_TRUE(gob.Modified());
    // A full disk leaves the container and the edits as they were.
    {
        TScopedFullDisk disk(100);
        EXPECT_EQ(MessageOf([&] { gob.SaveToFile(path); }), "Disk full");
    }
    EXPECT_EQ(ReadFile(path), GOBBytes(Three));
    EXPECT_TRUE(gob.Modified());
    gob.SaveToFile(path);
    EXPECT_FALSE(gob.Modified());
    const std::vector<TMember> now = {{"mat\\00abb3.mat", Ramp(3, 9)},
                                      {"misc\\other.cmp", Ramp(5, 100)},
                                      {"empty.txt", Ramp(7, 50)},
                                      {"new\\one.bm", Ramp(2)},
                                      {"big.bin", big}};
    EXPECT_EQ(ReadFile(path), GOBBytes(now));
    gob.Remove(1);
    gob.SaveToFile(dir.File("d.gob"));
    EXPECT_EQ(ReadFile(dir.File("d.gob")), GOBBytes({now[0], now[2], now[3], now[4]}));
    EXPECT_EQ(Member(gob, "new/one.bm"), Ramp(2));
    TGOB fresh; // no file behind it yet
    fresh.Put("a", Ramp(2));
    EXPECT_EQ(fresh.ReadMember(0), Ramp(2));
}

TEST(GOB, SaveFaultsKeepTheOldContainer)
{
    TempDir dir;
    TGOB gob;
    gob.LoadFromFile(Put(dir, "c.gob", GOBBytes(Three)));
    gob.Put("added.bm", Ramp(40));
    ExpectSaveFaultsHarmless([&](const std::string &p) { gob.WriteToFile(p); }, "a.gob");
}

TEST(GOB, ExtractionStaysInsideItsFolderAndOffLinks)
{
    TempDir dir;
    TGOB gob;
    gob.LoadFromFile(Put(dir, "c.gob",
                         GOBBytes({{"mat\\a.mat", Ramp(4)}, {"sub\\deep\\b.bm", Ramp(2)},
                                   {"link\\c.bm", Ramp(1)}, {"file\\d.bm", Ramp(1)},
                                   {"e.bm", Ramp(3)}})));
    const std::filesystem::path out = dir.Path / "out", outside = dir.Path / "outside";
    std::filesystem::create_directories(out);
    std::filesystem::create_directories(outside);
    std::error_code noLinks; // Windows makes them only with a privilege, Wine not at all
    std::filesystem::create_directory_symlink(outside, out / "link", noLinks);
    std::filesystem::create_symlink(outside / "e.bm", out / "e.bm", noLinks);
    WriteFile((out / "file").string(), {1});
    for (size_t i = 0; i < 2; ++i)
        gob.Extract(i, out.string());
    EXPECT_EQ(ReadFile((out / "sub/deep/b.bm").string()), Ramp(2));
    EXPECT_EQ(gob.ExtractPath(0, out.string()), (out / "mat" / "a.mat").string());
    EXPECT_EQ(MessageOf([&] { gob.Extract(3, out.string()); }),
              (out / "file").string() + " is a file, not a folder");
    if (noLinks)
        return;
    EXPECT_EQ(MessageOf([&] { gob.Extract(2, out.string()); }),
              "Will not write through the symbolic link " + (out / "link").string());
    EXPECT_EQ(MessageOf([&] { gob.Extract(4, out.string()); }),
              "Will not write through the symbolic link " + (out / "e.bm").string());
    EXPECT_TRUE(std::filesystem::is_empty(outside));
}

TEST(GOB, MemberPathsReadMembersWhereFilesAreExpected)
{
    TempDir dir;
    const std::string gob = Put(dir, "c.gob", GOBBytes(Three));
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadMemberPath(gob + "::MISC/cmp\\Dflt.cmp", bytes));
    EXPECT_EQ(bytes, Three[1].Data);
    EXPECT_EQ(TFileReader(gob + "::mat/00abb3.mat").Size(), 10u);
    EXPECT_TRUE(MemberPathExists(gob + "::empty.txt"));
    EXPECT_FALSE(MemberPathExists(gob + "::none.txt"));
    EXPECT_EQ(MessageOf([&] { TFileReader r(gob + "::none.txt"); }), "No member named 'none.txt'");
    EXPECT_EQ(MessageOf([&] { TFileReader r(dir.File("no.gob::a.bm")); }), "File not found");
    // A file whose own name holds "::" is that file.
    const std::string odd = Put(dir, "odd::name.bm", {1, 2});
    EXPECT_FALSE(ReadMemberPath(odd, bytes));
    EXPECT_EQ(TFileReader(odd).Size(), 2u);
}
