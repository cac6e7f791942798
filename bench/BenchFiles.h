#pragma once
// What the benchmarks share besides the tests' TempDir: the 100 MB container of 5,000 members
// the container benchmarks measure, and the heap in use.

#include "TestFiles.h"
#include "formats/LEC_GOB.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace bench {

using testutil::TempDir;

constexpr int BigMembers = 5000;
constexpr size_t BigMemberSize = 20000; // 100 MB in all

// Noise, so that nothing on the way to the disk can shrink the bytes.
inline std::vector<uint8_t> Noise(size_t size)
{
    std::mt19937 rng(1);
    std::vector<uint8_t> noise(size);
    for (uint8_t &b : noise)
        b = uint8_t(rng());
    return noise;
}

// The big container: member i is "mat/<i / 100>/member<i>.mat", BigMemberSize bytes of noise.
inline void WriteBigContainer(const std::string &path, const std::vector<uint8_t> &noise)
{
    TGOB gob;
    for (int i = 0; i < BigMembers; ++i) {
        const auto from = noise.begin() + i % 1000 * 1000;
        gob.Put("mat/" + std::to_string(i / 100) + "/member" + std::to_string(i) + ".mat",
                {from, from + BigMemberSize});
    }
    gob.WriteToFile(path);
}

// The bytes the heap hands out now, the large blocks it maps on its own included (0 where
// glibc's figures are missing).
inline size_t HeapInUse()
{
#ifdef __GLIBC__
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#else
    return 0;
#endif
}

} // namespace bench
