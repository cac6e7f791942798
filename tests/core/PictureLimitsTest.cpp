// Pictures whose headers promise more than the file holds or more than anyone could mean are
// refused before decoding, within a bounded address space; a palette is read from a bitmap's
// colour table alone.

#include "CoreTestData.h"
#include "core/GLM_BitmapHeader.h"
#include "core/GLM_Bitmaps.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_FileIO.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"
#include "core/palettes/GLM_Palettes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

#include <fstream>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define GLIMRA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLIMRA_ASAN 1
#endif
#endif

using namespace testutil;

namespace {

// A bitmap whose table has `table` entries (k, 2k, 3k) mod 256.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height, int bits, int compression, size_t table,
                            const std::vector<uint8_t> &pixels)
{
    std::vector<TPaletteEntry> entries(table);
    for (size_t k = 0; k < table; ++k)
        entries[k] = {uint8_t(3 * k), uint8_t(2 * k), uint8_t(k)};
    return BitmapFile(width, height, bits, compression, entries, pixels);
}

// Every kind of Windows bitmap Glimra reads, 4000 x 4000 with only two rows of pixel data
// (run-length ones with two rows of codes and no end).
std::vector<std::pair<std::string, std::vector<uint8_t>>> TruncatedBitmaps()
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const size_t stride = (4000 * size_t(bits) + 31) / 32 * 4;
        const size_t table = bits <= 8 ? size_t(1) << bits : 0;
        files.emplace_back(std::to_string(bits) + " bits",
                           Bitmap(4000, 4000, bits, 0, table, std::vector<uint8_t>(2 * stride)));
    }
    std::vector<uint8_t> rle8, rle4;
    for (int row = 0; row < 2; ++row) {
        for (int run = 0; run < 16; ++run) {
            rle8.insert(rle8.end(), {250, 7});
            rle4.insert(rle4.end(), {250, 0x12});
        }
        rle8.insert(rle8.end(), {0, 0});
        rle4.insert(rle4.end(), {0, 0});
    }
    files.emplace_back("RLE8", Bitmap(4000, 4000, 8, 1, 256, rle8));
    files.emplace_back("RLE4", Bitmap(4000, 4000, 4, 2, 16, rle4));
    return files;
}

// The 55-byte bitmap: 24 bits, 2 x 16,777,214 pixels, one byte of pixel data.
std::vector<uint8_t> FiftyFiveBytes()
{
    return Bitmap(2, 16777214, 24, 0, 0, {0x7F});
}

std::vector<uint8_t> Png(int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0)});
    image.fill(0);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return {data.begin(), data.end()};
}

// Runs f in a child process whose address space may grow by at most `extra` bytes beyond
// what it has at the fork; gives f's result, or -1 when the child did not exit normally.
[[maybe_unused]] int WithinAddressSpace(size_t extra, const std::function<int()> &f)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * size_t(::sysconf(_SC_PAGESIZE)) + extra;
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_AS, &r);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <typename F> int RefusedWith(const std::string &start, F &&f)
{
    return MessageOf(f).rfind(start, 0) == 0 ? 0 : 1;
}

} // namespace

TEST(PictureLimits, TruncatedBitmapsOfEveryKindAreRefusedNotPadded)
{
    for (const auto &[kind, file] : TruncatedBitmaps())
        EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(file); }),
                  "Bitmap image is truncated: the file ends before its pixels do")
            << kind;
    // One byte short of a small picture is as truncated as most of a big one.
    auto small = Bitmap(3, 2, 24, 0, 0, std::vector<uint8_t>(24));
    ReadBitmapBytes(small);
    small.pop_back();
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(small); }),
              "Bitmap image is truncated: the file ends before its pixels do");
    // Pixels start where the header says, so data before that point does not count.
    auto late = Bitmap(3, 2, 24, 0, 0, std::vector<uint8_t>(24));
    PutInt32LE(&late[10], 60);
    EXPECT_NE(MessageOf([&] { ReadBitmapBytes(late); }), "no error");
    // A run-length stream may end the picture early with an end-of-bitmap code.
    const TBitmapPicture early = ReadBitmapBytes(Bitmap(4000, 3, 8, 1, 256, {3, 9, 0, 1}));
    EXPECT_EQ(early.Indices[size_t(2) * 4000], 9); // the bottom row, from the left
}

TEST(PictureLimits, SizesBeyondTheCapAreRefusedBeforeDecoding)
{
    const std::string tooLarge = "Bitmap image is too large: ";
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(FiftyFiveBytes()); }),
              tooLarge + "2x16777214 (the limit is 16384x16384)");
    EXPECT_EQ(FiftyFiveBytes().size(), 55u);
    // Top-down bitmaps store a negative height.
    EXPECT_EQ(MessageOf([&] {
                  ReadBitmapBytes(Bitmap(8, -16385, 8, 1, 256, {0, 1}));
              }),
              tooLarge + "8x-16385 (the limit is 16384x16384)");
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(Png(16385, 1)); }),
              tooLarge + "16385x1 (the limit is 16384x16384)");
    EXPECT_EQ(ReadBitmapBytes(Png(MaxPictureSide, 1)).Width, MaxPictureSide);
    // A header of no known size: the decoder would guess 5637 x 32763 from these 29 bytes and
    // fill 700 MB before anyone could look at the size.
    const std::vector<uint8_t> unknown = {'B', 'M',  0x46, 0, 0,    0, 0, 0, 0, 0,
                                          0,   0,    0,    0, 0,    0, 3, 2, 5, 0x16,
                                          5,   0x80, 1,    0, 0x18, 0, 0, 0, 0};
    EXPECT_EQ(unknown.size(), 29u);
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(unknown); }), "Bitmap image is not valid");
    // A side of 0 is read as an empty picture for the import's rules to judge, but only from
    // a header of a known kind and with the other side within the cap (a fuzzer's find: an
    // unknown header of 0 x 524288 came back as a picture).
    std::vector<uint8_t> odd = Bitmap(0, 524288, 32, 0, 0, {});
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(odd); }),
              tooLarge + "0x524288 (the limit is 16384x16384)");
    odd[14] = 0; odd[15] = 1; odd[17] = 0x20; // header size 0x20000100
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(odd); }), "Bitmap image is not valid");
    const TBitmapPicture empty = ReadBitmapBytes(Bitmap(0, -5, 8, 0, 256, {}));
    EXPECT_EQ(std::make_pair(empty.Width, empty.Height), std::make_pair(0, 5));
    EXPECT_TRUE(empty.RGB.empty());
}

TEST(PictureLimits, APaletteComesFromTheColourTableWithoutDecoding)
{
    // A table of 256 entries in front of pixels that are not there at all.
    TempDir dir;
    const std::string path = Put(dir, "huge.bmp", Bitmap(16384, 16384, 8, 0, 256, {}));
    TPalette palette = Filled(77);
    ReadBitmapPalette(path, palette);
    EXPECT_EQ(palette[255], (TPaletteEntry{uint8_t(3 * 255), uint8_t(2 * 255), 255}));
    // A table that runs past the end of the file is refused and changes nothing.
    auto cut = Bitmap(4, 4, 8, 0, 256, {});
    cut.resize(54 + 100);
    const TReadResult r = ReadWith(ReadBitmapPalette, Put(dir, "cut.bmp", cut));
    EXPECT_EQ(r.Error, "Bitmap image is not valid");
    EXPECT_EQ(r.Palette, Filled(77));
}

#ifndef GLIMRA_ASAN
// Guards the memory bound: the hostile files are refused within 100 MB more address space
// than the process had, so none of them can make a reader allocate what it declares.
TEST(PictureLimits, HostileFilesAreRefusedWithinABoundedAddressSpace)
{
    const auto bounded = [](const std::string &start, const std::function<void()> &read) {
        return WithinAddressSpace(size_t(100) << 20, [&] { return RefusedWith(start, read); });
    };
    EXPECT_EQ(bounded("Bitmap image is too large", [] { ReadBitmapBytes(FiftyFiveBytes()); }), 0);
    for (const auto &[kind, file] : TruncatedBitmaps())
        EXPECT_EQ(bounded("Bitmap image is truncated", [&] { ReadBitmapBytes(file); }), 0) << kind;

    // Game files whose first frame claims 40000 x 40000 pixels.
    TempDir dir;
    auto patched = [&](const char *sample, size_t at) {
        std::vector<uint8_t> bytes = ReadFile(std::string(GLIMRA_SAMPLES_DIR) + "/" + sample);
        PutInt32LE(&bytes.at(at), 40000);
        PutInt32LE(&bytes.at(at + 4), 40000);
        return Put(dir, sample, bytes);
    };
    const std::string bm = patched("sample8.bm", 128);
    // The strip's width and height come just before its pixels, at the end of the file.
    TSFT font;
    font.LoadFromFile(std::string(GLIMRA_SAMPLES_DIR) + "/font8.sft");
    const size_t fontSize = ReadFile(std::string(GLIMRA_SAMPLES_DIR) + "/font8.sft").size();
    const std::string sft = patched("font8.sft", fontSize - font.Pixels.size() - 8);
    EXPECT_EQ(bounded("Read beyond end of file", [&] { TBM().LoadFromFile(bm); }), 0);
    EXPECT_EQ(bounded("Read beyond end of file", [&] { TSFT().LoadFromFile(sft); }), 0);
    // A legitimate picture still loads under the same limit: it throws nothing, so the
    // message is "no error".
    const auto legit = Bitmap(1000, 1000, 24, 0, 0, std::vector<uint8_t>(3000000));
    EXPECT_EQ(bounded("no error", [&] { ReadBitmapBytes(legit); }), 0);
}
#endif
