#include "FormatTests.h"
#include "formats/LEC_BM.h"

#include <tuple>

using namespace testutil;
using BMFile = FormatTest<TBM>;

TEST_F(BMFile, AsCreatedAndDefaults16HeadersAreByteExact)
{
    TBM bm;
    ASSERT_EQ(BMHeaderBytes({}).Size(), 128u);
    EXPECT_EQ(Saved(bm), BMHeaderBytes({}).Data);
    bm.SetDefaults16();
    EXPECT_EQ(Saved(bm), BMHeaderBytes(Defaults16).Data);
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
    EXPECT_EQ(bm.Palette[1], (TPaletteEntry{10, 11, 12}));

    // PaletteIncluded is read as bits: bit 1 means the file's own palette follows. Without
    // it the 768 bytes after the images are ignored and the palette held stays; with it any
    // other bits (3 is a palette and the transparent colour) are written back as they were.
    for (int32_t flag : {0, 1, 4, 5, 3, 6, 7, -1}) {
        const bool has = flag & 2;
        const Bytes head =
            BMHeaderBytes({.Palette = flag, .Images = 1}).I32(2).I32(2).Append(Ramp(4, 9));
        const Bytes full = Bytes(head).Append(Ramp(768, 3));
        TBM other = bm;
        EXPECT_EQ(RoundTrip(full.Data, other), has ? full.Data : head.Data) << flag;
        EXPECT_EQ(other.HasPalette(), has) << flag;
        EXPECT_EQ(other.Palette[255], (has ? TPaletteEntry{0, 1, 2} : bm.Palette[255])) << flag;
    }
    // The properties dialog's choice writes 2 or 1, but only when it changes the answer.
    const std::tuple<int32_t, bool, int32_t> choices[] = {
        {3, true, 3}, {3, false, 1}, {2, false, 1}, {1, true, 2}, {0, false, 0}, {5, true, 2}};
    for (const auto &[before, on, after] : choices) {
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
    const auto image = [](int32_t w, int32_t h, int bits = 8) {
        return BMHeaderBytes({.Images = 1, .Bits = bits}).I32(w).I32(h).Fill(64).Data;
    };
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {BMHeaderBytes({.Images = 51}).Data, "Image count 51 exceeds the limit of 50"},
        {BMHeaderBytes({.Images = 0x7FFFFFFF}).Data,
         "Image count 2147483647 exceeds the limit of 50"},
        {image(0x7FFFFFFF, 0x7FFFFFFF, 16), "Read beyond end of file"},
        {image(70000, 70000), "Read beyond end of file"},
        {image(-3, 2), "Invalid picture size: -3 x 2"},
        // -65536 x -65536 is 0 in 32-bit arithmetic: must not pass as an empty image.
        {image(-65536, -65536), "Invalid picture size: -65536 x -65536"},
    };
    for (const auto &[bytes, message] : cases)
        ExpectRejected(bm, bytes, message);
    // An 8-bit image and a palette, cut inside the header, the image header, the pixels and
    // the palette.
    const Bytes good = BMHeaderBytes({.Palette = 2, .Images = 1}).I32(4).I32(4).Append(Ramp(16));
    ExpectCutsRejected(bm, Bytes(good).Append(Ramp(768)).Data, {0, 100, 130, 140, 500});
    // A negative count reads no images, as the game's tools do.
    const Bytes negative = BMHeaderBytes({.Images = -4});
    EXPECT_EQ(RoundTrip(negative.Data, bm), negative.Data);
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
