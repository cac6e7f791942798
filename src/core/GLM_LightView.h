#pragma once
// A frame as the game shows it: drawn through a colormap's light table at one light level,
// through its transparency table over a backdrop, or reduced to the mask of the colours that
// glow (the full-bright ones). Only 8-bit frames can be shown so: the game looks palette
// indices up in the colormap, and a 16-bit frame has none.
//
// The editor and the command line both draw the result through the ordinary frame path
// (FramePicture, DisplayPicture, SaveFrameBitmap) with the view and palette a TGameLook
// gives, so a lit frame is painted, zoomed and saved exactly as the palette view is.

#include "core/GLM_FramePicture.h"
#include "formats/LEC_CMP.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Light levels run from 0 (darkest) to 63 (full light), one light table each.
constexpr int LightLevelCount = 64;
constexpr int FullLightLevel = LightLevelCount - 1;

// Why the frame cannot be drawn through a colormap; empty when it can. The editor shows the
// text as the hint of its disabled light commands.
std::string LightViewRefusal(const TFrameView &view);
// Why the colormap cannot draw translucent faces; empty when it can.
std::string TranslucentViewRefusal(const TCMP &cmp);

// The display palette of one light level: entry i is the colormap's colour of the index the
// level's light table gives for i. Drawing a frame through it is the lit frame, at the cost
// of the palette view: one lookup per pixel. A level outside 0..63 is taken as the nearest.
TPalette LitPalette(const TCMP &cmp, int level);

// The colormap's full-bright indices: those its light table keeps at their own index at every
// level below full light. Level 63 is left out on purpose: at full light every colour is
// itself, glowing or not, so that row tells nothing, and a colormap whose full-light row was
// made differently (brightened, or sending a repeated colour to its first copy) would lose
// its glowing colours to it. Computed tables keep the first 32 indices at every level, so
// those are always full-bright.
std::array<bool, 256> FullBrightIndices(const TCMP &cmp);
// White for the full-bright indices, black for the others: a frame drawn through it is the
// mask of its glowing pixels.
TPalette FullBrightMaskPalette(const TCMP &cmp);

// What lies behind a translucent face: a checkerboard of two palette indices in squares of
// CellSize frame pixels, First at the top-left corner; one index when both are the same.
struct TBackdrop
{
    uint8_t First = 0;
    uint8_t Second = 0;
    int CellSize = 8;

    uint8_t At(int x, int y) const;
};

// The palette indices of a translucent face over the backdrop, as the game draws it: each
// pixel lit first (light table `level`), then mixed with the backdrop's index behind it
// through the transparency table of the lit index. The table is the face's, the entry the
// backdrop's: the transparency table mixes 0.35 of the table's colour with 0.65 of the
// entry's, so what lies behind shows through. Width x Height indices, row by row; a colour
// frame counts as a frame of its one index.
std::vector<uint8_t> TranslucentIndices(const TFrameView &view, const TCMP &cmp, int level,
                                        const TBackdrop &backdrop);

// How a frame is to be seen through a colormap.
enum class TGameLookKind
{
    Lit,         // through light level `Level`
    Translucent, // lit, then over `Backdrop` through the transparency tables
    FullBright,  // the mask of the full-bright pixels
};

struct TGameLookOptions
{
    TGameLookKind Kind = TGameLookKind::Lit;
    int Level = FullLightLevel;
    TBackdrop Backdrop;
};

// A frame seen through a colormap: draw View() through Palette with the ordinary frame path.
// It refers to the frame's pixels (a lit view or mask) or holds its own (a translucent
// view); valid while the document is not changed.
class TGameLook
{
public:
    // Refusal() says why the frame cannot be seen so; View() is then the frame unchanged.
    TGameLook(const TFrameView &frame, const TCMP &cmp, const TGameLookOptions &options);

    const std::string &Refusal() const { return FRefusal; }
    TFrameView View() const;
    TPalette Palette{};

private:
    TFrameView FFrame;
    std::vector<uint8_t> FIndices;
    std::string FRefusal;
};
