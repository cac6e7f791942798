// Two readers of the core under the fuzzer, built once each. The picture reader: any bytes, as
// Windows bitmaps, PNG or whatever else the platform reads, and the colour table read without
// decoding. The palette-source loader behind --palette and the windows' palette names: the
// first byte picks the kind of file (.bm, .bmp, .cmp, .act, .pal, .gpl), the rest is its content.
#include "FuzzPicture.h"
#include "core/GLM_PaletteSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#if defined(GLIMRA_FUZZ_PALETTE_SOURCE)
    static const char *const kinds[] = {".bm", ".bmp", ".cmp", ".act", ".pal", ".gpl"};
    if (size == 0)
        return 0;
    const std::string input = fuzz::WriteInput(data + 1, size - 1, kinds[data[0] % 6]);
    try {
        if (LoadPaletteSource(input) != LoadPaletteSource(input))
            fuzz::Fail("loading the same palette source twice gave two palettes");
    } catch (const EInOutError &) {
    }
#else
    const std::vector<uint8_t> bytes(data, data + size);
    if (!fuzz::FitsFuzzerMemory(bytes))
        return 0;
    try { // the buffers hold what the size says; a side of 0 is read, empty, for the import
        const TBitmapPicture p = ReadBitmapBytes(bytes);
        const size_t pixels = size_t(p.Width) * size_t(p.Height);
        if (p.Width < 0 || p.Height < 0 || p.Width > MaxPictureSide || p.Height > MaxPictureSide ||
            p.RGB.size() != (p.IsPaletted() ? 0 : pixels * 3) ||
            (p.IsPaletted() && p.Indices.size() != pixels) || p.ColorTable.size() > 256)
            fuzz::Fail("a picture's buffers do not match its size");
    } catch (const EInOutError &) {
    }
    try {
        if (const auto header = ParseBitmapHeader(bytes))
            if (ReadBitmapColorTable(bytes, *header).size() > 256)
                fuzz::Fail("a colour table of more than 256 entries");
    } catch (const EInOutError &) {
    }
#endif
    return 0;
}
