#pragma once
// What the MAT window does to its TMAT, as plain functions: a new document, stepping through
// the levels of each frame and then the frames, deleting and swapping frames with their
// CelIndex renumbered, the transparency of a frame with its 16-bit pixels converted, and
// what the window reports (status texts and command facts). Importing pictures into frames
// and levels is GLM_Import's; export names are GLM_ExportNames'.

#include <array>
#include <cstdint>
#include <string>

#include "core/GLM_CommandTable.h"
#include "formats/LEC_MAT.h"

// An empty MAT: a texture MAT at 8 bits unless the settings ask for colour or 16 bits.
TMAT NewMAT(bool isColor, bool is16Bit);

bool IsColorMAT(const TMAT &mat);
bool IsTextureMAT(const TMAT &mat);
// The frames the window shows: the record count of a colour or texture MAT within 0..16;
// 0 for a MAT of another type, which holds no records.
int MATFrameCount(const TMAT &mat);
// Levels of texture frame `frame` (1-based); 0 for a colour frame or no frame.
int MATLevelCount(const TMAT &mat, int frame);

// One step back or on. A texture MAT walks 1A, 1B, ..., 2A, ... and back to 1A: back from
// the first level goes to the last level of the frame before, on from the last level to the
// first level of the next frame, wrapping between the last frame and the first. A colour MAT
// steps frames only and leaves `mipmap` alone.
void MATPreviousFrame(const TMAT &mat, int &frame, int &mipmap);
void MATNextFrame(const TMAT &mat, int &frame, int &mipmap);

// The level to show of texture frame `frame` when `mipmap` may be out of its range (after a
// delete or shift): within 1..its last level. Unchanged for a colour MAT or no frame.
int FitMipmap(const TMAT &mat, int frame, int mipmap);

// Removes frame `frame` (1-based): the later frames move down one place (texture frames
// with record, header and pixels, each CelIndex set to its new number - 1), and the count
// (with the NumTextures the game expects) drops by one.
void DeleteMATFrame(TMAT &mat, int frame);
// Two frames change places (texture frames: record, header and pixels, then each gets the
// CelIndex of its new place).
void SwapMATFrames(TMAT &mat, int a, int b);

// Sets the Transparent flag of texture frame `frame`. A 16-bit frame whose flag changes has
// every pixel of every level converted between RGB565 and ARGB1555. True when the flag
// changed.
bool SetFrameTransparent(TMAT &mat, int frame, bool transparent);

// The properties dialog's current-frame values into texture frame `frame`: transparency
// (with the conversion above) and fill colour. True when the transparency changed.
bool ApplyFrameProperties(TMAT &mat, int frame, bool transparent, uint32_t fillColor);

// What the status bar shows of the window's new-frame rules.
struct TMATStatusView
{
    int Frame = 0;  // CurrentFrame
    int Mipmap = 0; // CurrentMipmap
    int Zoom = 1;
    bool AutoMipmaps = false;
    int NumberMipmaps = 1;
    std::string PaletteName;
};

// The main window's eight panels.
std::array<std::string, 8> MATStatusTexts(const TMAT &mat, const TMATStatusView &view);
TDocumentFacts MATFacts(const TMAT &mat, int frame, int zoom);
