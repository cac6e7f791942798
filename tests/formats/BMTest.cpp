#include "FormatTests.h"
#include "formats/LEC_BM.h"

#include <tuple>

using namespace testutil;
using BMFile = FormatTest<TBM>;

TEST_F(BMFile, AsCreatedAndDefaults16HeadersAreByteExact)
{
    TBM bm;
    ASSERT_EQ(BMHeaderBytes(1, 0).Size(), 128u);
    EXPECT_EQ(Saved(bm), BMHeaderBytes(1, 0).Data);
    bm.SetDefaults16();
    EXPECT_EQ(Saved(bm), BMHeaderBytes(1, 0, 16, true).Data);
}

// A 16-bit file of a 3 x 2 and a 2 x 3 image. Odd signature, version and uninterpreted words
// are all carried through unchanged.
TEST_F(BMFile, Reads16BitImagesAndKeepsEveryWordAndThePaletteOnlyWhenFlagged)
{
    Bytes file;
    file.Text("XY\x01\x02").I32(71).I32(-5).I32(2).I32(2).I32(-7).I32(9).I32(200).I32(3).I32(16);
    for (int32_t i = 0; i < 22; ++i)
        file.I32(1000 + i);
    file.I32(3).I32(2).Append(Ramp(12, 0xA0)).I32(2).I32(3).Append(Ramp(12, 50));
    file.Append(Ramp(768, 7));
    TBM bm;
    EXPECT_EQ(RoundTrip(file.Data, bm), file.Data);
    EXPECT_EQ(bm.Images[0], (TBMImage{3, 2, Ramp(12, 0xA0)}));
    EXPECT_EQ(bm.Images[1], (TBMImage{2, 3, Ramp(12, 50)}));
    EXPECT_TRUE(bm.Images[2].Pixels.empty());
    const TBMHeader &h = bm.Header;
    EXPECT_EQ((std::array{h.XOffset, h.YOffset, h.TransColor, h.ColorLayout[7], h.Reserved[13]}),
              (std::array{-7, 9, 200, 1007, 1021}));
    EXPECT_TRUE(bm.HasPalette());
    EXPECT_EQ(bm.Palette[1], (TPaletteEntry{10, 11, 12}));

    // PaletteIncluded is read as bits: bit 1 means the file's own palette follows. Without
    // it the 768 bytes after the images are ignored and the palette held stays; with it any
    // other bits (3 is a palette and the transparent colour) are written back as they were.
    for (int32_t flag : {0, 1, 4, 5, 3, 6, 7, -1}) {
        const bool has = flag & 2;
        const Bytes head = BMHeaderBytes(flag, 1).I32(2).I32(2).Append(Ramp(4, 9));
        const Bytes full = Bytes(head).Append(Ramp(768, 3));
        TBM other = bm;
        EXPECT_EQ(RoundTrip(full.Data, other), has ? full.Data : head.Data) << flag;
        EXPECT_EQ(other.HasPalette(), has) << flag;
        if (has)
            EXPECT_EQ(other.Palette[255], (TPaletteEntry{0, 1, 2})) << flag;
        else
            EXPECT_EQ(other.Palette, bm.Palette) << flag;
    }
}

// The properties dialog's choice writes 2 or 1, but only when it changes the answer.
TEST(BMPaletteChoice, OnlyAChangedChoiceRewritesTheValue)
{
    const std::tuple<int32_t, bool, int32_t> cases[] = {{3, true, 3}, {3, false, 1}, {2, false, 1},
                                                        {1, true, 2}, {0, false, 0}, {5, true, 2}};
    for (const auto &[before, on, after] : cases) {
        TBM bm;
        bm.Header.PaletteIncluded = before;
        bm.SetHasPalette(on);
        EXPECT_EQ(bm.Header.PaletteIncluded, after) << before << " " << on;
    }
}

// Short files, absurd counts and sizes fail cleanly, before anything the size of the claim
// is allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(BMFile, TruncatedAndHostileFilesAreRejectedBeforeAllocating)
{
    TBM bm;
    bm.Header.XOffset = 42;
    bm.Palette[3] = {1, 2, 3};
    ExpectRejected(bm, BMHeaderBytes(1, 51).Data, "Image count 51 exceeds the limit of 50");
    ExpectRejected(bm, BMHeaderBytes(1, 0x7FFFFFFF).Data,
                   "Image count 2147483647 exceeds the limit of 50");
    ExpectRejected(bm, BMHeaderBytes(1, 1, 16).I32(0x7FFFFFFF).I32(0x7FFFFFFF).Fill(64).Data,
                   "Read beyond end of file");
    ExpectRejected(bm, BMHeaderBytes(1, 1).I32(70000).I32(70000).Fill(64).Data,
                   "Read beyond end of file");
    ExpectRejected(bm, BMHeaderBytes(1, 1).I32(-3).I32(2).Fill(64).Data,
                   "Invalid picture size: -3 x 2");
    // -65536 x -65536 is 0 in 32-bit arithmetic: must not pass as an empty image.
    ExpectRejected(bm, BMHeaderBytes(1, 1).I32(-65536).I32(-65536).Data,
                   "Invalid picture size: -65536 x -65536");
    const Bytes good = BMHeaderBytes(2, 1).I32(4).I32(4).Append(Ramp(16)).Append(Ramp(768));
    TBM copy;
    EXPECT_EQ(RoundTrip(good.Data, copy), good.Data); // an 8-bit image and a palette
    // Inside the header, the image header, the pixels and the palette.
    ExpectCutsRejected(bm, good.Data, {0, 100, 130, 140, 500});
    // A negative count reads no images, as the game's tools do.
    EXPECT_EQ(RoundTrip(BMHeaderBytes(1, -4).Data, bm), BMHeaderBytes(1, -4).Data);
}

// A pixel buffer that does not match its image size is refused, not written past.
TEST_F(BMFile, InconsistentImagesAreNotSaved)
{
    TBM bm;
    bm.Header.NumImages = 1;
    bm.Images[0] = {3, 2, Ramp(4)};
    EXPECT_EQ(MessageOf([&] { Saved(bm); }), "Image 1 holds 4 pixel bytes, 6 expected");
    bm.Images[0].Width = 2;
    bm.Header.NumImages = 51;
    EXPECT_EQ(MessageOf([&] { Saved(bm); }), "Image count 51 exceeds the limit of 50");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("out")));
}
