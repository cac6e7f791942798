// info: the JSON keys and values scripts rely on, for hand-built files of every kind.

#include "CliRun.h"
#include "formats/LEC_FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace clitest;
using namespace testutil;

namespace {

// The one line `info --json` prints for a file, after the leading "file" key it checks.
std::string Info(const std::string &path)
{
    const TRun run = RunCli({"info", "--json", path});
    EXPECT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    const std::string head = "{\"file\": \"" + path + "\", ";
    EXPECT_EQ(run.Out.substr(0, head.size()), head);
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 1);
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
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "glimra-cli: " + cut + ": Read beyond end of file\n");
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2);
    const TRun text = RunCli({"info", Sample("font8.sft")});
    EXPECT_EQ(text.Code, 0);
    EXPECT_NE(text.Out.find("8-bit SFT, strip 912 x 16, 95 character(s)"), std::string::npos);
}
