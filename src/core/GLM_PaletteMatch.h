#pragma once
// Colour to palette index matching: exact for imported pictures, exact else nearest for the
// 8-bit export.

#include "formats/GLM_Globals.h"
#include "formats/LEC_ColorSearch.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Answers "which palette entry has exactly this colour?" for many pixels in a row. A small
// open-addressing table of the palette's distinct colours replaces the scan of 256 entries
// per pixel; the lowest index of a colour that occurs more than once is the one kept.
class TPaletteMatcher
{
public:
    explicit TPaletteMatcher(const TPalette &palette);

    // Lowest index whose entry equals the colour, or -1 when there is none.
    int Find(uint8_t red, uint8_t green, uint8_t blue) const
    {
        const uint32_t key = Key(red, green, blue);
        uint32_t slot = Slot(key);
        for (;;) {
            const uint32_t stored = FKeys[slot];
            if (stored == key)
                return FIndices[slot];
            if (stored == EmptyKey)
                return -1;
            slot = (slot + 1) & (SlotCount - 1);
        }
    }

    // The import rule: the first entry equal in all three channels, else 255.
    uint8_t MatchPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) const
    {
        const int index = Find(red, green, blue);
        return index < 0 ? uint8_t(255) : static_cast<uint8_t>(index);
    }

    // `count` pixels of 3 bytes (red, green, blue) to `count` indices by MatchPaletteIndex.
    void MatchPixels(const uint8_t *rgb, size_t count, uint8_t *indices) const;

private:
    // Eight slots per possible entry keep probe chains at about one step; the whole table
    // (20 KB) stays in the first-level cache.
    static constexpr uint32_t SlotCount = 4096;
    static constexpr uint32_t EmptyKey = 0xFFFFFFFFu; // no 24-bit colour has this value

    static uint32_t Key(uint8_t red, uint8_t green, uint8_t blue)
    {
        return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
    }
    static uint32_t Slot(uint32_t key) { return (key * 0x9E3779B1u) >> 20; }

    std::array<uint32_t, SlotCount> FKeys;
    std::array<uint8_t, SlotCount> FIndices;
};

// The 8-bit export's rule for a colour: the lowest entry of exactly that colour, else the
// nearest one by the colormap tables' search (TColorSearch).
class TExportMatcher
{
public:
    explicit TExportMatcher(const TPalette &palette) : FExact(palette), FNearest(palette) {}

    uint8_t Index(const TPaletteEntry &c)
    {
        const int exact = FExact.Find(c.Red, c.Green, c.Blue);
        return exact >= 0 ? static_cast<uint8_t>(exact) : FNearest.Nearest(c.Red, c.Green, c.Blue);
    }

private:
    TPaletteMatcher FExact;
    TColorSearch FNearest;
};
