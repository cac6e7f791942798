// The streamed bitmap export against bitmaps built here byte by byte: headers, colour table,
// bottom-up rows with their padding, zoom blocks, colour order, and the old file kept.

#include "CoreTestData.h"
#include "TestWriteLimit.h"
#include "core/GLM_BitmapStream.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace testutil;

namespace {

using Row = std::vector<uint8_t>;

// A Windows bitmap as the export writes it, from its stored rows (bottom row first, each
// with its padding): 14-byte file header, 40-byte info header at 96 dpi, the palette as
// blue, green, red, 0 entries at 8 bits.
std::vector<uint8_t> Bitmap(int width, int bits, const std::vector<Row> &storedRows,
                            const TPalette *table = nullptr)
{
    const int32_t offset = 54 + (table ? 1024 : 0);
    const auto pixels = static_cast<int32_t>(storedRows.size() * storedRows[0].size());
    Bytes b;
    b.Text("BM").I32(offset + pixels).I32(0).I32(offset);
    b.I32(40).I32(width).I32(int32_t(storedRows.size())).U16(1).U16(uint16_t(bits)).I32(0);
    b.I32(pixels).I32(3780).I32(3780).I32(table ? 256 : 0).I32(table ? 256 : 0);
    if (table)
        for (const TPaletteEntry &e : *table)
            b.U8(e.Blue).U8(e.Green).U8(e.Red).U8(0);
    for (const Row &r : storedRows)
        b.Append(r);
    return b.Data;
}

std::vector<uint8_t> Words(std::initializer_list<uint16_t> words)
{
    Bytes b;
    for (uint16_t w : words)
        b.U16(w);
    return b.Data;
}

TFrameView Frame(TPixelLayout layout, int width, int height, const std::vector<uint8_t> &pixels)
{
    return {layout, width, height, pixels.data(), 0};
}

std::vector<uint8_t> Export(const TFrameView &view, const TPalette &palette, int zoom, int bits)
{
    TempDir dir;
    SaveFrameBitmap(view, palette, zoom, bits, dir.File("f.bmp"));
    return ReadFile(dir.File("f.bmp"));
}

} // namespace

TEST(BitmapStream, EightBitsKeepIndicesUnderThePaletteAsColourTable)
{
    const TPalette pal = Ramp();
    // 3 x 2, odd width: each stored row takes one byte of padding.
    const std::vector<uint8_t> pixels{1, 2, 3, 250, 0, 17};
    EXPECT_EQ(Export(Frame(TPixelLayout::Indexed, 3, 2, pixels), pal, 1, 8),
              Bitmap(3, 8, {{250, 0, 17, 0}, {1, 2, 3, 0}}, &pal));
    // At zoom 3 each index becomes a 3 x 3 block: 6 wide, padded to 8.
    const std::vector<uint8_t> two{5, 6};
    EXPECT_EQ(
        Export(Frame(TPixelLayout::Indexed, 2, 1, two), pal, 3, 8),
        Bitmap(6, 8,
               {{5, 5, 5, 6, 6, 6, 0, 0}, Row{5, 5, 5, 6, 6, 6, 0, 0}, Row{5, 5, 5, 6, 6, 6, 0, 0}},
               &pal));
}

TEST(BitmapStream, TwentyFourBitsAreBlueGreenRedWithRowPadding)
{
    TPalette pal{};
    pal[1] = {10, 20, 30};
    pal[2] = {200, 100, 50};
    // 3 x 2 at zoom 3: 9 pixels of 3 bytes, 27 padded to 28; the bottom frame row first.
    const std::vector<uint8_t> pixels{1, 2, 1, 2, 2, 1};
    auto row = [](std::initializer_list<int> indices, const TPalette &p) {
        Row r;
        for (int i : indices)
            for (int k = 0; k < 3; ++k)
                r.insert(r.end(), {p[i].Blue, p[i].Green, p[i].Red});
        r.push_back(0);
        return r;
    };
    const Row bottom = row({2, 2, 1}, pal), top = row({1, 2, 1}, pal);
    EXPECT_EQ(bottom.size(), 28u);
    EXPECT_EQ(Export(Frame(TPixelLayout::Indexed, 3, 2, pixels), pal, 3, 24),
              Bitmap(9, 24, {bottom, bottom, bottom, top, top, top}));
    // 16-bit words widened from RGB565: 0x8410 has red 16, green 32, blue 16.
    const auto words = Words({0xF800, 0x07E0, 0x001F, 0x8410});
    EXPECT_EQ(Export(Frame(TPixelLayout::RGB565, 4, 1, words), pal, 1, 24),
              Bitmap(4, 24, {{0, 0, 255, 0, 255, 0, 255, 0, 0, 132, 130, 132}}));
    // A transparent MAT texture's ARGB1555: bit 15 is not a colour.
    EXPECT_EQ(Export(Frame(TPixelLayout::ARGB1555, 1, 1, Words({0xFC00})), pal, 1, 24),
              Bitmap(1, 24, {{0, 0, 255, 0}}));
}

TEST(BitmapStream, SixteenBitFramesAtEightBitsTakeTheLowestExactEntryElseTheNearest)
{
    TPalette pal{}; // black everywhere
    pal[3] = pal[9] = {0, 255, 0};
    pal[7] = {250, 0, 0};
    const auto words = Words({0x07E0, 0xF800, 0x0000, 0x07E0, 0xF800});
    EXPECT_EQ(Export(Frame(TPixelLayout::RGB565, 5, 1, words), pal, 1, 8),
              Bitmap(5, 8, {{3, 7, 0, 3, 7, 0, 0, 0}}, &pal));
}

TEST(BitmapStream, ColourMATFramesAreSolidBlocks)
{
    const TPalette pal = Ramp();
    const TFrameView index{TPixelLayout::ColorIndex, 64, 64, nullptr, 40};
    const auto eight = Export(index, pal, 1, 8);
    EXPECT_EQ(eight, Bitmap(64, 8, std::vector<Row>(64, Row(64, 40)), &pal));
    const TFrameView value{TPixelLayout::ColorValue, 64, 64, nullptr, MakeColor(1, 2, 3)};
    Row bgr;
    for (int x = 0; x < 64; ++x)
        bgr.insert(bgr.end(), {3, 2, 1});
    EXPECT_EQ(Export(value, pal, 1, 24), Bitmap(64, 24, std::vector<Row>(64, bgr)));
}

TEST(BitmapStream, WideFrameAtZoomTenIsRightWithoutReadingItWhole)
{
    // 1024 x 64, pixel (x, y) = (x + 3y) mod 256, through a palette of distinct entries.
    constexpr int W = 1024, H = 64, Z = 10;
    std::vector<uint8_t> pixels(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            pixels[size_t(y) * W + x] = uint8_t(x + 3 * y);
    const TPalette pal = Ramp();
    TempDir dir;
    const std::string path = dir.File("wide.bmp");
    SaveFrameBitmap(Frame(TPixelLayout::Indexed, W, H, pixels), pal, Z, 24, path);

    const uint32_t rowBytes = W * Z * 3; // a multiple of 4: no padding
    EXPECT_EQ(std::filesystem::file_size(path), 54u + uint64_t(rowBytes) * H * Z);
    std::ifstream in(path, std::ios::binary);
    auto read = [&](uint64_t at, size_t n) {
        std::vector<uint8_t> b(n);
        in.seekg(static_cast<std::streamoff>(at));
        in.read(reinterpret_cast<char *>(b.data()), static_cast<std::streamsize>(n));
        return b;
    };
    EXPECT_EQ(I32At(read(0, 54), 22), H * Z); // the height; the rest as the small frames
    // Stored row s shows frame row H - 1 - s / Z; check a few, each against its frame row.
    for (const int stored : {0, 9, 10, 321, H * Z - 1}) {
        const int y = H - 1 - stored / Z;
        const auto row = read(54 + uint64_t(stored) * rowBytes, rowBytes);
        for (const int px : {0, 9, 10, 5117, W * Z - 1}) {
            const TPaletteEntry &e = pal[pixels[size_t(y) * W + px / Z]];
            EXPECT_EQ(Row(row.begin() + 3 * px, row.begin() + 3 * px + 3),
                      (Row{e.Blue, e.Green, e.Red}))
                << "stored row " << stored << ", pixel " << px;
        }
    }
}

TEST(BitmapStream, AFailedOrImpossibleExportKeepsTheOldFile)
{
    TempDir dir;
    // Scattered indices, so that even the PNG outgrows the limit.
    std::vector<uint8_t> pixels(64 * 64);
    for (uint32_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t((i * 2654435761u) >> 13);
    const TFrameView view = Frame(TPixelLayout::Indexed, 64, 64, pixels);
    for (const std::string name : {"old.bmp", "old.png"}) {
        const std::string path = dir.File(name);
        WriteFile(path, {1, 2, 3});
        for (const int bits : {8, 24}) {
            testutil::TScopedWriteLimit full(2000);
            EXPECT_EQ(MessageOf([&] { SaveFrameBitmap(view, Ramp(), 10, bits, path); }),
                      "Disk full")
                << name << " " << bits;
        }
        EXPECT_EQ(ReadFile(path), (std::vector<uint8_t>{1, 2, 3}));
    }
    // 40000 x 40000 at zoom 10 needs far more than a bitmap's 32-bit sizes: refused before a
    // pixel is read (there are none here).
    const TFrameView huge{TPixelLayout::Indexed, 40000, 40000, pixels.data(), 0};
    EXPECT_EQ(MessageOf([&] { SaveFrameBitmap(huge, Ramp(), 10, 8, dir.File("old.bmp")); }),
              "The picture is too large for a Windows bitmap");
    EXPECT_EQ(ReadFile(dir.File("old.bmp")), (std::vector<uint8_t>{1, 2, 3}));
    // No temporary file is left beside the targets.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 2);
}
