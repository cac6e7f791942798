#pragma once
// The rules of the CMP window that need no widget: its views (the palette, 64 light tables,
// 256 transparency tables) and how it steps through them, the cell under the mouse, the
// status texts and the drawing of the 16 x 16 grid.

#include <array>
#include <cstdint>
#include <string>

#include "formats/GLM_Globals.h"

class QPainter;
class TCMP;

// View 0 is the palette, 1 to 64 the light tables, 65 to 320 the transparency tables.
constexpr int CMPLightViewCount = 64;
constexpr int CMPLastView = 320;

// The window's cell size is at least 1 pixel whatever the setting holds, and at most this,
// so that the grid's side (16 cells, zoomed up to 10 times) stays a size a window can have.
constexpr int MaxCMPCellSize = 1000;
int EffectiveCMPCellSize(int setting);

// The last view with the file's transparency flag: 320 with tables (any non-zero flag),
// 64 without.
int CMPLastFrame(int32_t hasTransparency);
// One step on or back, wrapping between 0 and the last view. A transparency view shown after
// the tables were switched off steps to the palette (on) or the last light table (back).
int CMPNextFrame(int current, int32_t hasTransparency);
int CMPPreviousFrame(int current, int32_t hasTransparency);

// "Palette", "Light Table: f" or "Trans Table: f - 64".
std::string CMPViewText(int frame);

// The cell under (x, y) of the zoomed grid, or -1 when the point lies outside it.
int CMPCellAt(int x, int y, int cellSize, int zoom);
// "Index: 17" and "RGB: r g b" of the cell's own palette entry.
std::string CMPIndexText(int index);
std::string CMPColorText(const TPalette &palette, int index);

// The eight status panels: "CMP", the view, the transparency, then empty ones.
std::array<std::string, 8> CMPStatusTexts(int frame, int32_t hasTransparency);

// Grid lines are white, or black when the window's fill colour is exactly white.
TColor CMPGridLineColor(TColor fillColor);
// The side of the zoomed grid in pixels.
int CMPGridSide(int cellSize, int zoom);
// Paints view `frame` of the grid at the zoom with its top-left corner at 0,0: every pixel
// of the 16s x 16s grid as a zoom x zoom block, the 1-pixel lines between cells included.
void DrawCMPGrid(QPainter &painter, const TCMP &cmp, int frame, int cellSize, int zoom,
                 TColor fillColor);

// "Untitled3.cmp" for untitled number 3.
std::string CMPUntitledName(int number);
// The transparency tables are computed again before a save only when the document changed
// and has tables.
bool CMPNeedsTransRecalc(bool modified, int32_t hasTransparency);
