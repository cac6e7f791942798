// glimra-cli: batch work on BM, MAT, CMP and SFT files, and the GOB containers that hold
// them, over the editor's own core.

#include "CliArgs.h"
#include "CliCommon.h"
#include "GLM_Version.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TCommand
{
    const char *Name;
    const char *Summary;
    int (*Run)(const std::vector<std::string> &);
    bool Hidden;
};

const TCommand Commands[] = {
    {"info", "show the kind and header fields of files (--json for scripts)", RunInfo, false},
    {"export", "write frames, mipmap levels and font strips as bitmaps", RunExport, false},
    {"import", "make a BM, texture MAT or SFT from pictures", RunImport, false},
    {"cmp", "make or recompute a colormap with its light and transparency tables", RunCmp,
     false},
    {"palette", "convert palettes between .act, .pal (RIFF, JASC), .gpl and more", RunPalette,
     false},
    {"resave", "load a file and save it again", RunResave, false},
    {"gob", "list, extract, create or update GOB and GOO containers", RunGob, false},
    {"make-samples", "write the bundled sample files into a folder", RunMakeSamples, true},
};

void PrintUsage(FILE *out)
{
    std::fputs("Usage: glimra-cli COMMAND [ARGS...]\n\nCommands:\n", out);
    for (const TCommand &c : Commands)
        if (!c.Hidden)
            std::fprintf(out, "  %-9s %s\n", c.Name, c.Summary);
    std::fputs("\nA file to read may be a member of a container: CONTAINER::NAME\n"
               "(Res2.gob::mat/00abb3.mat).\n"
               "\nRun 'glimra-cli COMMAND --help' for the arguments of a command,\n"
               "'glimra-cli --version' for the version.\n"
               "Exit codes: 0 success, 1 a file failed, 2 a usage error.\n",
               out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::puts("glimra-cli " GLIMRA_VERSION);
        return 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const TCommand &c : Commands) {
        if (name != c.Name)
            continue;
        try {
            return c.Run(args);
        } catch (const EUsageError &e) {
            std::fprintf(stderr, "glimra-cli: %s\nTry 'glimra-cli %s --help'.\n", e.what(),
                         c.Name);
            return 2;
        } catch (const EFileFailure &failure) {
            ReportFailure(failure.File, failure.what());
            return 1;
        }
    }
    std::fprintf(stderr, "glimra-cli: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
