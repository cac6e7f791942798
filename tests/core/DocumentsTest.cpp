// The document windows' rules without a window: stepping, frames, settings, status texts and
// facts of BM, MAT and SFT, the display palette, painting at a zoom, the character table.

#include "CoreTestData.h"
#include "core/GLM_Import.h"
#include "core/documents/GLM_BMDocument.h"
#include "core/documents/GLM_CharacterTable.h"
#include "core/documents/GLM_ImageDocument.h"
#include "core/documents/GLM_MATDocument.h"
#include "core/documents/GLM_SFTDocument.h"
#include "core/documents/GLM_ZoomPainter.h"
#include "formats/GLM_IntegerText.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace testutil;

namespace {

TImageViewState At(int frame, int zoom = 1)
{
    return {zoom, frame};
}

// A BM whose frame f (1-based) is f x 1 pixels of value f.
TBM Frames(int count, bool is16 = false)
{
    TBM bm = NewBM(is16);
    for (int f = 1; f <= count; ++f)
        bm.Images[f - 1] = {f, 1, std::vector<uint8_t>(size_t(f) * (is16 ? 2 : 1), uint8_t(f))};
    bm.Header.NumImages = count;
    return bm;
}

std::vector<int> Widths(const TBM &bm)
{
    std::vector<int> widths;
    for (int i = 0; i < bm.NumImages(); ++i)
        widths.push_back(bm.Images[i].Width);
    return widths;
}

} // namespace

TEST(ImageView, SteppingWrapsDeletingAndShiftingFollowTheCount)
{
    for (const auto &[from, count, previous, next] :
         {std::array{1, 5, 5, 2}, {5, 5, 4, 1}, {3, 5, 2, 4}, {1, 1, 1, 1}}) {
        TImageViewState back = At(from), on = At(from);
        back.PreviousFrame(count);
        on.NextFrame(count);
        EXPECT_EQ(std::make_pair(back.CurrentFrame, on.CurrentFrame),
                  std::make_pair(previous, next))
            << from << " of " << count;
    }
    TImageViewState last = At(3, 4), only = At(1, 7), top = At(1, 10), bottom = At(1, 1);
    last.FrameDeleted(2);
    only.FrameDeleted(0);
    top.ZoomIn();
    bottom.ZoomOut();
    EXPECT_EQ((std::array{last.CurrentFrame, last.Zoom, only.CurrentFrame, only.Zoom, top.Zoom,
                          bottom.Zoom}),
              (std::array{2, 4, 0, 1, 10, 1}));
    EXPECT_EQ((std::array{At(1).ShiftPartner(true, 4), At(4).ShiftPartner(false, 4),
                          At(3).ShiftPartner(true, 4), At(1).ShiftPartner(false, 1)}),
              (std::array{4, 1, 2, 0}));
}

TEST(ImageView, CaptionsAndSizes)
{
    EXPECT_EQ(WindowCaption(UntitledName(0, ".bm"), 1), "Untitled0.bm [1:1]");
    EXPECT_EQ(MainWindowCaption("/d/walk.bm", "walk.bm") + MainWindowCaption("", "Untitled2.bm"),
              "Glimra - /d/walk.bmGlimra - Untitled2.bm");
    // width, height, zoom, caption width -> client width, height
    for (const auto &[w, h, zoom, caption, width, height] :
         {std::array{4, 2, 1, 0, 150, 64}, {4, 2, 3, 190, 190, 64}, {64, 40, 3, 170, 192, 120},
          {8, 8, 10, 0, 150, 80}, {-1, -1, 2, 0, 150, 64}})
        EXPECT_EQ(FrameClientSize(w, h, zoom, caption), (TClientSize{width, height}))
            << w << "x" << h << " at " << zoom;
    EXPECT_EQ(FirstRunWindowSize(1920, 1040), (TClientSize{1024, 768}));
    EXPECT_EQ(FirstRunWindowSize(800, 570), (TClientSize{800, 570}));
}

// The level runs 0..63 then the palette view, and stops at both ends; the colormap is the
// display palette when that is one (a member's extension counts), else the kind's choice.
TEST(ImageView, LightLevelColormapAndStatus)
{
    TImageViewState v;
    v.Brighter();
    const int top = v.LightLevel;
    for (int i = 0; i <= PaletteViewLevel; ++i)
        v.Darker();
    const int bottom = v.LightLevel;
    v.Brighter();
    EXPECT_EQ((std::array{top, bottom, v.LightLevel}), (std::array{PaletteViewLevel, 0, 1}));
    // The display palette, then the colormap with a choice made and without one.
    const std::array<std::string, 3> sources[] = {{"Dflt", "/c/n.cmp", ""},
                                                  {"/p/X.CMP", "/p/X.CMP", "/p/X.CMP"},
                                                  {"r.gob::a.cmp", "r.gob::a.cmp", "r.gob::a.cmp"},
                                                  {"/p/game.act", "/c/n.cmp", ""}};
    for (const auto &[palette, chosen, none] : sources)
        EXPECT_EQ(ColormapSource(palette, "/c/n.cmp") + "|" + ColormapSource(palette, ""),
                  chosen + "|" + none);
    EXPECT_EQ(LightStatusText(20, "r.gob::mat\\dflt.cmp") + "|" + LightStatusText(64, "/c/n.cmp"),
              "Light: 20 (dflt.cmp)|Light: Full (n.cmp)");
}

TEST(BMDocument, DeleteAndSwapMoveImagesWithTheirBuffers)
{
    TBM bm = Frames(3);
    SwapBMFrames(bm, 1, 3);
    EXPECT_EQ(Widths(bm), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(bm.Images[0].Pixels, std::vector<uint8_t>(3, 3));
    DeleteBMFrame(bm, 1);
    DeleteBMFrame(bm, 5); // no such frame
    EXPECT_EQ(Widths(bm), (std::vector<int>{2, 1}));
    EXPECT_EQ(bm.Images[1].Pixels, std::vector<uint8_t>{1});
    EXPECT_TRUE(bm.Images[2].Pixels.empty()); // the freed slot holds nothing
}

TEST(BMDocument, SettingsAndStatusTexts)
{
    TBM bm8 = Frames(3), bm16 = Frames(1, true);
    bm8.Images[1] = {20, 30, std::vector<uint8_t>(600)};
    ApplyBMSettings(bm8, {-16, 4, 9, 0xF81F, true}, Ramp());
    ApplyBMSettings(bm16, {0, 0, 9, 0xF81F, false}, Ramp());
    EXPECT_EQ(bm8.Palette, Ramp());
    EXPECT_EQ(std::make_pair(bm8.Header.PaletteIncluded, bm16.Header.PaletteIncluded),
              std::make_pair(2, 1));
    EXPECT_EQ(BMStatusTexts(bm8, 2, "/pal/game.act"),
              (std::array<std::string, 8>{"8-Bit BM", "Frame: 2 of 3", "Size: 20 x 30",
                                          "Offset: -16 x 4", "Internal: Yes", "Trans Index: 9", "",
                                          "Display Palette: game.act"}));
    EXPECT_EQ(
        BMStatusTexts(bm16, 1, "Uicolormap"),
        (std::array<std::string, 8>{"16-Bit BM", "Frame: 1 of 1", "Size: 1 x 1", "Offset: 0 x 0",
                                    "No Palette", "RGB: 255 0 255", "", ""}));
}

// The facts a BM gives the command table (the table itself is pinned in CommandTableTest).
TEST(BMDocument, FactsForTheCommandTable)
{
    EXPECT_FALSE(DocumentStates(BMFacts(Frames(50), 1))[TCommand::AddFrames]);
    EXPECT_TRUE(DocumentStates(BMFacts(Frames(2), 10))[TCommand::ZoomOut]);
    EXPECT_FALSE(DocumentStates(BMFacts(Frames(2, true), 1))[TCommand::SelectPalette]);
}

TEST(DisplayPalette, BuiltInFileOrFallbackWithOneMessage)
{
    TempDir dir;
    const std::string act = Put(dir, "game.act", PaletteBytes(Ramp()));
    const TDisplayPalette file = ResolveDisplayPalette(act, "Uicolormap");
    EXPECT_TRUE(file.Name == act && file.Palette == Ramp() && !file.Problem);
    for (const std::string &bad :
         {dir.File("gone.act"), Put(dir, "garbage.pal", Text("neither RIFF nor JASC")),
          Put(dir, "short.bm", Text("BM  "))}) {
        const TDisplayPalette fallback = ResolveDisplayPalette(bad, "Uicolormap");
        EXPECT_TRUE(fallback.Name == "Uicolormap" && fallback.Palette == UicolormapPalette())
            << bad;
        ASSERT_TRUE(fallback.Problem) << bad;
        EXPECT_NE(fallback.Problem->find(bad), std::string::npos) << *fallback.Problem;
    }
    // A BM file's own palette is no name a new window starts from; nothing to report.
    const TDisplayPalette internal = ResolveDisplayPalette("Internal", "Dflt");
    EXPECT_TRUE(internal.Name == "Dflt" && !internal.Problem);
}

// Each pixel becomes a zoom block, at the origin, whatever part is exposed.
TEST(ZoomPainter, EachPixelBecomesAZoomBlockWhateverPartIsPainted)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    for (int p = 0; p < 6; ++p)
        picture.setPixel(p % 3, p / 3, qRgb(40 * (p % 3), 100 * (p / 3), 7 * p));
    for (const int zoom : {3, 10})
        for (const QRect exposed : {QRect(0, 0, 40, 30), QRect(9, 4, 6, 5)}) {
            QImage view(40, 30, QImage::Format_RGB32);
            view.fill(Qt::white);
            QPainter painter(&view);
            PaintZoomed(painter, picture, zoom, QPoint(5, 2), exposed);
            painter.end();
            for (int i = 0; i < 40 * 30; ++i) {
                const int x = i % 40, y = i / 40;
                const bool in =
                    QRect(5, 2, 3 * zoom, 2 * zoom).contains(x, y) && exposed.contains(x, y);
                ASSERT_EQ(view.pixel(x, y),
                          in ? picture.pixel((x - 5) / zoom, (y - 2) / zoom) : qRgb(255, 255, 255))
                    << "zoom " << zoom << " at " << x << "," << y;
            }
        }
}

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
    EXPECT_EQ(std::make_pair(FitMipmap(mat, 2, 4), FitMipmap(mat, 1, 0)), std::make_pair(1, 1));

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
    EXPECT_EQ(std::make_pair(colours.ColorRecords[0].Color, colours.ColorRecords[1].Color),
              std::make_pair(20, 30));
    EXPECT_EQ(colours.Header.NumTextures, 0); // what the game needs of a colour MAT
    EXPECT_EQ(FitMipmap(colours, 1, 3), 3);   // colour frames have no levels to fit
}

// Toggling a 16-bit frame's transparency converts its words once; the panel follows the frame.
TEST(MATDocument, TransparencyConvertsSixteenBitWordsOnce)
{
    TMAT mat = NewMAT(false, true);
    AddTexture(mat, 2, 1, 1, 0);
    AddTexture(mat, 2, 1, 1, 0);
    mat.Pixels[1] = {0x00, 0xF8, 0xFF, 0xFF}; // RGB565 red and white
    EXPECT_TRUE(SetFrameTransparent(mat, 2, true));
    EXPECT_FALSE(SetFrameTransparent(mat, 2, true) || SetFrameTransparent(mat, 3, true));
    EXPECT_EQ(mat.Pixels[1], (std::vector<uint8_t>{0x00, 0xFC, 0xFF, 0xFF}));
    EXPECT_EQ(mat.Pixels[0], std::vector<uint8_t>(4, 0));
    EXPECT_EQ(MATStatusTexts(mat, {2, 1, 1, false, 1, ""})[4] + "|" +
                  MATStatusTexts(mat, {1, 1, 1, false, 1, ""})[4],
              "Transparent|Not Transparent");
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
    EXPECT_FALSE(s[TCommand::AddMipmap] || s[TCommand::SelectPalette]);
    TMAT other;
    other.Header.MatType = 1;
    other.Header.NumRecords = 1000;
    EXPECT_EQ(MATFacts(other, 0, 1).Frames, 0);
}

TEST(SFTDocumentTest, OddDepthKeepsItsPanelsAndDrawsThroughThePalette)
{
    TSFT font = NewSFT(false);
    font.BMHeader.BitsPerPixel = 24;
    font.BMHeader.PaletteIncluded = 2;
    ApplyFontSettings(font, {2, 9, 5, 0});
    EXPECT_EQ(font.BMHeader.PaletteIncluded, 1);
    EXPECT_EQ(SFTStatusTexts(font, "Dflt", {"a", "b", "c", "d", "e", "f", "Character: A", "h"}),
              (std::array<std::string, 8>{"a", "Size: 0 x 0", "c", "Character Gap: 2",
                                          "Space Length: 9", "", "", "h"}));
    EXPECT_EQ(SFTFacts(font, 1).BitsPerPixel, 8);
}

TEST(SFTDocumentTest, CharacterUnderTheMouse)
{
    TSFTCharList chars;
    chars.Add({65, 10, 5});
    chars.Add({67, 12, 1}); // overlapping: the last in list order wins
    chars.Add({68, 2147483600, 100});
    EXPECT_EQ((std::array{CharacterAt(chars, 25, 2), CharacterAt(chars, 26, 2),
                          CharacterAt(chars, 2147483647, 1), CharacterAt(chars, 30, 2)}),
              (std::array<std::optional<uint16_t>, 4>{67, 65, 68, std::nullopt}));
}

TEST(CharacterTableTest, CharCellAndCodeConvertBothWays)
{
    EXPECT_EQ(CharText(65601), "A"); // the low byte
    // The ANSI code page, not Latin-1: 0x80 is the euro sign.
    EXPECT_EQ(CharText(0x80), "\xE2\x82\xAC");
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(CharCode(CharText(code)), code) << code;
    // Only one character the code page holds gives a code.
    for (const char *text : {"ab", "\xD0\x96", "\xC3"}) // Cyrillic Zhe, a broken sequence
        EXPECT_EQ(CharCode(text), std::nullopt) << text;
    EXPECT_EQ(CharGridRows({}), std::vector<TCharRow>{TCharRow{}});
}

TEST(CharacterTableTest, CountingRowsBecomeCharactersOrRefuseTheTable)
{
    // Codes modulo 65536; "Char" is not read; rows that do not count are dropped unconverted.
    const TSFTCharList chars = CharsFromRows(
        {{"65601", "B", "0", "8"}, {"-1", "", "1", "2"}, {"67", "C", "", "5"}, {"x", "", "3", ""}});
    EXPECT_EQ(std::vector<TSFTCharDef>(chars.begin(), chars.end()),
              (std::vector<TSFTCharDef>{{65, 0, 8}, {65535, 1, 2}}));
    for (const TCharRow &bad : {TCharRow{"6a", "", "0", "1"}, TCharRow{"65", "", "0", " "},
                                TCharRow{"70000000000", "", "0", "1"}})
        EXPECT_THROW(CharsFromRows({{"65", "A", "0", "8"}, bad}), EConvertError);
}

