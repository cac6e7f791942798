#pragma once
// BM bitmap file: up to 50 images of 8-bit palette indices or 16-bit RGB565 words, optionally
// followed by the file's own palette. The 128-byte header is shared with SFT fonts.

#include "formats/LEC_FileIO.h"
#include "formats/GLM_Globals.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The 128-byte BM header, kept exactly as read. Only PaletteIncluded, NumImages and
// BitsPerPixel mean anything to the reader; every other word is carried through unchanged.
struct TBMHeader
{
    // PaletteIncluded is a set of bits, as the game reads it: bit 1 says a palette follows
    // the images, bit 0 turns on the transparent colour. The editor writes 2 or 1.
    static constexpr int32_t PaletteFollows = 2;
    static constexpr int32_t NoPalette = 1;

    char Magic[4] = {'B', 'M', ' ', ' '};      // 0
    int32_t Version = 70;                      // 4
    int32_t Unknown8 = 0;                      // 8
    int32_t PaletteIncluded = 1;               // 12
    int32_t NumImages = 0;                     // 16
    int32_t XOffset = 0;                       // 20
    int32_t YOffset = 0;                       // 24
    int32_t TransColor = 0;                    // 28: palette index, or RGB565 at 16 bits
    int32_t ColorMode = 0;                     // 32
    int32_t BitsPerPixel = 8;                  // 36
    int32_t ColorLayout[8] = {};               // 40
    int32_t Reserved[14] = {};                 // 72

    static constexpr size_t Size = 128;

    // 2 at 16 bits per pixel, 1 for every other value.
    uint32_t BytesPerPixel() const { return BitsPerPixel == 16 ? 2 : 1; }
    // ColorMode 1, BitsPerPixel 16 and the 565 colour layout words; nothing else.
    void SetDefaults16();

    friend bool operator==(const TBMHeader &, const TBMHeader &) = default;
};

// Reads or writes the 128 header bytes at the current position (also used by SFT fonts).
TBMHeader ReadBMHeader(TFileReader &reader);
void WriteBMHeader(TFileWriter &writer, const TBMHeader &header);

struct TBMImage
{
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels; // rows top down, no padding; 16-bit pixels little-endian

    friend bool operator==(const TBMImage &, const TBMImage &) = default;
};

class TBM
{
public:
    static constexpr int32_t MaxImages = 50;

    TBM() = default;
    TBM(const TBM &) = default;
    TBM(TBM &&) = default;
    TBM &operator=(const TBM &) = default;
    TBM &operator=(TBM &&) = default;

    TBMHeader Header;
    // Image i (1-based, as the file counts them) is Images[i - 1], for i = 1..NumImages.
    std::array<TBMImage, MaxImages> Images{};
    TPalette Palette{}; // meaningful only when HasPalette()

    // Reads the whole file. A file that cannot be read leaves this object as it was.
    // Without a stored palette, Palette keeps what it held.
    void LoadFromFile(const std::string &path);
    // Writes the whole object, replacing the file only once every byte is written.
    void SaveToFile(const std::string &path) const;
    // The same bytes SaveToFile writes, and the reading of bytes already in memory (a
    // container's member) as LoadFromFile reads a file.
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    void SetDefaults16() { Header.SetDefaults16(); }
    bool HasPalette() const { return (Header.PaletteIncluded & TBMHeader::PaletteFollows) != 0; }
    // The internal-palette choice: writes 2 or 1 only when it changes whether a palette is
    // stored, so other bits of a value like 3 survive a choice the user left alone.
    void SetHasPalette(bool on);

    int32_t NumImages() const { return Header.NumImages; }
    int32_t BitsPerPixel() const { return Header.BitsPerPixel; }
    // Pixel bytes an image of this size needs at the header's BitsPerPixel.
    uint64_t ImageBytes(int32_t width, int32_t height) const;

    friend bool operator==(const TBM &, const TBM &) = default;
private:
    void Load(TFileReader &reader);
    // The one writer of the object's bytes.
    void Write(TFileWriter &writer) const;
};
