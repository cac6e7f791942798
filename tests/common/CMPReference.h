#pragma once
// The colormap tables computed the plain way: 256 distances per search, in extended
// precision, no caching. Tests compare the shipped tables against it and the benchmark
// measures the shipped code against it, so it is written for obviousness, not speed.

#include "formats/LEC_CMP.h"

#include <array>
#include <cstdint>

namespace cmpref {

inline uint8_t NearestColor(const TPalette &pal, double r, double g, double b)
{
    double best = 99999999.0;
    uint8_t result = 0;
    for (int k = 0; k < 256; ++k) {
        const long double dr = pal[k].Red - static_cast<long double>(r);
        const long double dg = pal[k].Green - static_cast<long double>(g);
        const long double db = pal[k].Blue - static_cast<long double>(b);
        const double d = static_cast<double>(dr * dr + dg * dg + db * db);
        if (d < best) {
            best = d;
            result = static_cast<uint8_t>(k);
        }
    }
    return result;
}

inline double LightChannel(uint8_t value, int level)
{
    const long double f = static_cast<long double>(level) / 63;
    return static_cast<double>(value * f);
}

inline double TransChannel(uint8_t table, uint8_t entry)
{
    const int diff = int(entry) - int(table);
    return static_cast<double>(table + diff * 0.65L);
}

inline void CalcLightLevels(const TPalette &pal, std::array<TColorTable, 64> &levels)
{
    for (int n = 0; n < 64; ++n) {
        for (int i = 0; i < 256; ++i) {
            if (i < TCMP::FixedColorCount) {
                levels[n][i] = static_cast<uint8_t>(i);
                continue;
            }
            levels[n][i] =
                NearestColor(pal, LightChannel(pal[i].Red, n), LightChannel(pal[i].Green, n),
                             LightChannel(pal[i].Blue, n));
        }
    }
}

inline void CalcTransTables(const TPalette &pal, std::array<TColorTable, 256> &tables)
{
    for (int t = 0; t < 256; ++t) {
        for (int e = 0; e < 256; ++e) {
            tables[t][e] = NearestColor(pal, TransChannel(pal[t].Red, pal[e].Red),
                                        TransChannel(pal[t].Green, pal[e].Green),
                                        TransChannel(pal[t].Blue, pal[e].Blue));
        }
    }
}

} // namespace cmpref
