#pragma once
// What the SFT window does to its TSFT, as plain functions: a new font and the settings it
// takes, removing the strip, what it reports (status texts and command facts) and the
// character under the mouse. The strip itself comes in through ImportSFTStrip
// (core/GLM_Import.h) and goes out through SFTFrameView (core/GLM_FramePicture.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/GLM_CommandTable.h"
#include "formats/LEC_SFT.h"

// The SFT settings a font takes (SFTCharacterGap, SFTSpaceLength, SFTTransIndex,
// SFTTransColor).
struct TSFTSettings
{
    int CharacterGap = 0;
    int SpaceLength = 0;
    int TransIndex = 0;
    int TransColor = 0; // RGB565
};

// A font without bitmap or characters, 8-bit or 16-bit (RGB565).
TSFT NewSFT(bool is16Bit);
// Gap, space length and the transparent colour of the font's depth; the strip is marked as
// stored without a palette (PaletteIncluded 1).
void ApplyFontSettings(TSFT &sft, const TSFTSettings &settings);

// The font has its strip exactly when NumImages is not 0.
bool HasBitmap(const TSFT &sft);
// Asked before a font without its strip is saved: the game cannot show such a font.
inline constexpr const char *NoPictureQuestion = "The font has no picture; save anyway?";
// Drops the strip; size, characters and the other fields stay.
void DeleteSFTBitmap(TSFT &sft);

// The main window's eight panels, given what they showed before: a font of a depth other
// than 8 or 16 bits leaves panels 0, 2 and 7 as they were. Panel 6 is cleared for the
// character readout.
std::array<std::string, 8> SFTStatusTexts(const TSFT &sft, const std::string &paletteName,
                                          const std::array<std::string, 8> &previous = {});
TDocumentFacts SFTFacts(const TSFT &sft, int zoom);

// The status panel the character readout writes.
constexpr int CharacterPanel = 6;
// The code of the character whose columns hold image position x at the zoom; with
// overlapping characters the last in list order. Nothing when none does.
std::optional<uint16_t> CharacterAt(const TSFTCharList &chars, int x, int zoom);
// "Character: " and the character of the code's low byte.
std::string CharacterText(uint16_t code);
