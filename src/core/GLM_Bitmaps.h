#pragma once
// Windows bitmaps and PNG pictures, read through QImage.

#include "formats/GLM_Globals.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A picture as import and palette code look at it: its size and, pixel by pixel (rows from the
// top down, each row left to right), either the red, green and blue of a true-colour picture
// or, for a paletted file, the index into its colour table. A paletted picture keeps no
// colours of its own: a 5792 x 5792 bitmap is 32 MB of indices, where its colours would be
// three times that.
struct TBitmapPicture
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> RGB;              // 3 bytes per pixel; empty for a paletted picture
    std::vector<TPaletteEntry> ColorTable; // as many entries as the file has; empty when none
    std::vector<uint8_t> Indices;          // one per pixel for paletted pictures, else empty

    bool IsPaletted() const { return !Indices.empty(); }
    // The colour of each index: the table padded to 256 entries with black (an index beyond
    // a short table shows black).
    std::array<TPaletteEntry, 256> IndexColors() const
    {
        std::array<TPaletteEntry, 256> colors{};
        std::copy_n(ColorTable.begin(), std::min<size_t>(ColorTable.size(), 256), colors.begin());
        return colors;
    }
    TPaletteEntry PixelColor(int x, int y) const
    {
        const size_t i = static_cast<size_t>(y) * Width + x;
        if (IsPaletted())
            return Indices[i] < ColorTable.size() ? ColorTable[Indices[i]] : TPaletteEntry{};
        return {RGB[3 * i], RGB[3 * i + 1], RGB[3 * i + 2]};
    }
};

// Reads any bitmap the platform knows (Windows bitmaps of 1, 4, 8, 16, 24 and 32 bits,
// RLE-compressed ones, PNG, ...). The kind is told from the content, not the name.
// Raises EInOutError for a file that cannot be opened or is not a picture, for a picture
// larger than MaxPictureSide (GLM_BitmapHeader.h) either way, and for a Windows bitmap whose
// pixel data is shorter than its header says; nothing is decoded before those checks.
TBitmapPicture ReadBitmapFile(const std::string &path);
TBitmapPicture ReadBitmapBytes(const std::vector<uint8_t> &bytes);
TBitmapPicture PictureFromImage(const QImage &image);
// A picture file's colour table alone: a Windows bitmap's straight from the file, without
// decoding its pixels; any other picture is decoded.
std::vector<TPaletteEntry> ReadBitmapFileColorTable(const std::string &path);

// True when pictures saved under this name are PNG rather than Windows bitmaps.
bool IsPngFileName(const std::string &path);
