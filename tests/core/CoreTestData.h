#pragma once
// Palettes and bytes shared by the core tests.

#include "GameFiles.h"
#include "formats/GLM_Globals.h"

#include <string>
#include <vector>

namespace testutil {

inline TPalette Filled(uint8_t v)
{
    TPalette p;
    p.fill({v, v, v});
    return p;
}

inline std::vector<uint8_t> Text(const std::string &s) { return {s.begin(), s.end()}; }

// What a palette reader raised ("no error" for nothing) and the palette it left behind.
struct TReadResult
{
    std::string Error;
    TPalette Palette;
};

inline TReadResult ReadWith(void (*reader)(const std::string &, TPalette &),
                            const std::string &path, const TPalette &start = Filled(77))
{
    TReadResult r{"", start};
    r.Error = MessageOf([&] { reader(path, r.Palette); });
    return r;
}

} // namespace testutil
