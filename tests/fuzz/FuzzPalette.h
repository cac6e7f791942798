#pragma once
// One palette-file reader under the fuzzer. Every reader is run twice from the same start and
// must leave the same palette (no read of memory it never wrote); readers that build the
// whole palette before storing it must leave it untouched when they refuse the file.

#include "FuzzCommon.h"
#include "formats/GLM_Globals.h"

namespace fuzz {

enum class TOnError { KeepsPalette, MayFillPart };

inline int FuzzPalette(const uint8_t *data, size_t size, const char *ext,
                       void (*read)(const std::string &, TPalette &), TOnError onError)
{
    const std::string input = WriteInput(data, size, ext);
    const TPalette start = DfltPalette();
    TPalette results[2] = {start, start};
    bool refused = false;
    for (TPalette &palette : results) {
        try {
            read(input, palette);
        } catch (const EInOutError &) {
            refused = true;
        }
    }
    if (results[0] != results[1])
        Fail("reading the same palette file twice gave two palettes");
    if (refused && onError == TOnError::KeepsPalette && results[0] != start)
        Fail("a refused palette file changed the palette");
    return 0;
}

} // namespace fuzz
