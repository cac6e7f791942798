// resave: load a game file and save it again (byte-identical for files read back unchanged).

#include "CliArgs.h"
#include "CliCommon.h"

#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

namespace {

const char *Help =
    "Usage: glimra-cli resave IN OUT\n"
    "\n"
    "Reads IN (a BM, MAT, CMP or SFT file) and writes it to OUT as the editor saves it.\n"
    "A file the editor reads back unchanged comes out byte for byte the same; bytes after\n"
    "the last item the format holds are dropped, and an SFT's range count is recomputed.\n";

template <typename TDocument>
void Resave(const std::string &in, const std::string &out)
{
    TDocument document;
    OnFile(in, [&] { document.LoadFromFile(in); });
    OnFile(out, [&] { document.SaveToFile(out); });
}

} // namespace

int RunResave(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.size() != 2)
        throw EUsageError("resave needs IN and OUT");
    const std::string &in = cli.Positionals[0];
    const std::string &out = cli.Positionals[1];
    TFileKind kind = TFileKind::Unknown;
    OnFile(in, [&] { kind = RequireKind(in); });
    switch (kind) {
    case TFileKind::BM: Resave<TBM>(in, out); break;
    case TFileKind::MAT: Resave<TMAT>(in, out); break;
    case TFileKind::CMP: Resave<TCMP>(in, out); break;
    case TFileKind::SFT: Resave<TSFT>(in, out); break;
    case TFileKind::Unknown: break;
    }
    return 0;
}
