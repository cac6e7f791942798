#include "FuzzDocument.h"
#include "formats/LEC_SFT.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::FuzzDocument<TSFT>(data, size, ".sft", "font8.sft");
}
