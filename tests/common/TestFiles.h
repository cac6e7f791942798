#pragma once
// Helpers for tests that build files byte by byte and compare what was written.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace testutil {

// A fresh folder removed with everything in it when the test ends.
class TempDir
{
public:
    TempDir()
    {
        std::random_device rd;
        Path = std::filesystem::temp_directory_path() /
               ("glimra-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string File(const std::string &name) const { return (Path / name).string(); }
    std::filesystem::path Path;
};

// Little-endian byte builder for hand-made files.
class Bytes
{
public:
    Bytes &U8(uint8_t v) { Data.push_back(v); return *this; }
    Bytes &U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes &I32(int32_t v)
    {
        const auto u = static_cast<uint32_t>(v);
        return U8(u & 0xFF).U8((u >> 8) & 0xFF).U8((u >> 16) & 0xFF).U8(u >> 24);
    }
    Bytes &Text(const std::string &s) { Data.insert(Data.end(), s.begin(), s.end()); return *this; }
    Bytes &Fill(size_t n, uint8_t v = 0) { Data.insert(Data.end(), n, v); return *this; }
    Bytes &Append(const std::vector<uint8_t> &v)
    {
        Data.insert(Data.end(), v.begin(), v.end());
        return *this;
    }
    size_t Size() const { return Data.size(); }
    std::vector<uint8_t> Data;
};

inline std::vector<uint8_t> Text(const std::string &s)
{
    return {s.begin(), s.end()};
}

inline void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes a file into `dir` and gives its path.
inline std::string Put(const TempDir &dir, const std::string &name,
                       const std::vector<uint8_t> &bytes)
{
    WriteFile(dir.File(name), bytes);
    return dir.File(name);
}

// n bytes counting up from `start`, wrapping at 256.
inline std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0)
{
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

// Every file under `root` by its path relative to it, with its bytes; folders too (as empty
// entries ending in '/') when `folders` is set.
inline std::map<std::string, std::vector<uint8_t>> Tree(const std::filesystem::path &root,
                                                        bool folders = false)
{
    std::map<std::string, std::vector<uint8_t>> tree;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).generic_string();
        if (entry.is_regular_file())
            tree[name] = ReadFile(entry.path().string());
        else if (folders)
            tree[name + "/"] = {};
    }
    return tree;
}

inline int32_t I32At(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<int32_t>(b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
                                uint32_t(b.at(at + 3)) << 24);
}

// The message of the exception `f` raises, or "no error".
template <class F>
std::string MessageOf(F &&f)
{
    try {
        f();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "no error";
}

} // namespace testutil
