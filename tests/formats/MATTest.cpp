#include "FormatTests.h"
#include "formats/LEC_MAT.h"

using namespace testutil;
using MATFile = FormatTest<TMAT>;

namespace {

// A texture frame's 40-byte record goes to `records`, its 24-byte header to `frames`.
Bytes &TextureFrame(Bytes &records, Bytes &frames, int32_t fill, int32_t cel, int32_t w, int32_t h,
                    int32_t transparent, int32_t mipmaps)
{
    records.I32(8).I32(fill).Fill(28).I32(cel);
    return frames.I32(w).I32(h).I32(transparent).I32(0).I32(0).I32(mipmaps);
}

// A one-frame texture MAT up to its pixels.
Bytes OneTexture(int32_t w, int32_t h, int32_t mipmaps, int bits = 8)
{
    Bytes file = MATHeaderBytes(2, 1, bits);
    return TextureFrame(file, file, 0, 0, w, h, 0, mipmaps);
}

} // namespace

TEST_F(MATFile, AsCreatedAndColour16HeadersAreByteExact)
{
    TMAT mat;
    ASSERT_EQ(MATHeaderBytes(2, 0).Size(), 76u);
    EXPECT_EQ(Saved(mat), MATHeaderBytes(2, 0).Data);
    mat.SetColorType();
    mat.SetDefaults16();
    EXPECT_EQ(Saved(mat), MATHeaderBytes(0, 0, 16).Data);
}

TEST_F(MATFile, ReadsTextureFramesWithFourLevelsAndWithOddSizes)
{
    // Frame 1: 16 x 8 at four levels (128 + 32 + 8 + 2 pixels). Frame 2: 5 x 3 at three
    // levels (15 + 2 + 0 pixels). At 16 bits every pixel takes two bytes.
    for (int bits : {8, 16}) {
        const size_t n = bits / 8;
        Bytes file = MATHeaderBytes(2, 2, bits), frames;
        TextureFrame(file, frames, 7, 0, 16, 8, 0, 4).Append(Ramp(170 * n));
        TextureFrame(file, frames, 9, 1, 5, 3, 1, 3).Append(Ramp(17 * n, 200));
        file.Append(frames.Data);
        ASSERT_EQ(file.Size(), 76u + 80 + 24 + 170 * n + 24 + 17 * n);

        TMAT mat;
        EXPECT_EQ(RoundTrip(file.Data, mat), file.Data) << bits;
        EXPECT_EQ(mat.TextureRecords[1], (TMATTextureRecord{8, 9, {}, 1}));
        EXPECT_EQ(mat.TextureHeaders[1], (TMATTextureHeader{5, 3, 1, {}, 3}));
        EXPECT_EQ(mat.Pixels[0], Ramp(170 * n));
        EXPECT_EQ(mat.Pixels[1], Ramp(17 * n, 200));
        EXPECT_TRUE(mat.Pixels[2].empty());
    }
    EXPECT_EQ(TMAT::TextureBytes({64, 64, 0, {}, 4}, 2, 1), 5120u); // the third level's offset
}

// Sixteen frames, the most a MAT may hold, of a colour each and no pixel data.
TEST_F(MATFile, ReadsColorFramesWithoutPixelData)
{
    Bytes file = MATHeaderBytes(0, 16);
    for (int32_t i = 0; i < 16; ++i)
        file.I32(0).I32(10 + i).I32(i).I32(0).I32(0).I32(-1);
    const std::vector<uint8_t> want = file.Data;
    TMAT mat;
    EXPECT_EQ(RoundTrip(file.Fill(30, 0xEE).Data, mat), want); // trailing bytes are ignored
    EXPECT_EQ(mat.ColorRecords[2], (TMATColorRecord{0, 12, {2, 0, 0, -1}}));
    EXPECT_EQ(mat.TextureRecords[0], TMATTextureRecord{});

    // Any other MatType is a bare header, whatever the count.
    EXPECT_EQ(RoundTrip(MATHeaderBytes(1, 100000).Fill(500, 0x11).Data, mat),
              MATHeaderBytes(1, 100000).Data);
    EXPECT_EQ(mat.NumRecords(), 100000);
}

// The game reads NumTextures texture headers after the records of any MAT: a colour MAT
// must carry 0 there once its frames change (texture MATs carry their frame count).
TEST_F(MATFile, NewFramesSetTheNumTexturesTheGameReads)
{
    Bytes stored = MATHeaderBytes(0, 1);
    stored.Data[16] = 1; // as some tools leave it
    stored.I32(0).I32(7).Fill(16);
    TMAT colour;
    EXPECT_EQ(RoundTrip(stored.Data, colour), stored.Data); // kept while the frames are
    colour.ColorRecords[1].Color = 6;
    colour.SetNumRecords(2);
    EXPECT_EQ(Saved(colour),
              MATHeaderBytes(0, 2).I32(0).I32(7).Fill(16).I32(0).I32(6).Fill(16).Data);
}

// Short files, absurd counts and sizes fail cleanly, before anything the size of the claim
// is allocated (the sanitizer build would abort on a multi-exabyte allocation).
TEST_F(MATFile, TruncatedAndHostileFilesAreRejectedBeforeAllocating)
{
    TMAT mat;
    mat.SetDefaults16();
    ExpectRejected(mat, MATHeaderBytes(2, 17).Fill(2000).Data,
                   "Frame count 17 exceeds the limit of 16");
    ExpectRejected(mat, MATHeaderBytes(0, 0x7FFFFFFF).Data,
                   "Frame count 2147483647 exceeds the limit of 16");
    ExpectRejected(mat, OneTexture(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 16).Fill(64).Data,
                   "Read beyond end of file");
    ExpectRejected(mat, OneTexture(-65536, -65536, 1).Data,
                   "Invalid picture size: -65536 x -65536");
    // Levels below 1 x 1 hold nothing: no level count makes the sum run long or overflow.
    EXPECT_EQ(TMAT::TextureBytes({1, 1, 0, {}, 0}, 0x7FFFFFFF, 2), 2u);
    EXPECT_EQ(TMAT::TextureBytes({1, 1, 0, {}, 0}, -1, 2), 0u);
    // Inside the header, the record, the texture header and the pixels.
    ExpectCutsRejected(mat, OneTexture(4, 4, 2).Append(Ramp(20)).Data, {0, 50, 100, 130});
}

// A pixel buffer shorter than its levels, or too many frames, is refused, not written past.
TEST_F(MATFile, InconsistentFramesAreNotSaved)
{
    TMAT mat;
    RoundTrip(OneTexture(2, 2, 1).Append(Ramp(4)).Data, mat);
    mat.TextureHeaders[0].NumMipmaps = 2; // promises 5 bytes, the buffer holds 4
    EXPECT_EQ(MessageOf([&] { Saved(mat); }), "Frame 1 holds 4 pixel bytes, 5 expected");
    mat.TextureHeaders[0].NumMipmaps = 1;
    mat.Header.NumRecords = 17;
    EXPECT_EQ(MessageOf([&] { Saved(mat); }), "Frame count 17 exceeds the limit of 16");
}

// Toggling a texture's transparency converts its words; the low green bit is not recovered
// and alpha is dropped. (Packing colours is the import's, tested there.)
TEST(MATPixels, RGB565AndARGB1555ConvertBothWays)
{
    EXPECT_EQ(
        (std::array{RGB565ToARGB1555(0xFFFF), RGB565ToARGB1555(0x0000), RGB565ToARGB1555(0xF800),
                    ARGB1555ToRGB565(0xFFFF), ARGB1555ToRGB565(0x7C00)}),
        (std::array<uint16_t, 5>{0xFFFF, 0x0000, 0xFC00, 0xFFDF, 0xF800}));
}
