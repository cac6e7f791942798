// info: the JSON keys and values scripts rely on, for hand-built files of every kind.

#include "CliRun.h"

#include <gtest/gtest.h>

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

// The 128-byte BM header with the given fields, the rest as a fresh BM has them.
Bytes BMHeader(int paletteIncluded, int images, int x, int y, int trans, int bits)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(paletteIncluded).I32(images).I32(x).I32(y).I32(trans);
    b.I32(bits == 16 ? 1 : 0).I32(bits).Fill(88);
    return b;
}

} // namespace

TEST(CliInfo, HandBuiltFilesOfEveryKind)
{
    TempDir dir;
    Bytes bm = BMHeader(3, 2, -3, 7, 5, 8); // a palette and the transparent colour
    bm.I32(2).I32(1).U8(1).U8(2).I32(1).I32(3).U8(3).U8(4).U8(5).Fill(768);
    Bytes sft;
    sft.Text("SFNT").I32(10).I32(2).I32(5).I32(0).I32(2).Fill(16);
    sft.U16(65).U16(66).I32(0).I32(3).I32(3).I32(4).U16(70).U16(70).I32(7).I32(2);
    sft.Append(BMHeader(1, 1, 0, 0, 9, 16).Data).I32(9).I32(2).Fill(36);
    Bytes tex;
    tex.Text("MAT ").I32(50).I32(2).I32(2).I32(2).I32(0).I32(8).Fill(48);
    tex.I32(8).I32(17).Fill(28).I32(0).I32(8).I32(18).Fill(28).I32(1);
    tex.I32(4).I32(2).I32(1).I32(0).I32(0).I32(2).Fill(8 + 2);
    tex.I32(2).I32(2).I32(0).I32(0).I32(0).I32(1).Fill(4);
    Bytes colour;
    colour.Text("MAT ").I32(50).I32(0).I32(2).I32(2).I32(1).I32(16).Fill(48);
    colour.I32(0).I32(0x00FF8040).Fill(16).I32(0).I32(3).Fill(16);
    Bytes cmp;
    cmp.Text("CMP ").I32(32).I32(2).I32(0x3F400000).I32(0).I32(0x7FC00000);
    cmp.Fill(40 + 768 + 16384 + 65536);
    Bytes bm16 = BMHeader(1, 1, 0, 0, 63519, 16);
    bm16.I32(1).I32(1).U16(0xFFFF);
    // The kind comes from the content when the name does not tell it.
    const std::pair<std::string, Bytes> files[] = {
        {"hand.bm", bm},        {"hand16.bm", bm16}, {"hand.sft", sft},    {"tex.mat", tex},
        {"colour.mat", colour}, {"flag2.cmp", cmp},  {"colormap.dat", cmp}};
    const std::string want[] = {
        R"("kind": "BM", "bits": 8, "has_palette": true, "x_offset": -3, "y_offset": 7, )"
        R"("trans_color": 5, "frames": [{"width": 2, "height": 1}, {"width": 1, "height": 3}]})",
        R"("kind": "BM", "bits": 16, "has_palette": false, "x_offset": 0, "y_offset": 0, )"
        R"("trans_color": 63519, "frames": [{"width": 1, "height": 1}]})",
        R"("kind": "SFT", "bits": 16, "width": 9, "height": 2, "has_bitmap": true, )"
        R"("char_gap": 2, "space_length": 5, "trans_color": 9, "chars": [[65, 0, 3], )"
        R"([66, 3, 4], [70, 7, 2]]})",
        R"("kind": "MAT", "bits": 8, "type": "texture", "frames": [{"width": 4, "height": 2, )"
        R"("mipmaps": 2, "transparent": true, "fill": 17, "cel": 0}, {"width": 2, )"
        R"("height": 2, "mipmaps": 1, "transparent": false, "fill": 18, "cel": 1}]})",
        R"("kind": "MAT", "bits": 16, "type": "color", "frames": [{"color": 16744512}, )"
        R"({"color": 3}]})",
        // All-zero light tables: only index 0 stays itself, so it alone is full-bright.
        R"("kind": "CMP", "bits": 8, "has_transparency": 2, "tint": [0.75, 0, null], )"
        R"("full_bright": [0]})",
        R"("kind": "CMP", "bits": 8, "has_transparency": 2, "tint": [0.75, 0, null], )"
        R"("full_bright": [0]})",
    };
    for (size_t i = 0; i < std::size(files); ++i) {
        WriteFile(dir.File(files[i].first), files[i].second.Data);
        EXPECT_EQ(Info(dir.File(files[i].first)), want[i] + "\n") << files[i].first;
    }
}

TEST(CliInfo, SeveralFilesGoOnPastAFailure)
{
    TempDir dir;
    WriteFile(dir.File("short.mat"), Bytes().Text("MAT ").I32(50).Data);
    const TRun run = RunCli({"info", "--json", Sample("sample8.bm"), dir.File("short.mat"),
                             Sample("color.mat")});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "glimra-cli: " + dir.File("short.mat") + ": Read beyond end of file\n");
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2);
    const TRun text = RunCli({"info", Sample("font8.sft")});
    EXPECT_EQ(text.Code, 0);
    EXPECT_NE(text.Out.find("8-bit SFT, strip 912 x 16, 95 character(s)"), std::string::npos);
}
