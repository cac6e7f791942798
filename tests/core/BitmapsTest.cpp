// Windows bitmaps and PNG: hand-built files of every depth read, and the two writers' bytes.

#include "core/GLM_Bitmaps.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"
#include "palettes/GLM_Palettes.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace testutil;

namespace {

using Entry = TPaletteEntry;

// A Windows bitmap: file header, 40-byte information header, colour table (B, G, R, 0),
// then `pixels` exactly as given (rows bottom up, padded, or RLE codes). The header counts
// the table's entries.
std::vector<uint8_t> BitmapFile(int width, int height, int bits, int compression,
                                const std::vector<Entry> &table,
                                const std::vector<uint8_t> &pixels)
{
    const int colorsUsed = int(table.size());
    const int offset = 14 + 40 + 4 * int(table.size());
    Bytes b;
    b.Text("BM").I32(offset + int(pixels.size())).I32(0).I32(offset);
    b.I32(40).I32(width).I32(height).U16(1).U16(uint16_t(bits)).I32(compression);
    b.I32(int(pixels.size())).I32(2835).I32(2835).I32(colorsUsed).I32(0);
    for (const Entry &e : table)
        b.U8(e.Blue).U8(e.Green).U8(e.Red).U8(0);
    b.Append(pixels);
    return b.Data;
}

std::vector<Entry> Row(const TBitmapPicture &p, int y)
{
    std::vector<Entry> row;
    for (int x = 0; x < p.Width; ++x)
        row.push_back(p.PixelColor(x, y));
    return row;
}

std::vector<uint8_t> IndexRow(const TBitmapPicture &p, int y)
{
    return {p.Indices.begin() + y * p.Width, p.Indices.begin() + (y + 1) * p.Width};
}

TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

const Entry A{10, 20, 30}, B{200, 100, 50}, C{1, 2, 3}, D{250, 251, 252};

} // namespace

TEST(BitmapRead, OneBitRowsAreBottomUpAndMsbFirst)
{
    // 3 x 2: top row 1 0 1, bottom row 0 1 1; each row padded to 4 bytes.
    const auto file = BitmapFile(3, 2, 1, 0, {A, B}, {0x60, 0, 0, 0, 0xA0, 0, 0, 0});
    const TBitmapPicture p = ReadBitmapBytes(file);
    ASSERT_EQ(p.Width, 3);
    ASSERT_EQ(p.Height, 2);
    EXPECT_EQ(Row(p, 0), (std::vector<Entry>{B, A, B}));
    EXPECT_EQ(Row(p, 1), (std::vector<Entry>{A, B, B}));
    EXPECT_EQ(p.ColorTable, (std::vector<Entry>{A, B}));
    EXPECT_EQ(IndexRow(p, 0), (std::vector<uint8_t>{1, 0, 1}));

    // The lighter colour first: table and indices again as stored.
    const TBitmapPicture q = ReadBitmapBytes(BitmapFile(3, 2, 1, 0, {B, A}, {0x60, 0, 0, 0,
                                                                        0xA0, 0, 0, 0}));
    EXPECT_EQ(Row(q, 0), (std::vector<Entry>{A, B, A}));
    EXPECT_EQ(q.ColorTable, (std::vector<Entry>{B, A}));
    EXPECT_EQ(IndexRow(q, 1), (std::vector<uint8_t>{0, 1, 1}));
}

TEST(BitmapRead, FourBitWithAShortColourTable)
{
    // Three colours used: the table holds three entries, the rest of the palette is black.
    const auto file = BitmapFile(3, 2, 4, 0, {A, B, C}, {0x22, 0x10, 0, 0, 0x01, 0x20, 0, 0});
    const TBitmapPicture p = ReadBitmapBytes(file);
    EXPECT_EQ(Row(p, 0), (std::vector<Entry>{A, B, C}));
    EXPECT_EQ(Row(p, 1), (std::vector<Entry>{C, C, B}));
    EXPECT_EQ(p.ColorTable.size(), 3u);

    TempDir dir;
    WriteFile(dir.File("four.bmp"), file);
    TPalette pal;
    pal.fill({9, 9, 9});
    ReadBitmapPalette(dir.File("four.bmp"), pal);
    EXPECT_EQ(pal[0], A);
    EXPECT_EQ(pal[2], C);
    for (int k = 3; k < 256; ++k)
        EXPECT_EQ(pal[k], (Entry{0, 0, 0})) << k;
}

TEST(BitmapRead, RunLengthEncoded)
{
    std::vector<Entry> table(8, Entry{0, 0, 0});
    for (int k = 0; k < 8; ++k)
        table[k] = {uint8_t(k * 30), uint8_t(k), uint8_t(255 - k)};
    // RLE8 4 x 2. Bottom row: a run of four 7s, end of line. Top row: an absolute run of
    // 1, 2, 3 (padded to a word), a run of one 4, end of bitmap.
    const auto rle8 = BitmapFile(4, 2, 8, 1, table,
                                 {4, 7, 0, 0, 0, 3, 1, 2, 3, 0, 1, 4, 0, 1});
    TBitmapPicture p = ReadBitmapBytes(rle8);
    EXPECT_EQ(IndexRow(p, 0), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(IndexRow(p, 1), (std::vector<uint8_t>{7, 7, 7, 7}));
    EXPECT_EQ(p.PixelColor(3, 0), table[4]);

    // RLE4 5 x 1: a run of five pixels alternating 1 and 2, end of bitmap.
    const auto rle4 = BitmapFile(5, 1, 4, 2, table, {5, 0x12, 0, 1});
    p = ReadBitmapBytes(rle4);
    EXPECT_EQ(IndexRow(p, 0), (std::vector<uint8_t>{1, 2, 1, 2, 1}));
    EXPECT_EQ(p.PixelColor(1, 0), table[2]);
}

TEST(BitmapRead, TrueColourDepths)
{
    // 16 bits, 5-5-5: pure red and pure green (each 5-bit 31, read as 248).
    TBitmapPicture p = ReadBitmapBytes(BitmapFile(2, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03}));
    EXPECT_EQ(Row(p, 0), (std::vector<Entry>{{248, 0, 0}, {0, 248, 0}}));
    EXPECT_TRUE(p.ColorTable.empty());
    EXPECT_TRUE(p.Indices.empty());

    // 24 bits, 2 x 2, rows of 6 bytes padded to 8, bottom up, B G R order.
    p = ReadBitmapBytes(BitmapFile(2, 2, 24, 0, {},
                                   {3, 2, 1, 6, 5, 4, 0, 0, 30, 20, 10, 252, 251, 250, 0, 0}));
    EXPECT_EQ(Row(p, 0), (std::vector<Entry>{A, D}));
    EXPECT_EQ(Row(p, 1), (std::vector<Entry>{C, {4, 5, 6}}));

    // 32 bits: the fourth byte plays no part in the colour.
    p = ReadBitmapBytes(BitmapFile(2, 1, 32, 0, {}, {3, 2, 1, 0, 52, 251, 250, 0x80}));
    EXPECT_EQ(Row(p, 0), (std::vector<Entry>{C, {250, 251, 52}}));

    TempDir dir;
    WriteFile(dir.File("true.bmp"), BitmapFile(2, 1, 32, 0, {}, {3, 2, 1, 0, 6, 5, 4, 0}));
    TPalette pal;
    pal.fill({9, 9, 9});
    ReadBitmapPalette(dir.File("true.bmp"), pal);
    EXPECT_EQ(pal, TPalette{}); // no colour table: all black
}

TEST(BitmapRead, FailuresAreReported)
{
    TempDir dir;
    WriteFile(dir.File("junk.bmp"), {'B', 'M', 1, 2, 3});
    EXPECT_EQ(MessageOf([&] { ReadBitmapFile(dir.File("junk.bmp")); }),
              "Bitmap image is not valid");
    EXPECT_EQ(MessageOf([&] { ReadBitmapFile(dir.File("absent.bmp")); }), "File not found");
    // A header claiming a vast picture is refused without allocating it.
    const auto huge = BitmapFile(60000, 60000, 24, 0, {}, {1, 2, 3, 0});
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(huge); }), "Bitmap image is not valid");
}

TEST(BitmapWrite, EightBitsWithTheWholePaletteAsColourTable)
{
    TempDir dir;
    const TPalette pal = Ramp();
    // 5 x 3, so that each row is padded by three bytes.
    std::vector<uint8_t> indices(15);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint8_t(i * 17);
    WritePalettedBitmap(5, 3, indices, pal, dir.File("p.bmp"));
    const auto bytes = ReadFile(dir.File("p.bmp"));

    ASSERT_EQ(bytes.size(), 14u + 40 + 1024 + 3 * 8);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(I32At(bytes, 10), 1078); // pixels after the 256-entry table
    EXPECT_EQ(I32At(bytes, 18), 5);
    EXPECT_EQ(I32At(bytes, 22), 3);
    EXPECT_EQ(bytes[28], 8);
    EXPECT_EQ(I32At(bytes, 30), 0); // uncompressed
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(bytes[54 + 4 * k], pal[k].Blue);
        EXPECT_EQ(bytes[55 + 4 * k], pal[k].Green);
        EXPECT_EQ(bytes[56 + 4 * k], pal[k].Red);
    }
    // The bottom row comes first.
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(bytes[1078 + x], indices[10 + x]);

    const TBitmapPicture p = ReadBitmapFile(dir.File("p.bmp"));
    EXPECT_EQ(p.ColorTable, std::vector<Entry>(pal.begin(), pal.end()));
    EXPECT_EQ(p.Indices, indices);
}

TEST(BitmapWrite, TrueColourKeepsEveryColourExactly)
{
    TempDir dir;
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(1, 2, 3), qRgb(255, 254, 253), qRgb(0, 0, 0),
                            qRgb(128, 7, 200), qRgb(9, 99, 199), qRgb(255, 255, 255)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    for (const char *name : {"t.bmp", "t.PNG"}) {
        WriteTrueColorBitmap(image, dir.File(name));
        const auto bytes = ReadFile(dir.File(name));
        if (std::string(name) == "t.bmp") {
            EXPECT_EQ(bytes[28], 24);
            EXPECT_EQ(bytes.size(), 54u + 2 * 12);
        } else {
            EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
        }
        const TBitmapPicture p = ReadBitmapFile(dir.File(name));
        for (int i = 0; i < 6; ++i) {
            const Entry want{uint8_t(qRed(colours[i])), uint8_t(qGreen(colours[i])),
                             uint8_t(qBlue(colours[i]))};
            EXPECT_EQ(p.PixelColor(i % 3, i / 3), want) << name << " " << i;
        }
    }
}

TEST(BitmapWrite, PngRoundTripKeepsPaletteAndIndices)
{
    TempDir dir;
    std::vector<uint8_t> indices = {0, 255, 7, 7, 128, 3};
    TPalette grey;
    for (int k = 0; k < 256; ++k)
        grey[k] = {uint8_t(k), uint8_t(k), uint8_t(k)};
    for (const TPalette &pal : {Ramp(), grey}) {
        WritePalettedBitmap(3, 2, indices, pal, dir.File("p.png"));
        const auto bytes = ReadFile(dir.File("p.png"));
        EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
        const TBitmapPicture p = ReadBitmapFile(dir.File("p.png"));
        EXPECT_EQ(p.ColorTable, std::vector<Entry>(pal.begin(), pal.end()));
        EXPECT_EQ(p.Indices, indices);
        EXPECT_EQ(p.PixelColor(1, 0), pal[255]);
    }
}

TEST(BitmapWrite, AFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    WriteFile(dir.File("old.bmp"), {1, 2, 3});
    InjectWriteFailureForTesting(100);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    EXPECT_EQ(MessageOf([&] { WriteTrueColorBitmap(image, dir.File("old.bmp")); }),
              "Disk full");
    EXPECT_EQ(MessageOf([&] { SavePalettedBitmap(image, Ramp(), dir.File("old.bmp")); }),
              "Disk full");
    InjectWriteFailureForTesting(std::nullopt);
    EXPECT_EQ(ReadFile(dir.File("old.bmp")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(MessageOf([&] { SavePalettedBitmap(QImage(), Ramp(), dir.File("old.bmp")); }),
              "Cannot save an empty picture");
}

TEST(SavePalettedBitmap, PresentColoursTakeTheLowestIndexOthersTheNearest)
{
    TempDir dir;
    TPalette pal = Ramp();
    pal[40] = {1, 2, 3};
    pal[9] = {1, 2, 3};   // the same colour at a lower index
    pal[200] = {1, 2, 3};
    pal[0] = {250, 0, 0};
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));       // present at 9, 40, 200
    image.setPixel(1, 0, qRgb(255, 0, 0));     // absent: nearest is entry 0
    image.setPixel(2, 0, qRgb(100, 155, 188)); // present once (100 * 7 mod 256 = 188)
    image.setPixel(3, 0, qRgb(17, 233, 120));  // absent
    SavePalettedBitmap(image, pal, dir.File("s.bmp"));

    const TBitmapPicture p = ReadBitmapFile(dir.File("s.bmp"));
    EXPECT_EQ(p.ColorTable, std::vector<Entry>(pal.begin(), pal.end()));
    const auto cmp = std::make_unique<TCMP>();
    cmp->Palette = pal;
    EXPECT_EQ(p.Indices,
              (std::vector<uint8_t>{9, 0, 100, cmp->NearestColor(17, 233, 120)}));
    EXPECT_NE(p.Indices[3], 255); // not the import rule's "no match"
}
