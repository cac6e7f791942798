// export: every BM frame, MAT texture level or colour frame, and SFT strip as a picture,
// drawn as the windows draw it and named as Save All Bitmaps names it.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_PaletteSource.h"
#include "formats/LEC_FileIO.h"
#include "formats/LEC_SFT.h"

#include <filesystem>
#include <optional>

namespace {

const char *Help =
    "Usage: glimra-cli export FILE... [-o DIR] [--palette NAME] [--bits 8|24] [--zoom N]\n"
    "                         [--png]\n"
    "\n"
    "Writes every frame of a BM (base-1.bmp, base-2.bmp, ...), every mipmap level of a\n"
    "texture MAT (base-1-A.bmp, base-1-B.bmp, ...), one 64 x 64 picture per colour MAT\n"
    "frame (base-1.bmp, ...) and the strip of an SFT font (base.bmp), where base is the\n"
    "file's name without its extension.\n"
    "\n"
    "  -o, --output DIR  folder for the pictures (made if missing; default: current folder)\n"
    "  --palette NAME    display palette: Dflt, Uicolormap, or a palette file (.act, .bm,\n"
    "                    .bmp, .cmp, .pal, .gpl); default: the BM's own palette if it has\n"
    "                    one, else Uicolormap for BM and SFT, Dflt for MAT\n"
    "  --bits 8|24       8: paletted with the palette as colour table; 24 (default): RGB\n"
    "  --zoom N          each pixel becomes an N x N block, N from 1 to 10 (default 1)\n"
    "  --png             write PNG pictures (.png) instead of Windows bitmaps\n";

struct TExportOptions
{
    std::filesystem::path Folder;
    std::optional<TPalette> Palette;
    int Bits = 24;
    int Zoom = 1;
    std::string Extension = ".bmp";
};

TPalette PaletteFor(const TExportOptions &options, TFileKind kind, const TBM *bm)
{
    if (options.Palette)
        return *options.Palette;
    if (bm && bm->HasPalette())
        return bm->Palette;
    return LoadPaletteSource(DefaultPaletteName(kind));
}

void Write(const TExportOptions &options, const std::string &name,
           const std::optional<TFrameView> &view, const TPalette &palette)
{
    const std::string out = (options.Folder / Utf8Path(name)).string();
    OnFile(out, [&] {
        if (!view)
            throw EInOutError(EInOutError::Other, "Frame data is damaged; nothing written");
        SaveFrameBitmap(*view, palette, options.Zoom, options.Bits, out);
    });
}

void ExportFile(const std::string &path, const TExportOptions &options)
{
    const TFileKind kind = RequireKind(path);
    const std::string base = ExportBaseName(path);
    switch (kind) {
    case TFileKind::BM: {
        TBM bm;
        bm.LoadFromFile(path);
        const TPalette palette = PaletteFor(options, kind, &bm);
        for (const TExportPicture &p : BMExportPictures(bm, base, options.Extension))
            Write(options, p.FileName, BMFrameView(bm, p.Frame), palette);
        break;
    }
    case TFileKind::MAT: {
        TMAT mat;
        mat.LoadFromFile(path);
        const TPalette palette = PaletteFor(options, kind, nullptr);
        for (const TExportPicture &p : MATExportPictures(mat, base, options.Extension))
            Write(options, p.FileName, MATFrameView(mat, p.Frame, p.Mipmap), palette);
        break;
    }
    case TFileKind::SFT: {
        TSFT sft;
        sft.LoadFromFile(path);
        const TPalette palette = PaletteFor(options, kind, nullptr);
        if (sft.BMHeader.NumImages != 0)
            Write(options, SFTBitmapName(base, options.Extension), SFTFrameView(sft), palette);
        break;
    }
    case TFileKind::CMP:
        throw EInOutError(EInOutError::Other, "A colormap has no frames to export");
    case TFileKind::Unknown:
        break;
    }
}

} // namespace

int RunExport(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--output", "-o", true},
                              {"--palette", "", true},
                              {"--bits", "", true},
                              {"--zoom", "", true},
                              {"--png", "", false}});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.empty())
        throw EUsageError("export needs at least one FILE");
    TExportOptions options;
    options.Bits = cli.Choice("--bits", 24, {8, 24});
    options.Zoom = static_cast<int>(cli.Int("--zoom", 1, 1, 10));
    if (cli.Has("--png"))
        options.Extension = ".png";
    options.Folder = Utf8Path(cli.Value("--output", "."));
    if (cli.Has("--palette")) {
        const std::string name = cli.Value("--palette");
        OnFile(name, [&] { options.Palette = LoadPaletteSource(name); });
    }
    OnFile(options.Folder.string(), [&] { std::filesystem::create_directories(options.Folder); });
    return ForEachFile(cli.Positionals,
                       [&](const std::string &path) { ExportFile(path, options); });
}
