// The CMP window in a real main window on the scripted desktop: a new colormap, the views and
// the mouse-over readout, recolouring a cell, Select Palette, Edit Properties with the
// progress window, Save and Save As with the backup and the recalculation rule, the close
// question, and files that fail to load or to save.

#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "TestWriteLimit.h"
#include "ui/colormapfont/GLM_CMPForm.h"
#include "ui/colormapfont/GLM_EditCMPForm.h"
#include "ui/colormapfont/GLM_ProgressForm.h"
#include "ui/palettes/GLM_SelectPaletteForm.h"
#include "ui/shell/GLM_DocumentFactory.h"
#include "ui/shell/GLM_FileReplaceForm.h"
#include "ui/shell/GLM_MainForm.h"
#include "ui/shell/GLM_Settings.h"

using namespace testutil;
using C = TCommand;

namespace {

void Settle()
{
    QApplication::processEvents();
}

// Entry k = (k, 255 - k, k * 7 mod 256): every entry distinct.
TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[size_t(k)] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
}

// A colormap built byte by byte: the ramp palette; every light table sends the even indices
// to 10 and keeps the odd ones; transparency table t sends entry e to (t + e) mod 256.
std::vector<uint8_t> CMPBytes(int32_t flag)
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(flag).Fill(52);
    for (const TPaletteEntry &e : Ramp())
        b.U8(e.Red).U8(e.Green).U8(e.Blue);
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(i % 2 == 0 ? 10 : uint8_t(i));
    if (flag != 0)
        for (int t = 0; t < 256; ++t)
            for (int e = 0; e < 256; ++e)
                b.U8(uint8_t(t + e));
    return b.Data;
}

// Records every showing of the progress window with the text it showed.
class TShowRecorder : public QObject
{
public:
    std::vector<std::string> Texts;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            Texts.push_back(ProgressForm->ProgressLabel->text().toStdString());
        return false;
    }
};

class CMPFormTest : public ::testing::Test
{
protected:
    CMPFormTest()
    {
        ClearSettings();
        RegisterDocumentWindow<TCMPForm>();
        Main = std::make_unique<TMainForm>();
        LastCommonDirectory = Dir.Path.string();
        EditCMPForm = new TEditCMPForm(Main.get());
        ProgressForm = new TProgressForm(Main.get());
        SelectPaletteForm = new TSelectPaletteForm(Main.get());
        FileReplaceForm = new TFileReplaceForm(Main.get());
        ProgressForm->installEventFilter(&Progress);
        Main->show();
        Settle();
    }
    ~CMPFormTest() override
    {
        ProgressForm->removeEventFilter(&Progress);
        Main.reset();
        EditCMPForm = nullptr;
        ProgressForm = nullptr;
        SelectPaletteForm = nullptr;
        FileReplaceForm = nullptr;
        RegisterDocumentWindow(TDocumentKind::CMP, {});
        ClearSettings();
    }

    TCMPForm *New()
    {
        QMdiSubWindow *sub = Main->CreateDocument(TDocumentKind::CMP);
        sub->show();
        Settle();
        return qobject_cast<TCMPForm *>(sub->widget());
    }
    TCMPForm *Open(const std::string &path)
    {
        Main->OpenDocument(path);
        Settle();
        return qobject_cast<TCMPForm *>(Main->ActiveDocument());
    }
    std::string Put(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        WriteFile(Dir.File(name), bytes);
        return Dir.File(name);
    }
    static void Mouse(TCMPForm *form, QEvent::Type type, int x, int y)
    {
        const QPointF at(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, form->CMPImage->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(form->CMPImage, &event);
    }
    static QImage Picture(TCMPForm *form) { return form->CMPImage->grab().toImage(); }
    std::string Panel(int i) const { return Main->StatusPanel(i); }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    TempDir Dir;
    std::unique_ptr<TMainForm> Main;
    TShowRecorder Progress;
};

TEST_F(CMPFormTest, NewColormapFillsTheGridAndSizesTheWindow)
{
    CMPFillColor = int(MakeColor(0, 0, 128));
    TCMPForm *form = New();
    EXPECT_EQ(form->windowTitle(), "Untitled0.cmp");
    EXPECT_EQ(Main->windowTitle(), "Glimra - Untitled0.cmp");
    EXPECT_EQ(form->size(), QSize(320, 320));
    EXPECT_EQ(form->CMPImage->geometry(), QRect(0, 0, 320, 320));
    EXPECT_FALSE(form->Modified);
    for (int i : {0, 1, 2, 3})
        EXPECT_EQ(Panel(i), (std::vector<std::string>{"CMP", "Palette", "Not Transparent", ""}[size_t(i)]));
    EXPECT_EQ(form->Document.LightLevels[63][200], 0);

    const QImage grid = Picture(form);
    EXPECT_EQ(grid.pixel(5, 5), qRgb(0, 0, 128));
    EXPECT_EQ(grid.pixel(20, 5), qRgb(255, 255, 255));
    EXPECT_EQ(grid.pixel(5, 300), qRgb(255, 255, 255));

    // A white fill gets black lines; a cell size below 1 draws 1-pixel cells in a window
    // that is never narrower than 150.
    CMPFillColor = int(MakeColor(255, 255, 255));
    CMPCellSize = 0;
    CMPTransTables = true;
    ++UntitledCount;
    TCMPForm *white = New();
    EXPECT_EQ(white->windowTitle(), "Untitled1.cmp");
    EXPECT_EQ(white->size(), QSize(150, 16));
    EXPECT_EQ(Panel(2), "Transparent");
    const QImage small = Picture(white);
    EXPECT_EQ(small.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(small.pixel(1, 0), qRgb(0, 0, 0));
    // The second window cascades 22 pixels further.
    EXPECT_EQ(white->parentWidget()->pos(), QPoint(22, 22));
}

TEST_F(CMPFormTest, MouseOverReadsTheCellAtEveryZoom)
{
    TCMPForm *form = Open(Put("ramp.cmp", CMPBytes(0)));
    Main->RunCommand(C::ZoomIn);
    EXPECT_EQ(form->size(), QSize(640, 640));
    Mouse(form, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3), "Index: 17");
    EXPECT_EQ(Panel(4), "RGB: 17 238 119");
    // Redrawing empties the readout.
    Main->RunCommand(C::ZoomOut);
    EXPECT_EQ(Panel(3), "");
    EXPECT_EQ(Panel(4), "");
    Mouse(form, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3), "Index: 34");
    // A point beyond the grid keeps the last cell.
    Mouse(form, QEvent::MouseMove, 400, 5);
    EXPECT_EQ(form->HoverIndex, 34);
}

TEST_F(CMPFormTest, RecolouringUnderALightViewKeepsTheTables)
{
    TCMPForm *form = Open(Put("ramp.cmp", CMPBytes(0)));
    Main->RunCommand(C::NextFrame);
    EXPECT_EQ(Panel(1), "Light Table: 1");
    const auto levels = form->Document.LightLevels;

    Mouse(form, QEvent::MouseMove, 10 * 20 + 5, 5);
    Desk.Colors.Answers.push_back(MakeColor(255, 0, 0));
    Mouse(form, QEvent::MouseButtonDblClick, 10 * 20 + 5, 5);
    ASSERT_EQ(Desk.Colors.Shown.size(), 1u);
    EXPECT_EQ(Desk.Colors.Shown[0], MakeColor(10, 245, 70));
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels, levels);

    const QImage grid = Picture(form);
    EXPECT_EQ(grid.pixel(5, 5), qRgb(255, 0, 0));          // cell 0 -> 10
    EXPECT_EQ(grid.pixel(2 * 20 + 5, 5), qRgb(255, 0, 0)); // cell 2 -> 10
    EXPECT_EQ(grid.pixel(20 + 5, 5), Rgb(Ramp()[1]));      // cell 1 -> 1
    Mouse(form, QEvent::MouseMove, 10 * 20 + 5, 5);
    EXPECT_EQ(Panel(3), "Index: 10");
    EXPECT_EQ(Panel(4), "RGB: 255 0 0");

    // A cancelled colour dialog changes nothing.
    form->Modified = false;
    Desk.Colors.Answers.push_back(std::nullopt);
    form->ChangeCellColor();
    EXPECT_FALSE(form->Modified);
}

TEST_F(CMPFormTest, EditPropertiesRecalculatesBehindTheProgressWindow)
{
    TCMPForm *form = Open(Put("trans.cmp", CMPBytes(1)));
    EXPECT_EQ(Panel(2), "Transparent");
    {
        // OK without a change still marks the document changed.
        TScopedModalDriver driver([](TModalForm &dialog) {
            auto &edit = dynamic_cast<TEditCMPForm &>(dialog);
            EXPECT_TRUE(edit.CMPTransCheckbox->isChecked());
            edit.OKButtonClick();
        });
        Main->RunCommand(C::EditProperties);
    }
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(Progress.Texts, std::vector<std::string>{"Calculating new transparency tables."});
    EXPECT_FALSE(ProgressForm->isVisible());
    EXPECT_TRUE(CMPTransTables);
    for (int t = 0; t < 256; ++t)
        ASSERT_EQ(form->Document.TransTables[size_t(t)][size_t(t)], t);

    // Switched off in a transparency view: the view stays until the next step, which goes to
    // the palette; no progress window without tables.
    for (int i = 0; i < 70; ++i)
        form->NextFrame();
    EXPECT_EQ(Panel(1), "Trans Table: 6");
    {
        TScopedModalDriver driver([](TModalForm &dialog) {
            auto &edit = dynamic_cast<TEditCMPForm &>(dialog);
            edit.CMPTransCheckbox->setChecked(false);
            edit.OKButtonClick();
        });
        Main->RunCommand(C::EditProperties);
    }
    EXPECT_EQ(form->Document.Header.HasTransparency, 0);
    EXPECT_FALSE(CMPTransTables);
    EXPECT_EQ(Panel(1), "Trans Table: 6");
    EXPECT_EQ(Panel(2), "Not Transparent");
    EXPECT_EQ(Progress.Texts.size(), 1u);
    Main->RunCommand(C::NextFrame);
    EXPECT_EQ(form->CurrentFrame, 0);

    // Cancel changes nothing.
    form->Modified = false;
    {
        TScopedModalDriver driver([](TModalForm &dialog) {
            dynamic_cast<TEditCMPForm &>(dialog).CMPTransCheckbox->setChecked(true);
        });
        Main->RunCommand(C::EditProperties);
    }
    EXPECT_FALSE(form->Modified);
    EXPECT_FALSE(CMPTransTables);
    EXPECT_EQ(form->Document.Header.HasTransparency, 0);
}

TEST_F(CMPFormTest, SelectPaletteRecomputesTheTables)
{
    const std::string path = Put("odd.cmp", CMPBytes(1));
    TCMPForm *form = Open(path);
    TPalette offered{};
    std::string offeredName = "?";
    const auto pick = [&](const std::string &name) {
        return TScopedModalDriver([&, name](TModalForm &dialog) {
            auto &select = dynamic_cast<TSelectPaletteForm &>(dialog);
            offeredName = select.PaletteName;
            offered = select.Palette;
            select.PaletteName = name;
            select.Palette = Ramp();
            select.SetModalResult(mrOk);
        });
    };
    {
        // The CMP's own file: the tables are recomputed, the document is not changed.
        auto driver = pick(path);
        Main->RunCommand(C::SelectPalette);
    }
    EXPECT_EQ(offeredName, path);
    EXPECT_EQ(offered, Ramp());
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels[63][200], 200); // was 10
    EXPECT_EQ(form->Document.LightLevels[0][5], 5);
    EXPECT_EQ(form->Document.TransTables[7][7], 7); // was 14
    EXPECT_TRUE(Progress.Texts.empty());
    {
        auto driver = pick("Dflt");
        Main->RunCommand(C::SelectPalette);
    }
    EXPECT_TRUE(form->Modified);
}

TEST_F(CMPFormTest, NewColormapSavedAtOnceKeepsItsZeroTables)
{
    CMPTransTables = true;
    TCMPForm *form = New();
    const std::string path = Dir.File("fresh.cmp");
    Desk.Dialogs.Accept({path});
    Main->RunCommand(C::Save);

    ASSERT_EQ(Desk.Dialogs.Shown.size(), 1u);
    const TFileDialogRequest &request = Desk.Dialogs.Shown[0];
    EXPECT_EQ(request.Title, "Save As CMP Palette");
    EXPECT_EQ(request.Filter, "CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*");
    EXPECT_EQ(request.DefaultExt, "cmp");
    EXPECT_EQ(request.FileName, "Untitled0.cmp");
    EXPECT_EQ(request.InitialDir, Dir.Path.string());

    const std::vector<uint8_t> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 82752u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CMP ");
    EXPECT_EQ(I32At(bytes, 4), 32);
    EXPECT_EQ(I32At(bytes, 8), 1);
    EXPECT_EQ(std::count(bytes.begin() + 12, bytes.end(), 0), 82752 - 12);
    EXPECT_TRUE(Progress.Texts.empty());
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->windowTitle(), "fresh.cmp");
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + path);
    EXPECT_EQ(Main->ReopenCaptions().at(0), "&0 " + path);
}

TEST_F(CMPFormTest, SaveRecalculatesAndKeepsTheOldFileAsBackup)
{
    const std::string path = Put("walls.cmp", CMPBytes(1));
    Put("walls.~cmp", {1, 2, 3});
    BackupFile = true;
    TCMPForm *form = Open(path);
    Mouse(form, QEvent::MouseMove, 5, 5);
    Desk.Colors.Answers.push_back(MakeColor(1, 2, 3));
    form->ChangeCellColor();
    Main->RunCommand(C::Save);

    EXPECT_EQ(ReadFile(Dir.File("walls.~cmp")), CMPBytes(1));
    const std::vector<uint8_t> saved = ReadFile(path);
    ASSERT_EQ(saved.size(), 82752u);
    EXPECT_EQ(saved[64], 1);
    // Table 7 entry 7 is recomputed to 7 (the file had 14).
    EXPECT_EQ(saved[17216 + 7 * 256 + 7], 7);
    EXPECT_EQ(Progress.Texts.size(), 1u);
    EXPECT_FALSE(form->Modified);
    EXPECT_TRUE(Desk.Dialogs.Shown.empty());
}

TEST_F(CMPFormTest, AFailedSaveLeavesBothFilesAndTheChanges)
{
    const std::string path = Put("walls.cmp", CMPBytes(0));
    Put("walls.~cmp", {1, 2, 3});
    BackupFile = true;
    TCMPForm *form = Open(path);
    Desk.Colors.Answers.push_back(MakeColor(1, 2, 3));
    form->ChangeCellColor();
    {
        TScopedWriteLimit full(1000);
        Main->RunCommand(C::Save);
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Disk full"});
    EXPECT_EQ(ReadFile(path), CMPBytes(0));
    EXPECT_EQ(ReadFile(Dir.File("walls.~cmp")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(form->Modified);
}

TEST_F(CMPFormTest, SaveAsAsksBeforeReplacingWithoutYesToAll)
{
    TCMPForm *form = New();
    const std::string path = Put("taken.cmp", {9});
    bool offeredAll = true;
    TScopedModalDriver driver([&](TModalForm &dialog) {
        auto &replace = dynamic_cast<TFileReplaceForm &>(dialog);
        offeredAll = replace.MultipleFiles;
        replace.SetModalResult(mrNo);
    });
    Desk.Dialogs.Accept({path});
    Main->RunCommand(C::SaveAs);
    EXPECT_FALSE(offeredAll);
    EXPECT_EQ(ReadFile(path), std::vector<uint8_t>{9});
    EXPECT_TRUE(form->FilePath.empty());
    EXPECT_TRUE(Main->ReopenCaptions().empty());
}

TEST_F(CMPFormTest, OddFlagIsShownAsTransparentAndKept)
{
    std::vector<uint8_t> bytes = CMPBytes(1);
    bytes[8] = 2;
    const std::string path = Put("two.cmp", bytes);
    TCMPForm *form = Open(path);
    EXPECT_EQ(Panel(2), "Transparent");
    Main->RunCommand(C::PreviousFrame);
    EXPECT_EQ(Panel(1), "Trans Table: 256");
    EXPECT_EQ(Picture(form).pixel(5, 5), Rgb(Ramp()[255])); // table 255 entry 0

    const std::string copy = Dir.File("copy.cmp");
    Desk.Dialogs.Accept({copy});
    Main->RunCommand(C::SaveAs);
    EXPECT_EQ(ReadFile(copy), bytes);
}

TEST_F(CMPFormTest, AFileThatFailsToLoadLeavesNoWindow)
{
    std::vector<uint8_t> bytes = CMPBytes(1);
    bytes.resize(20000); // the flag promises tables the file does not hold
    Main->OpenDocument(Put("short.cmp", bytes));
    Settle();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Read beyond end of file"});
    EXPECT_EQ(Main->MDIChildCount(), 0);
    EXPECT_TRUE(Main->ReopenCaptions().empty());
    EXPECT_EQ(Main->windowTitle(), "Glimra");
}

TEST_F(CMPFormTest, CloseQuestionKeepsTheWindowWhenSaveAsIsGivenUp)
{
    TCMPForm *form = New();
    Desk.Colors.Answers.push_back(MakeColor(1, 2, 3));
    form->ChangeCellColor();

    Desk.Boxes.Answers = {TMessageResult::Yes};
    Desk.Dialogs.Cancel();
    Main->RunCommand(C::Close);
    Settle();
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Text, "Save changes to Untitled0.cmp?");
    EXPECT_EQ(Main->MDIChildCount(), 1);
    EXPECT_TRUE(form->Modified);

    Desk.Boxes.Answers = {TMessageResult::Cancel};
    Main->RunCommand(C::Close);
    Settle();
    EXPECT_EQ(Main->MDIChildCount(), 1);

    Desk.Boxes.Answers = {TMessageResult::No};
    Main->RunCommand(C::Close);
    Settle();
    EXPECT_EQ(Main->MDIChildCount(), 0);
    EXPECT_EQ(Main->windowTitle(), "Glimra");
}

// The dialog as Qt lays it out: every control inside the window, the captions as given.
TEST_F(CMPFormTest, EditPropertiesDialogOnRealWidgets)
{
    EditCMPForm->UseTransTables = true;
    EditCMPForm->show();
    Settle();
    EXPECT_EQ(EditCMPForm->windowTitle(), "Edit CMP Properties");
    EXPECT_TRUE(EditCMPForm->CMPTransCheckbox->isChecked());
    EXPECT_EQ(EditCMPForm->CMPTransCheckbox->text(), "&Use transparency tables");
    EXPECT_EQ(EditCMPForm->OKButton->text(), "&OK");
    EXPECT_EQ(EditCMPForm->CancelButton->text(), "&Cancel");
    const QRect inside = EditCMPForm->rect();
    for (QWidget *w : std::initializer_list<QWidget *>{EditCMPForm->CMPTransCheckbox,
                                                        EditCMPForm->OKButton,
                                                        EditCMPForm->CancelButton}) {
        EXPECT_TRUE(inside.contains(w->geometry())) << w->metaObject()->className();
        EXPECT_GE(w->width(), w->sizeHint().width());
    }
    EditCMPForm->hide();

    EXPECT_EQ(ProgressForm->windowTitle(), "Progress");
    EXPECT_EQ(ProgressForm->size(), QSize(392, 41));
    EXPECT_EQ(ProgressForm->ProgressLabel->pos(), QPoint(15, 15));
}

} // namespace
