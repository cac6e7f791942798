#pragma once
// The pictures of the sample files, painted in code so that no game file is needed: a game
// palette of shade ramps, a stone wall and a metal plate, a blinking console, a planet, and
// a font strip. Every picture is palette indices, the same on every run.

#include "formats/GLM_Globals.h"
#include "formats/LEC_SFT.h"

#include <cstdint>
#include <vector>

// 16 ramps of 16 shades, darkest first. Ramps 0 and 1 hold the glowing colours (lamps,
// screens): the first 32 indices, which computed light tables keep at every level.
constexpr int SampleRampLength = 16;
enum TSampleRamp {
    LampRamp,
    GlowRamp,
    Grey,
    Steel,
    Stone,
    Brown,
    Sand,
    Rust,
    Red,
    Olive,
    Green,
    Teal,
    Blue,
    Purple,
    Skin,
    Gold,
};
TPalette GameRampPalette();
// The index of `shade` (0 darkest to 1 brightest, clamped) in ramp `ramp`.
uint8_t RampIndex(int ramp, double shade);

// Square, tileable pictures through GameRampPalette.
std::vector<uint8_t> StoneWall(int side);
std::vector<uint8_t> MetalPlate(int side);
// Frame `frame` (0 to 7) of a 64 x 64 console: a screen of scrolling lines and lamps that
// blink from frame to frame, in the glowing colours.
constexpr int ConsoleSide = 64;
constexpr int ConsoleFrames = 8;
std::vector<uint8_t> ConsoleFrame(int frame);

// A planet in space with its moon, turned a little further in each frame, through a palette
// of its own (four ramps of 64: space, ocean, land, cloud and starlight).
constexpr int PlanetWidth = 128;
constexpr int PlanetHeight = 96;
TPalette PlanetPalette();
std::vector<uint8_t> PlanetFrame(int frame);

// The printable ASCII characters (32 to 126) in one strip, drawn from DejaVu Sans when the
// machine has it (which needs a QGuiApplication) and from a built-in 5 x 7 font otherwise or
// when `builtin` is set. The ink runs from yellow to orange-red in the colours the editor's
// built-in palettes share, with a dark shadow; the background is index 0.
TSFT SampleFont(bool builtin);

// Throws std::logic_error when two entries are equal: the sample pictures are made as
// colours and read back as indices, which needs every colour once.
void RequireDistinctColours(const TPalette &palette, const char *name);
