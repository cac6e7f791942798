// cmp, palette and resave; failures (exit 1, one line, no output left behind) and usage
// errors (exit 2); --help; the committed samples are what make-samples writes.

#include "CliRun.h"

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace clitest;
using namespace testutil;

namespace {

// Sorted, as FilesIn lists them.
const char *const SampleNames[] = {"color.mat",   "colormap.cmp", "console.mat",
                                   "font8.sft",   "sample16.bm",  "sample8.bm",
                                   "texture16t.mat", "texture8.mat"};

} // namespace

// Guards what cmp takes from where: the palette of the --from file (at byte 64, after the
// header), the transparency flag and tables from --trans, and an existing colormap's flag
// kept unless --trans overrides it.
TEST(CliCmp, PaletteFromTheSourceTablesByTheFlag)
{
    TempDir dir;
    TBM bm;
    bm.LoadFromFile(Sample("sample8.bm"));
    ASSERT_EQ(Exit({"cmp", dir.File("a.cmp"), "--from", Sample("sample8.bm"), "--trans", "on"}),
              0);
    const std::vector<uint8_t> a = ReadFile(dir.File("a.cmp"));
    ASSERT_EQ(a.size(), 64u + 768 + 64 * 256 + 256 * 256);
    EXPECT_EQ(GetInt32LE(&a[8]), 1);
    const auto *palette = reinterpret_cast<const uint8_t *>(bm.Palette.data());
    EXPECT_TRUE(std::equal(palette, palette + 768, a.begin() + 64));
    ASSERT_EQ(Exit({"cmp", dir.File("b.cmp"), "--from", "Dflt"}), 0);
    EXPECT_EQ(ReadFile(dir.File("b.cmp")).size(), 17216u);
    ASSERT_EQ(Exit({"cmp", Sample("colormap.cmp"), dir.File("c.cmp")}), 0);
    EXPECT_EQ(ReadFile(dir.File("c.cmp")), ReadFile(Sample("colormap.cmp")));
    ASSERT_EQ(Exit({"cmp", Sample("colormap.cmp"), dir.File("d.cmp"), "--trans=off"}), 0);
    EXPECT_EQ(ReadFile(dir.File("d.cmp")).size(), 17216u);
}

// The tint is three floats at offset 12, kept by a recomputation unless --tint sets it.
TEST(CliCmp, TintIsSetKeptAndShown)
{
    TempDir dir;
    ASSERT_EQ(Exit({"cmp", dir.File("a.cmp"), "--from", "Dflt", "--tint", "1,0.5,0.1"}), 0);
    const std::vector<uint8_t> a = ReadFile(dir.File("a.cmp"));
    const Bytes head = Bytes().Text("CMP ").I32(32).I32(0).I32(0x3F800000).I32(0x3F000000);
    EXPECT_EQ(std::vector<uint8_t>(a.begin(), a.begin() + 28),
              Bytes(head).I32(0x3DCCCCCD).I32(0).Data);
    // The tint changes the header only: the rest equals a colormap made without one.
    ASSERT_EQ(Exit({"cmp", dir.File("plain.cmp"), "--from", "Dflt"}), 0);
    const std::vector<uint8_t> plain = ReadFile(dir.File("plain.cmp"));
    EXPECT_EQ(std::vector<uint8_t>(a.begin() + 28, a.end()),
              std::vector<uint8_t>(plain.begin() + 28, plain.end()));
    ASSERT_EQ(Exit({"cmp", dir.File("a.cmp"), dir.File("b.cmp"), "--trans", "on"}), 0);
    const TRun kept = RunCli({"info", "--json", dir.File("b.cmp")});
    EXPECT_NE(kept.Out.find(R"("has_transparency": 1, "tint": [1, 0.5, 0.1], )"), std::string::npos)
        << kept.Out;
    ASSERT_EQ(Exit({"cmp", dir.File("b.cmp"), dir.File("c.cmp"), "--tint", "0,0.25,1"}), 0);
    EXPECT_NE(RunCli({"info", dir.File("c.cmp")}).Out.find("tint: [0, 0.25, 1]"),
              std::string::npos);
}

TEST(CliPalette, ConversionsRoundTrip)
{
    TempDir dir;
    // Each step converts the previous step's output; the format follows the extension
    // unless --format names it. .txt and .bin are no palette extensions: they are read back
    // through a copy named .pal.
    const std::tuple<std::string, std::string, std::string> steps[] = {
        {"a.act", "", ""},     {"b.pal", "", "RIFF"},     {"c.txt", "jasc", "JASC"},
        {"d.gpl", "", "GIMP"}, {"e.bin", "riff", "RIFF"}, {"f.act", "", ""}};
    for (const std::string &source :
         {std::string("Uicolormap"), Sample("sample8.bm"), Sample("colormap.cmp")}) {
        const TPalette expected = LoadPaletteSource(source);
        std::string in = source;
        for (const auto &[name, format, magic] : steps) {
            std::vector<std::string> args{"palette", in, dir.File(name)};
            if (!format.empty())
                args.insert(args.end(), {"--format", format});
            const TRun run = RunCli(args);
            ASSERT_EQ(run.Code, 0) << name << ": " << run.Err;
            in = dir.File(name);
            const std::vector<uint8_t> bytes = ReadFile(in);
            if (magic.empty()) // ACT: exactly the 768 palette bytes
                EXPECT_EQ(bytes, std::vector<uint8_t>(&expected[0].Red, &expected[0].Red + 768));
            else
                EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), magic) << name;
            if (name == "c.txt" || name == "e.bin") {
                std::filesystem::copy_file(in, in + ".pal",
                                           std::filesystem::copy_options::overwrite_existing);
                in += ".pal";
            }
            EXPECT_EQ(LoadPaletteSource(in), expected) << source << " -> " << name;
        }
    }
}

TEST(CliResave, SamplesComeBackByteForByteAndAreWhatTheGeneratorWrites)
{
    TempDir dir;
    ASSERT_EQ(Exit({"make-samples", dir.File("made")}), 0);
    ASSERT_EQ(Exit({"make-samples", dir.File("builtin"), "--builtin-font"}), 0);
    EXPECT_NE(RunCli({"info", dir.File("builtin/font8.sft")}).Out.find("95 character(s)\n  gap: 1"),
              std::string::npos);
    EXPECT_EQ(FilesIn(dir.Path / "made"),
              std::vector<std::string>(std::begin(SampleNames), std::end(SampleNames)));
    for (const std::string name : SampleNames) {
        const TRun run = RunCli({"resave", Sample(name), dir.File(name)});
        ASSERT_EQ(run.Code, 0) << name << ": " << run.Err;
        EXPECT_EQ(ReadFile(dir.File(name)), ReadFile(Sample(name))) << name;
        // The font is drawn from the machine's DejaVu Sans Bold; without it, from the built-in one.
        if (name != "font8.sft" ||
            std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf")) {
            EXPECT_EQ(ReadFile(dir.File("made/" + name)), ReadFile(Sample(name))) << name;
        }
    }
}

TEST(CliFailures, BadAndTruncatedFilesExitOneAndLeaveNoOutput)
{
    TempDir dir;
    // The first `keep` bytes of a sample, under `name`.
    const auto cut = [&](const std::string &sample, size_t keep, const std::string &name) {
        std::vector<uint8_t> bytes = ReadFile(Sample(sample));
        bytes.resize(keep);
        WriteFile(dir.File(name), bytes);
        return dir.File(name);
    };
    const std::string bm = cut("sample8.bm", 700, "cut.bm");
    const std::string mat = cut("texture8.mat", 300, "cut.mat");
    const std::string sft = cut("font8.sft", 100, "cut.sft");
    const std::string cmp = cut("colormap.cmp", 20000, "cut.cmp");
    const std::string act = cut("colormap.cmp", 500, "cut.act");
    WriteFile(dir.File("junk.bmp"), {'n', 'o', 't', ' ', 'b', 'm', 'p'});
    WriteFile(dir.File("notes.txt"), {'h', 'i'});
    // A frame count far beyond the format's limit.
    WriteFile(dir.File("many.bm"),
              Bytes().Text("BM  ").I32(70).I32(0).I32(1).I32(1000000).Fill(108).Data);
    std::filesystem::create_directory(dir.File("out"));
    const std::string beyond = "Read beyond end of file", out = dir.File("out/");
    const std::string missing = dir.File("missing.act"), notes = dir.File("notes.txt");
    const std::string junk = dir.File("junk.bmp"), many = dir.File("many.bm");
    // The arguments, the file the one line names, and its reason when it is ours.
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{"info", bm}, bm, beyond},
        {{"info", many}, many, ""},
        {{"export", mat, "-o", out}, mat, beyond},
        {{"export", sft, "-o", out}, sft, beyond},
        {{"resave", sft, out + "a.sft"}, sft, beyond},
        {{"resave", bm, out + "a.bm"}, bm, beyond},
        {{"cmp", cmp, out + "a.cmp"}, cmp, beyond},
        {{"cmp", out + "b.cmp", "--from", act}, act, beyond},
        {{"palette", act, out + "a.pal"}, act, beyond},
        {{"palette", missing, out + "b.pal"}, missing, "File not found"},
        {{"import", out + "a.bm", junk}, junk, ""},
        {{"import", out + "c.mat", missing + ".bmp"}, missing + ".bmp", "File not found"},
        {{"import", out + "b.bm", Sample("sample8.bm"), "--palette", notes}, notes,
         "No palette in this file"},
        {{"export", notes, "-o", out}, notes, "Not a BM, MAT, CMP or SFT file"},
        {{"export", Sample("colormap.cmp"), "-o", out}, Sample("colormap.cmp"),
         "A colormap has no frames to export"},
        {{"resave", Sample("color.mat"), dir.File("no/such/dir/a.mat")},
         dir.File("no/such/dir/a.mat"), ""},
    };
    for (const auto &[args, file, reason] : cases) {
        const TRun run = RunCli(args);
        const std::string head = "glimra-cli: " + file + ": ";
        EXPECT_EQ(run.Code, 1) << args[0] << " " << file;
        EXPECT_EQ(run.Err.substr(0, head.size()), head) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        if (!reason.empty()) {
            EXPECT_EQ(run.Err, head + reason + "\n");
        }
        EXPECT_TRUE(FilesIn(dir.Path / "out").empty()) << args[0] << " " << file;
    }
}

TEST(CliUsage, MistakesExitTwoAndWriteNothing)
{
    TempDir dir;
    const std::string x = Sample("sample8.bm"), out = dir.File("o.bm"), o = dir.File("");
    const std::vector<std::string> mistakes[] = {
        {},
        {"bogus"},
        {"info"},
        {"info", "--bogus", x},
        {"info", "--json=yes", x},
        {"export", x, "--zoom", "11", "-o", o},
        {"export", x, "--zoom", "two", "-o", o},
        {"export", x, "--bits", "16", "-o", o},
        {"export", x, "-o"},
        {"export", x, "--light", "3", "-o", o},
        {"export", x, "--cmp", x, "-o", o},
        {"export", x, "--cmp", x, "--light", "64", "-o", o},
        {"export", x, "--cmp", x, "--full-bright-mask", "--translucent-over", "1", "-o", o},
        {"export", x, "--cmp", x, "--light", "1", "--palette", "Dflt", "-o", o},
        {"import", out},
        {"import", dir.File("o.bmp"), x},
        {"import", out, x, "--mipmaps", "2"},
        {"import", out, x, "--bits", "12"},
        {"import", dir.File("o.mat"), x, "--mipmaps", "5"},
        {"import", dir.File("o.mat"), x, "--color", "--transparent"},
        {"import", dir.File("o.sft"), x, x},
        {"cmp", dir.File("o.cmp")},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--trans", "maybe"},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--tint", "1.5,0,0"},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--tint", "0,0"},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--tint", "nan,0,0"},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--tint", "0,0,0,0"},
        {"import", dir.File("o.sft"), x, "--chars", "72-65"},
        {"import", dir.File("o.sft"), x, "--chars", "65-65536"},
        {"import", out, x, "--chars", "65-72"},
        {"palette", "Dflt"},
        {"palette", "Dflt", dir.File("o.txt")},
        {"palette", "Dflt", dir.File("o.pal"), "--format", "png"},
        {"resave", x},
    };
    for (const auto &args : mistakes) {
        const TRun run = RunCli(args);
        const std::string line = args.empty() ? "" : args[0] + " " + args.back();
        EXPECT_EQ(run.Code, 2) << line;
        EXPECT_NE(run.Err.find("glimra-cli"), std::string::npos) << line;
        EXPECT_EQ(run.Out, "") << line;
    }
    EXPECT_TRUE(FilesIn(dir.Path).empty());
    for (const std::string command : {"info", "export", "import", "cmp", "palette", "resave"}) {
        const TRun run = RunCli({command, "--help"});
        EXPECT_EQ(run.Code, 0) << command;
        EXPECT_EQ(run.Out.rfind("Usage: glimra-cli " + command, 0), 0u) << run.Out;
    }
    const TRun top = RunCli({"--help"});
    EXPECT_EQ(top.Code, 0);
    EXPECT_NE(top.Out.find("palette"), std::string::npos);
    EXPECT_EQ(top.Out.find("make-samples"), std::string::npos); // hidden
    // The version is the build's, the one the About box shows.
    const TRun version = RunCli({"--version"});
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, "glimra-cli " GLIMRA_PROJECT_VERSION "\n");
}
