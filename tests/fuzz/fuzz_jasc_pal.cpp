#include "FuzzPalette.h"
#include "core/palettes/Jasc_PAL.h"

// Entries before a bad colour line are kept, as documented.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzPalette(data, size, ".pal", ReadJascPAL, fuzz::TOnError::MayFillPart);
}
