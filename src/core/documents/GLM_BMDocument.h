#pragma once
// What the BM window does to its TBM, as plain functions: a new document, the settings its
// properties dialog writes, deleting and swapping frames, and what it reports (status texts
// and command facts).

#include <array>
#include <string>

#include "core/GLM_CommandTable.h"
#include "formats/LEC_BM.h"

// The BM settings a document takes (BMXOffset, BMYOffset, BMTransIndex, BMTransColor,
// BMUseInternalPalette).
struct TBMSettings
{
    int XOffset = 0;
    int YOffset = 0;
    int TransIndex = 0;
    int TransColor = 0; // RGB565
    bool UseInternalPalette = false;
};

// An empty BM: no frame, 8-bit, or 16-bit with the 565 layout.
TBM NewBM(bool is16Bit);

// Offsets and transparent colour into the document; with UseInternalPalette the display
// palette becomes the file's own (PaletteIncluded 2), without it the file has none (1); a
// choice that matches the file leaves PaletteIncluded as it was.
void ApplyBMSettings(TBM &bm, const TBMSettings &settings, const TPalette &displayPalette);

// Removes frame `frame` (1-based); the later frames move down one place with their buffers.
void DeleteBMFrame(TBM &bm, int frame);
// Two frames change places: size and pixel buffer.
void SwapBMFrames(TBM &bm, int a, int b);

// The main window's eight panels for a BM showing `currentFrame` through `paletteName`.
std::array<std::string, 8> BMStatusTexts(const TBM &bm, int currentFrame,
                                         const std::string &paletteName);
TDocumentFacts BMFacts(const TBM &bm, int zoom);
