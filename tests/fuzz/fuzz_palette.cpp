// One palette-file reader under the fuzzer, built once per format. It is run twice from the
// same start and must leave the same palette (no read of memory it never wrote); readers that
// build the whole palette before storing it must leave it untouched when they refuse a file.
#include "FuzzCommon.h"
#include "formats/GLM_Globals.h"

#if defined(GLIMRA_FUZZ_ACT)
#include "core/palettes/Adobe_ACT.h"
const auto Read = ReadACT;
const char *const Ext = ".act";
const bool KeepsPalette = false; // a short table fills what it holds before the error
#elif defined(GLIMRA_FUZZ_RIFF_PAL)
#include "core/palettes/Microsoft_PAL.h"
const auto Read = ReadRiffPAL;
const char *const Ext = ".pal";
const bool KeepsPalette = true;
#elif defined(GLIMRA_FUZZ_JASC_PAL)
#include "core/palettes/Jasc_PAL.h"
const auto Read = ReadJascPAL;
const char *const Ext = ".pal";
const bool KeepsPalette = false; // entries before a bad colour line are kept
#else
#include "core/palettes/Gimp_GPL.h"
const auto Read = ReadGimpGPL;
const char *const Ext = ".gpl";
const bool KeepsPalette = true;
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input = fuzz::WriteInput(data, size, Ext);
    const TPalette start = DfltPalette();
    TPalette results[2] = {start, start};
    bool refused = false;
    for (TPalette &palette : results) {
        try {
            Read(input, palette);
        } catch (const EInOutError &) {
            refused = true;
        }
    }
    if (results[0] != results[1])
        fuzz::Fail("reading the same palette file twice gave two palettes");
    if (refused && KeepsPalette && results[0] != start)
        fuzz::Fail("a refused palette file changed the palette");
    return 0;
}
