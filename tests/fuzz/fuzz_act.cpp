#include "FuzzPalette.h"
#include "core/palettes/Adobe_ACT.h"

// A short colour table fills what it holds before the error, as documented.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzPalette(data, size, ".act", ReadACT, fuzz::TOnError::MayFillPart);
}
