// The CMP window's rules without a widget: stepping through the views, the cell under the
// mouse, the texts, the drawn grid; and saving with a backup.

#include <filesystem>

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "CoreTestData.h"
#include "TestWriteLimit.h"
#include "core/GLM_CMPView.h"
#include "core/GLM_SafeSave.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"

using namespace testutil;

namespace {

struct TStep
{
    int From;
    int32_t Flag;
    int Next;
    int Previous;
};

TEST(CMPView, SteppingTurnsAtTheLastViewOfTheFlag)
{
    const TStep steps[] = {
        {0, 0, 1, 64},      {64, 0, 0, 63},    {63, 0, 64, 62},   {0, 1, 1, 320},
        {64, 1, 65, 63},    {320, 1, 0, 319},  {1, 1, 2, 0},
        // A flag other than 0 or 1 has tables as 1 has.
        {0, 2, 1, 320},     {320, -1, 0, 319},
        // A transparency view left showing after the tables were switched off.
        {200, 0, 0, 64},    {65, 0, 0, 64},    {320, 0, 0, 64},
    };
    for (const TStep &s : steps) {
        SCOPED_TRACE(std::to_string(s.From) + " flag " + std::to_string(s.Flag));
        EXPECT_EQ(CMPNextFrame(s.From, s.Flag), s.Next);
        EXPECT_EQ(CMPPreviousFrame(s.From, s.Flag), s.Previous);
    }
}

TEST(CMPView, ViewTextsAndStatusPanels)
{
    EXPECT_EQ(CMPViewText(0), "Palette");
    EXPECT_EQ(CMPViewText(1), "Light Table: 1");
    EXPECT_EQ(CMPViewText(64), "Light Table: 64");
    EXPECT_EQ(CMPViewText(65), "Trans Table: 1");
    EXPECT_EQ(CMPViewText(320), "Trans Table: 256");

    const auto texts = CMPStatusTexts(1, 0);
    EXPECT_EQ(texts, (std::array<std::string, 8>{"CMP", "Light Table: 1", "Not Transparent"}));
    EXPECT_EQ(CMPStatusTexts(0, 1)[2], "Transparent");
    EXPECT_EQ(CMPStatusTexts(0, 7)[2], "Transparent");
}

TEST(CMPView, ViewIndexReadsTheViewsTable)
{
    TCMP cmp;
    cmp.LightLevels[0][5] = 40;
    cmp.LightLevels[63][5] = 41;
    cmp.TransTables[0][5] = 42;
    cmp.TransTables[255][5] = 43;
    EXPECT_EQ(CMPViewIndex(cmp, 0, 5), 5);
    EXPECT_EQ(CMPViewIndex(cmp, 1, 5), 40);
    EXPECT_EQ(CMPViewIndex(cmp, 64, 5), 41);
    EXPECT_EQ(CMPViewIndex(cmp, 65, 5), 42);
    EXPECT_EQ(CMPViewIndex(cmp, 320, 5), 43);
    EXPECT_EQ(CMPViewIndex(cmp, 321, 5), 5);
    EXPECT_EQ(CMPViewIndex(cmp, -1, 5), 5);
}

TEST(CMPView, CellUnderTheMouseFollowsZoomAndCellSize)
{
    EXPECT_EQ(CMPCellAt(45, 45, 20, 2), 17);
    EXPECT_EQ(CMPCellAt(45, 45, 20, 1), 34);
    EXPECT_EQ(CMPCellAt(0, 0, 20, 1), 0);
    EXPECT_EQ(CMPCellAt(319, 319, 20, 1), 255);
    EXPECT_EQ(CMPCellAt(39, 0, 20, 2), 0);
    EXPECT_EQ(CMPCellAt(40, 0, 20, 2), 1);
    // Outside the grid (a drag can report such points) there is no cell.
    EXPECT_EQ(CMPCellAt(320, 0, 20, 1), -1);
    EXPECT_EQ(CMPCellAt(0, 320, 20, 1), -1);
    EXPECT_EQ(CMPCellAt(-1, 5, 20, 1), -1);
    // A cell size below 1 is taken as 1, never as a division by zero.
    EXPECT_EQ(CMPCellAt(5, 1, 0, 1), 21);
    EXPECT_EQ(CMPCellAt(5, 1, -5, 1), 21);
}

TEST(CMPView, CellSizeIsBounded)
{
    EXPECT_EQ(EffectiveCMPCellSize(0), 1);
    EXPECT_EQ(EffectiveCMPCellSize(-20), 1);
    EXPECT_EQ(EffectiveCMPCellSize(20), 20);
    EXPECT_EQ(EffectiveCMPCellSize(1 << 30), MaxCMPCellSize);
    EXPECT_EQ(CMPGridSide(20, 1), 320);
    EXPECT_EQ(CMPGridSide(20, 10), 3200);
    EXPECT_EQ(CMPGridSide(1 << 30, 10), 16 * MaxCMPCellSize * 10);
}

TEST(CMPView, HoverTexts)
{
    TPalette palette = Filled(0);
    palette[10] = {255, 0, 0};
    EXPECT_EQ(CMPIndexText(10), "Index: 10");
    EXPECT_EQ(CMPColorText(palette, 10), "RGB: 255 0 0");
}

QImage Draw(const TCMP &cmp, int frame, int cellSize, int zoom, TColor fill)
{
    const int side = CMPGridSide(cellSize, zoom);
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawCMPGrid(painter, cmp, frame, cellSize, zoom, fill);
    return image;
}

TEST(CMPView, GridCellsAndLines)
{
    TCMP cmp;
    cmp.Palette = Ramp();
    cmp.LightLevels[4][17] = 200; // light table 5

    const QImage plain = Draw(cmp, 0, 20, 1, 0);
    ASSERT_EQ(plain.size(), QSize(320, 320));
    // Cell 17 (row 1, column 1) spans 20..39 with the line at 20 on top and left.
    EXPECT_EQ(plain.pixel(30, 30), qRgb(17, 238, 119));
    EXPECT_EQ(plain.pixel(21, 21), qRgb(17, 238, 119));
    EXPECT_EQ(plain.pixel(20, 30), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(30, 20), qRgb(255, 255, 255));
    // No line along the outer edges.
    EXPECT_EQ(plain.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(plain.pixel(319, 319), qRgb(255, 0, 255 * 7 % 256));

    const QImage light = Draw(cmp, 5, 20, 1, 0);
    EXPECT_EQ(light.pixel(30, 30), qRgb(200, 55, 200 * 7 % 256));

    // Zoom 2: every pixel a 2 x 2 block, the lines two pixels wide.
    const QImage zoomed = Draw(cmp, 0, 20, 2, 0);
    ASSERT_EQ(zoomed.size(), QSize(640, 640));
    EXPECT_EQ(zoomed.pixel(40, 60), qRgb(255, 255, 255));
    EXPECT_EQ(zoomed.pixel(41, 60), qRgb(255, 255, 255));
    EXPECT_EQ(zoomed.pixel(42, 60), qRgb(17, 238, 119));
    EXPECT_EQ(zoomed.pixel(39, 60), qRgb(16, 239, 112));
}

TEST(CMPView, GridLinesAreBlackOnlyForAWhiteFill)
{
    TCMP cmp;
    cmp.FillPalette(255, 255, 255);
    const QImage white = Draw(cmp, 0, 20, 1, MakeColor(255, 255, 255));
    EXPECT_EQ(white.pixel(20, 5), qRgb(0, 0, 0));
    EXPECT_EQ(white.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(CMPGridLineColor(MakeColor(255, 255, 254)), MakeColor(255, 255, 255));
    EXPECT_EQ(CMPGridLineColor(0), MakeColor(255, 255, 255));
}

TEST(CMPView, NamesAndTheRecalculationRule)
{
    EXPECT_EQ(CMPUntitledName(0), "Untitled0.cmp");
    EXPECT_FALSE(CMPNeedsTransRecalc(false, 1));
    EXPECT_FALSE(CMPNeedsTransRecalc(true, 0));
    EXPECT_TRUE(CMPNeedsTransRecalc(true, 1));
    EXPECT_TRUE(CMPNeedsTransRecalc(true, 2));
}

// ---------------------------------------------------------------------------------------------

TEST(SafeSave, BackupNames)
{
    EXPECT_EQ(ChangeFileExt("/d/walls.cmp", ".~cmp"), "/d/walls.~cmp");
    EXPECT_EQ(ChangeFileExt("/d/a.b/walls", ".~cmp"), "/d/a.b/walls.~cmp");
    EXPECT_EQ(ChangeFileExt("/d/walls.x.CMP", ".~cmp"), "/d/walls.x.~cmp");
    EXPECT_EQ(ChangeFileExt("C:\\d.e\\walls", ".~sft"), "C:\\d.e\\walls.~sft");
}

void WriteText(const std::string &path, const std::string &text)
{
    WriteFile(path, {text.begin(), text.end()});
}

std::string ReadText(const std::string &path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

auto Writer(const std::string &text)
{
    return [text](const std::string &path) { SaveBytesAtomically(path, {text.begin(), text.end()}); };
}

TEST(SafeSave, OldFileBecomesTheBackupReplacingAnOlderOne)
{
    TempDir dir;
    const std::string file = dir.File("a.cmp");
    WriteText(file, "old");
    WriteText(dir.File("a.~cmp"), "older");
    SaveWithBackup(file, ".~cmp", Writer("new"));
    EXPECT_EQ(ReadText(file), "new");
    EXPECT_EQ(ReadText(dir.File("a.~cmp")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 2);

    // Without a backup extension, or for a new file, only the file is written.
    SaveWithBackup(file, "", Writer("newer"));
    SaveWithBackup(dir.File("b.cmp"), ".~cmp", Writer("b"));
    EXPECT_EQ(ReadText(file), "newer");
    EXPECT_EQ(ReadText(dir.File("a.~cmp")), "old");
    EXPECT_EQ(ReadText(dir.File("b.cmp")), "b");
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.~cmp")));
}

TEST(SafeSave, AFailedWriteLeavesFileAndBackupAsTheyWere)
{
    TempDir dir;
    const std::string file = dir.File("a.cmp");
    WriteText(file, "old");
    WriteText(dir.File("a.~cmp"), "older");
    {
        TScopedWriteLimit full(100);
        EXPECT_THROW(SaveWithBackup(file, ".~cmp", Writer(std::string(1000, 'x'))),
                     EInOutError);
    }
    EXPECT_EQ(ReadText(file), "old");
    EXPECT_EQ(ReadText(dir.File("a.~cmp")), "older");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 2);
}

TEST(SafeSave, ReadOnlyFileIsRefusedUntouched)
{
    TempDir dir;
    const std::string file = dir.File("a.cmp");
    WriteText(file, "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_THROW(SaveWithBackup(file, ".~cmp", Writer("new")), EInOutError);
    EXPECT_EQ(ReadText(file), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.~cmp")));
}

} // namespace
