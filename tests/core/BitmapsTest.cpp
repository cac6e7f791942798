// The picture reader against Windows bitmaps built here byte by byte: every depth, and headers
// that promise more than the file holds or more than anyone could mean, refused before
// decoding within a bounded address space; a palette read from a bitmap's colour table alone.

#include "CoreTestData.h"
#include "core/GLM_BitmapHeader.h"
#include "core/GLM_Bitmaps.h"
#include "core/palettes/GLM_Palettes.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_SFT.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <tuple>

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

using Entry = TPaletteEntry;
using Entries = std::vector<Entry>;
using Indices = std::vector<uint8_t>;
const Entry A{10, 20, 30}, B{200, 100, 50}, C{1, 2, 3}, D{250, 251, 252};
const std::string Truncated = "Bitmap image is truncated: the file ends before its pixels do";
const std::string TooLarge = "Bitmap image is too large: ";

// Every pixel's colour, rows from the top.
Entries Colours(const TBitmapPicture &p)
{
    Entries all;
    for (int i = 0; i < p.Width * p.Height; ++i)
        all.push_back(p.PixelColor(i % p.Width, i / p.Width));
    return all;
}

TReadResult PaletteAfterReading(const std::vector<uint8_t> &file)
{
    TempDir dir;
    return ReadWith(ReadBitmapPalette, Put(dir, "p.bmp", file));
}

// A bitmap whose table has `table` entries (3k, 2k, k) mod 256.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height, int bits, int compression, size_t table,
                            const std::vector<uint8_t> &pixels)
{
    Entries entries(table);
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
        files.emplace_back(std::to_string(bits) + " bits",
                           Bitmap(4000, 4000, bits, 0, bits <= 8 ? size_t(1) << bits : 0,
                                  Indices(2 * stride)));
    }
    Indices rle8, rle4;
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

} // namespace

TEST(BitmapRead, PalettedDepthsAndRunLengthCodes)
{
    const Indices OneBit = {0x60, 0, 0, 0, 0xA0, 0, 0, 0};
    Entries t(8);
    for (int k = 0; k < 8; ++k)
        t[k] = {uint8_t(k * 30), uint8_t(k), uint8_t(255 - k)};
    const std::tuple<std::vector<uint8_t>, Entries, Indices> cases[] = {
        // 1 bit, 3 x 2: top row 1 0 1, bottom row 0 1 1, rows padded to 4 bytes, most
        // significant bit first. Table and indices stay as stored whichever colour is first.
        {BitmapFile(3, 2, 1, 0, {A, B}, OneBit), {A, B}, {1, 0, 1, 0, 1, 1}},
        {BitmapFile(3, 2, 1, 0, {B, A}, OneBit), {B, A}, {1, 0, 1, 0, 1, 1}},
        // 4 bits, 3 x 2, rows padded to 4 bytes.
        {BitmapFile(3, 2, 4, 0, t, {0x22, 0x10, 0, 0, 0x01, 0x20, 0, 0}), t, {0, 1, 2, 2, 2, 1}},
        // RLE8 4 x 2. Bottom row: a run of four 7s, end of line. Top row: an absolute run of
        // 1, 2, 3 (padded to a word), a run of one 4, end of bitmap.
        {BitmapFile(4, 2, 8, 1, t, {4, 7, 0, 0, 0, 3, 1, 2, 3, 0, 1, 4, 0, 1}), t,
         {1, 2, 3, 4, 7, 7, 7, 7}},
        // RLE4 5 x 1: a run of five pixels alternating 1 and 2, end of bitmap.
        {BitmapFile(5, 1, 4, 2, t, {5, 0x12, 0, 1}), t, {1, 2, 1, 2, 1}},
    };
    for (const auto &[file, table, indices] : cases) {
        const TBitmapPicture p = ReadBitmapBytes(file);
        EXPECT_EQ(p.ColorTable, table);
        EXPECT_EQ(p.Indices, indices);
        Entries colours;
        for (uint8_t i : indices)
            colours.push_back(table[i]);
        EXPECT_EQ(Colours(p), colours);
    }
    // A short colour table is kept as it is; a palette read from it is black beyond it.
    const auto shortTable = BitmapFile(1, 1, 4, 0, {A, {}, C}, {0x20, 0, 0, 0});
    EXPECT_EQ(ReadBitmapBytes(shortTable).ColorTable, (Entries{A, {}, C}));
    TPalette want{};
    want[0] = A;
    want[2] = C;
    EXPECT_EQ(PaletteAfterReading(shortTable).Palette, want);
}

TEST(BitmapRead, TrueColourDepths)
{
    const std::tuple<int, int, int, std::vector<uint8_t>, Entries> cases[] = {
        // 5-5-5: pure red and pure green (each 5-bit 31, read as 248).
        {2, 1, 16, {0x00, 0x7C, 0xE0, 0x03}, {{248, 0, 0}, {0, 248, 0}}},
        // Rows of 6 bytes padded to 8, bottom up, B G R order.
        {2, 2, 24, {3, 2, 1, 6, 5, 4, 0, 0, 30, 20, 10, 252, 251, 250, 0, 0},
         {A, D, C, {4, 5, 6}}},
        // The fourth byte plays no part in the colour.
        {2, 1, 32, {3, 2, 1, 0, 52, 251, 250, 0x80}, {C, {250, 251, 52}}},
    };
    for (const auto &[width, height, bits, pixels, want] : cases) {
        const auto file = BitmapFile(width, height, bits, 0, {}, pixels);
        const TBitmapPicture p = ReadBitmapBytes(file);
        EXPECT_EQ(Colours(p), want) << bits;
        EXPECT_TRUE(p.ColorTable.empty() && p.Indices.empty()) << bits;
        EXPECT_EQ(PaletteAfterReading(file).Palette, TPalette{}) << bits; // no table: black
    }
}

TEST(BitmapRead, TruncatedFilesOfEveryKindAreRefusedNotPadded)
{
    for (const auto &[kind, file] : TruncatedBitmaps())
        EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(file); }), Truncated) << kind;
    // One byte short of a small picture is as truncated as most of a big one.
    auto small = Bitmap(3, 2, 24, 0, 0, Indices(24));
    ReadBitmapBytes(small);
    small.pop_back();
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(small); }), Truncated);
    // Pixels start where the header says, so data before that point does not count.
    auto late = Bitmap(3, 2, 24, 0, 0, Indices(24));
    PutInt32LE(&late[10], 60);
    EXPECT_NE(MessageOf([&] { ReadBitmapBytes(late); }), "no error");
    // A run-length stream may end the picture early with an end-of-bitmap code.
    const TBitmapPicture early = ReadBitmapBytes(Bitmap(4000, 3, 8, 1, 256, {3, 9, 0, 1}));
    EXPECT_EQ(early.Indices[size_t(2) * 4000], 9); // the bottom row, from the left
    TempDir dir;
    EXPECT_EQ(MessageOf([&] { ReadBitmapFile(Put(dir, "junk.bmp", {'B', 'M', 1, 2})); }),
              "Bitmap image is not valid");
    EXPECT_EQ(MessageOf([&] { ReadBitmapFile(dir.File("absent.bmp")); }), "File not found");
}

TEST(BitmapRead, SizesBeyondTheCapAreRefusedBeforeDecoding)
{
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {FiftyFiveBytes(), TooLarge + "2x16777214 (the limit is 16384x16384)"},
        // Top-down bitmaps store a negative height.
        {Bitmap(8, -16385, 8, 1, 256, {0, 1}), TooLarge + "8x-16385 (the limit is 16384x16384)"},
        {Png(16385, 1), TooLarge + "16385x1 (the limit is 16384x16384)"},
        // A side of 0 is an empty picture for the import's rules to judge, but only with the
        // other side within the cap (a fuzzer's find).
        {Bitmap(0, 524288, 32, 0, 0, {}), TooLarge + "0x524288 (the limit is 16384x16384)"},
        // A header of no known size: the decoder would guess 5637 x 32763 from these 29
        // bytes and fill 700 MB before anyone could look at the size.
        {{'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
          0, 3, 2, 5, 0x16, 5, 0x80, 1, 0, 0x18, 0, 0, 0, 0},
         "Bitmap image is not valid"},
    };
    for (const auto &[file, message] : cases)
        EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(file); }), message) << file.size();
    EXPECT_EQ(FiftyFiveBytes().size(), 55u);
    EXPECT_EQ(ReadBitmapBytes(Png(MaxPictureSide, 1)).Width, MaxPictureSide);
    std::vector<uint8_t> odd = Bitmap(0, 524288, 32, 0, 0, {});
    odd[14] = 0, odd[15] = 1, odd[17] = 0x20; // an unknown header (size 0x20000100)
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(odd); }), "Bitmap image is not valid");
    const TBitmapPicture empty = ReadBitmapBytes(Bitmap(0, -5, 8, 0, 256, {}));
    EXPECT_EQ(std::make_pair(empty.Width, empty.Height), std::make_pair(0, 5));
    EXPECT_TRUE(empty.RGB.empty());
}

TEST(BitmapRead, APaletteComesFromTheColourTableWithoutDecoding)
{
    // A table of 256 entries in front of pixels that are not there at all.
    const TReadResult huge = PaletteAfterReading(Bitmap(16384, 16384, 8, 0, 256, {}));
    EXPECT_EQ(huge.Palette[255], (Entry{uint8_t(3 * 255), uint8_t(2 * 255), 255}));
    // A table that runs past the end of the file is refused and changes nothing.
    auto cut = Bitmap(4, 4, 8, 0, 256, {});
    cut.resize(54 + 100);
    EXPECT_EQ(PaletteAfterReading(cut).Error, "Bitmap image is not valid");
    EXPECT_EQ(PaletteAfterReading(cut).Palette, Filled(77));
}

#ifndef GLIMRA_ASAN
// Runs f in a child process whose address space may grow by at most 100 MB beyond what it has
// at the fork; 0 when f's error message starts with `start`.
int RefusedWithinAddressSpace(const std::string &start, const std::function<void()> &f)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * size_t(::sysconf(_SC_PAGESIZE)) + (size_t(100) << 20);
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_AS, &r);
        ::_exit(MessageOf(f).rfind(start, 0) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Guards the memory bound: none of the hostile files can make a reader allocate what it
// declares, and a legitimate picture still loads under the same limit.
TEST(BitmapRead, HostileFilesAreRefusedWithinABoundedAddressSpace)
{
    EXPECT_EQ(RefusedWithinAddressSpace(TooLarge, [] { ReadBitmapBytes(FiftyFiveBytes()); }), 0);
    for (const auto &[kind, file] : TruncatedBitmaps())
        EXPECT_EQ(RefusedWithinAddressSpace(Truncated, [&] { ReadBitmapBytes(file); }), 0) << kind;
    const auto legit = Bitmap(1000, 1000, 24, 0, 0, Indices(3000000));
    EXPECT_EQ(RefusedWithinAddressSpace("no error", [&] { ReadBitmapBytes(legit); }), 0);

    // Game files whose first frame claims 40000 x 40000 pixels; the strip's size comes just
    // before its pixels, at the end of the file.
    TempDir dir;
    const auto patched = [&](const char *sample, size_t fromEnd) {
        std::vector<uint8_t> bytes = ReadFile(std::string(GLIMRA_SAMPLES_DIR) + "/" + sample);
        const size_t at = fromEnd ? bytes.size() - fromEnd : 128;
        PutInt32LE(&bytes.at(at), 40000);
        PutInt32LE(&bytes.at(at + 4), 40000);
        return Put(dir, sample, bytes);
    };
    TSFT font;
    font.LoadFromFile(std::string(GLIMRA_SAMPLES_DIR) + "/font8.sft");
    const std::string bm = patched("sample8.bm", 0);
    const std::string sft = patched("font8.sft", font.Pixels.size() + 8);
    EXPECT_EQ(RefusedWithinAddressSpace("Read beyond", [&] { TBM().LoadFromFile(bm); }), 0);
    EXPECT_EQ(RefusedWithinAddressSpace("Read beyond", [&] { TSFT().LoadFromFile(sft); }), 0);
}
#endif
