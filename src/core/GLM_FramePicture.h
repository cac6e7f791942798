#pragma once
// Frames turned into pictures exactly as the document windows draw them: 8-bit indices
// through a display palette, 16-bit words read as RGB565 (ARGB1555 for transparent MAT
// textures, top bit ignored), colour MAT frames as 64 x 64 blocks, each pixel scaled to a
// zoom x zoom block. Save Bitmap and Save All Bitmaps write these same pictures.

#include "formats/LEC_BM.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"
#include "formats/GLM_Globals.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Side of the square picture that stands for a colour MAT frame.
constexpr int ColorFrameSide = 64;

enum class TPixelLayout
{
    Indexed,    // 1 byte per pixel: a palette index
    RGB565,     // 2 bytes per pixel, little-endian
    ARGB1555,   // 2 bytes per pixel, little-endian; bit 15 (transparency) not shown
    ColorIndex, // colour MAT frame at 8 bits: Color is a palette index
    ColorValue, // colour MAT frame at 16 bits: Color is a colour value (red in the low byte)
};

// One frame (or mipmap level) of a document as it is drawn, without copying its pixels.
// Valid while the document is not changed.
struct TFrameView
{
    TPixelLayout Layout = TPixelLayout::Indexed;
    int Width = 0;
    int Height = 0;
    const uint8_t *Pixels = nullptr; // Width x Height pixels for the first three layouts
    TColor Color = 0;                // the last two layouts

    bool IsPaletted() const
    {
        return Layout == TPixelLayout::Indexed || Layout == TPixelLayout::ColorIndex;
    }
};

// Frame `frame` (1-based) of a BM; nothing for a frame that does not exist or whose pixel
// buffer is shorter than its size says (a damaged document is never read past its end).
std::optional<TFrameView> BMFrameView(const TBM &bm, int frame);
// Level `mipmap` (1-based) of texture frame `frame`, or colour frame `frame` (the level is
// not used); nothing for a frame or level that does not exist or is damaged.
std::optional<TFrameView> MATFrameView(const TMAT &mat, int frame, int mipmap);
// The strip of a font; nothing when it has no bitmap.
std::optional<TFrameView> SFTFrameView(const TSFT &sft);

// The 24-bit picture (Format_RGB888) of the frame at the zoom.
QImage FramePicture(const TFrameView &view, const TPalette &palette, int zoom = 1);
// Writes the frame at the zoom as the windows' bitmap export does; the program's one writer
// of a shown picture. bits 8: an 8-bit picture whose colour table is `palette`; an 8-bit
// frame keeps its own indices, other frames take TExportMatcher's index of each colour.
// Any other value: the 24-bit picture. PNG for a ".png" name, else a Windows bitmap written
// row band by row band (GLM_BitmapStream); the old file survives a failed write.
void SaveFrameBitmap(const TFrameView &view, const TPalette &palette, int zoom, int bits,
                     const std::string &path);

// The picture of a font's strip at the zoom, as the SFT window draws it; a null picture
// when the font has no bitmap.
QImage SFTPicture(const TSFT &sft, const TPalette &palette, int zoom = 1);
