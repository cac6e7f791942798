#include "core/GLM_CMPView.h"

#include <algorithm>

#include <QColor>
#include <QPainter>

#include "formats/LEC_CMP.h"

namespace {

// The palette index cell `index` shows in view `frame` (its own index outside 1 to 320).
uint8_t CMPViewIndex(const TCMP &cmp, int frame, int index)
{
    const auto i = static_cast<size_t>(index & 0xFF);
    if (frame >= 1 && frame <= CMPLightViewCount)
        return cmp.LightLevels[static_cast<size_t>(frame - 1)][i];
    if (frame > CMPLightViewCount && frame <= CMPLastView)
        return cmp.TransTables[static_cast<size_t>(frame - CMPLightViewCount - 1)][i];
    return static_cast<uint8_t>(i);
}

} // namespace

int EffectiveCMPCellSize(int setting)
{
    return std::clamp(setting, 1, MaxCMPCellSize);
}

int CMPLastFrame(int32_t hasTransparency)
{
    return hasTransparency != 0 ? CMPLastView : CMPLightViewCount;
}

int CMPNextFrame(int current, int32_t hasTransparency)
{
    return current >= CMPLastFrame(hasTransparency) || current < 0 ? 0 : current + 1;
}

int CMPPreviousFrame(int current, int32_t hasTransparency)
{
    const int last = CMPLastFrame(hasTransparency);
    return current <= 0 || current > last ? last : current - 1;
}

std::string CMPViewText(int frame)
{
    if (frame >= 1 && frame <= CMPLightViewCount)
        return "Light Table: " + std::to_string(frame);
    if (frame > CMPLightViewCount && frame <= CMPLastView)
        return "Trans Table: " + std::to_string(frame - CMPLightViewCount);
    return "Palette";
}

int CMPCellAt(int x, int y, int cellSize, int zoom)
{
    const int cell = EffectiveCMPCellSize(cellSize) * std::max(zoom, 1);
    if (x < 0 || y < 0 || x >= 16 * cell || y >= 16 * cell)
        return -1;
    return x / cell + 16 * (y / cell);
}

std::string CMPIndexText(int index)
{
    return "Index: " + std::to_string(index);
}

std::string CMPColorText(const TPalette &palette, int index)
{
    const TPaletteEntry &e = palette[static_cast<size_t>(index & 0xFF)];
    return ColorText(MakeColor(e.Red, e.Green, e.Blue));
}

std::array<std::string, 8> CMPStatusTexts(int frame, int32_t hasTransparency)
{
    return {"CMP", CMPViewText(frame), hasTransparency != 0 ? "Transparent" : "Not Transparent"};
}

TColor CMPGridLineColor(TColor fillColor)
{
    const TColor white = MakeColor(255, 255, 255);
    return fillColor == white ? MakeColor(0, 0, 0) : white;
}

int CMPGridSide(int cellSize, int zoom)
{
    return 16 * EffectiveCMPCellSize(cellSize) * std::max(zoom, 1);
}

void DrawCMPGrid(QPainter &painter, const TCMP &cmp, int frame, int cellSize, int zoom,
                 TColor fillColor)
{
    const int z = std::max(zoom, 1);
    const int cell = EffectiveCMPCellSize(cellSize) * z;
    const int side = 16 * cell;
    for (int i = 0; i < 256; ++i) {
        const TPaletteEntry &e = cmp.Palette[CMPViewIndex(cmp, frame, i)];
        painter.fillRect((i % 16) * cell, (i / 16) * cell, cell, cell,
                         QColor(e.Red, e.Green, e.Blue));
    }
    // Each 1-pixel line of the unzoomed grid becomes a band z pixels wide.
    const TColor line = CMPGridLineColor(fillColor);
    const QColor lineColor(RedOf(line), GreenOf(line), BlueOf(line));
    for (int k = 1; k < 16; ++k) {
        painter.fillRect(k * cell, 0, z, side, lineColor);
        painter.fillRect(0, k * cell, side, z, lineColor);
    }
}

std::string CMPUntitledName(int number)
{
    return "Untitled" + std::to_string(number) + ".cmp";
}

bool CMPNeedsTransRecalc(bool modified, int32_t hasTransparency)
{
    return modified && hasTransparency != 0;
}
