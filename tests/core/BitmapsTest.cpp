// Windows bitmaps and PNG: hand-built files of every depth read, and the two writers' bytes.

#include "CoreTestData.h"
#include "TestWriteLimit.h"
#include "core/GLM_Bitmaps.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/GLM_Palettes.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

using namespace testutil;

namespace {

using Entry = TPaletteEntry;
using Entries = std::vector<Entry>;
using Indices = std::vector<uint8_t>;

// Every pixel's colour, rows from the top.
Entries Colours(const TBitmapPicture &p)
{
    Entries all;
    for (int i = 0; i < p.Width * p.Height; ++i)
        all.push_back(p.PixelColor(i % p.Width, i / p.Width));
    return all;
}

TPalette PaletteAfterReading(const std::vector<uint8_t> &file)
{
    TempDir dir;
    WriteFile(dir.File("p.bmp"), file);
    return ReadWith(ReadBitmapPalette, dir.File("p.bmp")).Palette;
}

const Entry A{10, 20, 30}, B{200, 100, 50}, C{1, 2, 3}, D{250, 251, 252};

} // namespace

TEST(BitmapRead, OneBitRowsAreBottomUpAndMsbFirst)
{
    // 3 x 2: top row 1 0 1, bottom row 0 1 1, rows padded to 4 bytes. Table and indices stay
    // as stored whichever colour comes first.
    for (const Entries &t : {Entries{A, B}, Entries{B, A}}) {
        const TBitmapPicture p =
            ReadBitmapBytes(BitmapFile(3, 2, 1, 0, t, {0x60, 0, 0, 0, 0xA0, 0, 0, 0}));
        ASSERT_EQ(p.Width, 3);
        ASSERT_EQ(p.Height, 2);
        EXPECT_EQ(p.ColorTable, t);
        EXPECT_EQ(p.Indices, (Indices{1, 0, 1, 0, 1, 1}));
        EXPECT_EQ(Colours(p), (Entries{t[1], t[0], t[1], t[0], t[1], t[1]}));
    }
}

TEST(BitmapRead, FourBitAndRunLengthEncoded)
{
    Entries t(8);
    for (int k = 0; k < 8; ++k)
        t[k] = {uint8_t(k * 30), uint8_t(k), uint8_t(255 - k)};
    const std::pair<std::vector<uint8_t>, Indices> cases[] = {
        // 4 bits, 3 x 2, rows padded to 4 bytes.
        {BitmapFile(3, 2, 4, 0, t, {0x22, 0x10, 0, 0, 0x01, 0x20, 0, 0}), {0, 1, 2, 2, 2, 1}},
        // RLE8 4 x 2. Bottom row: a run of four 7s, end of line. Top row: an absolute run of
        // 1, 2, 3 (padded to a word), a run of one 4, end of bitmap.
        {BitmapFile(4, 2, 8, 1, t, {4, 7, 0, 0, 0, 3, 1, 2, 3, 0, 1, 4, 0, 1}),
         {1, 2, 3, 4, 7, 7, 7, 7}},
        // RLE4 5 x 1: a run of five pixels alternating 1 and 2, end of bitmap.
        {BitmapFile(5, 1, 4, 2, t, {5, 0x12, 0, 1}), {1, 2, 1, 2, 1}},
    };
    for (const auto &[file, want] : cases) {
        const TBitmapPicture p = ReadBitmapBytes(file);
        EXPECT_EQ(p.ColorTable, t);
        EXPECT_EQ(p.Indices, want);
        Entries colours;
        for (uint8_t i : want)
            colours.push_back(t[i]);
        EXPECT_EQ(Colours(p), colours);
    }
    // A short colour table is kept as it is; a palette read from it is black beyond it.
    const auto shortTable = BitmapFile(1, 1, 4, 0, {A, {}, C}, {0x20, 0, 0, 0});
    EXPECT_EQ(ReadBitmapBytes(shortTable).ColorTable, (Entries{A, {}, C}));
    TPalette want{};
    want[0] = A;
    want[2] = C;
    EXPECT_EQ(PaletteAfterReading(shortTable), want);
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
        EXPECT_EQ(PaletteAfterReading(file), TPalette{}) << bits; // no table: all black
    }
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
    EXPECT_EQ(MessageOf([&] { ReadBitmapBytes(huge); }),
              "Bitmap image is too large: 60000x60000 (the limit is 16384x16384)");
}

TEST(BitmapWrite, EightBitsWithThePaletteAsColourTable)
{
    TempDir dir;
    // 5 x 3, so that each row is padded by three bytes.
    Indices indices(15);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint8_t(i * 17);
    WritePalettedBitmap(5, 3, indices, Ramp(), dir.File("p.bmp"));
    const auto bytes = ReadFile(dir.File("p.bmp"));
    // Uncompressed 8 bits: the pixels after the 256-entry table, the bottom row first.
    ASSERT_EQ(bytes.size(), 14u + 40 + 1024 + 3 * 8);
    EXPECT_EQ(std::tuple(I32At(bytes, 10), bytes[28], I32At(bytes, 30)), std::tuple(1078, 8, 0));
    EXPECT_EQ(Indices(bytes.begin() + 1078, bytes.begin() + 1083),
              Indices(indices.begin() + 10, indices.end()));
    // As PNG too; a grey ramp must not come back as a table-less greyscale picture.
    TPalette grey;
    for (int k = 0; k < 256; ++k)
        grey[k] = {uint8_t(k), uint8_t(k), uint8_t(k)};
    const std::pair<std::string, TPalette> files[] = {{"p.bmp", Ramp()}, {"q.png", Ramp()},
                                                      {"g.png", grey}};
    for (const auto &[name, pal] : files) {
        if (name != "p.bmp")
            WritePalettedBitmap(5, 3, indices, pal, dir.File(name));
        const TBitmapPicture p = ReadBitmapFile(dir.File(name));
        EXPECT_EQ(p.ColorTable, Entries(pal.begin(), pal.end())) << name;
        EXPECT_EQ(p.Indices, indices) << name;
        EXPECT_EQ(p.PixelColor(1, 0), pal[17]) << name;
    }
    EXPECT_EQ(ReadFile(dir.File("q.png"))[1], 'P');
}

TEST(BitmapWrite, TrueColourKeepsEveryColourExactly)
{
    TempDir dir;
    QImage image(3, 2, QImage::Format_RGB32);
    const Entries colours = {C, {255, 254, 253}, {}, {128, 7, 200}, {9, 99, 199}, {255, 255, 255}};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, qRgb(colours[i].Red, colours[i].Green, colours[i].Blue));
    for (const std::string name : {"t.bmp", "t.PNG"}) {
        WriteTrueColorBitmap(image, dir.File(name));
        const auto bytes = ReadFile(dir.File(name));
        if (name == "t.bmp")
            EXPECT_EQ(bytes.size(), 54u + 2 * 12); // 24 bits, rows padded to 12 bytes
        else
            EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
        EXPECT_EQ(Colours(ReadBitmapFile(dir.File(name))), colours) << name;
    }
}

TEST(BitmapWrite, AFailedSaveOfAnyPictureOrPaletteKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.File("old.bmp");
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    const std::function<void()> saves[] = {
        [&] { WriteTrueColorBitmap(image, path); },
        [&] { SavePalettedBitmap(image, Ramp(), path); },
        [&] { WriteRiffPAL(path, Ramp()); },
        [&] { WriteJascPAL(path, Ramp()); },
        [&] { WriteACT(path, Ramp()); },
    };
    WriteFile(path, {1, 2, 3});
    for (const auto &save : saves) {
        {
            testutil::TScopedWriteLimit full(100);
            EXPECT_EQ(MessageOf(save), "Disk full");
        }
        EXPECT_EQ(ReadFile(path), (Indices{1, 2, 3}));
    }
    EXPECT_EQ(MessageOf([&] { SavePalettedBitmap(QImage(), Ramp(), path); }),
              "Cannot save an empty picture");
}

TEST(SavePalettedBitmap, PresentColoursTakeTheLowestIndexOthersTheNearest)
{
    TempDir dir;
    TPalette pal = Ramp();
    pal[9] = pal[40] = pal[200] = C;
    pal[0] = {250, 0, 0};
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));       // present at 9, 40, 200
    image.setPixel(1, 0, qRgb(255, 0, 0));     // absent: nearest is entry 0
    image.setPixel(2, 0, qRgb(100, 155, 188)); // present once (100 * 7 mod 256 = 188)
    image.setPixel(3, 0, qRgb(17, 233, 120));  // absent
    SavePalettedBitmap(image, pal, dir.File("s.bmp"));
    const TBitmapPicture p = ReadBitmapFile(dir.File("s.bmp"));
    EXPECT_EQ(p.ColorTable, Entries(pal.begin(), pal.end()));
    const auto cmp = std::make_unique<TCMP>();
    cmp->Palette = pal;
    EXPECT_EQ(p.Indices, (Indices{9, 0, 100, cmp->NearestColor(17, 233, 120)}));
    EXPECT_NE(p.Indices[3], 255); // not the import rule's "no match"
}
