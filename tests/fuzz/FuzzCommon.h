#pragma once
// Shared by the fuzz targets: the input as a file on disk (the readers take paths), and seed
// objects loaded from the samples.

#include "formats/LEC_FileIO.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace fuzz {

[[noreturn]] inline void Fail(const char *what)
{
    std::fprintf(stderr, "glimra fuzz: %s\n", what);
    std::abort();
}

// A file of this process that holds the bytes; in memory-backed /dev/shm when there is one.
inline std::string WriteInput(const uint8_t *data, size_t size, const std::string &ext,
                              int slot = 0)
{
    static const std::string dir = std::filesystem::is_directory("/dev/shm")
                                       ? std::string("/dev/shm")
                                       : std::filesystem::temp_directory_path().string();
    const std::string path =
        dir + "/glimra-fuzz-" + std::to_string(::getpid()) + "-" + std::to_string(slot) + ext;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        Fail("cannot write the input file");
    return path;
}

// A document loaded once per sample, to start every run from.
template <typename T> const T &Seed(const char *sample)
{
    static std::map<std::string, std::unique_ptr<T>> seeds;
    std::unique_ptr<T> &seed = seeds[sample];
    if (!seed) {
        seed = std::make_unique<T>();
        seed->LoadFromFile(std::string(GLIMRA_SAMPLES_DIR) + "/" + sample);
    }
    return *seed;
}

inline std::vector<uint8_t> FileBytes(const std::string &path)
{
    TFileReader reader(path);
    std::vector<uint8_t> bytes(reader.Size());
    reader.Read(bytes.data(), bytes.size());
    return bytes;
}

} // namespace fuzz
