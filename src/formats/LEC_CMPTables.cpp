// The light and transparency tables of a colormap. Every entry is the index the plain
// nearest-colour search gives (see TColorSearch). One thread does it all: a run takes a few
// milliseconds, and helper threads only pay off on an idle machine; on a busy one waiting
// for them costs more than they save.

#include "formats/LEC_CMPTables.h"

#include "formats/LEC_CMP.h"
#include "formats/LEC_ColorSearch.h"

#include <array>

double LightLevelTarget(uint8_t value, int level)
{
    const long double f = static_cast<long double>(level) / 63; // the division first
    return static_cast<double>(value * f);
}

double TransBlendTarget(uint8_t tableValue, uint8_t entryValue)
{
    const int diff = int(entryValue) - int(tableValue);
    return static_cast<double>(tableValue + diff * TCMP::TransBlendWeight);
}

void TCMP::CalcLightLevels()
{
    TColorSearch search(Palette);
    for (int level = 0; level < static_cast<int>(LightLevels.size()); ++level) {
        std::array<double, 256> scaled;
        for (int v = 0; v < 256; ++v)
            scaled[v] = LightLevelTarget(static_cast<uint8_t>(v), level);
        TColorTable &table = LightLevels[level];
        for (int i = 0; i < 256; ++i) {
            const TPaletteEntry &p = Palette[i];
            table[i] = i < FixedColorCount
                           ? static_cast<uint8_t>(i)
                           : search.Nearest(scaled[p.Red], scaled[p.Green], scaled[p.Blue]);
        }
    }
}

void TCMP::CalcTransTables(const TProgressCallback &progress)
{
    TColorSearch search(Palette);
    const int total = static_cast<int>(TransTables.size());
    for (int t = 0; t < total; ++t) {
        const TPaletteEntry &base = Palette[t];
        TColorTable &table = TransTables[t];
        for (int e = 0; e < 256; ++e) {
            const TPaletteEntry &p = Palette[e];
            table[e] = search.Nearest(TransBlendTarget(base.Red, p.Red),
                                      TransBlendTarget(base.Green, p.Green),
                                      TransBlendTarget(base.Blue, p.Blue));
        }
        if (progress)
            progress(t + 1, total);
    }
}
