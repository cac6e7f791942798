// The BM window inside the real main window, on the scripted desktop: sizes and painting at a
// zoom, stepping with keys, deleting and shifting, the close question and Save As, Save Bitmap
// and Save All Bitmaps with the replace flow, Select Palette, Edit Properties with its dialog,
// Add Frames and opening by dropping. The save faults are in SaveFaultsTest.

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>

#include "DocumentFormFixture.h"
#include "ui/kit/GLM_RadioGroup.h"

using namespace formtest;
using C = TCommand;

namespace {

using BMFormTest = TDocumentFormTest<TBMForm>;

// ---- Window, view and painting

TEST_F(BMFormTest, ClientAreaFitsTheZoomedFrameAndPaintsBlocks)
{
    const TPalette ramp = Ramp();
    TBMForm *bm = Open(Put("wide.bm", BMBytes({{64, 40, 7}}, 8, &ramp)));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->size(), QSize(150, 40)); // never narrower than 150
    EXPECT_EQ(bm->Image()->geometry(), QRect(0, 0, 64, 40));
    Run(C::ZoomIn);
    Run(C::ZoomIn);
    EXPECT_EQ(bm->size(), QSize(192, 120));
    EXPECT_EQ(bm->windowTitle(), "wide.bm [3:1]");
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + Dir.File("wide.bm"));
    // What Qt really paints: entry 7 of the file's palette in every pixel of the picture.
    const QImage shown = bm->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(7, 248, 49));
    EXPECT_EQ(shown.pixel(191, 119), qRgb(7, 248, 49));

    // Maximized, the picture is centred in the client area.
    bm->parentWidget()->showMaximized();
    Settle();
    const QSize client = bm->size();
    EXPECT_EQ(bm->Image()->pos(), QPoint((client.width() - 192) / 2, (client.height() - 120) / 2));
}

TEST_F(BMFormTest, NewWindowsAreEmptyAndCascade)
{
    TBMForm *first = New();
    TBMForm *second = New();
    EXPECT_EQ(first->windowTitle(), "Untitled0.bm [1:1]");
    EXPECT_EQ(first->parentWidget()->size(), QSize(200, 200));
    EXPECT_EQ(first->parentWidget()->pos(), QPoint(0, 0));
    EXPECT_EQ(second->parentWidget()->pos(), QPoint(22, 22));
    EXPECT_EQ(first->PaletteName, "Uicolormap");
}

TEST_F(BMFormTest, KeysStepDeleteAndShiftFollowTheRules)
{
    TBMForm *bm = Open(Put("three.bm", BMBytes({{10, 10, 1}, {20, 20, 2}, {30, 30, 3}})));
    const auto release = [bm](Qt::Key key) {
        QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(bm, &event);
    };
    release(Qt::Key_Right);
    EXPECT_EQ(bm->CurrentFrame(), 2);
    release(Qt::Key_Left);
    release(Qt::Key_Left);
    EXPECT_EQ(bm->CurrentFrame(), 3);
    EXPECT_EQ(Main->StatusPanel(1), "Frame: 3 of 3");

    // Frame 3 shifted back lands on 2, with the view following it.
    Run(C::ShiftToPreviousFrame);
    EXPECT_EQ(bm->CurrentFrame(), 2);
    EXPECT_EQ(bm->Document.Images[1].Width, 30);
    EXPECT_TRUE(bm->Modified);
    // From frame 1, Shift To Previous trades places with the last frame and shows it.
    bm->View.CurrentFrame = 1;
    Run(C::ShiftToPreviousFrame);
    EXPECT_EQ(bm->CurrentFrame(), 3);
    EXPECT_EQ(bm->Document.Images[2].Width, 10);

    Run(C::ZoomIn);
    Run(C::DeleteFrame); // the last of 3
    EXPECT_EQ(bm->CurrentFrame(), 2);
    Run(C::DeleteFrame);
    Run(C::DeleteFrame);
    EXPECT_EQ(bm->CurrentFrame(), 0);
    EXPECT_EQ(bm->Zoom(), 1);
    EXPECT_EQ(bm->parentWidget()->size(), QSize(200, 200));
}

// ---- Opening, saving and closing

TEST_F(BMFormTest, CloseQuestionAndSaveAs)
{
    TBMForm *bm = New();
    bm->Modified = true;
    // Yes, then Save As cancelled: the window stays with its changes.
    Desk.Boxes.Answers = {TMessageResult::Yes, TMessageResult::Cancel};
    Desk.Dialogs.Cancel();
    bm->parentWidget()->close();
    Settle();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Save changes to Untitled0.bm?"}));
    ASSERT_EQ(Main->DocumentWindows().size(), 1u);
    EXPECT_TRUE(bm->Modified);
    bm->parentWidget()->close(); // Cancel
    Settle();
    ASSERT_EQ(Main->DocumentWindows().size(), 1u);

    // Save As over an existing file asks first; Yes writes it and takes its name.
    const std::string target = Put("over.bm", {9});
    Desk.Dialogs.Accept({target});
    ReplaceAnswers = {mrYes};
    Run(C::SaveAs);
    const TFileDialogRequest &request = Desk.Dialogs.Shown.back();
    EXPECT_EQ(request.Title, "Save As BM Graphic");
    EXPECT_EQ(request.FileName, "Untitled0.bm");
    EXPECT_EQ(Asked, (std::vector<std::string>{"over.bm"}));
    Bytes untitled; // the new document: the BM settings at their start values
    untitled.Text("BM  ").I32(70).I32(0).I32(1).Fill(20).I32(8).Fill(88);
    EXPECT_EQ(ReadFile(target), untitled.Data);
    EXPECT_EQ(bm->windowTitle(), "over.bm [1:1]");
    EXPECT_FALSE(bm->Modified);
    EXPECT_EQ(Main->ReopenCaptions(), (std::vector<std::string>{"&0 " + target}));
    EXPECT_EQ(Settings.LastCommonDirectory, Dir.Path.string());

    bm->Modified = true;
    Desk.Boxes.Answers = {TMessageResult::No};
    bm->parentWidget()->close();
    Settle();
    EXPECT_TRUE(Main->DocumentWindows().empty());
}

// ---- Bitmap export

TEST_F(BMFormTest, EightBitExportCarriesThePaletteAsColourTable)
{
    const TPalette ramp = Ramp();
    Open(Put("pal.bm", BMBytes({{3, 2, 200}}, 8, &ramp)));
    Settings.SaveBitmapFormat = 8;
    Run(C::ZoomIn);
    Desk.Dialogs.Accept({Dir.File("out.bmp")});
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "pal-1.bmp");
    const std::vector<uint8_t> bmp = ReadFile(Dir.File("out.bmp"));
    ASSERT_GE(bmp.size(), 54u + 1024u + 4u * 4u);
    EXPECT_EQ(I32At(bmp, 18), 6); // the picture at zoom 2
    EXPECT_EQ(I32At(bmp, 22), 4);
    EXPECT_EQ(bmp[28], 8);
    for (int i = 0; i < 256; ++i) { // blue, green, red, reserved
        const size_t at = 54 + 4 * size_t(i);
        ASSERT_EQ((std::vector<int>{bmp[at + 2], bmp[at + 1], bmp[at]}),
                  (std::vector<int>{ramp[i].Red, ramp[i].Green, ramp[i].Blue}))
            << i;
    }
    EXPECT_EQ(bmp[size_t(I32At(bmp, 10))], 200); // the first pixel keeps its index
}

TEST_F(BMFormTest, SaveAllBitmapsAsksBeforeReplacing)
{
    TBMForm *bm = Open(Put("walk.bm", BMBytes({{2, 2, 1}, {2, 2, 2}, {2, 2, 3}})));
    Run(C::NextFrame);
    const auto run = [&](std::deque<int> answers) {
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            Put(name, {7});
        Asked.clear();
        ReplaceAnswers = std::move(answers);
        Desk.Dialogs.Accept({Dir.File("anything.bmp")});
        Run(C::SaveAllBitmaps);
        std::string replaced;
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            replaced += ReadFile(Dir.File(name)).size() > 1 ? "W" : "-";
        return replaced;
    };
    EXPECT_EQ(run({mrYes, mrNo, mrCancel}), "W--");
    EXPECT_EQ(Asked, (std::vector<std::string>{"walk-1.bmp (many)", "walk-2.bmp (many)",
                                               "walk-3.bmp (many)"}));
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "walk-1.bmp");
    EXPECT_EQ(Desk.Dialogs.Shown.back().Title, "Save As Bitmap");
    EXPECT_EQ(bm->CurrentFrame(), 2); // the view is where it was
    EXPECT_EQ(run({mrNo, mrYesToAll}), "-WW");
    EXPECT_EQ(Asked.size(), 2u); // Yes to All asks no more
    EXPECT_EQ(run({mrCancel}), "---");
    EXPECT_EQ(bm->CurrentFrame(), 2);
}

// ---- Palette and properties

TEST_F(BMFormTest, SelectPaletteReplacesAnInternalPaletteOnly)
{
    const TPalette ramp = Ramp();
    User = [](TModalForm &form) {
        auto &picker = dynamic_cast<TSelectPaletteForm &>(form);
        EXPECT_NE(picker.PaletteName, "Dflt");
        picker.PaletteName = "Dflt";
        picker.Palette = DfltPalette();
        picker.SetModalResult(mrOk);
    };
    TBMForm *own = Open(Put("own.bm", BMBytes({{2, 2, 5}}, 8, &ramp)));
    Run(C::SelectPalette);
    EXPECT_EQ(own->Document.Palette, DfltPalette());
    EXPECT_TRUE(own->Modified);
    EXPECT_EQ(Settings.BMPalettePath, "Dflt");
    EXPECT_EQ(Main->StatusPanel(7), "Display Palette: Dflt");

    Settings.BMPalettePath = "Uicolormap";
    TBMForm *plain = Open(Put("plain.bm", BMBytes({{2, 2, 5}})));
    const TPalette before = plain->Document.Palette;
    Run(C::SelectPalette);
    EXPECT_EQ(plain->Document.Palette, before);
    EXPECT_EQ(plain->Palette, DfltPalette());
    EXPECT_FALSE(plain->Modified);
    EXPECT_EQ(Settings.BMPalettePath, "Dflt");
}

TEST_F(BMFormTest, EditPropertiesWritesSettingsThenTheDocument)
{
    TBMForm *bm = Open(Put("plain.bm", BMBytes({{2, 2, 5}})));
    std::function<void(TEditBMForm &)> user;
    User = [&](TModalForm &form) { user(dynamic_cast<TEditBMForm &>(form)); };

    user = [](TEditBMForm &dialog) {
        EXPECT_EQ(dialog.XOffsetBox->text(), "4");
        EXPECT_EQ(dialog.TransLabel->text(), "Palette Index : 9");
        EXPECT_EQ(dialog.PaletteGroup->ItemIndex(), 0);
        dialog.XOffsetBox->setText("-16");
        dialog.PaletteGroup->SetItemIndex(1);
        dialog.OKButtonClick();
    };
    Run(C::EditProperties);
    EXPECT_EQ(bm->Document.Header.PaletteIncluded, 2);
    EXPECT_EQ(bm->Document.Palette, bm->Palette);
    EXPECT_EQ(bm->Document.Header.XOffset, -16);
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Main->StatusPanel(3), "Offset: -16 x -2");
    EXPECT_EQ(Main->StatusPanel(4), "Internal: Yes");

    user = [](TEditBMForm &dialog) {
        dialog.PaletteGroup->SetItemIndex(0);
        dialog.OKButtonClick();
    };
    Run(C::EditProperties);
    EXPECT_EQ(bm->Document.Header.PaletteIncluded, 1);

    // Not a number: the standard message, the dialog stays open, nothing is written.
    bool stillOpen = false;
    user = [&](TEditBMForm &dialog) {
        dialog.PaletteGroup->SetItemIndex(1);
        dialog.YOffsetBox->setText("12x");
        dialog.XOffsetBox->setText("3");
        dialog.OKButtonClick();
        stillOpen = dialog.isVisible();
    };
    Run(C::EditProperties);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Messages().back(), "'12x' is not a valid integer value");
    EXPECT_EQ(Settings.BMXOffset, -16);
    EXPECT_FALSE(Settings.BMUseInternalPalette);
    EXPECT_EQ(bm->Document.Header.PaletteIncluded, 1);
}

TEST_F(BMFormTest, PropertiesDialogShowsAndPicksTheTransparentColour)
{
    TEditBMForm &dialog = *EditBMForm;
    dialog.Is16Bit = true;
    dialog.TransColor = 0xF81F;
    User = [](TModalForm &form) {
        if (auto *picker = dynamic_cast<TSelectColorForm *>(&form)) {
            EXPECT_EQ(picker->SelectedIndex, 0);
            picker->SelectedIndex = 35;
            picker->SetModalResult(mrOk);
            return;
        }
        auto &d = dynamic_cast<TEditBMForm &>(form);
        EXPECT_EQ(d.TransLabel->text(), "RGB: 255 0 255");
        EXPECT_EQ(d.TransImage->pixmap().toImage().pixel(30, 12), qRgb(255, 0, 255));
        d.SelectButtonClick(); // the colour dialog, answered with pure green
        EXPECT_EQ(d.TransColor, 0x07E0u);
        d.Is16Bit = false;
        d.Palette = Ramp();
        d.TransColor = 0;
        d.SelectButtonClick(); // the palette picker, answered with entry 35
        EXPECT_EQ(d.TransLabel->text(), "Palette Index : 35");
        EXPECT_EQ(d.TransImage->pixmap().toImage().pixel(0, 0), qRgb(35, 220, 245));
        d.OKButtonClick();
    };
    Desk.Colors.Answers = {uint32_t(0x00FF00)};
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(Desk.Colors.Shown, (std::vector<uint32_t>{0xFF00FF}));
    EXPECT_EQ(Settings.BMTransIndex, 35);
}

// ---- Adding frames and opening

TEST_F(BMFormTest, AddFramesMatchesColoursExactlyAndLeavesOutWhatDoesNotFit)
{
    std::vector<TFrame> many(49, TFrame{1, 1, 0});
    TBMForm *bm = Open(Put("full.bm", BMBytes(many)));
    const TPaletteEntry c = bm->Palette[42];
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(c.Red, c.Green, c.Blue));
    picture.setPixel(1, 0, qRgb(1, 2, 3)); // in no palette entry
    const std::string a = Dir.File("a.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(a), "BMP"));
    Desk.Dialogs.Accept({a, a, a});
    Run(C::AddFrames);
    EXPECT_EQ(bm->Document.NumImages(), 50);
    EXPECT_EQ(bm->CurrentFrame(), 50);
    EXPECT_EQ(bm->Document.Images[49].Pixels, (std::vector<uint8_t>{42, 255}));
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "2 pictures were left out: a BM holds at most 50 frames."}));
    EXPECT_EQ(Desk.Dialogs.Shown.back().Title, "Add Bitmaps");
}

TEST_F(BMFormTest, UnreadableDisplayPaletteFallsBackAndSaysSoOnce)
{
    Settings.BMPalettePath = Dir.File("missing.act");
    EXPECT_EQ(New()->PaletteName, "Uicolormap");
    EXPECT_EQ(New()->Palette, UicolormapPalette());
    ASSERT_EQ(Desk.Boxes.Shown.size(), 1u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Warning);
    EXPECT_NE(Desk.Boxes.Shown[0].Text.find("missing.act"), std::string::npos);
}

TEST_F(BMFormTest, DroppedFilesOpen)
{
    const std::string path = Put("dropped.bm", BMBytes({{2, 2, 1}}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // Over the document area, as a file manager drags it there.
    const QPoint at = Main->MdiArea()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main->MdiArea()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main->MdiArea()->viewport(), &drop);
    Settle();
    ASSERT_EQ(Main->DocumentWindows().size(), 1u);
    EXPECT_EQ(Main->DocumentWindows()[0]->FilePath, path);
}

} // namespace
