#pragma once
// Palettes and bytes shared by the core tests.

#include "TestFiles.h"
#include "TestPalettes.h"
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

// A Windows bitmap: file header, 40-byte information header, colour table (B, G, R, 0), then
// `pixels` exactly as given (rows bottom up and padded, or RLE codes).
inline std::vector<uint8_t> BitmapFile(int32_t width, int32_t height, int bits, int compression,
                                       const std::vector<TPaletteEntry> &table,
                                       const std::vector<uint8_t> &pixels)
{
    const auto offset = int32_t(54 + 4 * table.size());
    Bytes b;
    b.Text("BM").I32(offset + int32_t(pixels.size())).I32(0).I32(offset);
    b.I32(40).I32(width).I32(height).U16(1).U16(uint16_t(bits)).I32(compression);
    b.I32(int32_t(pixels.size())).I32(2835).I32(2835).I32(int32_t(table.size())).I32(0);
    for (const TPaletteEntry &e : table)
        b.U8(e.Blue).U8(e.Green).U8(e.Red).U8(0);
    return b.Append(pixels).Data;
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
