#pragma once
// Palettes shared by the core and widget tests.

#include "formats/GLM_Globals.h"

#include <vector>

namespace testutil {

// Entry k = (k, 255 - k, k * 7 mod 256): every entry distinct, so a wrong index shows as a
// wrong colour.
inline TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

// The 768 bytes R, G, B of each entry, as BM, CMP and ACT files hold a palette.
inline std::vector<uint8_t> PaletteBytes(const TPalette &p)
{
    return {&p[0].Red, &p[0].Red + 768};
}

} // namespace testutil
