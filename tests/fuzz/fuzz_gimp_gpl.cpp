#include "FuzzPalette.h"
#include "core/palettes/Gimp_GPL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzPalette(data, size, ".gpl", ReadGimpGPL, fuzz::TOnError::KeepsPalette);
}
