// The shell against the real Qt objects where the scripted doubles would hide a fault: the
// Open dialog's filter as Qt reports it, the status panels laid out in a 640-pixel window, and
// the replace confirmation's labels measured in the real font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>

#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "GLM_TestPlatform.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

// The user picks entry `index` (0-based) of the dialog's file-type list.
void PickFileType(QFileDialog &dialog, int index)
{
    auto *types = dialog.findChild<QComboBox *>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    types->setCurrentIndex(index);
    emit types->activated(index);
}

} // namespace

// Guards the remembered Open filter: the list shows the descriptions without the patterns Qt
// reads, opens on the requested entry, and reading the dialog back gives the index of the
// entry the user chose, whichever form of its name Qt reports.
TEST(RealFileDialog, ChosenFilterComesBackAsItsIndex)
{
    testutil::TempDir dir;
    testutil::WriteFile(dir.File("a.mat"), {1});
    TFileDialogRequest request;
    request.Title = "Open";
    request.InitialDir = dir.Path.string();
    request.Filter = OpenFilter;
    request.FilterIndex = 5;
    request.MultiSelect = true;
    request.FileName = dir.File("a.mat");
    const auto dialog = TQtFileDialogs::NewDialog(request);
    const auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 6);
    EXPECT_EQ(types->itemText(1), "BM Graphics (*.bm)");
    EXPECT_EQ(types->itemText(5), "All Files (*.*)");
    EXPECT_EQ(types->currentIndex(), 4);

    for (int index : {3, 0, 5, 1}) {
        PickFileType(*dialog, index);
        ASSERT_TRUE(TQtFileDialogs::Collect(*dialog, request));
        EXPECT_EQ(request.FilterIndex, index + 1) << dialog->selectedNameFilter().toStdString();
    }
    EXPECT_EQ(request.Files, std::vector<std::string>{dir.File("a.mat")});
}

namespace {

class RealMainFormTest : public ::testing::Test
{
protected:
    RealMainFormTest() { ClearSettings(); }
    ~RealMainFormTest() override { ClearSettings(); }
    TTestPlatform Desk;
};

} // namespace

// Guards the status panels in the default 640 x 480 window: each keeps its width (seven of
// 100 pixels, one of 90), none overlaps the next, and those beyond the bar's right edge are
// cut off rather than squeezed; a wider window shows all eight.
TEST_F(RealMainFormTest, StatusPanelsKeepTheirWidthsAndNeverOverlap)
{
    TMainForm form;
    form.show();
    for (int width : {640, 1000}) {
        form.resize(width, 480);
        QApplication::processEvents();
        ASSERT_EQ(form.width(), width);
        const QStatusBar *bar = form.statusBar();
        int visible = 0;
        for (int i = 0; i < StatusPanelCount; ++i) {
            const QLabel *panel = form.StatusLabel(i);
            SCOPED_TRACE(testing::Message() << width << " panel " << i);
            EXPECT_EQ(panel->width(), i < 7 ? 100 : 90);
            EXPECT_GE(panel->height(), panel->fontMetrics().height());
            if (i > 0) {
                EXPECT_GT(panel->x(), form.StatusLabel(i - 1)->geometry().right());
            }
            const int left = panel->mapTo(bar, QPoint(0, 0)).x();
            visible += left < bar->width();
        }
        EXPECT_EQ(visible, width == 640 ? 7 : 8);
    }
    // A text longer than its panel widens it and pushes the next one along; cleared, the
    // panel is back at its own width.
    const std::string text = "Display Palette: a rather long palette name.act";
    form.SetStatusPanel(1, text);
    QApplication::processEvents();
    const QLabel *panel = form.StatusLabel(1);
    EXPECT_GE(panel->contentsRect().width(),
              panel->fontMetrics().horizontalAdvance(QString::fromStdString(text)));
    EXPECT_GT(form.StatusLabel(2)->x(), panel->geometry().right());
    form.ResetMainWindow();
    EXPECT_EQ(panel->width(), 100);
}

namespace {

class RealFileReplaceTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Shows the form for a file of `name` and hands it to `look` while it is open.
    void Show(const std::string &name, const std::function<void()> &look)
    {
        testutil::WriteFile(Dir.File(name), {1, 2, 3});
        Form.FileName = Dir.File(name);
        Form.MultipleFiles = true;
        TScopedModalDriver driver([&](TModalForm &) { look(); });
        Form.ShowModal();
    }
    // The label shows its whole text on as many lines as it has room for, inside the form.
    void ExpectWhole(const QLabel *label)
    {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(label->geometry().right(), Form.width() - 1);
        EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        if (!label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width());
        }
    }
    void ExpectNoOverlap()
    {
        const QLabel *stack[] = {Form.NameLabel, Form.Label1, Form.SizeLabel, Form.DateLabel};
        for (size_t i = 1; i < std::size(stack); ++i)
            EXPECT_GE(stack[i]->y(), stack[i - 1]->geometry().bottom() + 1) << i;
        EXPECT_GE(Form.YesButton->y(), Form.DateLabel->geometry().bottom() + 1);
        EXPECT_GE(Form.YesButton->y(), Form.IconImage->geometry().bottom() + 1);
        EXPECT_EQ(Form.height(), Form.YesButton->geometry().bottom() + 11);
        // The row is centred.
        EXPECT_NEAR(Form.YesButton->x(), Form.width() - 1 - Form.CancelButton->geometry().right(),
                    3); // the design itself has 10 and 12 pixels
    }

    TTestPlatform Desk;
    testutil::TempDir Dir;
    TFileReplaceForm Form;
};

} // namespace

// Guards the labels against fixed sizes: a longish name and the date stand whole, each on one
// line, in a dialog grown to hold them; a name too long for any dialog keeps its start and
// its extension around an ellipsis and the dialog stops at its maximum width.
TEST_F(RealFileReplaceTest, LabelsFitTheirTexts)
{
    const std::string longish = "a_rather_long_texture_name_for_level_three.mat";
    Show(longish, [&] {
        EXPECT_EQ(Form.NameLabel->text().toStdString(),
                  "This folder already contains a file named '" + longish + "'.");
        for (const QLabel *label : {Form.NameLabel, Form.Label1, Form.SizeLabel, Form.DateLabel}) {
            ExpectWhole(label);
            EXPECT_FALSE(label->wordWrap()) << label->text().toStdString();
        }
        EXPECT_GT(Form.width(), 352);
        ExpectNoOverlap();
    });
    const int grown = Form.width();

    const std::string huge = std::string(150, 'x') + "_end.bm";
    Show(huge, [&] {
        const QString text = Form.NameLabel->text();
        EXPECT_TRUE(text.startsWith("This folder already contains a file named 'xxx"));
        EXPECT_TRUE(text.endsWith("_end.bm'."));
        EXPECT_TRUE(text.contains(QChar(0x2026))) << text.toStdString();
        EXPECT_EQ(Form.NameLabel->toolTip().toStdString(), huge);
        EXPECT_GT(Form.width(), grown);
        EXPECT_LE(Form.width(), 640);
        ExpectWhole(Form.NameLabel);
        ExpectNoOverlap();
    });

    Show("a.bm", [&] {
        EXPECT_TRUE(Form.NameLabel->toolTip().isEmpty());
        EXPECT_LT(Form.width(), grown);
        ExpectWhole(Form.DateLabel);
        ExpectNoOverlap();
    });
}
