// The bitmap export against bitmaps built here byte by byte: headers, colour table, bottom-up
// rows with their padding, zoom blocks, colour order, and the old file kept.

#include "CoreTestData.h"
#include "SaveFaults.h"
#include "core/GLM_BitmapStream.h"
#include "core/GLM_Bitmaps.h"

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
    for (int k = 0; table && k < 256; ++k)
        b.U8((*table)[k].Blue).U8((*table)[k].Green).U8((*table)[k].Red).U8(0);
    for (const Row &r : storedRows)
        b.Append(r);
    return b.Data;
}

// The frame exported: 8-bit indices, else 16-bit words, or (no pixels) a 64 x 64 colour frame.
std::vector<uint8_t> Export(TPixelLayout layout, int width, const std::vector<uint16_t> &pixels,
                            const TPalette &palette, int zoom, int bits, TColor colour = 0)
{
    Bytes b;
    for (uint16_t p : pixels)
        layout == TPixelLayout::Indexed ? b.U8(uint8_t(p)) : b.U16(p);
    const int height = pixels.empty() ? 64 : int(pixels.size()) / width;
    TempDir dir;
    SaveFrameBitmap({layout, width, height, pixels.empty() ? nullptr : b.Data.data(), colour},
                    palette, zoom, bits, dir.File("f.bmp"));
    return ReadFile(dir.File("f.bmp"));
}

} // namespace

TEST(BitmapStream, EightBitsKeepIndicesUnderThePaletteAsColourTable)
{
    TPalette pal = Ramp();
    pal[1] = pal[2]; // two entries of one colour: drawing and matching would turn 2 into 1
    // 3 x 2, odd width: each stored row takes one byte of padding.
    EXPECT_EQ(Export(TPixelLayout::Indexed, 3, {1, 2, 3, 250, 0, 17}, pal, 1, 8),
              Bitmap(3, 8, {{250, 0, 17, 0}, {1, 2, 3, 0}}, &pal));
    // At zoom 3 each index becomes a 3 x 3 block: 6 wide, padded to 8.
    const Row zoomed{5, 5, 5, 6, 6, 6, 0, 0};
    EXPECT_EQ(Export(TPixelLayout::Indexed, 2, {5, 6}, pal, 3, 8),
              Bitmap(6, 8, {zoomed, zoomed, zoomed}, &pal));
    // 16-bit frames take the lowest entry of exactly their colour, else the nearest one.
    TPalette few{}; // black everywhere
    few[3] = few[9] = {0, 255, 0};
    few[7] = {250, 0, 0};
    EXPECT_EQ(Export(TPixelLayout::RGB565, 5, {0x07E0, 0xF800, 0, 0x07E0, 0xF800}, few, 1, 8),
              Bitmap(5, 8, {{3, 7, 0, 3, 7, 0, 0, 0}}, &few));
    // A colour frame is a solid block of its index, or of its colour's entry.
    EXPECT_EQ(Export(TPixelLayout::ColorIndex, 64, {}, pal, 1, 8, 40),
              Bitmap(64, 8, std::vector<Row>(64, Row(64, 40)), &pal));
    EXPECT_EQ(Export(TPixelLayout::ColorValue, 64, {}, pal, 1, 8, MakeColor(100, 155, 188)),
              Bitmap(64, 8, std::vector<Row>(64, Row(64, 100)), &pal));
}

TEST(BitmapStream, TwentyFourBitsAreBlueGreenRedWithRowPadding)
{
    TPalette pal{};
    pal[1] = {10, 20, 30};
    pal[2] = {200, 100, 50};
    // 3 x 2 at zoom 3: 9 pixels of 3 bytes, 27 padded to 28; the bottom frame row first.
    auto row = [&](std::initializer_list<int> indices) {
        Row r;
        for (int i : indices)
            for (int k = 0; k < 3; ++k)
                r.insert(r.end(), {pal[i].Blue, pal[i].Green, pal[i].Red});
        r.push_back(0);
        return r;
    };
    const Row bottom = row({2, 2, 1}), top = row({1, 2, 1});
    EXPECT_EQ(Export(TPixelLayout::Indexed, 3, {1, 2, 1, 2, 2, 1}, pal, 3, 24),
              Bitmap(9, 24, {bottom, bottom, bottom, top, top, top}));
    // 16-bit words widened as drawn; a transparent MAT texture's bit 15 is not a colour.
    EXPECT_EQ(Export(TPixelLayout::RGB565, 2, {0xF800, 0x8410}, pal, 1, 24),
              Bitmap(2, 24, {{0, 0, 255, 132, 130, 132, 0, 0}}));
    EXPECT_EQ(Export(TPixelLayout::ARGB1555, 1, {0xFC00}, pal, 1, 24),
              Bitmap(1, 24, {{0, 0, 255, 0}}));
    Row bgr;
    for (int x = 0; x < 64; ++x)
        bgr.insert(bgr.end(), {3, 2, 1});
    EXPECT_EQ(Export(TPixelLayout::ColorValue, 64, {}, pal, 1, 24, MakeColor(1, 2, 3)),
              Bitmap(64, 24, std::vector<Row>(64, bgr)));
}

// 1024 x 64 at zoom 10, pixel (x, y) = (x + 3y) mod 256: stored row s shows frame row
// 63 - s / 10; a few rows and pixels are checked against their frame pixel.
TEST(BitmapStream, WideFrameAtZoomTenIsRightWithoutReadingItWhole)
{
    constexpr int W = 1024, H = 64, Z = 10;
    std::vector<uint8_t> pixels(size_t(W) * H);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i % W + 3 * (i / W));
    const TPalette pal = Ramp();
    TempDir dir;
    const std::string path = dir.File("wide.bmp");
    SaveFrameBitmap({TPixelLayout::Indexed, W, H, pixels.data(), 0}, pal, Z, 24, path);
    const uint32_t rowBytes = W * Z * 3; // a multiple of 4: no padding
    EXPECT_EQ(std::filesystem::file_size(path), 54u + uint64_t(rowBytes) * H * Z);
    std::ifstream in(path, std::ios::binary);
    Row row(rowBytes);
    for (const int stored : {0, 9, 10, 321, H * Z - 1}) {
        in.seekg(static_cast<std::streamoff>(54 + uint64_t(stored) * rowBytes));
        in.read(reinterpret_cast<char *>(row.data()), rowBytes);
        for (const int px : {0, 9, 10, 5117, W * Z - 1}) {
            const TPaletteEntry &e = pal[pixels[size_t(H - 1 - stored / Z) * W + px / Z]];
            EXPECT_EQ(Row(row.begin() + 3 * px, row.begin() + 3 * px + 3),
                      (Row{e.Blue, e.Green, e.Red}))
                << "stored row " << stored << ", pixel " << px;
        }
    }
}

// The PNG export (8-bit with the palette as its table); a failed or impossible export of
// either kind keeps the old file.
TEST(BitmapStream, PngAndFailedExports)
{
    TempDir dir;
    std::vector<uint8_t> pixels(64 * 64); // scattered, so that even the PNG outgrows the disk
    for (uint32_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t((i * 2654435761u) >> 13);
    const TFrameView view{TPixelLayout::Indexed, 64, 64, pixels.data(), 0};
    const TPalette pal = Ramp();
    SaveFrameBitmap(view, pal, 2, 8, dir.File("new.png"));
    const TBitmapPicture png = ReadBitmapFile(dir.File("new.png"));
    EXPECT_EQ(png.ColorTable, std::vector<TPaletteEntry>(pal.begin(), pal.end()));
    EXPECT_EQ(png.Indices[2 * 128 + 2], pixels[65]);
    std::filesystem::remove(dir.File("new.png"));
    for (const std::string name : {"old.bmp", "old.png"}) {
        const std::string path = Put(dir, name, {1, 2, 3});
        TScopedFullDisk full(2000);
        EXPECT_EQ(MessageOf([&] { SaveFrameBitmap(view, pal, 10, 24, path); }), "Disk full");
    }
    // 40000 x 40000 at zoom 10 outgrows a bitmap's 32-bit sizes: refused before a pixel is
    // read (there are none here).
    const TFrameView huge{TPixelLayout::Indexed, 40000, 40000, pixels.data(), 0};
    EXPECT_EQ(MessageOf([&] { SaveFrameBitmap(huge, pal, 10, 8, dir.File("old.bmp")); }),
              "The picture is too large for a Windows bitmap");
    EXPECT_EQ(FolderNames(dir.Path), (std::set<std::string>{"old.bmp", "old.png"}));
    EXPECT_EQ(ReadFile(dir.File("old.bmp")), ReadFile(dir.File("old.png")));
    EXPECT_EQ(ReadFile(dir.File("old.bmp")), (std::vector<uint8_t>{1, 2, 3}));
}
