// gob list, extract, create and update on hand-built containers, the reading commands on
// CONTAINER::NAME (their failures are rows of the command line's one failure table).

#include "CliRun.h"
#include "GameFiles.h"

#include <gtest/gtest.h>

using namespace clitest;
using namespace testutil;

TEST(CliGob, ListShowsEveryMemberWithItsMarks)
{
    TempDir dir;
    Bytes b;
    b.Text("GOB ").I32(20).I32(12).I32(4);
    const int32_t data = 12 + 4 + 4 * 136;
    GOBEntry(b, data, 3, "mat\\a.mat");
    GOBEntry(b, data + 1, 2, "MAT\\B.MAT");
    GOBEntry(b, data, 99, "..\\evil\x1b.bm");
    GOBEntry(b, data + 3, 0, "e");
    const std::string gob = Put(dir, "l.gob", b.Append(Ramp(3)).Data);
    const TRun text = RunCli({"gob", "list", gob});
    EXPECT_EQ(text.Code, 0) << text.Err;
    EXPECT_EQ(text.Out, gob + ": 4 member(s), 1 bad\n"
                              "     1           3         560  mat/a.mat\n"
                              "     2           2         561  MAT/B.MAT  [the game cannot find "
                              "it: capital letters]  [shares bytes with member 1]\n"
                              "     3          99         560  ../evil?.bm  [bad: control "
                              "characters in the name]\n"
                              "     4           0         563  e\n");
    const TRun json = RunCli({"gob", "list", "--json", gob});
    EXPECT_EQ(json.Out,
              R"({"file": ")" + gob + R"(", "kind": "GOB", "count": 4, "members": [)"
              R"({"index": 1, "name": "mat/a.mat", "size": 3, "offset": 560}, )"
              R"({"index": 2, "name": "MAT/B.MAT", "size": 2, "offset": 561, )"
              R"("unfindable": "capital letters", "overlaps": 1}, )"
              R"({"index": 3, "name": "../evil\u001b.bm", "size": 99, "offset": 560, )"
              R"("bad": "control characters in the name"}, {"index": 4, "name": "e", )"
              R"("size": 0, )"
              R"("offset": 563}]})"
              "\n");
}

// A folder made into a container lists its files, lower-cased, and extracts them again
// byte-identical; update adds, replaces and removes in the order given.
TEST(CliGob, CreateFromAFolderExtractsTheSameFilesAndUpdateChangesThem)
{
    TempDir dir;
    const std::filesystem::path src = dir.Path / "src";
    std::filesystem::create_directories(src / "Mat" / "Sub");
    WriteFile((src / "Mat/Sub/One.MAT").string(), Ramp(300));
    WriteFile((src / "two.bm").string(), Ramp(20, 7));
    WriteFile((src / "empty").string(), {});
    ASSERT_EQ(Exit({"gob", "create", dir.File("c.gob"), src.string()}), 0);
    EXPECT_EQ(ReadFile(dir.File("c.gob")),
              GOBBytes({{"empty", {}}, {"mat\\sub\\one.mat", Ramp(300)}, {"two.bm", Ramp(20, 7)}}));
    ASSERT_EQ(Exit({"gob", "extract", dir.File("c.gob"), "-o", dir.File("out")}), 0);
    const std::map<std::string, std::vector<uint8_t>> want = {
        {"empty", {}}, {"mat/sub/one.mat", Ramp(300)}, {"two.bm", Ramp(20, 7)}};
    EXPECT_EQ(Tree(dir.Path / "out"), want);
    // Named members only, without regard to case or slashes.
    ASSERT_EQ(Exit({"gob", "extract", dir.File("c.gob"), "MAT\\SUB/one.mat", "-o", dir.File("one")}),
              0);
    EXPECT_EQ(Tree(dir.Path / "one").size(), 1u);

    const std::string loose = Put(dir, "new.bin", Ramp(5, 200));
    ASSERT_EQ(Exit({"gob", "update", dir.File("c.gob"), "--add", "Two.BM=" + loose, "--remove",
                    "EMPTY", "--add", "x/y.cmp=" + loose, "-o", dir.File("d.gob")}),
              0);
    EXPECT_EQ(ReadFile(dir.File("d.gob")), GOBBytes({{"mat\\sub\\one.mat", Ramp(300)},
                                                     {"two.bm", Ramp(5, 200)},
                                                     {"x\\y.cmp", Ramp(5, 200)}}));
    // Without -o the container itself changes.
    ASSERT_EQ(Exit({"gob", "update", dir.File("d.gob"), "--remove", "two.bm"}), 0);
    EXPECT_EQ(ReadFile(dir.File("d.gob")),
              GOBBytes({{"mat\\sub\\one.mat", Ramp(300)}, {"x\\y.cmp", Ramp(5, 200)}}));
    ASSERT_EQ(Exit({"gob", "create", dir.File("f.gob"), loose, "--as", "A/B.bin", loose}), 0);
    EXPECT_EQ(ReadFile(dir.File("f.gob")),
              GOBBytes({{"a\\b.bin", Ramp(5, 200)}, {"new.bin", Ramp(5, 200)}}));
}

// info, export, resave, palette and --palette read members as they read files.
TEST(CliGob, ReadingCommandsTakeContainerMembers)
{
    TempDir dir;
    const std::vector<uint8_t> mat = ReadFile(Sample("texture8.mat"));
    const std::vector<uint8_t> cmp = ReadFile(Sample("colormap.cmp"));
    const std::string gob = Put(dir, "r.gob", GOBBytes({{"mat\\texture8.mat", mat},
                                                        {"misc\\cmp\\dflt.cmp", cmp},
                                                        {"noext", mat}}));
    const std::string member = gob + "::MAT/Texture8.MAT";
    const TRun info = RunCli({"info", member, gob + "::noext"});
    EXPECT_EQ(info.Code, 0) << info.Err;
    EXPECT_EQ(info.Out.find(member + ": 8-bit texture MAT, 2 frame(s)"), 0u) << info.Out;
    EXPECT_NE(info.Out.find(gob + "::noext: 8-bit texture MAT"), std::string::npos);
    ASSERT_EQ(Exit({"resave", member, dir.File("t.mat")}), 0);
    EXPECT_EQ(ReadFile(dir.File("t.mat")), mat);
    ASSERT_EQ(Exit({"palette", gob + "::misc\\cmp\\dflt.cmp", dir.File("p.act")}), 0);
    EXPECT_EQ(ReadFile(dir.File("p.act")), std::vector<uint8_t>(cmp.begin() + 64, cmp.begin() + 832));
    ASSERT_EQ(Exit({"export", gob + "::mat/texture8.mat", "-o", dir.File("a"), "--palette",
                    gob + "::misc/cmp/dflt.cmp"}),
              0);
    ASSERT_EQ(Exit({"export", Sample("texture8.mat"), "-o", dir.File("b"), "--palette",
                    Sample("colormap.cmp")}),
              0);
    EXPECT_EQ(Tree(dir.Path / "a"), Tree(dir.Path / "b"));
    EXPECT_EQ(Tree(dir.Path / "a").size(), 8u);
}

// The second of two names the game takes as one is not written over the first.
TEST(CliGob, ExtractKeepsTheFirstOfTwoNamesTheGameTakesAsOne)
{
    TempDir dir;
    const std::string gob = Put(dir, "c.gob", GOBBytes({{"a.bm", Ramp(3)}, {"A.BM", Ramp(1)}}));
    const TRun dup = RunCli({"gob", "extract", gob, "-o", dir.File("d")});
    EXPECT_EQ(dup.Code, 0);
    EXPECT_EQ(dup.Err,
              "glimra-cli: " + gob + "::A.BM: warning: not written: member 1 has that name\n");
    EXPECT_EQ(ReadFile(dir.File("d/a.bm")), Ramp(3));
}
