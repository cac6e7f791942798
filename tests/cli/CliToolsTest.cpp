// cmp, palette and resave; failures (exit 1, one line, no output left behind) and usage
// errors (exit 2); --help; the committed samples are what make-samples writes.

#include "CliRun.h"

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "palettes/GLM_Palettes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace clitest;
using namespace testutil;

namespace {

const char *const SampleNames[] = {"sample8.bm", "sample16.bm", "texture8.mat",
                                   "texture16t.mat", "color.mat", "colormap.cmp", "font8.sft"};

std::vector<uint8_t> CoreColormap(const TPalette &palette, int32_t transparency)
{
    auto cmp = std::make_unique<TCMP>();
    cmp->Palette = palette;
    cmp->Header.HasTransparency = transparency;
    cmp->CalcLightLevels();
    if (transparency)
        cmp->CalcTransTables();
    TempDir dir;
    cmp->SaveToFile(dir.File("core.cmp"));
    return ReadFile(dir.File("core.cmp"));
}

TEST(CliCmp, TablesEqualTheCores)
{
    TempDir dir;
    TBM bm;
    bm.LoadFromFile(Sample("sample8.bm"));
    ASSERT_EQ(RunCli({"cmp", dir.File("a.cmp"), "--from", Sample("sample8.bm"), "--trans", "on"})
                  .Code,
              0);
    EXPECT_EQ(ReadFile(dir.File("a.cmp")), CoreColormap(bm.Palette, 1));

    ASSERT_EQ(RunCli({"cmp", dir.File("b.cmp"), "--from", "Dflt"}).Code, 0);
    const std::vector<uint8_t> b = ReadFile(dir.File("b.cmp"));
    EXPECT_EQ(b.size(), 17216u);
    EXPECT_EQ(b, CoreColormap(DfltPalette(), 0));

    // Recomputed from an existing colormap: the flag is kept unless --trans says otherwise.
    ASSERT_EQ(RunCli({"cmp", Sample("colormap.cmp"), dir.File("c.cmp")}).Code, 0);
    EXPECT_EQ(ReadFile(dir.File("c.cmp")), ReadFile(Sample("colormap.cmp")));
    ASSERT_EQ(RunCli({"cmp", Sample("colormap.cmp"), dir.File("d.cmp"), "--trans=off"}).Code, 0);
    EXPECT_EQ(ReadFile(dir.File("d.cmp")).size(), 17216u);
}

TEST(CliPalette, ConversionsRoundTrip)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::vector<std::string>>> steps = {
        {"a.act", {}}, {"b.pal", {}}, {"c.txt", {"--format", "jasc"}}, {"d.gpl", {}},
        {"e.bin", {"--format", "riff"}}, {"f.act", {}}};
    for (const std::string &source : {std::string("Uicolormap"), Sample("sample8.bm"),
                                     Sample("colormap.cmp")}) {
        const TPalette expected = LoadPaletteSource(source);
        std::string in = source;
        for (const auto &[name, extra] : steps) {
            std::vector<std::string> args{"palette", in, dir.File(name)};
            args.insert(args.end(), extra.begin(), extra.end());
            const TRun run = RunCli(args);
            ASSERT_EQ(run.Code, 0) << name << ": " << run.Err;
            // .txt and .bin are no palette extensions: read them back under proper names.
            in = dir.File(name);
            if (name == "c.txt" || name == "e.bin") {
                std::filesystem::copy_file(in, in + ".pal",
                                           std::filesystem::copy_options::overwrite_existing);
                in += ".pal";
            }
            EXPECT_EQ(LoadPaletteSource(in), expected) << source << " -> " << name;
        }
        const std::vector<uint8_t> act = ReadFile(dir.File("f.act"));
        ASSERT_EQ(act.size(), 768u);
        EXPECT_EQ(0, std::memcmp(act.data(), expected.data(), 768));
    }
    EXPECT_EQ(ReadFile(dir.File("b.pal")).size(), 1052u);
    const std::vector<uint8_t> jasc = ReadFile(dir.File("c.txt"));
    EXPECT_EQ(std::string(jasc.begin(), jasc.begin() + 10), "JASC-PAL\r\n");
    const std::vector<uint8_t> gpl = ReadFile(dir.File("d.gpl"));
    EXPECT_EQ(std::string(gpl.begin(), gpl.begin() + 13), "GIMP Palette\n");
}

TEST(CliResave, SamplesComeBackByteForByte)
{
    TempDir dir;
    for (const char *name : SampleNames) {
        const TRun run = RunCli({"resave", Sample(name), dir.File(name)});
        ASSERT_EQ(run.Code, 0) << name << ": " << run.Err;
        EXPECT_EQ(ReadFile(dir.File(name)), ReadFile(Sample(name))) << name;
    }
}

TEST(CliSamples, CommittedSamplesAreWhatTheGeneratorWrites)
{
    TempDir dir;
    ASSERT_EQ(RunCli({"make-samples", dir.File("s")}).Code, 0);
    std::vector<std::string> expected(std::begin(SampleNames), std::end(SampleNames));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir.Path / "s"), expected);
    for (const char *name : SampleNames)
        EXPECT_EQ(ReadFile(dir.File(std::string("s/") + name)), ReadFile(Sample(name))) << name;
}

// Writes the first `keep` bytes of a sample into dir under `name`.
std::string Truncated(const TempDir &dir, const std::string &sample, size_t keep,
                      const std::string &name)
{
    std::vector<uint8_t> bytes = ReadFile(Sample(sample));
    bytes.resize(keep);
    WriteFile(dir.File(name), bytes);
    return dir.File(name);
}

TEST(CliFailures, BadAndTruncatedFilesExitOneAndLeaveNoOutput)
{
    TempDir dir;
    const std::string bm = Truncated(dir, "sample8.bm", 700, "cut.bm");
    const std::string mat = Truncated(dir, "texture8.mat", 300, "cut.mat");
    const std::string sft = Truncated(dir, "font8.sft", 100, "cut.sft");
    const std::string cmp = Truncated(dir, "colormap.cmp", 20000, "cut.cmp");
    const std::string act = Truncated(dir, "colormap.cmp", 500, "cut.act");
    WriteFile(dir.File("junk.bmp"), {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    WriteFile(dir.File("notes.txt"), {'h', 'i'});
    std::filesystem::create_directory(dir.File("out"));
    const std::string beyond = "Read beyond end of file";

    struct TCase
    {
        std::vector<std::string> Args;
        std::string File;
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {{"info", bm}, bm, beyond},
        {{"export", mat, "-o", dir.File("out")}, mat, beyond},
        {{"export", sft, "-o", dir.File("out")}, sft, beyond},
        {{"resave", sft, dir.File("out/a.sft")}, sft, beyond},
        {{"resave", bm, dir.File("out/a.bm")}, bm, beyond},
        {{"cmp", cmp, dir.File("out/a.cmp")}, cmp, beyond},
        {{"cmp", dir.File("out/b.cmp"), "--from", act}, act, beyond},
        {{"palette", act, dir.File("out/a.pal")}, act, beyond},
        {{"palette", dir.File("missing.act"), dir.File("out/b.pal")}, dir.File("missing.act"),
         "File not found"},
        {{"import", dir.File("out/a.bm"), dir.File("junk.bmp")}, dir.File("junk.bmp"), ""},
        {{"import", dir.File("out/b.bm"), Sample("sample8.bm"), "--palette",
          dir.File("notes.txt")},
         dir.File("notes.txt"), "No palette in this file"},
        {{"export", dir.File("notes.txt"), "-o", dir.File("out")}, dir.File("notes.txt"),
         "Not a BM, MAT, CMP or SFT file"},
        {{"export", Sample("colormap.cmp"), "-o", dir.File("out")}, Sample("colormap.cmp"),
         "A colormap has no frames to export"},
        {{"resave", Sample("color.mat"), dir.File("no/such/dir/a.mat")},
         dir.File("no/such/dir/a.mat"), ""},
    };
    for (const TCase &c : cases) {
        const TRun run = RunCli(c.Args);
        EXPECT_EQ(run.Code, 1) << c.Args[0] << " " << c.File;
        const std::string prefix = "glimra-cli: " + c.File + ": ";
        EXPECT_EQ(run.Err.substr(0, prefix.size()), prefix) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        if (!c.Reason.empty()) {
            EXPECT_EQ(run.Err, prefix + c.Reason + "\n");
        }
        EXPECT_TRUE(FilesIn(dir.Path / "out").empty()) << c.Args[0] << " " << c.File;
    }
}

TEST(CliFailures, AFrameCountBeyondTheFormatsLimitIsRefused)
{
    TempDir dir;
    Bytes bm;
    bm.Text("BM  ").I32(70).I32(0).I32(1).I32(1000000).Fill(108);
    WriteFile(dir.File("many.bm"), bm.Data);
    const TRun run = RunCli({"info", dir.File("many.bm")});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err.rfind("glimra-cli: " + dir.File("many.bm") + ": ", 0), 0u);
}

TEST(CliUsage, MistakesExitTwoAndWriteNothing)
{
    TempDir dir;
    const std::string x = Sample("sample8.bm");
    const std::string out = dir.File("o.bm");
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"bogus"},
        {"info"},
        {"info", "--bogus", x},
        {"export", x, "--zoom", "11", "-o", dir.File("")},
        {"export", x, "--zoom", "two", "-o", dir.File("")},
        {"export", x, "--bits", "16", "-o", dir.File("")},
        {"export", x, "-o"},
        {"import", out},
        {"import", dir.File("o.bmp"), x},
        {"import", out, x, "--mipmaps", "2"},
        {"import", out, x, "--bits", "12"},
        {"import", dir.File("o.mat"), x, "--mipmaps", "5"},
        {"import", dir.File("o.mat"), x, "--color", "--transparent"},
        {"import", dir.File("o.sft"), x, x},
        {"cmp", dir.File("o.cmp")},
        {"cmp", dir.File("o.cmp"), "--from", "Dflt", "--trans", "maybe"},
        {"palette", "Dflt"},
        {"palette", "Dflt", dir.File("o.txt")},
        {"palette", "Dflt", dir.File("o.pal"), "--format", "png"},
        {"resave", x},
        {"info", "--json=yes", x},
    };
    for (const auto &args : mistakes) {
        const TRun run = RunCli(args);
        std::string line;
        for (const std::string &a : args)
            line += a + " ";
        EXPECT_EQ(run.Code, 2) << line;
        EXPECT_NE(run.Err.find("glimra-cli"), std::string::npos) << line;
        EXPECT_EQ(run.Out, "") << line;
    }
    EXPECT_TRUE(FilesIn(dir.Path).empty());
}

TEST(CliUsage, EveryCommandHasHelp)
{
    for (const char *command : {"info", "export", "import", "cmp", "palette", "resave"}) {
        const TRun run = RunCli({command, "--help"});
        EXPECT_EQ(run.Code, 0) << command;
        EXPECT_EQ(run.Out.rfind(std::string("Usage: glimra-cli ") + command, 0), 0u) << run.Out;
    }
    const TRun top = RunCli({"--help"});
    EXPECT_EQ(top.Code, 0);
    EXPECT_NE(top.Out.find("palette"), std::string::npos);
    EXPECT_EQ(top.Out.find("make-samples"), std::string::npos); // hidden
}

} // namespace
