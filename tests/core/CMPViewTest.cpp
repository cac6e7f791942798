// The CMP window's rules without a widget (stepping, the cell under the mouse, texts), and saving over a file with a backup.

#include <filesystem>

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
    // From, flag, next, previous: any flag but 0 has tables; a transparency view may be left
    // showing after the tables were switched off.
    const std::array<int, 4> steps[] = {{0, 0, 1, 64},     {64, 0, 0, 63},   {0, 1, 1, 320},
                                        {64, 1, 65, 63},   {320, 1, 0, 319}, {0, 2, 1, 320},
                                        {320, -1, 0, 319}, {65, 0, 0, 64},   {320, 0, 0, 64}};
    for (const auto &[from, flag, next, previous] : steps)
        EXPECT_EQ(std::make_pair(CMPNextFrame(from, flag), CMPPreviousFrame(from, flag)),
                  std::make_pair(next, previous))
            << from << " flag " << flag;
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
    // x, y, cell size, zoom and the cell: none outside the grid (a drag reports such points);
    // a cell size below 1 is taken as 1, never divided by.
    const std::array<int, 5> cells[] = {
        {45, 45, 20, 2, 17}, {45, 45, 20, 1, 34}, {39, 0, 20, 2, 0}, {319, 319, 20, 1, 255},
        {320, 0, 20, 1, -1}, {-1, 5, 20, 1, -1},  {5, 1, 0, 1, 21},  {5, 1, -5, 1, 21}};
    for (const auto &[x, y, size, zoom, cell] : cells)
        EXPECT_EQ(CMPCellAt(x, y, size, zoom), cell) << x << "," << y << " " << size << " " << zoom;
    EXPECT_EQ(CMPGridSide(20, 10), 3200);
    EXPECT_EQ(CMPGridSide(1 << 30, 10), CMPGridSide(MaxCMPCellSize, 10)); // bounded
}

// The old file becomes the backup only once the new one is complete; a failed write leaves
// file and backup alone.
TEST(SafeSave, OldFileBecomesTheBackupOnlyOnceTheNewOneIsWritten)
{
    EXPECT_EQ(ChangeFileExt("/d/walls.x.cmp", ".~cmp"), "/d/walls.x.~cmp");
    EXPECT_EQ(ChangeFileExt("/d/a.b/walls", ".~cmp"), "/d/a.b/walls.~cmp");
    TempDir dir;
    const std::string file = Put(dir, "a.cmp", Text("old")),
                      backup = Put(dir, "a.~cmp", Text("older"));
    const auto state = [&] {
        return std::make_tuple(ReadFile(file), ReadFile(backup), FolderNames(dir.Path).size());
    };
    const auto writer = [](const std::string &text) {
        return [text](const std::string &path) { SaveBytesAtomically(path, Text(text)); };
    };
    {
        TScopedFullDisk full(100);
        EXPECT_EQ(MessageOf([&] { SaveWithBackup(file, ".~cmp", writer(std::string(1000, 'x'))); }),
                  "Disk full");
    }
    const auto halfWritten = [](const std::string &p) { // leaves a file behind and fails
        WriteFile(p, Text("half"));
        throw EInOutError(EInOutError::DiskFull);
    };
    EXPECT_EQ(MessageOf([&] { SaveWithBackup(file, ".~cmp", halfWritten); }), "Disk full");
    EXPECT_EQ(state(), std::make_tuple(Text("old"), Text("older"), size_t(2)));
    SaveWithBackup(file, ".~cmp", writer("new"));
    EXPECT_EQ(state(), std::make_tuple(Text("new"), Text("old"), size_t(2)));
    // Without a backup extension, or for a new file, only the file is written.
    SaveWithBackup(file, "", writer("newer"));
    SaveWithBackup(dir.File("b.cmp"), ".~cmp", writer("b"));
    EXPECT_EQ(state(), std::make_tuple(Text("newer"), Text("old"), size_t(3)));
    // A read-only file is refused before the backup is touched.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(MessageOf([&] { SaveWithBackup(file, ".~cmp", writer("x")); }), "File access denied");
    EXPECT_EQ(state(), std::make_tuple(Text("newer"), Text("old"), size_t(3)));
}

} // namespace
