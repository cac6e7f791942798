#include "FuzzDocument.h"
#include "formats/LEC_MAT.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzDocument<TMAT>(data, size, ".mat", "texture8.mat");
}
