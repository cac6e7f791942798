#pragma once
// Palettes and bytes shared by the core tests.

#include "GameFiles.h"
#include "formats/GLM_Globals.h"

#include <QImage>

#include <string>
#include <vector>

namespace testutil {

inline TPalette Filled(uint8_t v)
{
    TPalette p;
    p.fill({v, v, v});
    return p;
}

// Every pixel's colour, rows from the top.
inline std::vector<TPaletteEntry> PixelColours(const QImage &picture)
{
    std::vector<TPaletteEntry> all;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            all.push_back({uint8_t(qRed(picture.pixel(x, y))), uint8_t(qGreen(picture.pixel(x, y))),
                           uint8_t(qBlue(picture.pixel(x, y)))});
    return all;
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
