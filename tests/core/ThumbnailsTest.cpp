// Thumbnails: each kind as its window draws its first frame, fitted with its shape kept; the
// worker hands pictures to the receiver's thread, newest requests first, and drops those a
// Clear made stale.

#include <atomic>
#include <thread>

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include "GameFiles.h"
#include "core/GLM_Thumbnails.h"

using namespace testutil;

namespace {

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
}

} // namespace

TEST(Thumbnails, EachKindAsItsWindowDrawsItsFirstFrame)
{
    const TPalette shown = DfltPalette(), own = Ramp();
    struct TCase
    {
        const char *Name;
        std::vector<uint8_t> Bytes;
        int Side;
        QSize Size;       // 0 x 0: no picture
        QRgb First, Last; // the top-left and bottom-right pixels
    };
    const std::vector<uint8_t> mat = TextureMAT({{8, 4, 1, 5}, {8, 4, 1, 6}});
    const TCase cases[] = {
        {"mat\\a.mat", mat, 16, {16, 8}, Rgb(shown[5]), Rgb(shown[5])},
        {"B.BM", BMBytes({{2, 2, 7}}, 8, &own), 4, {4, 4}, Rgb(own[7]), Rgb(own[7])},
        {"b.bm", BMBytes({{2, 6, 7}}), 12, {4, 12}, Rgb(shown[7]), Rgb(shown[7])},
        {"f.sft", SFTBytes({{65, 0, 2}}, 40, 4, 8, 9), 8, {8, 4}, Rgb(shown[9]), Rgb(shown[9])},
        {"c.cmp", CMPBytes(0), 32, {32, 32}, Rgb(own[0]), Rgb(own[255])},
        {"short.mat", {mat.begin(), mat.end() - 1}, 16, {0, 0}, 0, 0},
        {"notes.txt", {1, 2, 3}, 16, {0, 0}, 0, 0},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const QImage picture = MemberThumbnail(c.Name, c.Bytes, shown, c.Side);
        ASSERT_EQ(picture.size(), c.Size);
        if (!c.Size.isEmpty()) {
            EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, c.First & 0xFFFFFF);
            EXPECT_EQ(picture.pixel(c.Size.width() - 1, c.Size.height() - 1) & 0xFFFFFF,
                      c.Last & 0xFFFFFF);
        }
    }
}

TEST(Thumbnails, TheWorkerHandsOnNewestFirstOnTheReceiversThreadAndDropsStaleOnes)
{
    int argc = 1;
    char name[] = "thumbnails";
    char *argv[] = {name};
    QCoreApplication application(argc, argv);
    QObject receiver;
    std::vector<int> got;
    bool onReceiversThread = true;
    TThumbnailMaker maker(&receiver, [&](int key, const QImage &picture) {
        got.push_back(picture.isNull() ? -key : key);
        onReceiversThread = onReceiversThread && QThread::currentThread() == receiver.thread();
    });
    const std::vector<uint8_t> mat = TextureMAT({{4, 4, 1, 1}});
    std::atomic<bool> go{false};
    const auto held = [&] {
        while (!go)
            std::this_thread::yield();
        return mat;
    };
    const auto ready = [&] { return mat; };
    // The first holds the one worker until the others wait in the queue.
    maker.Request(1, "a.mat", held, DfltPalette(), 8);
    maker.Request(2, "a.mat", ready, DfltPalette(), 8);
    maker.Request(
        3, "a.mat", [&]() -> std::vector<uint8_t> { throw std::runtime_error("x"); }, DfltPalette(),
        8);
    go = true;
    maker.WaitForDone();
    EXPECT_TRUE(got.empty()); // handed on through the receiver's event queue only
    QCoreApplication::processEvents();
    EXPECT_EQ(got, (std::vector<int>{1, -3, 2}));
    EXPECT_TRUE(onReceiversThread);

    got.clear();
    go = false;
    maker.Request(4, "a.mat", held, DfltPalette(), 8);
    maker.Request(5, "a.mat", ready, DfltPalette(), 8);
    maker.Clear();
    maker.Request(6, "a.mat", ready, DfltPalette(), 8);
    go = true;
    maker.WaitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(got, std::vector<int>{6});
}
