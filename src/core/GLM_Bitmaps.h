#pragma once
// Windows bitmaps and PNG pictures, read through QImage.

#include "formats/GLM_Globals.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

// A picture as import and palette code look at it: its size, the red, green and blue of each
// pixel (rows from the top down, each row left to right) and, for a paletted file, its colour
// table and the index of each pixel.
struct TBitmapPicture
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> RGB;              // 3 bytes per pixel: red, green, blue
    std::vector<TPaletteEntry> ColorTable; // as many entries as the file has; empty when none
    std::vector<uint8_t> Indices;          // one per pixel for paletted pictures, else empty

    TPaletteEntry PixelColor(int x, int y) const
    {
        const uint8_t *p = &RGB[(static_cast<size_t>(y) * Width + x) * 3];
        return {p[0], p[1], p[2]};
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
