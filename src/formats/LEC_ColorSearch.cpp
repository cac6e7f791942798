#include "formats/LEC_ColorSearch.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// How far the single-precision screen may be from the plain search's distance: the target
// rounded to float moves each channel by at most 8e-6, which moves a squared distance by at
// most 3 x 8e-6 x 510 = 0.013; the float subtraction, squares and sums add at most
// 5 x 2^-24 relative, 0.06 at the largest distance, 195075; the plain search itself is
// within 3e-11 of the true distance. So |screened - plain| < 0.08, and an entry screened
// more than twice that beyond the best cannot be the exact winner. The margin leaves room.
constexpr float ScreenMargin = 0.5f;

// A box with more candidates than SplitAbove is split on its SplitAfter-th query, when the
// screening spent on it has cost about as much as splitting it. Boxes of MinBoxSize levels
// stay whole, and no box is split once the candidates fill MaxBlocks blocks (3.4 MB): where
// splitting does not thin out the candidates, as near the centre of colours spread on a
// sphere, it would otherwise go on storing the same long lists.
constexpr uint32_t SplitAbove = 16;
constexpr uint32_t SplitAfter = 16;
constexpr int MinBoxSize = 2;
constexpr size_t MaxBlocks = 1 << 16;

// Added to the distance bound of a colour that an earlier index already has.
constexpr int32_t Outside = 1 << 24;

// Squared distances between a channel level and the nearest and the farthest level of the
// closed span [lo, lo + size]. Integers, hence exact; written without branches so that the
// loops over all 256 entries run on vectors.
inline int32_t NearTerm(int32_t v, int32_t lo, int32_t size)
{
    const int32_t gap = std::max(lo - v, 0) + std::max(v - lo - size, 0);
    return gap * gap;
}

inline int32_t FarTerm(int32_t v, int32_t lo, int32_t size)
{
    const int32_t reach = std::max(v - lo, lo + size - v);
    return reach * reach;
}

// Four lanes of the screening below. GCC and Clang (also when they build for Windows) use
// their vector extension. Other compilers (MSVC) use plain four-element arrays with the same
// operators, written lane by lane for their optimisers to vectorise; GCC does so within about
// a tenth of the extension's speed on the colormap benchmarks. GLIMRA_PORTABLE_LANES selects
// the arrays everywhere, so that the fallback is built and tested on Linux too.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(GLIMRA_PORTABLE_LANES)
using TLanes = float __attribute__((vector_size(4 * sizeof(float))));
using TLaneMask = int32_t __attribute__((vector_size(4 * sizeof(int32_t))));

template<class T>
inline T Select(TLaneMask mask, T yes, T no)
{
    return mask ? yes : no;
}
#else
template<class T>
struct TLaneArray
{
    T V[4];
    T operator[](size_t i) const { return V[i]; }
};
using TLanes = TLaneArray<float>;
using TLaneMask = TLaneArray<int32_t>; // -1 for true, 0 for false, as vector comparisons give

template<class T, class F>
inline TLaneArray<T> EachLane(F f)
{
    return {{f(0), f(1), f(2), f(3)}};
}

template<class T>
inline TLaneArray<T> operator+(TLaneArray<T> a, TLaneArray<T> b)
{
    return EachLane<T>([&](size_t i) { return a.V[i] + b.V[i]; });
}

template<class T>
inline TLaneArray<T> &operator+=(TLaneArray<T> &a, TLaneArray<T> b)
{
    return a = a + b;
}

inline TLanes operator-(TLanes a, TLanes b)
{
    return EachLane<float>([&](size_t i) { return a.V[i] - b.V[i]; });
}

inline TLanes operator*(TLanes a, TLanes b)
{
    return EachLane<float>([&](size_t i) { return a.V[i] * b.V[i]; });
}

inline TLaneMask operator<(TLanes a, TLanes b)
{
    return EachLane<int32_t>([&](size_t i) { return a.V[i] < b.V[i] ? -1 : 0; });
}

inline TLaneMask operator<=(TLanes a, TLanes b)
{
    return EachLane<int32_t>([&](size_t i) { return a.V[i] <= b.V[i] ? -1 : 0; });
}

template<class T>
inline TLaneArray<T> Select(TLaneMask mask, TLaneArray<T> yes, TLaneArray<T> no)
{
    return EachLane<T>([&](size_t i) { return mask.V[i] ? yes.V[i] : no.V[i]; });
}
#endif

} // namespace

TColorSearch::TColorSearch(const TPalette &palette) : FPalette(palette)
{
    for (int k = 0; k < 256; ++k) {
        FLevels[0][k] = palette[k].Red;
        FLevels[1][k] = palette[k].Green;
        FLevels[2][k] = palette[k].Blue;
    }
    // A colour found at several indices can only ever win at the first of them.
    std::array<uint32_t, 256> keyed;
    for (int k = 0; k < 256; ++k) {
        const TPaletteEntry &p = palette[k];
        keyed[k] = uint32_t(p.Red) << 24 | uint32_t(p.Green) << 16 | uint32_t(p.Blue) << 8 | k;
    }
    std::sort(keyed.begin(), keyed.end());
    FRepeat.fill(0);
    for (int j = 1; j < 256; ++j) {
        if ((keyed[j] >> 8) == (keyed[j - 1] >> 8))
            FRepeat[keyed[j] & 0xFF] = Outside;
    }
    FNodes.reserve(TopCells * 4);
    FNodes.resize(TopCells);
    FBlocks.reserve(TopCells * 16); // one allocation serves most palettes
}

double TColorSearch::Distance(const TPaletteEntry &p, double r, double g, double b)
{
    const long double dr = p.Red - static_cast<long double>(r);
    const long double dg = p.Green - static_cast<long double>(g);
    const long double db = p.Blue - static_cast<long double>(b);
    return static_cast<double>(dr * dr + dg * dg + db * db);
}

uint8_t TColorSearch::FullScan(const TPalette &palette, double r, double g, double b)
{
    double best = 99999999.0;
    uint8_t result = 0;
    for (int k = 0; k < 256; ++k) {
        const double d = Distance(palette[k], r, g, b);
        if (d < best) {
            best = d;
            result = static_cast<uint8_t>(k);
        }
    }
    return result;
}

void TColorSearch::FillTopCell(uint32_t node)
{
    constexpr int32_t Size = 1 << CellShift;
    const int32_t lr = static_cast<int32_t>(node / (CellsPerAxis * CellsPerAxis)) << CellShift;
    const int32_t lg = static_cast<int32_t>(node / CellsPerAxis % CellsPerAxis) << CellShift;
    const int32_t lb = static_cast<int32_t>(node % CellsPerAxis) << CellShift;
    // Every point of the box lies within `bound` of some colour, so a colour farther than
    // that from the whole box is never the nearest. The rounding of the real search moves
    // distances by far less than 1, and these are integers, so the plain comparison is safe.
    std::array<int32_t, 256> nearest;
    int32_t bound = Outside;
    for (int k = 0; k < 256; ++k) {
        nearest[k] = NearTerm(FLevels[0][k], lr, Size) + NearTerm(FLevels[1][k], lg, Size) +
                     NearTerm(FLevels[2][k], lb, Size) + FRepeat[k];
        bound =
            std::min(bound, FarTerm(FLevels[0][k], lr, Size) + FarTerm(FLevels[1][k], lg, Size) +
                                FarTerm(FLevels[2][k], lb, Size));
    }
    std::array<uint8_t, 256> chosen;
    uint32_t count = 0;
    for (int k = 0; k < 256; ++k) {
        chosen[count] = static_cast<uint8_t>(k);
        count += nearest[k] <= bound;
    }
    StoreCandidates(node, chosen.data(), count);
}

void TColorSearch::Split(uint32_t node, int red, int green, int blue, int size)
{
    // The nearest colour of any point in a half is among its box's candidates, so the
    // halves pick theirs from that list with the same test as the top boxes.
    const uint32_t count = FNodes[node].Count;
    std::array<uint8_t, 256> list;
    for (uint32_t j = 0; j < count; ++j)
        list[j] = IndexAt(node, j);

    // Per channel and half (low, high): each candidate's near and far terms.
    const int half = size / 2;
    const int lo[3] = {red, green, blue};
    std::array<std::array<int32_t, 256>, 12> terms;
    for (int ch = 0; ch < 3; ++ch) {
        for (int h = 0; h < 2; ++h) {
            const int start = lo[ch] + h * half;
            for (uint32_t j = 0; j < count; ++j) {
                const int32_t v = FLevels[ch][list[j]];
                terms[ch * 4 + h * 2][j] = NearTerm(v, start, half);
                terms[ch * 4 + h * 2 + 1][j] = FarTerm(v, start, half);
            }
        }
    }

    const auto children = static_cast<uint32_t>(FNodes.size());
    FNodes.resize(FNodes.size() + 8);
    FNodes[node].Children = children;
    std::array<int32_t, 256> nearest;
    std::array<uint8_t, 256> chosen;
    for (uint32_t child = 0; child < 8; ++child) {
        const auto &nr = terms[0 * 4 + (child >> 2 & 1) * 2];
        const auto &ng = terms[1 * 4 + (child >> 1 & 1) * 2];
        const auto &nb = terms[2 * 4 + (child & 1) * 2];
        const auto &fr = terms[0 * 4 + (child >> 2 & 1) * 2 + 1];
        const auto &fg = terms[1 * 4 + (child >> 1 & 1) * 2 + 1];
        const auto &fb = terms[2 * 4 + (child & 1) * 2 + 1];
        int32_t bound = Outside;
        for (uint32_t j = 0; j < count; ++j) {
            nearest[j] = nr[j] + ng[j] + nb[j];
            bound = std::min(bound, fr[j] + fg[j] + fb[j]);
        }
        uint32_t chosenCount = 0;
        for (uint32_t j = 0; j < count; ++j) {
            chosen[chosenCount] = list[j];
            chosenCount += nearest[j] <= bound;
        }
        StoreCandidates(children + child, chosen.data(), chosenCount);
    }
}

void TColorSearch::StoreCandidates(uint32_t node, const uint8_t *indices, uint32_t count)
{
    FNodes[node].First = static_cast<uint32_t>(FBlocks.size());
    FNodes[node].Count = count;
    constexpr float Far = 1e6f; // a padding lane is never near a query
    for (uint32_t j = 0; j < count; j += BlockSize) {
        TBlock block;
        for (uint32_t lane = 0; lane < BlockSize; ++lane) {
            const bool real = j + lane < count;
            const uint8_t k = indices[std::min(j + lane, count - 1)];
            block.Red[lane] = real ? FPalette[k].Red : Far;
            block.Green[lane] = real ? FPalette[k].Green : Far;
            block.Blue[lane] = real ? FPalette[k].Blue : Far;
            block.Index[lane] = k;
        }
        FBlocks.push_back(block);
    }
}

uint8_t TColorSearch::IndexAt(uint32_t node, uint32_t j) const
{
    return FBlocks[FNodes[node].First + j / BlockSize].Index[j % BlockSize];
}

uint8_t TColorSearch::Nearest(double r, double g, double b)
{
    if (!(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255))
        return FullScan(FPalette, r, g, b);

    // Find the box, filling and splitting on the way as needed. A filled box holds at least
    // the colour that set its bound.
    const int ir = static_cast<int>(r), ig = static_cast<int>(g), ib = static_cast<int>(b);
    uint32_t node =
        ((ir >> CellShift) * CellsPerAxis + (ig >> CellShift)) * CellsPerAxis + (ib >> CellShift);
    if (FNodes[node].Count == 0)
        FillTopCell(node);
    for (int shift = CellShift; shift > 0; --shift) {
        TNode &box = FNodes[node];
        if (box.Children == 0) {
            if (box.Count <= SplitAbove || (1 << shift) <= MinBoxSize ||
                ++box.Visits < SplitAfter || FBlocks.size() >= MaxBlocks)
                break;
            const int mask = ~((1 << shift) - 1);
            Split(node, ir & mask, ig & mask, ib & mask, 1 << shift);
        }
        const int down = shift - 1;
        node = FNodes[node].Children +
               (((ir >> down) & 1) << 2 | ((ig >> down) & 1) << 1 | ((ib >> down) & 1));
    }

    // Screen the box's candidates four at a time, keeping where each lane saw its least.
    static_assert(BlockSize == 4, "the lanes are written out for four");
    const uint32_t count = FNodes[node].Count;
    const uint32_t blocks = (count + BlockSize - 1) / BlockSize;
    const TBlock *block = FBlocks.data() + FNodes[node].First;
    const float fr = static_cast<float>(r), fg = static_cast<float>(g), fb = static_cast<float>(b);
    const TLanes qr = {fr, fr, fr, fr}, qg = {fg, fg, fg, fg}, qb = {fb, fb, fb, fb};
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    TLanes least = {Infinity, Infinity, Infinity, Infinity};
    TLaneMask leastAt = {0, 0, 0, 0}, at = {0, 1, 2, 3};
    const TLaneMask step = {BlockSize, BlockSize, BlockSize, BlockSize};
    TLanes distances[256 / BlockSize];
    for (uint32_t i = 0; i < blocks; ++i, at += step) {
        TLanes cr, cg, cb;
        std::memcpy(&cr, block[i].Red, sizeof cr);
        std::memcpy(&cg, block[i].Green, sizeof cg);
        std::memcpy(&cb, block[i].Blue, sizeof cb);
        const TLanes dr = cr - qr, dg = cg - qg, db = cb - qb;
        const TLanes d = dr * dr + dg * dg + db * db;
        distances[i] = d;
        const TLaneMask closer = d < least;
        least = Select(closer, d, least);
        leastAt = Select(closer, at, leastAt);
    }
    float best = least[0];
    int32_t bestAt = leastAt[0];
    for (uint32_t lane = 1; lane < BlockSize; ++lane) {
        if (least[lane] < best) {
            best = least[lane];
            bestAt = leastAt[lane];
        }
    }

    // Count the candidates within the margin (as negative ones, the comparison's "true").
    const float limit = best + ScreenMargin;
    const TLanes limits = {limit, limit, limit, limit};
    TLaneMask within = {0, 0, 0, 0};
    for (uint32_t i = 0; i < blocks; ++i)
        within += distances[i] <= limits;
    if (within[0] + within[1] + within[2] + within[3] == -1)
        return IndexAt(node, static_cast<uint32_t>(bestAt)); // a clear winner

    // Near-ties: decide them exactly as the plain search does, lowest index first.
    double exactBest = std::numeric_limits<double>::infinity();
    uint8_t result = 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        const TLaneMask near = distances[i] <= limits;
        if ((near[0] | near[1] | near[2] | near[3]) == 0)
            continue;
        for (uint32_t lane = 0; lane < BlockSize; ++lane) {
            if (near[lane] == 0)
                continue;
            const uint8_t index = block[i].Index[lane];
            const double d = Distance(FPalette[index], r, g, b);
            if (d < exactBest) {
                exactBest = d;
                result = index;
            }
        }
    }
    return result;
}
