#pragma once
// One game file reader under the fuzzer: a refused file leaves an object loaded from a
// sample exactly as it was, and an accepted one saves to bytes that load and save again
// to the same bytes.

#include "FuzzCommon.h"

#include <memory>

namespace fuzz {

template <typename T, typename Same>
int FuzzDocument(const uint8_t *data, size_t size, const char *ext, const char *sample, Same same)
{
    static const std::unique_ptr<T> seed = [&] {
        auto object = std::make_unique<T>();
        object->LoadFromFile(Sample(sample));
        return object;
    }();
    const std::string input = WriteInput(data, size, ext);
    auto object = std::make_unique<T>(*seed);
    try {
        object->LoadFromFile(input);
    } catch (const EInOutError &) {
        if (!same(*object, *seed))
            Fail("a refused file changed the loaded object");
        return 0;
    }
    // Loading appends to some lists, so the round trip starts from fresh objects.
    auto fresh = std::make_unique<T>();
    fresh->LoadFromFile(input);
    const std::string first = WriteInput(nullptr, 0, ext, 1);
    const std::string second = WriteInput(nullptr, 0, ext, 2);
    try {
        fresh->SaveToFile(first);
    } catch (const EInOutError &) {
        return 0; // an object the writer refuses (a count it cannot store) is not a fault
    }
    auto again = std::make_unique<T>();
    again->LoadFromFile(first);
    again->SaveToFile(second);
    if (FileBytes(first) != FileBytes(second))
        Fail("saving a loaded file is not stable");
    return 0;
}

template <typename T>
int FuzzDocument(const uint8_t *data, size_t size, const char *ext, const char *sample)
{
    return FuzzDocument<T>(data, size, ext, sample, [](const T &a, const T &b) { return a == b; });
}

} // namespace fuzz
