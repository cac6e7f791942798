#include "core/GLM_PaletteMatch.h"

static_assert((uint64_t(1) << (32 - 20)) == 4096, "Slot() must yield 12 bits");

TPaletteMatcher::TPaletteMatcher(const TPalette &palette)
{
    FKeys.fill(EmptyKey);
    FIndices.fill(0);
    for (int i = 0; i < 256; ++i) {
        const TPaletteEntry &e = palette[i];
        const uint32_t key = Key(e.Red, e.Green, e.Blue);
        uint32_t slot = Slot(key);
        while (FKeys[slot] != EmptyKey && FKeys[slot] != key)
            slot = (slot + 1) & (SlotCount - 1);
        // A colour already present keeps its lower index.
        if (FKeys[slot] == EmptyKey) {
            FKeys[slot] = key;
            FIndices[slot] = static_cast<uint8_t>(i);
        }
    }
}

void TPaletteMatcher::MatchPixels(const uint8_t *rgb, size_t count, uint8_t *indices) const
{
    for (size_t i = 0; i < count; ++i, rgb += 3)
        indices[i] = MatchPaletteIndex(rgb[0], rgb[1], rgb[2]);
}
