#include "FuzzDocument.h"
#include "formats/LEC_BM.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzDocument<TBM>(data, size, ".bm", "sample8.bm");
}
