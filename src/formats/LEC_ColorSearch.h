#pragma once
// Nearest palette colour to a real-valued colour, answered quickly and exactly.
//
// "Exactly" means the index the plain search gives: every squared distance summed in
// extended precision and rounded to double, the first index with the smallest distance
// winning. The colour cube is cut into 8 x 8 x 8 boxes; each box keeps only the palette
// colours that can be nearest to some point inside it. A query screens those few in single
// precision, four at a time, and re-checks in extended precision every one that comes within
// a safe margin of the best, so its answer never differs from the plain search, ties
// included.
//
// Boxes are filled on their first query. Palettes with crowded regions (long dark ramps,
// clusters) leave many candidates in some boxes; a box that keeps being asked is split into
// eight halves once the screening spent on it has paid for the split. So the search refines
// itself where the queries fall, which makes Nearest a writing operation: one search object
// serves one thread.

#include "formats/GLM_Globals.h"

#include <array>
#include <cstdint>
#include <vector>

class TColorSearch
{
public:
    explicit TColorSearch(const TPalette &palette);

    uint8_t Nearest(double r, double g, double b);

    // The plain search over all 256 entries; right for any input (NaN, infinities, ...).
    static uint8_t FullScan(const TPalette &palette, double r, double g, double b);
    // One squared distance the way the plain search computes it.
    static double Distance(const TPaletteEntry &p, double r, double g, double b);

private:
    static constexpr int CellShift = 5; // top boxes of 32 levels per channel
    static constexpr int CellsPerAxis = 256 >> CellShift;
    static constexpr int TopCells = CellsPerAxis * CellsPerAxis * CellsPerAxis;
    static constexpr uint32_t BlockSize = 4;

    // Four candidates; the last block of a box repeats its last candidate.
    struct TBlock
    {
        float Red[BlockSize];
        float Green[BlockSize];
        float Blue[BlockSize];
        uint8_t Index[BlockSize];
    };

    struct TNode
    {
        uint32_t First = 0;    // the box's first block of candidates
        uint32_t Count = 0;    // candidates, in ascending palette index; 0 while not filled
        uint32_t Children = 0; // the first of the eight halves, 0 while not split
        uint32_t Visits = 0;
    };

    void FillTopCell(uint32_t node);
    void Split(uint32_t node, int red, int green, int blue, int size);
    void StoreCandidates(uint32_t node, const uint8_t *indices, uint32_t count);
    uint8_t IndexAt(uint32_t node, uint32_t j) const;

    TPalette FPalette;
    std::array<std::array<int32_t, 256>, 3> FLevels; // each entry's red, green and blue
    std::array<int32_t, 256> FRepeat;                // non-zero: an earlier index has the colour
    std::vector<TNode> FNodes;   // the top boxes first, then halves as they are made
    std::vector<TBlock> FBlocks; // the candidates of all boxes
};
