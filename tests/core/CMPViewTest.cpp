// The CMP window's rules without a widget: stepping through the views, the cell under the
// mouse, the texts and the drawn grid; and saving over a file with a backup.

#include <filesystem>

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "CoreTestData.h"
#include "SaveFaults.h"
#include "core/GLM_CMPView.h"
#include "core/documents/GLM_ImageDocument.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"

using namespace testutil;

namespace {

TEST(CMPView, SteppingTurnsAtTheLastViewOfTheFlag)
{
    struct TStep
    {
        int From;
        int32_t Flag;
        int Next;
        int Previous;
    };
    const TStep steps[] = {
        {0, 0, 1, 64},
        {64, 0, 0, 63},
        {0, 1, 1, 320},
        {64, 1, 65, 63},
        {320, 1, 0, 319},
        // Any flag other than 0 has tables, as 1 has.
        {0, 2, 1, 320},
        {320, -1, 0, 319},
        // A transparency view left showing after the tables were switched off.
        {65, 0, 0, 64},
        {320, 0, 0, 64},
    };
    for (const TStep &s : steps) {
        SCOPED_TRACE(std::to_string(s.From) + " flag " + std::to_string(s.Flag));
        EXPECT_EQ(CMPNextFrame(s.From, s.Flag), s.Next);
        EXPECT_EQ(CMPPreviousFrame(s.From, s.Flag), s.Previous);
    }
}

TEST(CMPView, TextsAndTheCellUnderTheMouse)
{
    EXPECT_EQ(CMPStatusTexts(1, 0),
              (std::array<std::string, 8>{"CMP", "Light Table: 1", "Not Transparent"}));
    EXPECT_EQ(CMPStatusTexts(0, 7)[1] + "|" + CMPStatusTexts(0, 7)[2], "Palette|Transparent");
    EXPECT_EQ(CMPViewText(64) + "|" + CMPViewText(65) + "|" + CMPViewText(320),
              "Light Table: 64|Trans Table: 1|Trans Table: 256");
    TPalette palette = Filled(0);
    palette[10] = {255, 0, 0};
    EXPECT_EQ(CMPIndexText(10) + " " + CMPColorText(palette, 10), "Index: 10 RGB: 255 0 0");
    // x, y, cell size, zoom and the cell: outside the grid (a drag reports such points) there
    // is none; a cell size below 1 is taken as 1, never divided by.
    const std::array<int, 5> cells[] = {{45, 45, 20, 2, 17}, {45, 45, 20, 1, 34}, {39, 0, 20, 2, 0},
                                        {319, 319, 20, 1, 255}, {320, 0, 20, 1, -1},
                                        {-1, 5, 20, 1, -1}, {5, 1, 0, 1, 21}, {5, 1, -5, 1, 21}};
    for (const auto &[x, y, size, zoom, cell] : cells)
        EXPECT_EQ(CMPCellAt(x, y, size, zoom), cell) << x << "," << y << " " << size << " " << zoom;
    EXPECT_EQ(CMPGridSide(20, 10), 3200);
    EXPECT_EQ(CMPGridSide(1 << 30, 10), 16 * MaxCMPCellSize * 10); // a huge cell size is bounded
}

QImage Draw(const TCMP &cmp, int frame, int zoom, TColor fill)
{
    QImage image(CMPGridSide(20, zoom), CMPGridSide(20, zoom), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawCMPGrid(painter, cmp, frame, 20, zoom, fill);
    return image;
}

TEST(CMPView, GridCellsAndLines)
{
    TCMP cmp;
    cmp.Palette = Ramp(); // entry k = (k, 255 - k, 7k mod 256)
    cmp.LightLevels[4][17] = 200;

    // Cell 17 (row 1, column 1) spans 20..39, the line at 20; no line along the edges.
    const QImage plain = Draw(cmp, 0, 1, 0);
    EXPECT_EQ(plain.pixel(21, 21), qRgb(17, 238, 119));
    EXPECT_EQ(plain.pixel(20, 30), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(30, 20), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(plain.pixel(319, 319), qRgb(255, 0, 249));
    EXPECT_EQ(Draw(cmp, 5, 1, 0).pixel(30, 30), qRgb(200, 55, 120));

    // Zoom 2: every pixel a 2 x 2 block, lines included.
    const QImage zoomed = Draw(cmp, 0, 2, 0);
    EXPECT_EQ(zoomed.pixel(39, 60), qRgb(16, 239, 112));
    EXPECT_EQ(zoomed.pixel(40, 60), qRgb(255, 255, 255));
    EXPECT_EQ(zoomed.pixel(41, 60), qRgb(255, 255, 255));
    EXPECT_EQ(zoomed.pixel(42, 60), qRgb(17, 238, 119));

    // Black lines only for a fill of exactly white.
    EXPECT_EQ(Draw(cmp, 0, 1, MakeColor(255, 255, 255)).pixel(20, 5), qRgb(0, 0, 0));
    EXPECT_EQ(CMPGridLineColor(MakeColor(255, 255, 254)), MakeColor(255, 255, 255));
}

// ---------------------------------------------------------------------------------------------

std::string Text(const std::string &path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

auto Writer(const std::string &text)
{
    return [text](const std::string &path) {
        SaveBytesAtomically(path, {text.begin(), text.end()});
    };
}

size_t FileCount(const TempDir &dir)
{
    return size_t(std::distance(std::filesystem::directory_iterator(dir.Path), {}));
}

TEST(SafeSave, OldFileBecomesTheBackupOnlyOnceTheNewOneIsWritten)
{
    EXPECT_EQ(ChangeFileExt("/d/walls.x.cmp", ".~cmp"), "/d/walls.x.~cmp");
    EXPECT_EQ(ChangeFileExt("/d/a.b/walls", ".~cmp"), "/d/a.b/walls.~cmp");

    TempDir dir;
    const std::string file = dir.File("a.cmp");
    const std::string backup = dir.File("a.~cmp");
    Put(dir, "a.cmp", {'o', 'l', 'd'});
    Put(dir, "a.~cmp", {'o', 'l', 'd', 'e', 'r'});
    {
        TScopedFullDisk full(100);
        EXPECT_EQ(MessageOf([&] { SaveWithBackup(file, ".~cmp", Writer(std::string(1000, 'x'))); }),
                  "Disk full");
    }
    // A writer that leaves a half-written file behind and fails.
    EXPECT_EQ(MessageOf([&] {
                  SaveWithBackup(file, ".~cmp", [](const std::string &p) {
                      WriteFile(p, {'h', 'a', 'l', 'f'});
                      throw EInOutError(EInOutError::DiskFull);
                  });
              }),
              "Disk full");
    EXPECT_EQ(Text(file) + "/" + Text(backup), "old/older");
    EXPECT_EQ(FileCount(dir), 2u);

    SaveWithBackup(file, ".~cmp", Writer("new"));
    EXPECT_EQ(Text(file) + "/" + Text(backup), "new/old");
    EXPECT_EQ(FileCount(dir), 2u);
    // Without a backup extension, or for a new file, only the file is written.
    SaveWithBackup(file, "", Writer("newer"));
    SaveWithBackup(dir.File("b.cmp"), ".~cmp", Writer("b"));
    EXPECT_EQ(Text(file) + "/" + Text(backup), "newer/old");
    EXPECT_EQ(FileCount(dir), 3u);
    // A read-only file is refused before the backup is touched.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(MessageOf([&] { SaveWithBackup(file, ".~cmp", Writer("x")); }), "File access denied");
    EXPECT_EQ(Text(file) + "/" + Text(backup), "newer/old");
}

} // namespace
