// export: every BM frame, MAT texture level or colour frame, and SFT strip as a picture,
// drawn as the windows draw it (or through a colormap as the game does) and named as Save
// All Bitmaps names it.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_LightView.h"
#include "core/GLM_PaletteSource.h"
#include "formats/LEC_FileIO.h"
#include "formats/LEC_SFT.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace {

const char *Help =
    "Usage: glimra-cli export FILE... [-o DIR] [--palette NAME] [--bits 8|24] [--zoom N]\n"
    "                         [--png]\n"
    "       glimra-cli export FILE... --cmp CMP --light L [--translucent-over INDEX]\n"
    "                         [-o DIR] [--bits 8|24] [--zoom N] [--png]\n"
    "       glimra-cli export FILE... --cmp CMP --full-bright-mask [-o DIR] [--bits 8|24]\n"
    "                         [--zoom N] [--png]\n"
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
    "  --png             write PNG pictures (.png) instead of Windows bitmaps\n"
    "\n"
    "Seeing the frames as the game does (8-bit frames only; not with --palette):\n"
    "  --cmp CMP         the colormap to draw through; its palette gives the colours\n"
    "  --light L         light level from 0 (darkest) to 63 (full light): each pixel is\n"
    "                    drawn as the colormap's light table gives it at that level\n"
    "  --translucent-over INDEX\n"
    "                    draw the frames as translucent faces, lit, over palette index\n"
    "                    INDEX (0 to 255) through CMP's transparency tables\n"
    "  --full-bright-mask\n"
    "                    instead of colours, white where a pixel's colour is full-bright\n"
    "                    (CMP keeps it at its own index at every level below 63), black\n"
    "                    elsewhere\n"
    "\n"
    "With --bits 8 the frame keeps its indices and the colour table holds what each index\n"
    "is drawn as.\n";

struct TExportOptions
{
    std::filesystem::path Folder;
    std::optional<TPalette> Palette;
    int Bits = 24;
    int Zoom = 1;
    std::string Extension = ".bmp";
    std::unique_ptr<TCMP> Colormap; // draw through it as the game does
    TGameLookOptions Look;
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
        if (!options.Colormap) {
            SaveFrameBitmap(*view, palette, options.Zoom, options.Bits, out);
            return;
        }
        const TGameLook look(*view, *options.Colormap, options.Look);
        SaveFrameBitmap(look.View(), look.Palette, options.Zoom, options.Bits, out);
    });
}

// A file whose frames cannot be seen through the colormap (16-bit ones) fails as a whole,
// before any of its pictures is written.
void RequireLightable(const TExportOptions &options, const std::optional<TFrameView> &view)
{
    if (!options.Colormap || !view)
        return;
    const std::string refusal = LightViewRefusal(*view);
    if (!refusal.empty())
        throw EInOutError(EInOutError::Other, refusal);
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
        const auto pictures = BMExportPictures(bm, base, options.Extension);
        for (const TExportPicture &p : pictures)
            RequireLightable(options, BMFrameView(bm, p.Frame));
        for (const TExportPicture &p : pictures)
            Write(options, p.FileName, BMFrameView(bm, p.Frame), palette);
        break;
    }
    case TFileKind::MAT: {
        TMAT mat;
        mat.LoadFromFile(path);
        const TPalette palette = PaletteFor(options, kind, nullptr);
        const auto pictures = MATExportPictures(mat, base, options.Extension);
        for (const TExportPicture &p : pictures)
            RequireLightable(options, MATFrameView(mat, p.Frame, p.Mipmap));
        for (const TExportPicture &p : pictures)
            Write(options, p.FileName, MATFrameView(mat, p.Frame, p.Mipmap), palette);
        break;
    }
    case TFileKind::SFT: {
        TSFT sft;
        sft.LoadFromFile(path);
        const TPalette palette = PaletteFor(options, kind, nullptr);
        RequireLightable(options, SFTFrameView(sft));
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

// The colormap options: their combinations are checked before any file is read; the
// colormap is read as every input is, and refused when it cannot draw what was asked.
void ReadLookOptions(const TCliArgs &cli, TExportOptions &options)
{
    const bool mask = cli.Has("--full-bright-mask");
    const bool translucent = cli.Has("--translucent-over");
    if (!cli.Has("--cmp")) {
        if (cli.Has("--light") || translucent || mask)
            throw EUsageError("--light, --translucent-over and --full-bright-mask need --cmp");
        return;
    }
    if (cli.Has("--palette"))
        throw EUsageError("--palette and --cmp cannot be used together: the colours are the "
                          "colormap's");
    if (mask && translucent)
        throw EUsageError("--full-bright-mask and --translucent-over cannot be used together");
    if (!mask && !cli.Has("--light"))
        throw EUsageError("--cmp needs --light L or --full-bright-mask");
    options.Look.Kind = mask          ? TGameLookKind::FullBright
                        : translucent ? TGameLookKind::Translucent
                                      : TGameLookKind::Lit;
    options.Look.Level = static_cast<int>(cli.Int("--light", FullLightLevel, 0, FullLightLevel));
    const auto behind = static_cast<uint8_t>(cli.Int("--translucent-over", 0, 0, 255));
    options.Look.Backdrop = TBackdrop{behind, behind};
    const std::string name = cli.Value("--cmp");
    options.Colormap = std::make_unique<TCMP>();
    OnFile(name, [&] {
        options.Colormap->LoadFromFile(name);
        if (translucent) {
            const std::string refusal = TranslucentViewRefusal(*options.Colormap);
            if (!refusal.empty())
                throw EInOutError(EInOutError::Other, refusal);
        }
    });
}

} // namespace

int RunExport(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--output", "-o", true},
                              {"--palette", "", true},
                              {"--bits", "", true},
                              {"--zoom", "", true},
                              {"--png", "", false},
                              {"--cmp", "", true},
                              {"--light", "", true},
                              {"--translucent-over", "", true},
                              {"--full-bright-mask", "", false}});
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
    ReadLookOptions(cli, options);
    if (cli.Has("--palette")) {
        const std::string name = cli.Value("--palette");
        OnFile(name, [&] { options.Palette = LoadPaletteSource(name); });
    }
    OnFile(options.Folder.string(), [&] { std::filesystem::create_directories(options.Folder); });
    return ForEachFile(cli.Positionals,
                       [&](const std::string &path) { ExportFile(path, options); });
}
