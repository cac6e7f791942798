#pragma once
// SFT font file: a table of character definitions stored as runs of consecutive codes, and
// one bitmap holding all glyphs side by side (a BM header without a palette).

#include "formats/LEC_BM.h"

#include <cstdint>
#include <string>
#include <vector>

// The 40-byte font header, kept as read; only NumRanges is recomputed on saving.
struct TSFTHeader
{
    char Magic[4] = {'S', 'F', 'N', 'T'}; // 0
    int32_t Version = 10;                 // 4
    int32_t CharGap = 0;                  // 8: pixels between characters
    int32_t SpaceLength = 0;              // 12: width of a space in pixels
    int32_t Unknown16 = 0;                // 16
    int32_t NumRanges = 0;                // 20
    int32_t Reserved[4] = {};             // 24

    static constexpr size_t Size = 40;

    friend bool operator==(const TSFTHeader &, const TSFTHeader &) = default;
};

// One character: where its glyph starts in the font bitmap and how wide it is.
struct TSFTCharDef
{
    uint16_t Code = 0;
    int32_t Offset = 0;
    int32_t Width = 0;

    friend bool operator==(const TSFTCharDef &, const TSFTCharDef &) = default;
};

// The character definitions in file order; the list owns them.
class TSFTCharList
{
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Definition `index` (0-based). Throws std::out_of_range with
    // "Character definition index is out of bounds: <index>" for a missing one.
    TSFTCharDef &Items(int index);
    const TSFTCharDef &Items(int index) const;
    TSFTCharDef &operator[](int index) { return Items(index); }
    const TSFTCharDef &operator[](int index) const { return Items(index); }

    int Add(const TSFTCharDef &def); // returns the new index
    void Insert(int index, const TSFTCharDef &def);
    void Delete(int index);
    void Clear() { FItems.clear(); }

    auto begin() { return FItems.begin(); }
    auto end() { return FItems.end(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

    friend bool operator==(const TSFTCharList &, const TSFTCharList &) = default;

private:
    void CheckIndex(int index) const;
    std::vector<TSFTCharDef> FItems;
};

inline constexpr const char *NoCharactersWarning =
    "The font has no characters. The game cannot load it until it has some.";

class TSFT
{
public:
    TSFT() = default;
    TSFT(const TSFT &) = default;
    TSFT(TSFT &&) = default;
    TSFT &operator=(const TSFT &) = default;
    TSFT &operator=(TSFT &&) = default;

    TSFTHeader Header;
    TSFTCharList Chars;
    // NumImages tells whether the font has a bitmap (1) or none (0); no palette is ever stored.
    TBMHeader BMHeader;
    int32_t Width = 0;
    int32_t Height = 0;
    // Width x Height x BytesPerPixel bytes, rows top down; empty when the font has no bitmap.
    std::vector<uint8_t> Pixels;

    // Reads the file and appends its definitions to Chars (meant for a fresh object). A file
    // that cannot be read leaves this object as it was.
    void LoadFromFile(const std::string &path);
    // Recomputes Header.NumRanges and writes the file, replacing it only once every byte is
    // written. A font without pixels is stored as a 0 x 0 bitmap.
    void SaveToFile(const std::string &path);
    // The same bytes SaveToFile writes, and the reading of bytes already in memory (a
    // container's member) as LoadFromFile reads a file.
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    void SetDefaults16() { BMHeader.SetDefaults16(); }

    // The game reads one character range before it looks at NumRanges: a font without
    // characters makes it read the bitmap header as a range and fail. Such a font is still
    // saved; windows and tools warn with NoCharactersWarning.
    bool HasCharacters() const { return Chars.Count() > 0; }

    // The number of ranges SaveToFile writes.
    int CountRanges() const;
    // Index of the last definition of the run of consecutive codes starting at definition i.
    int RangeEnd(int i) const;

    friend bool operator==(const TSFT &, const TSFT &) = default;

private:
    bool SameRun(int k) const; // definitions k and k + 1 have consecutive codes
    void Load(TFileReader &reader);
    // The one writer of the object's bytes.
    void Write(TFileWriter &writer) const;
};
