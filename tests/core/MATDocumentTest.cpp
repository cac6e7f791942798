// The MAT rules below what the window shows: frames swapped and deleted whole with CelIndex
// renumbered, the level fitted into range, and the reports of empty, colour and bare-header
// documents. Stepping, drawing, conversion and the saved bytes are checked through the window.

#include "core/documents/GLM_MATDocument.h"

#include "core/GLM_Import.h"

#include <gtest/gtest.h>

namespace {

// A texture frame of `levels` levels whose pixel bytes all hold `mark`.
void AddTexture(TMAT &mat, int width, int height, int levels, uint8_t mark)
{
    const int i = mat.NumRecords();
    mat.TextureRecords[i] = {8, mark, {}, i};
    mat.TextureHeaders[i] = {width, height, 0, {}, levels};
    mat.Pixels[i].assign(static_cast<size_t>(mat.TextureBytes(mat.TextureHeaders[i])), mark);
    mat.SetNumRecords(i + 1);
}

} // namespace

// Record, header and pixels move together; CelIndex follows the place; the freed slot is
// cleared; the level shown is brought into the range of the frame now current.
TEST(MATDocument, SwapAndDeleteKeepFramesWholeAndRenumbered)
{
    TMAT mat;
    AddTexture(mat, 2, 2, 1, 0xA1);
    AddTexture(mat, 4, 4, 1, 0xB2);
    AddTexture(mat, 8, 8, 4, 0xC3);
    SwapMATFrames(mat, 3, 1);
    EXPECT_EQ(mat.TextureRecords[0], (TMATTextureRecord{8, 0xC3, {}, 0}));
    EXPECT_EQ(mat.TextureRecords[2], (TMATTextureRecord{8, 0xA1, {}, 2}));
    EXPECT_EQ(mat.TextureHeaders[0].NumMipmaps, 4);
    EXPECT_EQ(mat.Pixels[2], std::vector<uint8_t>(4, 0xA1));
    EXPECT_EQ(FitMipmap(mat, 2, 4), 1);
    EXPECT_EQ(FitMipmap(mat, 1, 0), 1);

    DeleteMATFrame(mat, 1);
    EXPECT_EQ(mat.Header.NumTextures, 2);
    EXPECT_EQ(mat.TextureRecords[0], (TMATTextureRecord{8, 0xB2, {}, 0}));
    EXPECT_EQ(mat.TextureRecords[1].CelIndex, 1);
    EXPECT_EQ(mat.Pixels[1], std::vector<uint8_t>(4, 0xA1));
    EXPECT_TRUE(mat.Pixels[2].empty());
    DeleteMATFrame(mat, 3); // no such frame
    EXPECT_EQ(mat.NumRecords(), 2);

    TMAT colours = NewMAT(true, false);
    for (int32_t c : {10, 20, 30})
        AddMATColorFrame(colours, c);
    DeleteMATFrame(colours, 1);
    EXPECT_EQ(colours.ColorRecords[0].Color, 20);
    EXPECT_EQ(colours.ColorRecords[1].Color, 30);
    EXPECT_EQ(colours.Header.NumTextures, 0); // what the game needs of a colour MAT
    EXPECT_EQ(FitMipmap(colours, 1, 3), 3);   // colour frames have no levels to fit
}

// The panels of an empty document and of a 16-bit colour frame at zoom 2; a MAT of another
// type shows no frames however many records it claims.
TEST(MATDocument, ReportsForEmptyColourAndOddDocuments)
{
    using Texts = std::array<std::string, 8>;
    EXPECT_EQ(
        MATStatusTexts(TMAT(), {0, 0, 1, false, 1, "/pal/a.act"}),
        (Texts{"8-Bit Texture MAT", "Frame: 0 of 0", "Mipmap: 0 of 0", "Size: 0 x 0",
               "Not Transparent", "Fill Index: 0", "Manual Mipmaps", "Display Palette: a.act"}));
    TMAT colours = NewMAT(true, true);
    AddMATColorFrame(colours, 0xFF);
    EXPECT_EQ(MATStatusTexts(colours, {1, 1, 2, true, 3, "Dflt"}),
              (Texts{"16-Bit Color MAT", "Frame: 1 of 1", "No Mipmaps", "Size: 128 x 128",
                     "Not Transparent", "RGB: 0 0 0", "Auto Mipmaps: 3", ""}));
    const TCommandStates s = DocumentStates(MATFacts(colours, 1, 1));
    EXPECT_FALSE(s[TCommand::AddMipmap]);
    EXPECT_FALSE(s[TCommand::SelectPalette]);
    TMAT other;
    other.Header.MatType = 1;
    other.Header.NumRecords = 1000;
    EXPECT_EQ(MATFacts(other, 0, 1).Frames, 0);
}
