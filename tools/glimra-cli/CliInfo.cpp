// info: the kind and the header fields of each file, as text or one JSON object per line.

#include "CliArgs.h"
#include "CliCommon.h"
#include "CliJson.h"

#include "core/GLM_LightView.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

const char *Help =
    "Usage: glimra-cli info FILE... [--json]\n"
    "\n"
    "Shows the kind (BM, MAT, CMP, SFT) and the header fields of each file.\n"
    "With --json, prints one JSON object per file, each on its own line; the keys are\n"
    "listed in the README. For a colormap this includes its full-bright colours: the\n"
    "indices its light tables keep at every level below full light.\n";

int Bits(int32_t bitsPerPixel)
{
    return bitsPerPixel == 16 ? 16 : 8;
}

void DescribeBM(const std::string &path, TJsonWriter &json, std::string &text)
{
    TBM bm;
    bm.LoadFromFile(path);
    const int count = std::min(bm.NumImages(), TBM::MaxImages);
    json.Key("bits").Value(Bits(bm.BitsPerPixel()));
    json.Key("has_palette").Value(bm.HasPalette());
    json.Key("x_offset").Value(bm.Header.XOffset);
    json.Key("y_offset").Value(bm.Header.YOffset);
    json.Key("trans_color").Value(bm.Header.TransColor);
    json.Key("frames").BeginArray();
    text += std::to_string(Bits(bm.BitsPerPixel())) + "-bit BM, " + std::to_string(count) +
            " frame(s), " + (bm.HasPalette() ? "own palette" : "no palette") + "\n";
    text += "  offset: " + std::to_string(bm.Header.XOffset) + " x " +
            std::to_string(bm.Header.YOffset) + "\n  transparent colour: " +
            std::to_string(bm.Header.TransColor) + "\n";
    for (int i = 0; i < count; ++i) {
        const TBMImage &image = bm.Images[i];
        json.BeginObject().Key("width").Value(image.Width).Key("height").Value(image.Height);
        json.EndObject();
        text += "  frame " + std::to_string(i + 1) + ": " + std::to_string(image.Width) +
                " x " + std::to_string(image.Height) + "\n";
    }
    json.EndArray();
}

void DescribeMAT(const std::string &path, TJsonWriter &json, std::string &text)
{
    TMAT mat;
    mat.LoadFromFile(path);
    const int32_t type = mat.Header.MatType;
    const std::string typeName = type == TMATHeader::ColorType     ? "color"
                                 : type == TMATHeader::TextureType ? "texture"
                                                                   : "none";
    const bool hasRecords = type == TMATHeader::ColorType || type == TMATHeader::TextureType;
    const int count = hasRecords ? std::min(mat.NumRecords(), TMAT::MaxRecords) : 0;
    json.Key("bits").Value(Bits(mat.Header.BitsPerPixel));
    json.Key("type").Value(typeName);
    json.Key("frames").BeginArray();
    text += std::to_string(Bits(mat.Header.BitsPerPixel)) + "-bit " + typeName + " MAT, " +
            std::to_string(count) + " frame(s)\n";
    for (int i = 0; i < count; ++i) {
        json.BeginObject();
        text += "  frame " + std::to_string(i + 1) + ": ";
        if (type == TMATHeader::ColorType) {
            const int32_t color = mat.ColorRecords[i].Color;
            json.Key("color").Value(color);
            text += "colour " + std::to_string(color) + "\n";
        } else {
            const TMATTextureHeader &h = mat.TextureHeaders[i];
            const TMATTextureRecord &r = mat.TextureRecords[i];
            json.Key("width").Value(h.Width).Key("height").Value(h.Height);
            json.Key("mipmaps").Value(h.NumMipmaps);
            json.Key("transparent").Value(h.Transparent == 1);
            json.Key("fill").Value(r.FillColor).Key("cel").Value(r.CelIndex);
            text += std::to_string(h.Width) + " x " + std::to_string(h.Height) + ", " +
                    std::to_string(h.NumMipmaps) + " mipmap level(s), " +
                    (h.Transparent == 1 ? "transparent" : "not transparent") + ", fill " +
                    std::to_string(r.FillColor) + ", cel " + std::to_string(r.CelIndex) + "\n";
        }
        json.EndObject();
    }
    json.EndArray();
}

void DescribeCMP(const std::string &path, TJsonWriter &json, std::string &text)
{
    TCMP cmp;
    cmp.LoadFromFile(path);
    json.Key("bits").Value(8);
    json.Key("has_transparency").Value(cmp.Header.HasTransparency);
    TJsonWriter tint; // the same array in the text form
    tint.BeginArray();
    json.Key("tint").BeginArray();
    for (const float channel : cmp.Header.Tint) {
        json.Value(channel);
        tint.Value(channel);
    }
    json.EndArray();
    tint.EndArray();
    // The indices that glow, as runs ("0-31, 200") in the text form.
    const std::array<bool, 256> bright = FullBrightIndices(cmp);
    std::string runs;
    json.Key("full_bright").BeginArray();
    for (int i = 0; i < 256; ++i) {
        if (!bright[i])
            continue;
        json.Value(i);
        int last = i;
        while (last < 255 && bright[last + 1])
            json.Value(++last);
        runs += (runs.empty() ? "" : ", ") + std::to_string(i) +
                (last > i ? "-" + std::to_string(last) : "");
        i = last;
    }
    json.EndArray();
    text += std::string("colormap, ") + (cmp.Header.HasTransparency != 0 ? "with" : "without") +
            " transparency tables (flag " + std::to_string(cmp.Header.HasTransparency) +
            ")\n  tint: " + tint.Text() + "\n  full-bright: " + (runs.empty() ? "none" : runs) +
            "\n";
}

void DescribeSFT(const std::string &path, TJsonWriter &json, std::string &text)
{
    TSFT sft;
    sft.LoadFromFile(path);
    const bool hasBitmap = sft.BMHeader.NumImages != 0;
    json.Key("bits").Value(Bits(sft.BMHeader.BitsPerPixel));
    json.Key("width").Value(sft.Width).Key("height").Value(sft.Height);
    json.Key("has_bitmap").Value(hasBitmap);
    json.Key("char_gap").Value(sft.Header.CharGap);
    json.Key("space_length").Value(sft.Header.SpaceLength);
    json.Key("trans_color").Value(sft.BMHeader.TransColor);
    json.Key("chars").BeginArray();
    for (const TSFTCharDef &c : sft.Chars)
        json.BeginArray().Value(c.Code).Value(c.Offset).Value(c.Width).EndArray();
    json.EndArray();
    text += std::to_string(Bits(sft.BMHeader.BitsPerPixel)) + "-bit SFT, strip " +
            std::to_string(sft.Width) + " x " + std::to_string(sft.Height) +
            (hasBitmap ? "" : " (no bitmap)") + ", " + std::to_string(sft.Chars.Count()) +
            " character(s)\n  gap: " + std::to_string(sft.Header.CharGap) +
            ", space: " + std::to_string(sft.Header.SpaceLength) +
            ", transparent colour: " + std::to_string(sft.BMHeader.TransColor) + "\n";
}

} // namespace

int RunInfo(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--json", "", false}});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.empty())
        throw EUsageError("info needs at least one FILE");
    const bool asJson = cli.Has("--json");
    return ForEachFile(cli.Positionals, [&](const std::string &path) {
        const TFileKind kind = RequireKind(path);
        TJsonWriter json;
        std::string text = path + ": ";
        json.BeginObject().Key("file").Value(path).Key("kind").Value(FileKindName(kind));
        switch (kind) {
        case TFileKind::BM: DescribeBM(path, json, text); break;
        case TFileKind::MAT: DescribeMAT(path, json, text); break;
        case TFileKind::CMP: DescribeCMP(path, json, text); break;
        case TFileKind::SFT: DescribeSFT(path, json, text); break;
        case TFileKind::Unknown: break;
        }
        json.EndObject();
        // Printed only once the whole file has been read, so a failure prints nothing.
        ClearProgressLine();
        std::fputs(((asJson ? json.Text() : text) + (asJson ? "\n" : "")).c_str(), stdout);
        std::fflush(stdout);
    });
}
