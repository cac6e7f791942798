#pragma once
// What a Windows bitmap's headers promise, checked before any pixel is decoded: the size
// against the largest frame anyone could mean, and the pixel data against the file's length.
// Also the colour table, read straight from the file for callers that want only the palette.

#include "formats/GLM_Globals.h"

#include <cstdint>
#include <optional>
#include <vector>

// The largest picture Glimra decodes, in either direction. The game's own textures stop at
// 1024; this leaves room for strips and sheets while keeping a forged header from making
// us allocate gigabytes.
constexpr int MaxPictureSide = 16384;

// The fields of a bitmap's file and information headers that matter here.
struct TBitmapHeader
{
    int64_t Width = 0;
    int64_t Height = 0; // as stored: negative for a top-down bitmap
    int BitCount = 0;
    uint32_t Compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 and 6 bit fields
    size_t PixelOffset = 0;   // where the pixel data starts (bfOffBits)
    size_t TableOffset = 0;   // where the colour table starts
    size_t TableEntrySize = 4;
    size_t TableCount = 0; // entries the header announces (bits of 8 or fewer only)
};

// The headers of a file that starts "BM"; nothing for any other content or a file too short
// to hold them.
std::optional<TBitmapHeader> ParseBitmapHeader(const std::vector<uint8_t> &bytes);

// Raises EInOutError when a picture of this size may not be decoded.
void CheckPictureSize(int64_t width, int64_t height);

// Raises EInOutError when a Windows bitmap's headers are of no known kind or promise more than
// the file holds: a size over the cap, uncompressed rows past the end of the file, or a
// run-length stream that ends before the picture does. Other kinds of picture pass.
void CheckBitmapBytes(const std::vector<uint8_t> &bytes);

// The colour table as stored, in file order, without decoding a pixel; empty for a bitmap of
// more than 8 bits. Raises EInOutError for a table that runs past the end of the file.
std::vector<TPaletteEntry> ReadBitmapColorTable(const std::vector<uint8_t> &bytes,
                                                const TBitmapHeader &header);
