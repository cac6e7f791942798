#pragma once
// The four game formats, GOB containers and Windows bitmaps built byte by byte, for every
// layer's tests: the bytes are written here as the file layouts give them, not by the
// program's own writers.

#include "TestFiles.h"
#include "TestPalettes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testutil {

// The 128-byte BM header, also the bitmap header of SFT fonts. Layout565 writes the eight
// ColorLayout words SetDefaults16 sets.
struct TBMHead
{
    int32_t Palette = 1, Images = 0, X = 0, Y = 0, Trans = 0, ColorMode = 0, Bits = 8;
    bool Layout565 = false;
};
inline constexpr TBMHead Defaults16{.ColorMode = 1, .Bits = 16, .Layout565 = true};

inline Bytes BMHeaderBytes(const TBMHead &h)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(h.Palette).I32(h.Images).I32(h.X).I32(h.Y).I32(h.Trans);
    b.I32(h.ColorMode).I32(h.Bits);
    for (int32_t v : {5, 6, 5, 11, 5, 3, 2, 3})
        b.I32(h.Layout565 ? v : 0);
    return b.Fill(56);
}

struct TFrame
{
    int Width, Height;
    uint8_t Fill; // every pixel byte
};

// A BM file: header, frames, then the palette when one is given.
inline std::vector<uint8_t> BMBytes(const std::vector<TFrame> &frames, int bits = 8,
                                    const TPalette *palette = nullptr)
{
    const bool is16 = bits == 16;
    Bytes b = BMHeaderBytes({palette ? 2 : 1, int32_t(frames.size()), 4, -2, is16 ? 0xF81F : 9,
                             is16 ? 1 : 0, bits});
    for (const TFrame &f : frames)
        b.I32(f.Width).I32(f.Height).Fill(size_t(f.Width * f.Height * bits / 8), f.Fill);
    if (palette)
        b.Append(PaletteBytes(*palette));
    return b.Data;
}

// The 76-byte MAT header: type 0 colour, 2 texture; NumTextures as many as the records.
inline Bytes MATHeaderBytes(int32_t type, int32_t records, int bits = 8)
{
    Bytes b;
    b.Text("MAT ").I32(50).I32(type).I32(records).I32(type == 2 ? records : 0);
    return b.I32(bits == 16 ? 1 : 0).I32(bits).Fill(48);
}

struct TTexture
{
    int Width, Height, Levels;
    uint16_t Pixel; // every pixel (a byte at 8 bits, a word at 16)
    int Transparent = 0;
};

// A texture MAT: header, records (fill 5 + frame, CelIndex), then each frame's header and
// the pixels of all its levels.
inline std::vector<uint8_t> TextureMAT(const std::vector<TTexture> &frames, int bits = 8)
{
    const auto n = static_cast<int32_t>(frames.size());
    Bytes b = MATHeaderBytes(2, n, bits);
    for (int32_t i = 0; i < n; ++i)
        b.I32(8).I32(5 + i).Fill(28).I32(i);
    for (const TTexture &t : frames) {
        b.I32(t.Width).I32(t.Height).I32(t.Transparent).I32(0).I32(0).I32(t.Levels);
        for (int k = 0, w = t.Width, h = t.Height; k < t.Levels; ++k, w /= 2, h /= 2)
            for (int p = w * h; p > 0; --p)
                bits == 16 ? b.U16(t.Pixel) : b.U8(static_cast<uint8_t>(t.Pixel));
    }
    return b.Data;
}

// The 40-byte SFT header.
inline Bytes SFTHeaderBytes(int32_t ranges, int32_t gap = 0, int32_t space = 0)
{
    return Bytes().Text("SFNT").I32(10).I32(gap).I32(space).I32(0).I32(ranges).Fill(16);
}

struct TChar
{
    uint16_t Code;
    int32_t Offset, Width;
};

// An SFT file: one range per character, then the strip (every pixel `fill`).
inline std::vector<uint8_t> SFTBytes(const std::vector<TChar> &chars, int width, int height,
                                     int bits = 8, uint8_t fill = 1, int images = 1)
{
    Bytes b = SFTHeaderBytes(int32_t(chars.size()), 1, 6);
    for (const TChar &c : chars)
        b.U16(c.Code).U16(c.Code).I32(c.Offset).I32(c.Width);
    b.Append(BMHeaderBytes({.Images = images, .Bits = bits}).Data);
    b.I32(width).I32(height).Fill(size_t(width * height * bits / 8), fill);
    return b.Data;
}

// A colormap: the ramp palette; every light table sends the even indices to 10 and keeps
// the odd ones; transparency table t sends entry e to (t + e) mod 256.
inline std::vector<uint8_t> CMPBytes(int32_t flag)
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(flag).Fill(52).Append(PaletteBytes(Ramp()));
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(i % 2 == 0 ? 10 : uint8_t(i));
    if (flag != 0)
        for (int t = 0; t < 256; ++t)
            for (int e = 0; e < 256; ++e)
                b.U8(uint8_t(t + e));
    return b.Data;
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

// One 136-byte entry of a GOB table: offset, size, then the name padded with NULs to 128
// bytes (a name of 128 bytes or more is cut there and has no end).
inline Bytes &GOBEntry(Bytes &b, int32_t offset, int32_t size, const std::string &name)
{
    b.I32(offset).I32(size).Text(name.substr(0, 128));
    return b.Fill(name.size() < 128 ? 128 - name.size() : 0);
}

struct TMember
{
    std::string Name;
    std::vector<uint8_t> Data;
};

// A GOB container: "GOB ", version 20, the table's offset; the table (count, entries) right
// after the header and then the members in order, or with `tableLast` the members first
// and the table after them.
inline std::vector<uint8_t> GOBBytes(const std::vector<TMember> &members, bool tableLast = false)
{
    const auto n = static_cast<int32_t>(members.size());
    Bytes body, table;
    table.I32(n);
    int32_t offset = tableLast ? 12 : 12 + 4 + 136 * n;
    for (const TMember &m : members) {
        GOBEntry(table, offset, static_cast<int32_t>(m.Data.size()), m.Name);
        offset += static_cast<int32_t>(m.Data.size());
        body.Append(m.Data);
    }
    Bytes b;
    b.Text("GOB ").I32(20).I32(tableLast ? offset : 12);
    return tableLast ? b.Append(body.Data).Append(table.Data).Data
                     : b.Append(table.Data).Append(body.Data).Data;
}

} // namespace testutil
