// The replace confirmation: size and date texts, the two button layouts, the desktop icon and
// the result of each way out.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>

#include "TestFiles.h"
#include "GLM_TestPlatform.h"
#include "ui/kit/GLM_FileReplaceForm.h"

namespace {

const QLocale English(QLocale::English, QLocale::UnitedKingdom);
const QLocale German(QLocale::German, QLocale::Germany);

} // namespace

// Guards the size rule: powers of ten, at most two decimals with halves to even, no trailing
// zeros, units switching at 1000 and 1000000 bytes, the locale's decimal separator.
TEST(FileReplaceTexts, SizesAtEachUnitAndRounding)
{
    const std::pair<int64_t, const char *> cases[] = {
        {0, "0 bytes"},      {999, "999 bytes"},  {1000, "1 KB"},      {1200, "1.2 KB"},
        {1234, "1.23 KB"},   {1205, "1.2 KB"},    {12345, "12.34 KB"}, {12355, "12.36 KB"},
        {12346, "12.35 KB"}, {999999, "1000 KB"}, {1000000, "1 MB"},   {2500000, "2.5 MB"},
        {5000000, "5 MB"},   {3000000000LL, "3000 MB"}}; // the last beyond 32 bits
    for (const auto &[size, text] : cases)
        EXPECT_EQ(FileSizeText(size, English), text) << size;
    EXPECT_EQ(FileSizeText(12345, German), "12,34 KB");
}

// Guards the date text: locale names of day and month, 12-hour clock without leading zero,
// and "AM"/"PM" in capitals even where the locale writes them otherwise.
TEST(FileReplaceTexts, DatesWithLocaleNamesAndCapitalAmPm)
{
    const QDate wednesday(2025, 9, 3);
    EXPECT_EQ(FileDateText(QDateTime(wednesday, QTime(0, 0, 0)), English),
              "Wednesday, 3 September 2025, 12:00:00 AM");
    EXPECT_EQ(FileDateText(QDateTime(wednesday, QTime(12, 30, 0)), English),
              "Wednesday, 3 September 2025, 12:30:00 PM");
    EXPECT_EQ(FileDateText(QDateTime(QDate(2024, 3, 4), QTime(9, 3, 7)), German),
              "Montag, 4 März 2024, 9:03:07 AM");
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    const std::string text = FileDateText(QDateTime(wednesday, QTime(23, 59, 59)), spanish);
    const QString start = spanish.dayName(3) + ", 3 " + spanish.monthName(9);
    EXPECT_EQ(text.rfind(start.toStdString(), 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 12), " 11:59:59 PM") << text;
}

namespace {

class FileReplaceFormTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(English); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    std::string MakeFile(const std::string &name, size_t size,
                         const QDateTime &modified = QDateTime::currentDateTime())
    {
        testutil::WriteFile(Dir.File(name), std::vector<uint8_t>(size, 0x5A));
        QFile file(QString::fromStdString(Dir.File(name)));
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        EXPECT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
        return Dir.File(name);
    }
    // Shows the dialog for `path`; `user` plays the user while it is open.
    int Show(const std::string &path, bool multiple,
             const std::function<void(TFileReplaceForm &)> &user = [](TFileReplaceForm &) {})
    {
        Form.FileName = path;
        Form.MultipleFiles = multiple;
        TScopedModalDriver driver([&](TModalForm &) { user(Form); });
        return Form.ShowModal();
    }
    QColor IconCentre() const { return Form.IconImage->pixmap().toImage().pixelColor(16, 16); }

    TTestPlatform Desk;
    testutil::TempDir Dir;
    TFileReplaceForm Form;
};

} // namespace

// Guards the two layouts: a single file offers Yes and No together in the middle; a run over
// several files adds Yes to All and Cancel with Yes moved to the left, and a later single
// file gets the middle layout back. Positions are the design's in its 352-pixel row, which
// stays centred when the texts widen the dialog.
TEST_F(FileReplaceFormTest, ButtonLayoutsForOneAndManyFiles)
{
    const std::string path = MakeFile("a.bm", 10);
    const auto row = [](TFileReplaceForm &f) { return (f.width() - 352) / 2; };
    const auto single = [&row](TFileReplaceForm &f) {
        EXPECT_TRUE(f.YesButton->isVisible() && f.NoButton->isVisible());
        EXPECT_FALSE(f.YesToAllButton->isVisible() || f.CancelButton->isVisible());
        EXPECT_FALSE(f.YesToAllButton->isEnabled() || f.CancelButton->isEnabled());
        EXPECT_EQ(f.YesButton->x() - row(f), 95);
        EXPECT_EQ(f.NoButton->x() - row(f), 180);
    };
    Show(path, false, single);
    Show(path, true, [&row](TFileReplaceForm &f) {
        for (QPushButton *b : {f.YesButton, f.YesToAllButton, f.NoButton, f.CancelButton})
            EXPECT_TRUE(b->isVisible() && b->isEnabled()) << b->text().toStdString();
        EXPECT_EQ(f.YesButton->x() - row(f), 10);
        EXPECT_EQ(f.YesToAllButton->x() - row(f), 95);
        EXPECT_EQ(f.CancelButton->x() - row(f), 265);
        EXPECT_EQ(f.YesToAllButton->text(), "Yes to &All");
    });
    Show(path, false, single);
}

// Guards the labels filled from the file itself (name, size, local modification time) and the
// icon from the desktop: a file without one, or a file that has gone, keeps what the last
// showing displayed.
TEST_F(FileReplaceFormTest, LabelsAndIconDescribeTheExistingFile)
{
    const std::string wall =
        MakeFile("wall.mat", 12345, QDateTime(QDate(2024, 1, 15), QTime(21, 3, 7)));
    QPixmap red(32, 32);
    red.fill(Qt::red);
    Desk.Desktop.Icon = QIcon(red);
    Show(wall, false);
    EXPECT_EQ(Form.windowTitle(), "Confirm File Replace");
    EXPECT_EQ(Form.NameLabel->text(), "This folder already contains a file named 'wall.mat'.");
    EXPECT_EQ(Form.Label1->text(), "Would you like to replace the existing file?");
    EXPECT_EQ(Form.SizeLabel->text(), "12.34 KB");
    EXPECT_EQ(Form.DateLabel->text(), "modified on Monday, 15 January 2024, 9:03:07 PM");
    EXPECT_EQ(Desk.Desktop.IconRequests, std::vector<std::string>{wall});
    EXPECT_EQ(IconCentre(), QColor(Qt::red));

    Desk.Desktop.Icon = QIcon();
    Show(MakeFile("b.sft", 2500000), false);
    EXPECT_EQ(IconCentre(), QColor(Qt::red));
    EXPECT_EQ(Form.SizeLabel->text(), "2.5 MB");
    Show(Dir.File("gone.bm"), false);
    EXPECT_EQ(Form.NameLabel->text(), "This folder already contains a file named 'b.sft'.");
    EXPECT_EQ(Form.SizeLabel->text(), "2.5 MB");
}

// Guards the result codes callers compare against, the close box included.
TEST_F(FileReplaceFormTest, EachWayOutGivesItsResult)
{
    const std::string path = MakeFile("a.cmp", 1000);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.YesButton->click(); }), 6);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.YesToAllButton->click(); }), 10);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.NoButton->click(); }), 7);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.CancelButton->click(); }), 2);
    EXPECT_EQ(Show(path, false, [](TFileReplaceForm &f) { f.close(); }), 2);
}
