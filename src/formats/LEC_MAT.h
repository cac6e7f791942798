#pragma once
// MAT material file: up to 16 frames, either single colours (colour MAT) or pictures stored
// with all their mipmap levels (texture MAT).

#include "formats/LEC_FileIO.h"
#include "formats/GLM_Globals.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The 76-byte header, kept exactly as read. NumTextures is carried but never used by the
// reader; the game reads that many texture headers whatever the type (see SetNumRecords).
struct TMATHeader
{
    static constexpr int32_t ColorType = 0;
    static constexpr int32_t TextureType = 2; // any other MatType: a bare header

    char Magic[4] = {'M', 'A', 'T', ' '}; // 0
    int32_t Version = 50;                 // 4
    int32_t MatType = TextureType;        // 8
    int32_t NumRecords = 0;               // 12: the frame count every loop goes by
    int32_t NumTextures = 0;              // 16
    int32_t ColorMode = 0;                // 20
    int32_t BitsPerPixel = 8;             // 24
    int32_t Reserved[12] = {};            // 28

    static constexpr size_t Size = 76;

    friend bool operator==(const TMATHeader &, const TMATHeader &) = default;
};

// 24 bytes. Color: a palette index at 8 bits; at 16 bits the editor stores a colour value
// (red in the low byte), not an RGB565 word.
struct TMATColorRecord
{
    int32_t RecordType = 0;
    int32_t Color = 0;
    int32_t Reserved[4] = {};

    static constexpr size_t Size = 24;

    friend bool operator==(const TMATColorRecord &, const TMATColorRecord &) = default;
};

// 40 bytes. The editor writes RecordType 8 and CelIndex = frame number - 1.
struct TMATTextureRecord
{
    int32_t RecordType = 0;
    int32_t FillColor = 0; // palette index, or RGB565 at 16 bits
    int32_t Reserved[7] = {};
    int32_t CelIndex = 0;

    static constexpr size_t Size = 40;

    friend bool operator==(const TMATTextureRecord &, const TMATTextureRecord &) = default;
};

// 24 bytes in front of each frame's pixel data.
struct TMATTextureHeader
{
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Transparent = 0; // 1: black is transparent and 16-bit pixels are ARGB1555
    int32_t Reserved[2] = {};
    int32_t NumMipmaps = 0; // levels stored, each half the size of the one before

    static constexpr size_t Size = 24;

    friend bool operator==(const TMATTextureHeader &, const TMATTextureHeader &) = default;
};

class TMAT
{
public:
    static constexpr int32_t MaxRecords = 16;

    TMAT() = default;
    TMAT(const TMAT &) = default;
    TMAT(TMAT &&) = default;
    TMAT &operator=(const TMAT &) = default;
    TMAT &operator=(TMAT &&) = default;

    TMATHeader Header;
    // Frame i (1-based) is entry i - 1 of each table, for i = 1..NumRecords.
    std::array<TMATColorRecord, MaxRecords> ColorRecords{};
    std::array<TMATTextureRecord, MaxRecords> TextureRecords{};
    std::array<TMATTextureHeader, MaxRecords> TextureHeaders{};
    // All mipmap levels of a texture frame back to back, the full-size level first.
    std::array<std::vector<uint8_t>, MaxRecords> Pixels{};

    // Reads the whole file. A file that cannot be read leaves this object as it was.
    void LoadFromFile(const std::string &path);
    // Writes the whole object, replacing the file only once every byte is written.
    void SaveToFile(const std::string &path) const;
    // The same bytes SaveToFile writes, and the reading of bytes already in memory (a
    // container's member) as LoadFromFile reads a file.
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    void SetColorType() { Header.MatType = TMATHeader::ColorType; }
    void SetDefaults16()
    {
        Header.ColorMode = 1;
        Header.BitsPerPixel = 16;
    }

    int32_t NumRecords() const { return Header.NumRecords; }
    // Sets the frame count after frames were added or removed, with the NumTextures the game
    // expects: the count for a texture MAT, 0 otherwise. The game reads NumTextures texture
    // headers after the records of any MAT, so a colour MAT with its count there makes it
    // read past the end of the file.
    void SetNumRecords(int32_t count);
    uint32_t BytesPerPixel() const { return Header.BitsPerPixel == 16 ? 2 : 1; }

    // Pixel bytes of the first `levels` mipmap levels of a frame: the size of its data for
    // levels = NumMipmaps, the offset of level `levels` otherwise. Rejects negative sizes.
    static uint64_t TextureBytes(const TMATTextureHeader &header, int32_t levels,
                                 uint32_t bytesPerPixel);
    uint64_t TextureBytes(const TMATTextureHeader &header) const
    {
        return TextureBytes(header, header.NumMipmaps, BytesPerPixel());
    }

    friend bool operator==(const TMAT &, const TMAT &) = default;
private:
    void Load(TFileReader &reader);
    // The one writer of the object's bytes.
    void Write(TFileWriter &writer) const;
};

// 16-bit pixels of transparent frames: bit 15 set for every pixel but pure black, then
// 5 bits each of red, green and blue (the top bits of each channel).
uint16_t ColorToARGB1555(TColor color);
uint16_t RGB565ToARGB1555(uint16_t pixel);
uint16_t ARGB1555ToRGB565(uint16_t pixel);
