// The CMP window in a real main window on the scripted desktop: a new colormap, the views and
// the mouse-over readout, recolouring a cell, Select Palette, Edit Properties with the
// progress window, Save and Save As with the backup and the recalculation rule, the close
// question, and files that fail to load (the save faults are in SaveFaultsTest).

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "DocumentFormFixture.h"

using namespace formtest;
using C = TCommand;

namespace {

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
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

class CMPFormTest : public TDocumentFormTest<TCMPForm>
{
protected:
    CMPFormTest()
    {
        Settings.LastCommonDirectory = Dir.Path.string();
        ProgressForm->installEventFilter(&Progress);
    }
    ~CMPFormTest() override { ProgressForm->removeEventFilter(&Progress); }

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
    std::string Box(size_t i) const { return Desk.Boxes.Shown.at(i).Text; }

    TShowRecorder Progress;
    bool Checked = false;
};

TEST_F(CMPFormTest, NewColormapFillsTheGridAndSizesTheWindow)
{
    Settings.CMPFillColor = int(MakeColor(0, 0, 128));
    TCMPForm *form = New();
    EXPECT_EQ(form->windowTitle(), "Untitled0.cmp");
    EXPECT_EQ(Main->windowTitle(), "Glimra - Untitled0.cmp");
    EXPECT_EQ(form->size(), QSize(320, 320));
    EXPECT_EQ(Panel(0) + "|" + Panel(1) + "|" + Panel(2), "CMP|Palette|Not Transparent");
    const QImage grid = Picture(form);
    EXPECT_EQ(grid.pixel(5, 5), qRgb(0, 0, 128));
    EXPECT_EQ(grid.pixel(20, 5), qRgb(255, 255, 255));

    // A white fill gets black lines; a cell size below 1 draws 1-pixel cells in a window
    // never narrower than 150, cascaded 22 pixels from the first.
    Settings.CMPFillColor = int(MakeColor(255, 255, 255));
    Settings.CMPCellSize = 0;
    Settings.CMPTransTables = true;
    ++UntitledCount;
    TCMPForm *white = New();
    EXPECT_EQ(white->windowTitle(), "Untitled1.cmp");
    EXPECT_EQ(white->size(), QSize(150, 16));
    EXPECT_EQ(white->parentWidget()->pos(), QPoint(22, 22));
    EXPECT_EQ(Panel(2), "Transparent");
    EXPECT_EQ(Picture(white).pixel(1, 0), qRgb(0, 0, 0));
}

TEST_F(CMPFormTest, MouseOverAndRecolouringUnderALightView)
{
    TCMPForm *form = Open(Put("ramp.cmp", CMPBytes(0)));
    Main->RunCommand(C::ZoomIn);
    EXPECT_EQ(form->size(), QSize(640, 640));
    Mouse(form, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3) + "|" + Panel(4), "Index: 17|RGB: 17 238 119");
    Main->RunCommand(C::ZoomOut); // redrawing empties the readout
    EXPECT_EQ(Panel(3) + "|" + Panel(4), "|");
    Mouse(form, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3), "Index: 34");

    Main->RunCommand(C::NextFrame);
    EXPECT_EQ(Panel(1), "Light Table: 1");
    const auto levels = form->Document.LightLevels;
    Mouse(form, QEvent::MouseMove, 10 * 20 + 5, 5);
    Desk.Colors.Answers = {MakeColor(255, 0, 0), std::nullopt};
    Mouse(form, QEvent::MouseButtonDblClick, 10 * 20 + 5, 5);
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(10, 245, 70));
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels, levels);
    const QImage grid = Picture(form);
    EXPECT_EQ(grid.pixel(5, 5), qRgb(255, 0, 0));          // cell 0 shows index 10
    EXPECT_EQ(grid.pixel(2 * 20 + 5, 5), qRgb(255, 0, 0)); // cell 2 too
    EXPECT_EQ(grid.pixel(20 + 5, 5), Rgb(Ramp()[1]));      // cell 1 shows itself
    Mouse(form, QEvent::MouseMove, 10 * 20 + 5, 5);
    EXPECT_EQ(Panel(3) + "|" + Panel(4), "Index: 10|RGB: 255 0 0");

    // A cancelled colour dialog changes nothing.
    form->Modified = false;
    form->ChangeCellColor();
    EXPECT_FALSE(form->Modified);
}

TEST_F(CMPFormTest, EditPropertiesRecalculatesBehindTheProgressWindow)
{
    TCMPForm *form = Open(Put("trans.cmp", CMPBytes(1)));
    const auto edit = [this](int check, bool ok) {
        TScopedModalDriver driver([&](TModalForm &dialog) {
            auto &form = dynamic_cast<TEditCMPForm &>(dialog);
            Checked = form.CMPTransCheckbox->isChecked();
            if (check >= 0)
                form.CMPTransCheckbox->setChecked(check == 1);
            if (ok)
                form.OKButtonClick();
        });
        Main->RunCommand(C::EditProperties);
    };
    edit(-1, true); // OK without a change still marks the document changed
    EXPECT_TRUE(Checked);
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(Progress.Texts, std::vector<std::string>{"Calculating new transparency tables."});
    EXPECT_FALSE(ProgressForm->isVisible());
    EXPECT_TRUE(Settings.CMPTransTables);
    EXPECT_EQ(form->Document.TransTables[7][7], 7); // was 14

    // Switched off in a transparency view: no progress window; the view stays until the
    // next step, which goes to the palette.
    for (int i = 0; i < 70; ++i)
        form->NextFrame();
    edit(0, true);
    EXPECT_EQ(Panel(1) + "|" + Panel(2), "Trans Table: 6|Not Transparent");
    EXPECT_FALSE(Settings.CMPTransTables);
    EXPECT_EQ(Progress.Texts.size(), 1u);
    Main->RunCommand(C::NextFrame);
    EXPECT_EQ(form->CurrentFrame, 0);

    form->Modified = false;
    edit(1, false); // Cancel
    EXPECT_FALSE(form->Modified || Settings.CMPTransTables || form->Document.Header.HasTransparency);
}

TEST_F(CMPFormTest, SelectPaletteRecomputesTheTables)
{
    const std::string path = Put("odd.cmp", CMPBytes(1));
    TCMPForm *form = Open(path);
    std::string offered;
    const auto pick = [&](const std::string &name) {
        TScopedModalDriver driver([&](TModalForm &dialog) {
            auto &select = dynamic_cast<TSelectPaletteForm &>(dialog);
            offered = select.PaletteName;
            EXPECT_EQ(select.Palette, Ramp());
            select.PaletteName = name;
            select.Palette = Ramp();
            select.SetModalResult(mrOk);
        });
        Main->RunCommand(C::SelectPalette);
    };
    pick(path); // the CMP's own file: tables recomputed, the document not changed
    EXPECT_EQ(offered, path);
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels[63][200], 200); // was 10
    EXPECT_EQ(form->Document.TransTables[7][7], 7);      // was 14
    EXPECT_TRUE(Progress.Texts.empty());
    pick("Dflt");
    EXPECT_TRUE(form->Modified);
}

TEST_F(CMPFormTest, NewColormapSavedAtOnceKeepsItsZeroTables)
{
    Settings.CMPTransTables = true;
    TCMPForm *form = New();
    const std::string path = Dir.File("fresh.cmp");
    Desk.Dialogs.Accept({path});
    Main->RunCommand(C::Save);
    const TFileDialogRequest &r = Desk.Dialogs.Shown.at(0);
    EXPECT_EQ(r.Title + "|" + r.Filter + "|" + r.DefaultExt + "|" + r.FileName,
              "Save As CMP Palette|CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*|cmp|"
              "Untitled0.cmp");
    EXPECT_EQ(r.InitialDir, Dir.Path.string());

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

TEST_F(CMPFormTest, SaveRecalculatesThenKeepsTheOldAsBackup)
{
    const std::string path = Put("walls.cmp", CMPBytes(1));
    Settings.BackupFile = true;
    TCMPForm *form = Open(path);
    Desk.Colors.Answers = {MakeColor(1, 2, 3)};
    form->ChangeCellColor(); // cell 0
    Main->RunCommand(C::Save);
    EXPECT_EQ(ReadFile(Dir.File("walls.~cmp")), CMPBytes(1));
    const std::vector<uint8_t> saved = ReadFile(path);
    ASSERT_EQ(saved.size(), 82752u);
    EXPECT_EQ(saved[64], 1);
    EXPECT_EQ(saved[17216 + 7 * 256 + 7], 7); // recomputed before writing; the file had 14
    EXPECT_FALSE(form->Modified);
    EXPECT_TRUE(Desk.Dialogs.Shown.empty());
}

TEST_F(CMPFormTest, SaveAsAsksBeforeReplacingAndKeepsAnOddFlag)
{
    std::vector<uint8_t> bytes = CMPBytes(1);
    bytes[8] = 2;
    TCMPForm *form = Open(Put("two.cmp", bytes));
    EXPECT_EQ(Panel(2), "Transparent");
    Main->RunCommand(C::PreviousFrame);
    EXPECT_EQ(Panel(1), "Trans Table: 256");
    EXPECT_EQ(Picture(form).pixel(5, 5), Rgb(Ramp()[255])); // table 255, entry 0

    const std::string taken = Put("taken.cmp", {9});
    ReplaceAnswers = {mrNo, mrYes};
    Desk.Dialogs.Accept({taken});
    Main->RunCommand(C::SaveAs);
    EXPECT_EQ(Asked, std::vector<std::string>{"taken.cmp"}); // no Yes to All for one file
    EXPECT_EQ(ReadFile(taken), std::vector<uint8_t>{9});
    EXPECT_EQ(Main->ReopenCaptions().size(), 1u); // the opened file only
    Desk.Dialogs.Accept({taken});
    Main->RunCommand(C::SaveAs);
    EXPECT_EQ(ReadFile(taken), bytes);
    EXPECT_EQ(form->FilePath, taken);
}

TEST_F(CMPFormTest, FailedLoadAndTheCloseQuestion)
{
    std::vector<uint8_t> bytes = CMPBytes(1);
    bytes.resize(20000); // the flag promises tables the file does not hold
    Main->OpenDocument(Put("short.cmp", bytes));
    Settle();
    EXPECT_EQ(Box(0), "Read beyond end of file");
    EXPECT_EQ(Main->MDIChildCount(), 0);
    EXPECT_TRUE(Main->ReopenCaptions().empty());

    TCMPForm *form = New();
    Desk.Colors.Answers = {MakeColor(1, 2, 3)};
    form->ChangeCellColor();
    // Yes that turns into a cancelled Save As keeps the window and its changes.
    Desk.Boxes.Answers = {TMessageResult::Yes, TMessageResult::Cancel, TMessageResult::No};
    Desk.Dialogs.Cancel();
    for (int expected : {1, 1, 0}) {
        Main->RunCommand(C::Close);
        Settle();
        EXPECT_EQ(Main->MDIChildCount(), expected);
    }
    EXPECT_EQ(Box(1), "Save changes to Untitled0.cmp?");
    EXPECT_EQ(Main->windowTitle(), "Glimra");
}

// The dialogs as Qt lays them out: every control inside, the captions as given.
TEST_F(CMPFormTest, DialogsOnRealWidgets)
{
    EditCMPForm->UseTransTables = true;
    EditCMPForm->show();
    Settle();
    EXPECT_EQ(EditCMPForm->windowTitle(), "Edit CMP Properties");
    EXPECT_TRUE(EditCMPForm->CMPTransCheckbox->isChecked());
    EXPECT_EQ(EditCMPForm->CMPTransCheckbox->text(), "&Use transparency tables");
    EXPECT_EQ(EditCMPForm->OKButton->text() + EditCMPForm->CancelButton->text(), "&OK&Cancel");
    for (QWidget *w : {static_cast<QWidget *>(EditCMPForm->CMPTransCheckbox),
                       static_cast<QWidget *>(EditCMPForm->OKButton),
                       static_cast<QWidget *>(EditCMPForm->CancelButton)}) {
        EXPECT_TRUE(EditCMPForm->rect().contains(w->geometry()));
        EXPECT_GE(w->width(), w->sizeHint().width());
    }
    EditCMPForm->hide();
    EXPECT_EQ(ProgressForm->windowTitle(), "Progress");
    EXPECT_EQ(ProgressForm->size(), QSize(392, 41));
    EXPECT_TRUE(ProgressForm->rect().contains(ProgressForm->ProgressLabel->geometry()));
}

} // namespace
