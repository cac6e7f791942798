// palette: conversion from any palette source the editor reads (and GIMP .gpl) into RIFF
// PAL, JASC-PAL, ACT or GIMP .gpl.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_ExportNames.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_PaletteSource.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/Gimp_GPL.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"

namespace {

const char *Help =
    "Usage: glimra-cli palette IN OUT [--format riff|jasc|act|gpl]\n"
    "\n"
    "Reads a palette from IN (Dflt, Uicolormap, or a file: .act, .bm with its own palette,\n"
    ".bmp, .cmp, .pal in RIFF or JASC form, .gpl) and writes it to OUT.\n"
    "\n"
    "  --format F   riff (RIFF PAL), jasc (JASC-PAL), act (Adobe colour table) or gpl\n"
    "               (GIMP palette); default by OUT's extension: .pal riff, .act act,\n"
    "               .gpl gpl\n";

std::string FormatOf(const TCliArgs &cli, const std::string &out)
{
    if (cli.Has("--format")) {
        const std::string f = cli.Value("--format");
        if (f != "riff" && f != "jasc" && f != "act" && f != "gpl")
            throw EUsageError("value of --format must be riff, jasc, act or gpl, not '" + f +
                              "'");
        return f;
    }
    const std::string ext = LowerFileExt(out);
    if (ext == ".pal")
        return "riff";
    if (ext == ".act")
        return "act";
    if (ext == ".gpl")
        return "gpl";
    throw EUsageError("cannot tell the format of '" + out + "' by its extension; use --format");
}

} // namespace

int RunPalette(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--format", "", true}});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.size() != 2)
        throw EUsageError("palette needs IN and OUT");
    const std::string &in = cli.Positionals[0];
    const std::string &out = cli.Positionals[1];
    const std::string format = FormatOf(cli, out);
    TPalette palette;
    OnFile(in, [&] { palette = LoadPaletteSource(in); });
    OnFile(out, [&] {
        if (format == "riff")
            WriteRiffPAL(out, palette);
        else if (format == "jasc")
            WriteJascPAL(out, palette);
        else if (format == "act")
            WriteACT(out, palette);
        else
            WriteGimpGPL(out, palette, ExportBaseName(out));
    });
    return 0;
}
