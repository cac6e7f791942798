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
#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_FileReplaceForm.h"

namespace {

const QLocale English(QLocale::English, QLocale::UnitedKingdom);
const QLocale German(QLocale::German, QLocale::Germany);

// Sets the default locale for the life of the object.
class TScopedLocale
{
public:
    explicit TScopedLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~TScopedLocale() { QLocale::setDefault(FPrevious); }

private:
    QLocale FPrevious;
};

std::string MakeFile(const testutil::TempDir &dir, const std::string &name, size_t size,
                     const QDateTime &modified)
{
    const std::string path = dir.File(name);
    testutil::WriteFile(path, std::vector<uint8_t>(size, 0x5A));
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    EXPECT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    return path;
}

QIcon SolidIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor IconCentre(const TFileReplaceForm &form)
{
    return form.IconImage->pixmap().toImage().pixelColor(16, 16);
}

} // namespace

// Guards the size rule: powers of ten, at most two decimals with halves to even, no trailing
// zeros, units switching at 1000 and 1000000 bytes.
TEST(FileReplaceSize, TextsAtEachUnitAndRounding)
{
    EXPECT_EQ(FileSizeText(0, English), "0 bytes");
    EXPECT_EQ(FileSizeText(999, English), "999 bytes");
    EXPECT_EQ(FileSizeText(1000, English), "1 KB");
    EXPECT_EQ(FileSizeText(1200, English), "1.2 KB");
    EXPECT_EQ(FileSizeText(1234, English), "1.23 KB");
    EXPECT_EQ(FileSizeText(1205, English), "1.2 KB");     // 120.5 rounds to even 120
    EXPECT_EQ(FileSizeText(12345, English), "12.34 KB");  // 1234.5 rounds to even 1234
    EXPECT_EQ(FileSizeText(12355, English), "12.36 KB");  // 1235.5 rounds to even 1236
    EXPECT_EQ(FileSizeText(12346, English), "12.35 KB");
    EXPECT_EQ(FileSizeText(999999, English), "1000 KB");
    EXPECT_EQ(FileSizeText(1000000, English), "1 MB");
    EXPECT_EQ(FileSizeText(2500000, English), "2.5 MB");
    EXPECT_EQ(FileSizeText(5000000, English), "5 MB");
    EXPECT_EQ(FileSizeText(3000000000LL, English), "3000 MB"); // beyond 32 bits
    EXPECT_EQ(FileSizeText(12345, German), "12,34 KB");
}

// Guards the date text: locale names of day and month, 12-hour clock without leading zero,
// and "AM"/"PM" in capitals even where the locale writes them otherwise.
TEST(FileReplaceDate, LocaleNamesAndCapitalAmPm)
{
    const QDate wednesday(2025, 9, 3);
    EXPECT_EQ(FileDateText(QDateTime(wednesday, QTime(14, 5, 9)), English),
              "Wednesday, 3 September 2025, 2:05:09 PM");
    EXPECT_EQ(FileDateText(QDateTime(wednesday, QTime(0, 0, 0)), English),
              "Wednesday, 3 September 2025, 12:00:00 AM");
    EXPECT_EQ(FileDateText(QDateTime(wednesday, QTime(12, 30, 0)), English),
              "Wednesday, 3 September 2025, 12:30:00 PM");
    EXPECT_EQ(FileDateText(QDateTime(QDate(2024, 3, 4), QTime(9, 3, 7)), German),
              "Montag, 4 März 2024, 9:03:07 AM");

    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    const std::string text = FileDateText(QDateTime(wednesday, QTime(23, 59, 59)), spanish);
    const QString expectedStart = spanish.dayName(3) + ", 3 " + spanish.monthName(9);
    EXPECT_EQ(text.rfind(expectedStart.toStdString(), 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 12), " 11:59:59 PM") << text;
}

class FileReplaceFormTest : public ::testing::Test
{
protected:
    // Shows the dialog for `path`; `user` plays the user while it is open.
    int Show(const std::string &path, bool multiple,
             const std::function<void(TFileReplaceForm &)> &user = {})
    {
        Form.FileName = path;
        Form.MultipleFiles = multiple;
        TScopedModalDriver driver([&](TModalForm &) {
            if (user)
                user(Form);
        });
        return Form.ShowModal();
    }

    TTestPlatform Desk;
    TScopedLocale Locale{English};
    testutil::TempDir Dir;
    TFileReplaceForm Form;
};

// Guards the two layouts: a single file offers Yes and No together in the middle; a run over
// several files adds Yes to All and Cancel with Yes moved to the left.
TEST_F(FileReplaceFormTest, ButtonLayoutsForOneAndManyFiles)
{
    const std::string path = MakeFile(Dir, "a.bm", 10, QDateTime::currentDateTime());
    Show(path, false, [](TFileReplaceForm &f) {
        EXPECT_TRUE(f.YesButton->isVisible());
        EXPECT_TRUE(f.NoButton->isVisible());
        EXPECT_FALSE(f.YesToAllButton->isVisible());
        EXPECT_FALSE(f.CancelButton->isVisible());
        EXPECT_FALSE(f.YesToAllButton->isEnabled());
        EXPECT_FALSE(f.CancelButton->isEnabled());
        EXPECT_EQ(f.YesButton->x(), 95);
        EXPECT_EQ(f.NoButton->x(), 180);
    });
    Show(path, true, [](TFileReplaceForm &f) {
        for (QPushButton *b : {f.YesButton, f.YesToAllButton, f.NoButton, f.CancelButton}) {
            EXPECT_TRUE(b->isVisible()) << b->text().toStdString();
            EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
        }
        EXPECT_EQ(f.YesButton->x(), 10);
        EXPECT_EQ(f.YesToAllButton->x(), 95);
        EXPECT_EQ(f.CancelButton->x(), 265);
        EXPECT_EQ(f.YesButton->text(), "&Yes");
        EXPECT_EQ(f.YesToAllButton->text(), "Yes to &All");
    });
    Show(path, false, [](TFileReplaceForm &f) { EXPECT_EQ(f.YesButton->x(), 95); });
}

// Guards the labels filled from the file itself: its name, size and local modification time.
TEST_F(FileReplaceFormTest, LabelsDescribeTheExistingFile)
{
    const std::string path =
        MakeFile(Dir, "wall.mat", 12345, QDateTime(QDate(2024, 1, 15), QTime(21, 3, 7)));
    Show(path, false);
    EXPECT_EQ(Form.windowTitle(), "Confirm File Replace");
    EXPECT_EQ(Form.NameLabel->text(), "This folder already contains a file named 'wall.mat'.");
    EXPECT_EQ(Form.Label1->text(), "Would you like to replace the existing file?");
    EXPECT_EQ(Form.SizeLabel->text(), "12.34 KB");
    EXPECT_EQ(Form.DateLabel->text(), "modified on Monday, 15 January 2024, 9:03:07 PM");
}

// Guards the icon from the desktop, and that a file without one, or a file that has gone,
// keeps what the last showing displayed.
TEST_F(FileReplaceFormTest, IconComesFromTheDesktopAndSurvivesMissingOnes)
{
    const std::string first = MakeFile(Dir, "a.bm", 999, QDateTime::currentDateTime());
    const std::string second = MakeFile(Dir, "b.sft", 2500000, QDateTime::currentDateTime());
    Desk.Desktop.Icon = SolidIcon(Qt::red);
    Show(first, false);
    ASSERT_EQ(Desk.Desktop.IconRequests, std::vector<std::string>{first});
    EXPECT_EQ(IconCentre(Form), QColor(Qt::red));
    EXPECT_EQ(Form.SizeLabel->text(), "999 bytes");

    Desk.Desktop.Icon = QIcon();
    Show(second, false);
    EXPECT_EQ(IconCentre(Form), QColor(Qt::red));
    EXPECT_EQ(Form.SizeLabel->text(), "2.5 MB");

    Show(Dir.File("gone.bm"), false);
    EXPECT_EQ(Form.NameLabel->text(), "This folder already contains a file named 'b.sft'.");
    EXPECT_EQ(Form.SizeLabel->text(), "2.5 MB");
}

// Guards the result codes callers compare against, the close box included.
TEST_F(FileReplaceFormTest, EachWayOutGivesItsResult)
{
    const std::string path = MakeFile(Dir, "a.cmp", 1000, QDateTime::currentDateTime());
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.YesButton->click(); }), 6);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.YesToAllButton->click(); }), 10);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.NoButton->click(); }), 7);
    EXPECT_EQ(Show(path, true, [](TFileReplaceForm &f) { f.CancelButton->click(); }), 2);
    EXPECT_EQ(Show(path, false, [](TFileReplaceForm &f) { f.close(); }), 2);
    EXPECT_EQ(Form.SizeLabel->text(), "1 KB");
}
