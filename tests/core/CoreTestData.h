#pragma once
// Palettes and bytes shared by the core tests.

#include "formats/GLM_Globals.h"
#include "TestFiles.h"

#include <string>
#include <vector>

namespace testutil {

// Entry k = (k, 255 - k, k * 7 mod 256): every entry distinct, every channel used.
inline TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

inline TPalette Filled(uint8_t v)
{
    TPalette p;
    p.fill({v, v, v});
    return p;
}

// The 768 bytes R, G, B of each entry, as BM, CMP and ACT files hold a palette.
inline std::vector<uint8_t> PaletteBytes(const TPalette &p)
{
    return {&p[0].Red, &p[0].Red + 768};
}

inline std::vector<uint8_t> Text(const std::string &s) { return {s.begin(), s.end()}; }

// Writes a file into `dir` and gives its path.
inline std::string Put(const TempDir &dir, const std::string &name,
                       const std::vector<uint8_t> &bytes)
{
    WriteFile(dir.File(name), bytes);
    return dir.File(name);
}

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
