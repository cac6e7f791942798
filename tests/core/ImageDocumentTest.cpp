// The image windows' rules without a window: view stepping, deleting and shifting, captions
// and sizes, the BM document's frames, settings, status texts and command facts, the display
// palette a window starts with, and painting at a zoom.

#include "CoreTestData.h"
#include "core/documents/GLM_BMDocument.h"
#include "core/documents/GLM_ImageDocument.h"
#include "core/documents/GLM_ZoomPainter.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace testutil;

namespace {

TImageViewState At(int frame, int zoom = 1)
{
    TImageViewState v;
    v.CurrentFrame = frame;
    v.Zoom = zoom;
    return v;
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
    struct Case
    {
        int from, count, previous, next;
    };
    for (const Case c : {Case{1, 5, 5, 2}, Case{5, 5, 4, 1}, Case{3, 5, 2, 4}, Case{1, 1, 1, 1}}) {
        TImageViewState back = At(c.from), on = At(c.from);
        back.PreviousFrame(c.count);
        on.NextFrame(c.count);
        EXPECT_EQ(back.CurrentFrame, c.previous) << c.from << " of " << c.count;
        EXPECT_EQ(on.CurrentFrame, c.next) << c.from << " of " << c.count;
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

TEST(ImageView, CaptionsAndCentring)
{
    EXPECT_EQ(WindowCaption(UntitledName(0, ".bm"), 1), "Untitled0.bm [1:1]");
    EXPECT_EQ(MainWindowCaption("/d/walk.bm", "walk.bm"), "Glimra - /d/walk.bm");
    EXPECT_EQ(MainWindowCaption("", "Untitled2.bm"), "Glimra - Untitled2.bm");
    // A picture larger than the maximized area starts left of it, truncated toward zero.
    EXPECT_EQ(CentredOffset(100, 301), -100);
}

TEST(BMDocument, DeleteAndSwapMoveImagesWithTheirBuffers)
{
    TBM bm = Frames(3);
    SwapBMFrames(bm, 1, 3);
    EXPECT_EQ(Widths(bm), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(bm.Images[0].Pixels, std::vector<uint8_t>(3, 3));
    DeleteBMFrame(bm, 1);
    EXPECT_EQ(Widths(bm), (std::vector<int>{2, 1}));
    EXPECT_EQ(bm.Images[1].Pixels, std::vector<uint8_t>{1});
    EXPECT_TRUE(bm.Images[2].Pixels.empty()); // the freed slot holds nothing
    DeleteBMFrame(bm, 5);                     // no such frame
    EXPECT_EQ(bm.NumImages(), 2);
}

TEST(BMDocument, SettingsAndStatusTexts)
{
    TBM bm8 = Frames(3), bm16 = Frames(1, true);
    bm8.Images[1] = {20, 30, std::vector<uint8_t>(600)};
    ApplyBMSettings(bm8, {-16, 4, 9, 0xF81F, true}, Ramp());
    ApplyBMSettings(bm16, {0, 0, 9, 0xF81F, false}, Ramp());
    EXPECT_EQ(bm8.Palette, Ramp());
    EXPECT_EQ(bm8.Header.PaletteIncluded, 2);
    EXPECT_EQ(bm16.Header.PaletteIncluded, 1);
    // A palette and the transparency bit: an OK that keeps the palette keeps both.
    bm8.Header.PaletteIncluded = 3;
    ApplyBMSettings(bm8, {-16, 4, 9, 0xF81F, true}, Ramp());
    EXPECT_EQ(bm8.Header.PaletteIncluded, 3);
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
    const auto states = [](int frames, int zoom, bool is16 = false) {
        return DocumentStates(BMFacts(Frames(frames, is16), zoom));
    };
    EXPECT_FALSE(states(50, 1)[TCommand::AddFrames]);
    EXPECT_TRUE(states(2, 10)[TCommand::SaveAllBitmaps] && states(2, 10)[TCommand::ZoomOut]);
    EXPECT_FALSE(states(2, 1, true)[TCommand::SelectPalette]);
}

// ---- The display palette of a new window

TEST(DisplayPalette, BuiltInFileOrFallbackWithOneMessage)
{
    TempDir dir;
    const std::string act = Put(dir, "game.act", PaletteBytes(Ramp()));
    const TDisplayPalette file = ResolveDisplayPalette(act, "Uicolormap");
    EXPECT_EQ(file.Name, act);
    EXPECT_EQ(file.Palette, Ramp());
    EXPECT_FALSE(file.Problem);

    for (const std::string &bad :
         {dir.File("gone.act"), Put(dir, "garbage.pal", Text("neither RIFF nor JASC")),
          Put(dir, "short.bm", Text("BM  "))}) {
        const TDisplayPalette fallback = ResolveDisplayPalette(bad, "Uicolormap");
        EXPECT_EQ(fallback.Name, "Uicolormap") << bad;
        EXPECT_EQ(fallback.Palette, UicolormapPalette()) << bad;
        ASSERT_TRUE(fallback.Problem) << bad;
        EXPECT_NE(fallback.Problem->find(bad), std::string::npos) << *fallback.Problem;
    }
    // A BM file's own palette is no name a new window starts from; nothing to report.
    const TDisplayPalette internal = ResolveDisplayPalette("Internal", "Dflt");
    EXPECT_EQ(internal.Name, "Dflt");
    EXPECT_FALSE(internal.Problem);
}

// ---- Painting at a zoom

TEST(ZoomPainter, EachPixelBecomesAZoomBlockWhateverPartIsPainted)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, y, qRgb(40 * x, 100 * y, 7 * (x + y)));
    const QPoint origin(5, 2);
    for (const int zoom : {3, 4, 7, 10})
        for (const QRect exposed : {QRect(0, 0, 40, 30), QRect(9, 4, 6, 5), QRect(13, 7, 1, 1)}) {
            QImage view(40, 30, QImage::Format_RGB32);
            view.fill(Qt::white);
            {
                QPainter painter(&view);
                PaintZoomed(painter, picture, zoom, origin, exposed);
            }
            const QRect zoomed(origin, picture.size() * zoom);
            for (int y = 0; y < view.height(); ++y)
                for (int x = 0; x < view.width(); ++x) {
                    const QPoint p(x, y);
                    const QRgb expected =
                        zoomed.contains(p) && exposed.contains(p)
                            ? picture.pixel((x - origin.x()) / zoom, (y - origin.y()) / zoom)
                            : qRgb(255, 255, 255);
                    ASSERT_EQ(view.pixel(p), expected)
                        << "zoom " << zoom << " at " << x << "," << y;
                }
        }
}
