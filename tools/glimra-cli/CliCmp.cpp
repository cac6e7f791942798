// cmp: a colormap made from a palette source, or an existing one recomputed, with the
// editor's light-level and transparency tables.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_CMP.h"

namespace {

const char *Help =
    "Usage: glimra-cli cmp OUT.cmp --from PALETTE [--trans on|off]\n"
    "       glimra-cli cmp IN.cmp OUT.cmp [--trans on|off]\n"
    "\n"
    "The first form makes a new colormap whose palette comes from PALETTE (Dflt,\n"
    "Uicolormap, or a palette file: .act, .bm, .bmp, .cmp, .pal, .gpl). The second form\n"
    "reads IN.cmp and recomputes its tables from its palette. Light-level tables are always\n"
    "computed; the 256 transparency tables are computed and stored when --trans is on.\n"
    "\n"
    "  --from PALETTE   palette source of a new colormap\n"
    "  --trans on|off   store transparency tables (default: off for a new colormap, as IN\n"
    "                   has them for a recomputed one)\n";

void ComputeTables(TCMP &cmp)
{
    cmp.CalcLightLevels();
    if (cmp.Header.HasTransparency == 0)
        return;
    TProgress progress;
    cmp.CalcTransTables([&](int done, int total) {
        progress.Show("Calculating new transparency tables: " +
                      std::to_string(total > 0 ? done * 100 / total : 100) + "%");
    });
}

} // namespace

int RunCmp(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--from", "", true}, {"--trans", "", true}});
    if (cli.Help)
        return PrintHelp(Help);
    const bool fromPalette = cli.Has("--from");
    if (fromPalette && cli.Positionals.size() != 1)
        throw EUsageError("cmp --from takes exactly one OUT.cmp");
    if (!fromPalette && cli.Positionals.size() != 2)
        throw EUsageError("cmp needs IN.cmp and OUT.cmp, or OUT.cmp with --from");
    cli.OnOff("--trans", false); // a wrong value is a usage error before any work

    TCMP cmp;
    if (fromPalette) {
        const std::string name = cli.Value("--from");
        OnFile(name, [&] { cmp.Palette = LoadPaletteSource(name); });
    } else {
        const std::string &in = cli.Positionals[0];
        OnFile(in, [&] { cmp.LoadFromFile(in); });
    }
    if (cli.Has("--trans"))
        cmp.Header.HasTransparency = cli.OnOff("--trans", false) ? 1 : 0;
    ComputeTables(cmp);
    const std::string &out = cli.Positionals.back();
    OnFile(out, [&] { cmp.SaveToFile(out); });
    return 0;
}
