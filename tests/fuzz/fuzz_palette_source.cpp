// The palette-source loader behind --palette and the windows' palette names: the first byte
// picks the kind of file (.bm, .bmp, .cmp, .act, .pal, .gpl), the rest is its content.
#include "FuzzCommon.h"
#include "core/GLM_PaletteSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const kinds[] = {".bm", ".bmp", ".cmp", ".act", ".pal", ".gpl"};
    const std::string input = fuzz::WriteInput(data + 1, size - 1, kinds[data[0] % 6]);
    try {
        const TPalette first = LoadPaletteSource(input);
        if (LoadPaletteSource(input) != first)
            fuzz::Fail("loading the same palette source twice gave two palettes");
    } catch (const EInOutError &) {
    }
    return 0;
}
