#include "FuzzDocument.h"
#include "formats/LEC_CMP.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzDocument<TCMP>(
        data, size, ".cmp", "colormap.cmp", [](const TCMP &a, const TCMP &b) {
            return std::memcmp(&a.Header, &b.Header, sizeof a.Header) == 0 &&
                   a.Palette == b.Palette && a.LightLevels == b.LightLevels &&
                   a.TransTables == b.TransTables;
        });
}
