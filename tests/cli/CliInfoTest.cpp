// info: the JSON keys scripts rely on, for every sample and for hand-built files.

#include "CliRun.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace clitest;
using namespace testutil;

namespace {

QStringList Keys(const QJsonObject &o)
{
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

QStringList Sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

// The 128-byte BM header with the given fields, the rest as a fresh BM has them.
Bytes BMHeader(int paletteIncluded, int images, int x, int y, int trans, int bits)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(paletteIncluded).I32(images).I32(x).I32(y).I32(trans);
    b.I32(bits == 16 ? 1 : 0).I32(bits).Fill(88);
    return b;
}

TEST(CliInfo, EverySampleHasTheDocumentedKeys)
{
    const QJsonObject bm = InfoJson(Sample("sample8.bm"));
    EXPECT_EQ(Keys(bm), Sorted({"file", "kind", "bits", "has_palette", "x_offset", "y_offset",
                                "trans_color", "frames"}));
    EXPECT_EQ(bm["kind"].toString(), "BM");
    EXPECT_EQ(bm["bits"].toInt(), 8);
    EXPECT_TRUE(bm["has_palette"].toBool());
    EXPECT_EQ(bm["frames"].toArray().size(), 3);
    EXPECT_EQ(Keys(bm["frames"].toArray()[0].toObject()), Sorted({"width", "height"}));

    const QJsonObject bm16 = InfoJson(Sample("sample16.bm"));
    EXPECT_EQ(bm16["bits"].toInt(), 16);
    EXPECT_FALSE(bm16["has_palette"].toBool());

    const QJsonObject mat = InfoJson(Sample("texture8.mat"));
    EXPECT_EQ(Keys(mat), Sorted({"file", "kind", "bits", "type", "frames"}));
    EXPECT_EQ(mat["type"].toString(), "texture");
    const QJsonArray frames = mat["frames"].toArray();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(Keys(frames[1].toObject()),
              Sorted({"width", "height", "mipmaps", "transparent", "fill", "cel"}));
    EXPECT_EQ(frames[1].toObject()["mipmaps"].toInt(), 4);
    EXPECT_EQ(frames[1].toObject()["cel"].toInt(), 1);

    const QJsonObject mat16 = InfoJson(Sample("texture16t.mat"));
    EXPECT_EQ(mat16["bits"].toInt(), 16);
    EXPECT_TRUE(mat16["frames"].toArray()[0].toObject()["transparent"].toBool());

    const QJsonObject colour = InfoJson(Sample("color.mat"));
    EXPECT_EQ(colour["type"].toString(), "color");
    EXPECT_EQ(Keys(colour["frames"].toArray()[0].toObject()), QStringList{"color"});

    const QJsonObject cmp = InfoJson(Sample("colormap.cmp"));
    EXPECT_EQ(Keys(cmp), Sorted({"file", "kind", "bits", "has_transparency"}));
    EXPECT_EQ(cmp["has_transparency"].toInt(), 1);

    const QJsonObject sft = InfoJson(Sample("font8.sft"));
    EXPECT_EQ(Keys(sft), Sorted({"file", "kind", "bits", "width", "height", "has_bitmap",
                                 "char_gap", "space_length", "trans_color", "chars"}));
    EXPECT_TRUE(sft["has_bitmap"].toBool());
    EXPECT_EQ(sft["chars"].toArray().size(), 16);
}

TEST(CliInfo, HandBuiltBMAndSFT)
{
    TempDir dir;
    Bytes bm = BMHeader(2, 2, -3, 7, 5, 8);
    bm.I32(2).I32(1).U8(1).U8(2).I32(1).I32(3).U8(3).U8(4).U8(5).Fill(768);
    WriteFile(dir.File("hand.bm"), bm.Data);
    const TRun run = RunCli({"info", "--json", dir.File("hand.bm")});
    EXPECT_EQ(run.Code, 0);
    // One object per line, keys in a fixed order with the kind first.
    EXPECT_EQ(run.Out, "{\"file\": \"" + dir.File("hand.bm") +
                           "\", \"kind\": \"BM\", \"bits\": 8, \"has_palette\": true, "
                           "\"x_offset\": -3, \"y_offset\": 7, \"trans_color\": 5, "
                           "\"frames\": [{\"width\": 2, \"height\": 1}, "
                           "{\"width\": 1, \"height\": 3}]}\n");
    EXPECT_EQ(run.Err, "");

    Bytes sft;
    sft.Text("SFNT").I32(10).I32(2).I32(5).I32(0).I32(2).Fill(16);
    sft.U16(65).U16(66).I32(0).I32(3).I32(3).I32(4);
    sft.U16(70).U16(70).I32(7).I32(2);
    sft.Append(BMHeader(1, 1, 0, 0, 9, 16).Data).I32(9).I32(2).Fill(36);
    WriteFile(dir.File("hand.sft"), sft.Data);
    const QJsonObject font = InfoJson(dir.File("hand.sft"));
    EXPECT_EQ(font["kind"].toString(), "SFT");
    EXPECT_EQ(font["bits"].toInt(), 16);
    EXPECT_EQ(font["width"].toInt(), 9);
    EXPECT_EQ(font["height"].toInt(), 2);
    EXPECT_EQ(font["char_gap"].toInt(), 2);
    EXPECT_EQ(font["space_length"].toInt(), 5);
    EXPECT_EQ(font["trans_color"].toInt(), 9);
    EXPECT_TRUE(font["has_bitmap"].toBool());
    const QJsonArray chars = font["chars"].toArray();
    ASSERT_EQ(chars.size(), 3);
    EXPECT_EQ(chars[1].toArray(), (QJsonArray{66, 3, 4}));
    EXPECT_EQ(chars[2].toArray(), (QJsonArray{70, 7, 2}));
}

TEST(CliInfo, HandBuiltMATsAndCMP)
{
    TempDir dir;
    Bytes tex;
    tex.Text("MAT ").I32(50).I32(2).I32(2).I32(2).I32(0).I32(8).Fill(48);
    tex.I32(8).I32(17).Fill(28).I32(0);
    tex.I32(8).I32(18).Fill(28).I32(1);
    tex.I32(4).I32(2).I32(1).I32(0).I32(0).I32(2).Fill(8 + 2);
    tex.I32(2).I32(2).I32(0).I32(0).I32(0).I32(1).Fill(4);
    WriteFile(dir.File("tex.mat"), tex.Data);
    const QJsonArray frames = InfoJson(dir.File("tex.mat"))["frames"].toArray();
    ASSERT_EQ(frames.size(), 2);
    const QJsonObject first = frames[0].toObject();
    EXPECT_EQ(first["width"].toInt(), 4);
    EXPECT_EQ(first["height"].toInt(), 2);
    EXPECT_EQ(first["mipmaps"].toInt(), 2);
    EXPECT_TRUE(first["transparent"].toBool());
    EXPECT_EQ(first["fill"].toInt(), 17);
    EXPECT_EQ(first["cel"].toInt(), 0);
    EXPECT_FALSE(frames[1].toObject()["transparent"].toBool());

    Bytes colour;
    colour.Text("MAT ").I32(50).I32(0).I32(2).I32(2).I32(1).I32(16).Fill(48);
    colour.I32(0).I32(0x00FF8040).Fill(16).I32(0).I32(3).Fill(16);
    WriteFile(dir.File("colour.mat"), colour.Data);
    const QJsonObject c = InfoJson(dir.File("colour.mat"));
    EXPECT_EQ(c["bits"].toInt(), 16);
    EXPECT_EQ(c["type"].toString(), "color");
    EXPECT_EQ(c["frames"].toArray()[0].toObject()["color"].toInt(), 0x00FF8040);

    Bytes cmp;
    cmp.Text("CMP ").I32(32).I32(2).Fill(52 + 768 + 16384 + 65536);
    WriteFile(dir.File("flag2.cmp"), cmp.Data);
    EXPECT_EQ(InfoJson(dir.File("flag2.cmp"))["has_transparency"].toInt(), 2);

    // The kind comes from the content when the name does not tell it.
    WriteFile(dir.File("colormap.dat"), cmp.Data);
    EXPECT_EQ(InfoJson(dir.File("colormap.dat"))["kind"].toString(), "CMP");
}

TEST(CliInfo, SeveralFilesGoOnPastAFailure)
{
    TempDir dir;
    WriteFile(dir.File("short.mat"), Bytes().Text("MAT ").I32(50).Data);
    const TRun run =
        RunCli({"info", "--json", Sample("sample8.bm"), dir.File("short.mat"),
                Sample("color.mat")});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Err, "glimra-cli: " + dir.File("short.mat") + ": Read beyond end of file\n");
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2);

    const TRun text = RunCli({"info", Sample("font8.sft")});
    EXPECT_EQ(text.Code, 0);
    EXPECT_NE(text.Out.find("8-bit SFT, strip 96 x 8, 16 character(s)"), std::string::npos);
}

} // namespace
