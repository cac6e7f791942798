#pragma once
// Palette model and colour helpers shared by every part of the program.

#include <array>
#include <cstdint>
#include <string>

struct TPaletteEntry
{
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    friend bool operator==(const TPaletteEntry &, const TPaletteEntry &) = default;
};
static_assert(sizeof(TPaletteEntry) == 3, "palette entries are stored as 3 bytes");

// 256 entries, 768 bytes, entry i at byte 3 * i: the layout of BM, CMP and ACT files.
using TPalette = std::array<TPaletteEntry, 256>;
static_assert(sizeof(TPalette) == 768, "a palette is stored as 768 bytes");

// Colour value: red in bits 0..7, green 8..15, blue 16..23, top byte 0.
using TColor = uint32_t;

TColor MakeColor(int red, int green, int blue);
uint16_t ColorTo565(TColor color);
TColor Color565ToColor(uint16_t value);
uint8_t SnapLevel(uint8_t x);
std::string ColorText(TColor color);
std::string Color565Text(uint16_t value);

// The colour a 16-bit pixel is drawn and exported with: an RGB565 word, or an ARGB1555 word
// (transparent MAT textures), whose bit 15 is no colour. Each 5- or 6-bit channel is widened
// to 8 bits by repeating its top bits below, so 31 and 63 give 255 and truncating back gives
// the same word.
TPaletteEntry PixelWordColor(uint16_t word, bool argb1555);

inline uint8_t RedOf(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline uint8_t GreenOf(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline uint8_t BlueOf(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// Turns short (8.3) path components into their long names.
std::string LongPathName(const std::string &path);

// The built-in palettes, addressed by the names "Dflt" and "Uicolormap".
const TPalette &DfltPalette();
const TPalette &UicolormapPalette();
