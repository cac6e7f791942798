// The picture reader: any bytes, as Windows bitmaps, PNG or whatever else the platform reads;
// and the colour table read without decoding, as palette sources use it.
#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    if (!fuzz::FitsFuzzerMemory(bytes))
        return 0;
    try {
        fuzz::CheckPicture(ReadBitmapBytes(bytes));
    } catch (const EInOutError &) {
    }
    try {
        if (const auto header = ParseBitmapHeader(bytes))
            if (ReadBitmapColorTable(bytes, *header).size() > 256)
                fuzz::Fail("a colour table of more than 256 entries");
    } catch (const EInOutError &) {
    }
    return 0;
}
