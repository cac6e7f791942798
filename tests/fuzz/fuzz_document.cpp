// One game file reader under the fuzzer, built once per format: a refused file leaves an
// object loaded from a sample exactly as it was, and an accepted one saves to bytes that load
// and save again to the same bytes.
#include "FuzzCommon.h"

#include <cstring>

#if defined(GLIMRA_FUZZ_BM)
#include "formats/LEC_BM.h"
using TDocument = TBM;
const char *const Ext = ".bm", *const Sample = "sample8.bm";
#elif defined(GLIMRA_FUZZ_MAT)
#include "formats/LEC_MAT.h"
using TDocument = TMAT;
const char *const Ext = ".mat", *const Sample = "texture8.mat";
#elif defined(GLIMRA_FUZZ_CMP)
#include "formats/LEC_CMP.h"
using TDocument = TCMP;
const char *const Ext = ".cmp", *const Sample = "colormap.cmp";
// Everything a colormap file can set (its tint may hold a NaN, which is never equal).
static bool operator==(const TCMP &a, const TCMP &b)
{
    return std::memcmp(&a.Header, &b.Header, sizeof a.Header) == 0 && a.Palette == b.Palette &&
           a.LightLevels == b.LightLevels && a.TransTables == b.TransTables;
}
#else
#include "formats/LEC_SFT.h"
using TDocument = TSFT;
const char *const Ext = ".sft", *const Sample = "font8.sft";
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TDocument &seed = fuzz::Seed<TDocument>(Sample);
    const std::string input = fuzz::WriteInput(data, size, Ext);
    auto object = std::make_unique<TDocument>(seed);
    try {
        object->LoadFromFile(input);
    } catch (const EInOutError &) {
        if (!(*object == seed))
            fuzz::Fail("a refused file changed the loaded object");
        return 0;
    }
    // Loading appends to some lists, so the round trip starts from fresh objects.
    auto fresh = std::make_unique<TDocument>();
    fresh->LoadFromFile(input);
    const std::string first = fuzz::WriteInput(nullptr, 0, Ext, 1);
    const std::string second = fuzz::WriteInput(nullptr, 0, Ext, 2);
    try {
        fresh->SaveToFile(first);
    } catch (const EInOutError &) {
        return 0; // an object the writer refuses (a count it cannot store) is not a fault
    }
    auto again = std::make_unique<TDocument>();
    again->LoadFromFile(first);
    again->SaveToFile(second);
    if (fuzz::FileBytes(first) != fuzz::FileBytes(second))
        fuzz::Fail("saving a loaded file is not stable");
    return 0;
}
