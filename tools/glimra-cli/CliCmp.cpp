// cmp: a colormap made from a palette source, or an existing one recomputed, with the
// editor's light-level and transparency tables.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_PaletteSource.h"
#include "formats/LEC_CMP.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace {

const char *Help =
    "Usage: glimra-cli cmp OUT.cmp --from PALETTE [--trans on|off] [--tint R,G,B]\n"
    "       glimra-cli cmp IN.cmp OUT.cmp [--trans on|off] [--tint R,G,B]\n"
    "\n"
    "The first form makes a new colormap whose palette comes from PALETTE (Dflt,\n"
    "Uicolormap, or a palette file: .act, .bm, .bmp, .cmp, .pal, .gpl). The second form\n"
    "reads IN.cmp and recomputes its tables from its palette. Light-level tables are always\n"
    "computed; the 256 transparency tables are computed and stored when --trans is on.\n"
    "\n"
    "  --from PALETTE   palette source of a new colormap\n"
    "  --trans on|off   store transparency tables (default: off for a new colormap, as IN\n"
    "                   has them for a recomputed one)\n"
    "  --tint R,G,B     the colour the game multiplies faces lit through this colormap by\n"
    "                   when it is a secondary colormap: three numbers from 0 to 1\n"
    "                   (default: 0,0,0 for a new colormap, which renders black; as IN\n"
    "                   has it for a recomputed one)\n";

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

std::array<float, 3> ParseTint(const std::string &text)
{
    const EUsageError bad("value of --tint must be three numbers from 0 to 1 as R,G,B, not '" +
                          text + "'");
    std::array<float, 3> tint{};
    const char *p = text.data(), *end = text.data() + text.size();
    for (size_t i = 0; i < tint.size(); ++i) {
        if (i > 0 && (p == end || *p++ != ','))
            throw bad;
        float v = 0;
        const auto [next, ec] = std::from_chars(p, end, v);
        // "nan" parses, but fails both comparisons.
        if (ec != std::errc() || !(v >= 0.0f && v <= 1.0f))
            throw bad;
        tint[i] = v + 0.0f; // -0 is stored as 0
        p = next;
    }
    if (p != end)
        throw bad;
    return tint;
}

} // namespace

int RunCmp(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--from", "", true}, {"--trans", "", true}, {"--tint", "", true}});
    if (cli.Help)
        return PrintHelp(Help);
    const bool fromPalette = cli.Has("--from");
    if (fromPalette && cli.Positionals.size() != 1)
        throw EUsageError("cmp --from takes exactly one OUT.cmp");
    if (!fromPalette && cli.Positionals.size() != 2)
        throw EUsageError("cmp needs IN.cmp and OUT.cmp, or OUT.cmp with --from");
    cli.OnOff("--trans", false); // wrong values are usage errors before any work
    const std::optional<std::array<float, 3>> tint =
        cli.Has("--tint") ? std::optional(ParseTint(cli.Value("--tint"))) : std::nullopt;

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
    if (tint)
        std::copy(tint->begin(), tint->end(), cmp.Header.Tint);
    ComputeTables(cmp);
    const std::string &out = cli.Positionals.back();
    OnFile(out, [&] { cmp.SaveToFile(out); });
    return 0;
}
