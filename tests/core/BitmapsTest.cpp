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

using Entries = std::vector<TPaletteEntry>;
using Indices = std::vector<uint8_t>;
const TPaletteEntry A{10, 20, 30}, B{200, 100, 50}, C{1, 2, 3}, D{250, 251, 252};
const std::string Truncated = "Bitmap image is truncated: the file ends before its pixels do";
const std::string TooLarge = "Bitmap image is too large: ";

Entries Colours(const TBitmapPicture &p) // rows from the top
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
    for (int bits : {1, 4, 8, 16, 24, 32})
        files.emplace_back(std::to_string(bits) + " bits",
                           Bitmap(4000, 4000, bits, 0, bits <= 8 ? size_t(1) << bits : 0,
                                  Indices(2 * ((4000 * size_t(bits) + 31) / 32 * 4))));
    Indices rle8, rle4;
    for (int run = 0; run < 34; ++run) { // two rows of 16 runs, each ended by end-of-line
        const bool eol = run % 17 == 16;
        rle8.insert(rle8.end(), {uint8_t(eol ? 0 : 250), uint8_t(eol ? 0 : 7)});
        rle4.insert(rle4.end(), {uint8_t(eol ? 0 : 250), uint8_t(eol ? 0 : 0x12)});
    }
    files.emplace_back("RLE8", Bitmap(4000, 4000, 8, 1, 256, rle8));
    files.emplace_back("RLE4", Bitmap(4000, 4000, 4, 2, 16, rle4));
    return files;
}

// 55 bytes: 24 bits, 2 x 16,777,214 pixels, one byte of pixel data.
const std::vector<uint8_t> FiftyFiveBytes = Bitmap(2, 16777214, 24, 0, 0, {0x7F});

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

// Table and indices stay as stored whichever colour comes first; true colours carry no table.
TEST(BitmapRead, EveryDepth)
{
    const Indices OneBit = {0x60, 0, 0, 0, 0xA0, 0, 0, 0}; // 1 0 1 over 0 1 1, rows of 4 bytes
    Entries t(8);
    for (int k = 0; k < 8; ++k)
        t[k] = {uint8_t(k * 30), uint8_t(k), uint8_t(255 - k)};
    const std::tuple<std::vector<uint8_t>, Entries, Indices> paletted[] = {
        {BitmapFile(3, 2, 1, 0, {A, B}, OneBit), {A, B}, {1, 0, 1, 0, 1, 1}},
        {BitmapFile(3, 2, 1, 0, {B, A}, OneBit), {B, A}, {1, 0, 1, 0, 1, 1}},
        {BitmapFile(3, 2, 4, 0, t, {0x22, 0x10, 0, 0, 0x01, 0x20, 0, 0}), t, {0, 1, 2, 2, 2, 1}},
        {BitmapFile(5, 1, 4, 2, t, {5, 0x12, 0, 1}), t, {1, 2, 1, 2, 1}}, // RLE4
    };
    for (const auto &[file, table, indices] : paletted) {
        const TBitmapPicture p = ReadBitmapBytes(file);
        EXPECT_EQ(std::tie(p.ColorTable, p.Indices), std::tie(table, indices));
        Entries colours;
        for (uint8_t i : indices)
            colours.push_back(table[i]);
        EXPECT_EQ(Colours(p), colours);
    }
    const std::tuple<int, int, std::vector<uint8_t>, Entries> trueColour[] = {
        {16, 1, {0x00, 0x7C, 0xE0, 0x03}, {{248, 0, 0}, {0, 248, 0}}}, // 5-5-5
        {24, 2, {3, 2, 1, 6, 5, 4, 0, 0, 30, 20, 10, 252, 251, 250, 0, 0}, {A, D, C, {4, 5, 6}}},
        {32, 1, {3, 2, 1, 0, 52, 251, 250, 0x80}, {C, {250, 251, 52}}}, // the fourth byte: none
    };
    for (const auto &[bits, height, pixels, want] : trueColour) {
        const auto file = BitmapFile(2, height, bits, 0, {}, pixels);
        const TBitmapPicture p = ReadBitmapBytes(file);
        EXPECT_EQ(Colours(p), want) << bits;
        EXPECT_TRUE(p.ColorTable.empty() && p.Indices.empty()) << bits;
        EXPECT_EQ(PaletteAfterReading(file).Palette, TPalette{}) << bits; // no table: black
    }
}

// A palette comes from the colour table alone: black beyond a short one, read without pixels;
// a table that runs past the end of the file is refused and changes nothing.
TEST(BitmapRead, APaletteComesFromTheColourTableWithoutDecoding)
{
    const auto shortTable = BitmapFile(1, 1, 4, 0, {A, {}, C}, {0x20, 0, 0, 0});
    EXPECT_EQ(ReadBitmapBytes(shortTable).ColorTable, (Entries{A, {}, C}));
    TPalette want{};
    want[0] = A;
    want[2] = C;
    EXPECT_EQ(PaletteAfterReading(shortTable).Palette, want);
    const TReadResult huge = PaletteAfterReading(Bitmap(16384, 16384, 8, 0, 256, {}));
    EXPECT_EQ(huge.Palette[255], (TPaletteEntry{uint8_t(3 * 255), uint8_t(2 * 255), 255}));
    auto cut = Bitmap(4, 4, 8, 0, 256, {});
    cut.resize(54 + 100);
    EXPECT_EQ(PaletteAfterReading(cut).Error, "Bitmap image is not valid");
    EXPECT_EQ(PaletteAfterReading(cut).Palette, Filled(77));
}

TEST(BitmapRead, TruncatedFilesOfEveryKindAreRefusedNotPadded)
{
    for (const auto &[kind, file] : TruncatedBitmaps())
        EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(file); }), Truncated) << kind;
    auto small = Bitmap(3, 2, 24, 0, 0, Indices(24));
    ReadBitmapBytes(small);
    small.pop_back(); // one byte short is as truncated as most of a big picture
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(small); }), Truncated);
    auto late = Bitmap(3, 2, 24, 0, 0, Indices(24));
    PutInt32LE(&late[10], 60); // pixels start where the header says
    EXPECT_NE(MessageOf([&] { ReadBitmapBytes(late); }), "no error");
    // A run-length stream may end the picture early with an end-of-bitmap code.
    const TBitmapPicture early = ReadBitmapBytes(Bitmap(4000, 3, 8, 1, 256, {3, 9, 0, 1}));
    EXPECT_EQ(early.Indices[size_t(2) * 4000], 9); // the bottom row, from the left
    TempDir dir;
    EXPECT_EQ(MessageOf([&] {
                  ReadBitmapFile(Put(dir, "junk.bmp", {'B', 'M', 1, 2}));
              }),
              "Bitmap image is not valid");
    EXPECT_EQ(MessageOf([&] { ReadBitmapFile(dir.File("absent.bmp")); }), "File not found");
}

TEST(BitmapRead, SizesBeyondTheCapAreRefusedBeforeDecoding)
{
    std::vector<uint8_t> odd = Bitmap(0, 524288, 32, 0, 0, {});
    odd[14] = 0, odd[15] = 1, odd[17] = 0x20; // an unknown header (size 0x20000100)
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {FiftyFiveBytes, TooLarge + "2x16777214 (the limit is 16384x16384)"},
        {Bitmap(8, -16385, 8, 1, 256, {0, 1}), TooLarge + "8x-16385 (the limit is 16384x16384)"},
        {Png(16385, 1), TooLarge + "16385x1 (the limit is 16384x16384)"},
        // A side of 0 is an empty picture, but only with the other side within the cap.
        {Bitmap(0, 524288, 32, 0, 0, {}), TooLarge + "0x524288 (the limit is 16384x16384)"},
        // A header of no known size: the decoder would guess 5637 x 32763 from these 29 bytes
        // and fill 700 MB before anyone could look at the size.
        {{'B', 'M', 0x46, 0, 0,    0, 0,    0, 0, 0,    0, 0, 0, 0, 0,
          0,   3,   2,    5, 0x16, 5, 0x80, 1, 0, 0x18, 0, 0, 0, 0},
         "Bitmap image is not valid"},
        {odd, "Bitmap image is not valid"},
    };
    for (const auto &[file, message] : cases)
        EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(file); }), message) << file.size();
    EXPECT_EQ(ReadBitmapBytes(Png(MaxPictureSide, 1)).Width, MaxPictureSide);
    const TBitmapPicture empty = ReadBitmapBytes(Bitmap(0, -5, 8, 0, 256, {}));
    EXPECT_TRUE(empty.Width == 0 && empty.Height == 5 && empty.RGB.empty());
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

// No hostile file makes a reader allocate what it declares; a real picture still loads.
TEST(BitmapRead, HostileFilesAreRefusedWithinABoundedAddressSpace)
{
    EXPECT_EQ(RefusedWithinAddressSpace(TooLarge, [] { ReadBitmapBytes(FiftyFiveBytes); }), 0);
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
