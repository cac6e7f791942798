#include "FuzzPalette.h"
#include "core/palettes/Microsoft_PAL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzPalette(data, size, ".pal", ReadRiffPAL, fuzz::TOnError::KeepsPalette);
}
