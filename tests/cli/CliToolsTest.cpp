// info's JSON, cmp, palette and resave; the one failure table (exit 1, one line naming the
// file, no output left behind, an old output kept); usage errors (exit 2), --help, --version.

#include "CliRun.h"

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_FileIO.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>

using namespace clitest;
using namespace testutil;

namespace {

// The one line `info --json` prints for a file, after the leading "file" key it checks.
std::string Info(const std::string &path)
{
    const TRun run = RunCli({"info", "--json", path});
    const std::string head = "{\"file\": \"" + path + "\", ";
    EXPECT_EQ(std::make_tuple(run.Code, run.Err, run.Out.substr(0, head.size()),
                              std::count(run.Out.begin(), run.Out.end(), '\n')),
              std::make_tuple(0, "", head, 1));
    return run.Out.size() > head.size() ? run.Out.substr(head.size()) : "";
}

} // namespace

TEST(CliInfo, HandBuiltFilesOfEveryKind)
{
    TempDir dir;
    const TPalette ramp = Ramp();
    std::vector<uint8_t> cmp = CMPBytes(2);
    PutInt32LE(&cmp[12], 0x3F400000); // tint 0.75, 0 and a NaN
    PutInt32LE(&cmp[20], 0x7FC00000);
    std::fill_n(cmp.begin() + 64 + 768, 64 * 256, uint8_t(0));
    // The kind comes from the content when the name does not tell it.
    const std::pair<std::string, std::vector<uint8_t>> files[] = {
        {"hand.bm", BMBytes({{2, 1, 1}, {1, 3, 2}}, 8, &ramp)},
        {"hand16.bm", BMBytes({{1, 1, 0xFF}}, 16)},
        {"hand.sft", SFTBytes({{65, 0, 3}, {66, 3, 4}, {70, 7, 2}}, 9, 2, 16)},
        {"tex.mat", TextureMAT({{4, 2, 2, 0, 1}, {2, 2, 1, 0, 0}})},
        {"colour.mat",
         MATHeaderBytes(0, 2, 16).I32(0).I32(0xFF8040).Fill(16).I32(0).I32(3).Fill(16).Data},
        {"flag2.cmp", cmp},
        {"colormap.dat", cmp}};
    const std::string want[] = {
        R"("kind": "BM", "bits": 8, "has_palette": true, "x_offset": 4, "y_offset": -2, )"
        R"("trans_color": 9, "frames": [{"width": 2, "height": 1}, {"width": 1, "height": 3}]})",
        R"("kind": "BM", "bits": 16, "has_palette": false, "x_offset": 4, "y_offset": -2, )"
        R"("trans_color": 63519, "frames": [{"width": 1, "height": 1}]})",
        R"("kind": "SFT", "bits": 16, "width": 9, "height": 2, "has_bitmap": true, )"
        R"("char_gap": 1, "space_length": 6, "trans_color": 0, "chars": [[65, 0, 3], )"
        R"([66, 3, 4], [70, 7, 2]]})",
        R"("kind": "MAT", "bits": 8, "type": "texture", "frames": [{"width": 4, "height": 2, )"
        R"("mipmaps": 2, "transparent": true, "fill": 5, "cel": 0}, {"width": 2, )"
        R"("height": 2, "mipmaps": 1, "transparent": false, "fill": 6, "cel": 1}]})",
        R"("kind": "MAT", "bits": 16, "type": "color", "frames": [{"color": 16744512}, )"
        R"({"color": 3}]})",
        // All-zero light tables: only index 0 stays itself, so it alone is full-bright.
        R"("kind": "CMP", "bits": 8, "has_transparency": 2, "tint": [0.75, 0, null], )"
        R"("full_bright": [0]})",
        R"("kind": "CMP", "bits": 8, "has_transparency": 2, "tint": [0.75, 0, null], )"
        R"("full_bright": [0]})",
    };
    for (size_t i = 0; i < std::size(files); ++i)
        EXPECT_EQ(Info(Put(dir, files[i].first, files[i].second)), want[i] + "\n")
            << files[i].first;
}

TEST(CliInfo, SeveralFilesGoOnPastAFailure)
{
    TempDir dir;
    const std::string cut = Put(dir, "short.mat", MATHeaderBytes(2, 1).Data);
    const TRun run = RunCli({"info", "--json", Sample("sample8.bm"), cut, Sample("color.mat")});
    EXPECT_EQ(std::make_tuple(run.Code, run.Err, std::count(run.Out.begin(), run.Out.end(), '\n')),
              std::make_tuple(1, "glimra-cli: " + cut + ": Read beyond end of file\n", 2));
    EXPECT_NE(RunCli({"info", Sample("font8.sft")}).Out.find("8-bit SFT, strip 912 x 16, 95 c"),
              std::string::npos);
}

// What cmp takes from where: the palette of the --from file (at byte 64), the flag and tables
// from --trans, an existing colormap's flag and tint (three floats at 12) kept unless set.
TEST(CliCmp, PaletteTablesAndTint)
{
    TempDir dir;
    ASSERT_EQ(Exit({"cmp", dir.File("a.cmp"), "--from", Sample("sample8.bm"), "--trans", "on",
                    "--tint", "1,0.5,0.1"}),
              0);
    const std::vector<uint8_t> a = ReadFile(dir.File("a.cmp")), bm = ReadFile(Sample("sample8.bm"));
    ASSERT_EQ(a.size(), 64u + 768 + 64 * 256 + 256 * 256);
    EXPECT_EQ(std::vector<uint8_t>(a.begin(), a.begin() + 28),
              Bytes().Text("CMP ").I32(32).I32(1).I32(0x3F800000).I32(0x3F000000).I32(0x3DCCCCCD)
                  .I32(0).Data);
    EXPECT_TRUE(std::equal(bm.end() - 768, bm.end(), a.begin() + 64)); // the BM's own palette
    ASSERT_EQ(Exit({"cmp", dir.File("a.cmp"), dir.File("b.cmp"), "--trans=off"}), 0);
    EXPECT_NE(RunCli({"info", dir.File("b.cmp")}).Out.find("tint: [1, 0.5, 0.1]"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("b.cmp")).size(), 17216u);
    ASSERT_EQ(Exit({"cmp", Sample("colormap.cmp"), dir.File("c.cmp")}), 0);
    EXPECT_EQ(ReadFile(dir.File("c.cmp")), ReadFile(Sample("colormap.cmp")));
}

// The format follows the extension unless --format names it (the layouts are the core's);
// each step reads the last step's output.
TEST(CliPalette, ConversionsRoundTrip)
{
    TempDir dir;
    const TPalette expected = LoadPaletteSource(Sample("sample8.bm"));
    std::string in = Sample("sample8.bm");
    for (const auto &[name, format, magic] :
         {std::tuple{"a.act", "", ""}, {"b.pal", "", "RIFF"},
          {"c.pal", "jasc", "JASC"}, {"d.gpl", "", "GIMP"}}) {
        std::vector<std::string> args{"palette", in, dir.File(name)};
        if (*format)
            args.insert(args.end(), {"--format", format});
        ASSERT_EQ(Exit(args), 0) << name;
        in = dir.File(name);
        const std::vector<uint8_t> bytes = ReadFile(in);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4),
                  *magic ? magic : std::string(&expected[0].Red, &expected[0].Red + 4));
        EXPECT_EQ(LoadPaletteSource(in), expected) << name;
    }
}

TEST(CliResave, SamplesComeBackByteForByteAndAreWhatTheGeneratorWrites)
{
    const std::vector<std::string> names = {"color.mat",   "colormap.cmp", "console.mat",
                                            "font8.sft",   "sample16.bm",  "sample8.bm",
                                            "texture16t.mat", "texture8.mat"};
    // The font is drawn from the machine's DejaVu Sans Bold; without it, from the built-in one.
    const bool dejavu =
        std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    TempDir dir;
    ASSERT_EQ(Exit({"make-samples", dir.File("made")}), 0);
    ASSERT_EQ(Exit({"make-samples", dir.File("builtin"), "--builtin-font"}), 0);
    EXPECT_NE(RunCli({"info", dir.File("builtin/font8.sft")}).Out.find("95 character(s)\n  gap: 1"),
              std::string::npos);
    EXPECT_EQ(FilesIn(dir.Path / "made"), names);
    for (const std::string &name : names) {
        ASSERT_EQ(Exit({"resave", Sample(name), dir.File(name)}), 0) << name;
        EXPECT_EQ(ReadFile(dir.File(name)), ReadFile(Sample(name))) << name;
        EXPECT_TRUE(ReadFile(dir.File("made/" + name)) == ReadFile(Sample(name)) ||
                    (name == "font8.sft" && !dejavu))
            << name;
    }
}

// No file crashes or hangs glimra-cli: broken, truncated and hostile inputs, and outputs it
// cannot write, end with exit 1 and one line naming the file; no output is left behind and an
// old one stays as it was. The fuzz targets search the rest.
TEST(CliFailures, OneLineNamingTheFileAndNoOutput)
{
    TempDir dir;
    const std::string out = dir.File("out/");
    std::filesystem::create_directory(out);
    const auto cut = [&](const std::string &sample, size_t keep, const std::string &name) {
        std::vector<uint8_t> bytes = ReadFile(Sample(sample));
        bytes.resize(keep);
        return Put(dir, name, bytes);
    };
    const std::string bm = cut("sample8.bm", 700, "cut.bm"), sft = cut("font8.sft", 100, "c.sft");
    const std::string mat = cut("texture8.mat", 300, "c.mat");
    const std::string act = cut("colormap.cmp", 500, "c.act");
    const std::string cmp = cut("colormap.cmp", 20000, "cut.cmp");
    const std::string junk = Put(dir, "junk.bmp", {'n', 'o', 't', ' ', 'b', 'm', 'p'});
    const std::string notes = Put(dir, "notes.txt", {'h', 'i'}), missing = dir.File("missing.act");
    // Counts and sizes far beyond what the file holds.
    const std::string many = Put(dir, "many.bm", BMHeaderBytes({.Images = 1000000}).Data);
    const std::string huge = Put(dir, "huge.mat", MATHeaderBytes(2, 1).I32(8).I32(0).Fill(28).I32(0)
        .I32(0x7FFFFFFF).I32(0x7FFFFFFF).I32(0).I32(0).I32(0).I32(4).Data);
    const std::string bm16 = Put(dir, "wide.bm", BMBytes({{2, 2, 7}}, 16));
    const std::string opaque = Put(dir, "opaque.cmp", CMPBytes(0)), none = dir.File("none.cmp");
    QImage picture(96, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.save(QString::fromStdString(dir.File("strip.bmp")));
    picture.copy(0, 0, 97, 8).save(QString::fromStdString(dir.File("odd.bmp")));
    const std::string strip = dir.File("strip.bmp"), table = dir.File("t.json");
    const std::string beyond = "Read beyond end of file", badTable = "Not a character table ";
    // Containers: one holding a cut MAT, one whose table and one whose member lie beyond it.
    std::vector<uint8_t> cutMAT = ReadFile(Sample("texture8.mat"));
    cutMAT.resize(100);
    const std::string gob = Put(dir, "c.gob", GOBBytes({{"a.bm", {1}}, {"cut.mat", cutMAT}}));
    const std::string broken = Put(dir, "b.gob", Bytes().Text("GOB ").I32(20).I32(12).I32(9).Data);
    Bytes past;
    GOBEntry(past.Text("GOB ").I32(20).I32(12).I32(1), 0, 1000, "a.bm");
    const std::string pastEnd = Put(dir, "p.gob", past.Data), loose = Put(dir, "l.bin", {1, 2});
    const std::string o = out + "o.gob";
    QImage two(2, 2, QImage::Format_RGB32);
    two.fill(Qt::white);
    two.setPixel(1, 1, qRgb(0, 0, 0));
    two.save(QString::fromStdString(dir.File("two.bmp")));
    std::vector<std::string> seventeen{"import", out + "m.mat"};
    seventeen.insert(seventeen.end(), 17, dir.File("two.bmp"));
    const std::vector<std::string> chars{"import", out + "a.sft", strip, "--chars", table};
    // Kept as it is when the command fails: an existing output the user may not write.
    const std::string old = Put(dir, "old.bm", {1, 2, 3});
    std::filesystem::permissions(old, std::filesystem::perms::owner_read);
    // The arguments, the character table (if any), the file the line names, and the start of
    // its reason.
    const std::tuple<std::vector<std::string>, std::string, std::string, std::string> cases[] = {
        {{"info", bm}, "", bm, beyond},
        {{"info", many}, "", many, "Image count 1000000 exceeds"},
        {{"info", huge}, "", huge, beyond},
        {{"export", mat, "-o", out}, "", mat, beyond},
        {{"export", sft, "-o", out}, "", sft, beyond},
        {{"resave", bm, out + "a.bm"}, "", bm, beyond},
        {{"cmp", cmp, out + "a.cmp"}, "", cmp, beyond},
        {{"cmp", out + "b.cmp", "--from", act}, "", act, beyond},
        {{"palette", act, out + "a.pal"}, "", act, beyond},
        {{"palette", missing, out + "b.pal"}, "", missing, "File not found"},
        {{"import", out + "a.bm", junk}, "", junk, "Bitmap image is not valid"},
        {{"import", out + "d.mat", dir.File("two.bmp"), "--color"}, "", dir.File("two.bmp"),
         "A colour frame picture must be one colour"},
        {seventeen, "", out + "m.mat", "A MAT holds at most 16 frames, 17 pictures given"},
        {{"import", out + "b.bm", Sample("sample8.bm"), "--palette", notes}, "", notes,
         "No palette in this file"},
        {{"export", notes, "-o", out}, "", notes, "Not a BM, MAT, CMP or SFT file"},
        {{"export", Sample("colormap.cmp"), "-o", out}, "", Sample("colormap.cmp"),
         "A colormap has no frames to export"},
        {{"export", bm16, "--cmp", opaque, "--light", "3", "-o", out}, "", bm16,
         "A 16-bit frame has no palette indices to look up in a colormap"},
        {{"export", Sample("sample8.bm"), "--cmp", opaque, "--light", "3", "--translucent-over",
          "1", "-o", out}, "", opaque, "The colormap has no transparency tables"},
        {{"export", bm16, "--cmp", none, "--light", "3", "-o", out}, "", none, "File not found"},
        {{"resave", Sample("color.mat"), dir.File("no/dir/a.mat")}, "", dir.File("no/dir/a.mat"),
         "File not found"},
        {{"resave", Sample("sample8.bm"), old}, "", old, "File access denied"},
        {{"import", out + "a.sft", dir.File("odd.bmp"), "--chars", "65-72"}, "",
         dir.File("odd.bmp"), "The strip is 97 pixels wide, which does not divide into 8"},
        {chars, "[[65, 0]]", table,
         badTable + "[[code, offset, width], ...]: unexpected ']' at byte 8"},
        {chars, "", table, badTable},
        {chars, "[[65, 0, 3]] x", table, badTable},
        {chars, "[[65.5, 0, 3]]", table, badTable},
        {chars, "[[70000, 0, 3]]", table, "Character code 70000 is not from 0 to 65535"},
        {chars, "[[65, 90, 12]]", table,
         "Character 65 at 90, 12 pixels wide, lies outside the 96-pixel strip"},
        {chars, "[[65, -1, 2]]", table, "Character"},
        {{"import", out + "a.sft", strip, "--chars", dir.File("no.json")}, "",
         dir.File("no.json"), "File not found"},
        {{"gob", "list", none}, "", none, "File not found"},
        {{"gob", "list", broken}, "", broken, "Member count 9 exceeds what the file holds (0)"},
        {{"gob", "extract", gob, "b.bm", "-o", out}, "", gob, "No member named 'b.bm'"},
        {{"gob", "update", gob, "--remove", "z", "-o", o}, "", gob, "No member named 'z'"},
        {{"gob", "update", pastEnd, "-o", o}, "", o,
         "Member 1 (a.bm): bytes past the end of the file; remove it before saving"},
        {{"gob", "update", gob, "--add", "../a=" + loose, "-o", o}, "", loose,
         "Member name '../a': '..' in the name"},
        {{"gob", "update", gob, "--add", "a=" + none, "-o", o}, "", none, "File not found"},
        {{"gob", "create", o, loose, "--as", "x", loose, "--as", "X"}, "", loose,
         "Member name 'X' is taken by " + loose},
        {{"info", gob + "::b.bm"}, "", gob + "::b.bm", "No member named 'b.bm'"},
        {{"info", gob + "::cut.mat"}, "", gob + "::cut.mat", beyond},
        {{"resave", none + "::a.bm", o}, "", none + "::a.bm", "File not found"},
    };
    for (const auto &[args, text, file, reason] : cases) {
        Put(dir, "t.json", Text(text));
        const TRun run = RunCli(args);
        const std::string head = "glimra-cli: " + file + ": " + reason;
        EXPECT_EQ(std::make_tuple(run.Code, std::count(run.Err.begin(), run.Err.end(), '\n'),
                                  run.Out),
                  std::make_tuple(1, 1L, ""))
            << run.Err;
        EXPECT_EQ(run.Err.substr(0, head.size()), head) << run.Err;
        EXPECT_TRUE(FilesIn(out).empty()) << args[0] << " " << file;
    }
    EXPECT_EQ(ReadFile(old), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(CliUsage, MistakesExitTwoAndWriteNothing)
{
    TempDir dir;
    const std::string x = Sample("sample8.bm"), out = dir.File("o.bm"), o = dir.File("");
    const std::string cmp = dir.File("o.cmp"), mat = dir.File("o.mat"), sft = dir.File("o.sft");
    const std::string gob = dir.File("o.gob");
    const std::string chars = "--chars";
    const auto tint = [&](const char *t) {
        return std::vector<std::string>{"cmp", cmp, "--from", "Dflt", "--tint", t};
    };
    const std::vector<std::string> mistakes[] = {
        {}, {"bogus"}, {"info"}, {"info", "--bogus", x}, {"info", "--json=yes", x},
        {"export", x, "--zoom", "11", "-o", o}, {"export", x, "--zoom", "two", "-o", o},
        {"export", x, "--bits", "16", "-o", o}, {"export", x, "-o"},
        {"export", x, "--light", "3", "-o", o}, {"export", x, "--cmp", x, "-o", o},
        {"export", x, "--cmp", x, "--light", "64", "-o", o},
        {"export", x, "--cmp", x, "--full-bright-mask", "--translucent-over", "1", "-o", o},
        {"export", x, "--cmp", x, "--light", "1", "--palette", "Dflt", "-o", o}, {"import", out},
        {"import", dir.File("o.bmp"), x}, {"import", out, x, "--mipmaps", "2"},
        {"import", out, x, "--bits", "12"}, {"import", mat, x, "--mipmaps", "5"},
        {"import", mat, x, "--color", "--transparent"}, {"import", sft, x, x},
        {"import", sft, x, chars, "72-65"}, {"import", sft, x, chars, "65-65536"},
        {"import", out, x, chars, "65-72"}, {"cmp", cmp},
        {"cmp", cmp, "--from", "Dflt", "--trans", "maybe"}, tint("1.5,0,0"),
        tint("0,0"), tint("nan,0,0"), tint("0,0,0,0"), {"palette", "Dflt"},
        {"palette", "Dflt", dir.File("o.txt")},
        {"palette", "Dflt", dir.File("o.pal"), "--format", "png"}, {"resave", x}, {"gob"},
        {"gob", "bogus"}, {"gob", "list"}, {"gob", "extract"}, {"gob", "update"},
        {"gob", "create", gob}, {"gob", "create", gob, "--as", "x", x},
        {"gob", "create", gob, dir.Path.string(), "--as", "x"}, {"gob", "list", x, "--bogus"},
        {"gob", "update", x, "--add", "noequals"}, {"gob", "update", x, "--add", "=x"}};
    for (const auto &args : mistakes) {
        const TRun run = RunCli(args);
        const std::string line = args.empty() ? "" : args[0] + " " + args.back();
        EXPECT_TRUE(run.Code == 2 && run.Out.empty() &&
                    run.Err.find("glimra-cli") != std::string::npos)
            << line << ": " << run.Code << " " << run.Err;
    }
    EXPECT_TRUE(FilesIn(dir.Path).empty());
    for (const std::string command : {"info", "export", "import", "cmp", "palette", "resave",
                                      "gob list", "gob extract", "gob create", "gob update"}) {
        std::vector<std::string> args{command.substr(0, command.find(' '))};
        if (command.find(' ') != std::string::npos)
            args.push_back(command.substr(4));
        args.push_back("--help");
        const TRun run = RunCli(args);
        EXPECT_TRUE(run.Code == 0 && run.Out.rfind("Usage: glimra-cli " + command, 0) == 0)
            << run.Out;
    }
    const TRun top = RunCli({"--help"}); // make-samples is hidden
    EXPECT_TRUE(top.Code == 0 && top.Out.find("palette") != std::string::npos &&
                top.Out.find("make-samples") == std::string::npos);
    // The version is the build's, the one the About box shows.
    EXPECT_EQ(RunCli({"--version"}).Out, "glimra-cli " GLIMRA_PROJECT_VERSION "\n");
}
