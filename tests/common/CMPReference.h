#pragma once
// The colormap tables computed the plain way: 256 distances per search, in extended
// precision, no caching. Tests compare the shipped tables against it and the benchmark
// measures the shipped code against it, so it is written for obviousness, not speed.

#include "formats/LEC_CMP.h"

#include <array>
#include <cstdint>

namespace cmpref {

// Each distance is summed in extended precision and rounded to double before the strict
// comparison, so the lowest index wins ties.
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

inline void CalcLightLevels(const TPalette &pal, std::array<TColorTable, 64> &levels)
{
    for (int n = 0; n < 64; ++n) {
        const long double f = static_cast<long double>(n) / 63; // not rounded to double
        const auto at = [f](uint8_t v) { return static_cast<double>(v * f); };
        for (int i = 0; i < 256; ++i)
            levels[n][i] =
                i < TCMP::FixedColorCount
                    ? static_cast<uint8_t>(i)
                    : NearestColor(pal, at(pal[i].Red), at(pal[i].Green), at(pal[i].Blue));
    }
}

inline void CalcTransTables(const TPalette &pal, std::array<TColorTable, 256> &tables)
{
    const auto blend = [](uint8_t t, uint8_t e) {
        return static_cast<double>(t + (int(e) - int(t)) * 0.65L);
    };
    for (int t = 0; t < 256; ++t)
        for (int e = 0; e < 256; ++e)
            tables[t][e] =
                NearestColor(pal, blend(pal[t].Red, pal[e].Red), blend(pal[t].Green, pal[e].Green),
                             blend(pal[t].Blue, pal[e].Blue));
}

} // namespace cmpref
