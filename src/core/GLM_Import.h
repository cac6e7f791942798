#pragma once
// Pictures turned into frames, as Add Frames, Add Mipmap and the SFT window's Add Frame do
// it: the editor's size rules and messages, exact palette matching for 8-bit pixels and
// truncating 16-bit packing. Plain functions over the document objects, shared by the
// windows and glimra-cli.

#include "core/GLM_Bitmaps.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"
#include "formats/GLM_Globals.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TImportMessageKind { Error, Warning };

// A message the window shows in a box of its kind (error or warning, OK button).
struct TImportMessage
{
    TImportMessageKind Kind = TImportMessageKind::Error;
    std::string Text;

    friend bool operator==(const TImportMessage &, const TImportMessage &) = default;
};

struct TImportResult
{
    int Frame = 0; // 1-based frame that was added or grown; 0 when nothing changed
    int Level = 0; // the level added by AddMATMipmap (1 for a new texture frame)
    std::vector<TImportMessage> Messages;

    bool Changed() const { return Frame > 0; }
};

// The window's choices for new texture frames (its NewTrans, AutoMipmaps, NumberMipmaps and
// NewFillColor).
struct TNewFrameSettings
{
    bool NewTrans = false;
    bool AutoMipmaps = false;
    int NumberMipmaps = 1;
    uint32_t NewFillColor = 0;
};

// RGB565, or ARGB1555 with bit 15 set for every colour but pure black; low bits dropped.
uint16_t PackPixel16(uint8_t red, uint8_t green, uint8_t blue, bool transparent);

// The picture's pixels row by row from the top as 8-bit indices (MatchPaletteIndex: the
// first palette entry equal to the colour, 255 when there is none) or as little-endian
// 16-bit words (PackPixel16).
std::vector<uint8_t> PictureToIndices(const TBitmapPicture &picture, const TPalette &palette);
std::vector<uint8_t> PictureToWords(const TBitmapPicture &picture, bool transparent);

// The size rules for a texture frame: an error for an empty or odd size, a warning above
// 1024. The text starts "Bitmap Size: WxH" and a carriage return.
std::optional<TImportMessage> CheckTextureSize(int width, int height);

// Appends the picture as a new BM frame (no size rule; 16-bit frames always RGB565).
// Nothing changes when the BM already holds its 50 frames.
TImportResult ImportBMFrame(TBM &bm, const TBitmapPicture &picture, const TPalette &palette);

// Appends the picture as a new frame of a texture MAT, with generated levels when
// settings.AutoMipmaps is on. A size error leaves the MAT unchanged; the over-size warning
// does not. Nothing changes for a colour MAT or one that holds 16 frames.
TImportResult ImportMATFrame(TMAT &mat, const TBitmapPicture &picture, const TPalette &palette,
                             const TNewFrameSettings &settings);

// Appends the picture as the next level of texture frame `frame`. The picture must measure
// exactly the frame's size halved once per existing level ("Next mipmap size must be ...").
// Nothing changes when the frame is full.
TImportResult AddMATMipmap(TMAT &mat, int frame, const TBitmapPicture &picture,
                           const TPalette &palette);

// Appends a colour frame (a palette index at 8 bits, a colour value at 16 bits). Nothing
// changes for a texture MAT or one that holds 16 frames.
TImportResult AddMATColorFrame(TMAT &mat, int32_t color);

// Makes the picture the font's strip; the character table is not touched.
void ImportSFTStrip(TSFT &sft, const TBitmapPicture &picture, const TPalette &palette);
