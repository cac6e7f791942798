// The document windows in the real main window: the life cycle every kind shares, run for
// each kind, then what each kind adds (its wiring to the core's rules, and its own rules).

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include "SaveFaults.h"
#include "UiFixture.h"
#include "ui/kit/GLM_RadioGroup.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

struct TKindCase
{
    K Kind;
    std::vector<uint8_t> Bytes; // a document with something to show, as its file holds it
    const char *NewCaption;     // the first new window's caption
};

const TKindCase Kinds[] = {
    {K::BM, BMBytes({{8, 8, 1}, {8, 8, 2}, {8, 8, 3}}), "Untitled0.bm [1:1]"},
    {K::CMP, CMPBytes(0), "Untitled0.cmp"},
    {K::MAT, TextureMAT({{8, 8, 1, 1}, {8, 8, 1, 2}, {8, 8, 1, 3}}), "Untitled0.mat [1:1]"},
    {K::SFT, SFTBytes({{65, 0, 2}}, 4, 2), "Untitled0.sft [1:1]"},
    // An empty member: nothing is read back from the file the test replaces under the window.
    {K::GOB, GOBBytes({{"misc\\empty.txt", {}}}), "Untitled0.gob"},
};

QRgb Rgb(const TPaletteEntry &e)
{
    return qRgb(e.Red, e.Green, e.Blue);
}

using KindsTest = TEditorTest;

class DocumentWindowTest : public TEditorTest, public ::testing::WithParamInterface<TKindCase>
{
protected:
    DocumentWindowTest() { fs::create_directories(Work); }
    std::string Ext() const // ".bm", ".cmp", ...
    {
        return QString(".%1").arg(DocumentKindName(GetParam().Kind)).toLower().toStdString();
    }
    std::string Backup(const std::string &path) const
    {
        return ChangeFileExt(path, ".~" + Ext().substr(1));
    }
    // Opens work/doc.<ext>, then gives the file other bytes, so that a write shows.
    TDocumentWindow *OpenChanged()
    {
        WriteFile(Doc, GetParam().Bytes);
        TDocumentWindow *window = Open(Doc);
        WriteFile(Doc, Text("the old document"));
        window->Modified = true;
        return window;
    }
    const fs::path Work = Dir.Path / "work";
    const std::string Doc = (Work / ("doc" + Ext())).string();
};

} // namespace

// Save writes the document over its file, the old one kept as the backup, without a dialog.
TEST_P(DocumentWindowTest, OpenAndSaveWithBackup)
{
    TDocumentWindow *window = OpenChanged();
    EXPECT_EQ(window->FileName, "doc" + Ext());
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + Doc);
    EXPECT_EQ(Main->ReopenCaptions(), Texts{"&0 " + Doc});
    Settings.BackupFile = true;
    Run(C::Save);
    EXPECT_EQ(ReadFile(Doc), GetParam().Bytes);
    EXPECT_EQ(ReadFile(Backup(Doc)), Text("the old document"));
    EXPECT_FALSE(window->Modified);
    EXPECT_TRUE(Desk.Dialogs.Shown.empty());
}

// Save As asks before replacing, takes the new name, folder and path; it keeps no backup.
TEST_P(DocumentWindowTest, SaveAsAsksBeforeReplacing)
{
    TDocumentWindow *window = OpenChanged();
    Settings.BackupFile = true;
    Settings.LastCommonDirectory = "/start";
    const std::string target = Put("taken" + Ext(), Text("the old target"));
    ReplaceAnswers = {mrNo, mrYes};
    Desk.Dialogs.Accept({target});
    Run(C::SaveAs);
    EXPECT_EQ(ReadFile(target), Text("the old target"));
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).FileName + " " + Desk.Dialogs.Shown.at(0).InitialDir,
              "doc" + Ext() + " /start");
    Desk.Dialogs.Accept({target});
    Run(C::SaveAs);
    EXPECT_EQ(Asked, (Texts{"taken" + Ext(), "taken" + Ext()}));
    EXPECT_EQ(ReadFile(target), GetParam().Bytes);
    EXPECT_FALSE(fs::exists(Backup(target)));
    EXPECT_EQ(window->windowTitle().toStdString().rfind("taken" + Ext(), 0), 0u);
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + target);
    EXPECT_EQ(Main->ReopenCaptions().at(0), "&0 " + target);
    EXPECT_EQ(Settings.LastCommonDirectory, Dir.Path.string());
    EXPECT_FALSE(window->Modified);
}

// Cancel keeps the window, Yes whose Save As is given up too; No lets it go; Yes saves.
TEST_P(DocumentWindowTest, CloseQuestion)
{
    TDocumentWindow *untitled = New(GetParam().Kind);
    const std::string question = "Save changes to " + untitled->FileName + "?";
    untitled->Modified = true;
    // A font without its picture asks once more before the Save As dialog.
    const bool font = GetParam().Kind == K::SFT;
    Desk.Boxes.Answers = {TMessageResult::Cancel, TMessageResult::Yes, TMessageResult::Yes};
    Desk.Boxes.Answers.resize(font ? 3 : 2);
    Desk.Boxes.Answers.push_back(TMessageResult::No);
    Desk.Dialogs.Cancel();
    for (size_t left : {1u, 1u, 0u}) {
        Run(C::Close);
        EXPECT_EQ(Main->DocumentWindows().size(), left);
    }
    Texts asked(3, question);
    if (font)
        asked.insert(asked.begin() + 2, NoPictureQuestion);
    EXPECT_EQ(Messages(), asked);
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 1u);
    OpenChanged();
    Desk.Boxes.Answers = {TMessageResult::Yes};
    Run(C::Close);
    EXPECT_TRUE(Main->DocumentWindows().empty());
    EXPECT_EQ(ReadFile(Doc), GetParam().Bytes);
}

// Each save path against a fault: the files as they were, the standard message, the window
// open, modified and under its old name.
TEST_P(DocumentWindowTest, EverySavePathSurvivesAFault)
{
    TDocumentWindow *window = OpenChanged();
    const fs::path out = Dir.Path / "out";
    fs::create_directories(out);
    const Texts reopen = Main->ReopenCaptions();
    const auto check = [&](const char *path, const std::function<void()> &act, const Texts &said) {
        SCOPED_TRACE(path);
        Desk.Boxes.Shown.clear();
        window->Modified = true;
        const auto before = Tree(Dir.Path, true);
        act();
        Settle();
        EXPECT_EQ(Tree(Dir.Path, true), before);
        EXPECT_EQ(Messages(), said);
        ASSERT_EQ(Main->DocumentWindows(), std::vector<TDocumentWindow *>{window});
        EXPECT_TRUE(window->Modified);
        EXPECT_EQ(window->FilePath, Doc);
        EXPECT_EQ(Main->ReopenCaptions(), reopen);
    };
    const auto fullDisk = [&](C command) {
        return [this, command] {
            TScopedFullDisk disk(16);
            Run(command);
        };
    };
    const auto readOnly = [&](const fs::path &folder, const std::function<void()> &act) {
        return [&, folder, act] {
            TScopedReadOnlyFolder locked(folder);
            ASSERT_TRUE(locked.Holds());
            act();
        };
    };
    const std::string doc = "doc" + Ext() + ": ";
    check("Save", fullDisk(C::Save), {doc + "Disk full"});
    Settings.BackupFile = true;
    WriteFile(Backup(Doc), Text("the old backup"));
    check("Save with a backup", readOnly(Work, [&] { Run(C::Save); }),
          {doc + "File access denied"});
    Desk.Boxes.Answers = {TMessageResult::Yes};
    check("Save on closing", readOnly(Work, [&] { window->parentWidget()->close(); }),
          {"Save changes to doc" + Ext() + "?", doc + "File access denied"});
    WriteFile((out / ("taken" + Ext())).string(), Text("the old target"));
    Desk.Dialogs.Accept({(out / ("taken" + Ext())).string()});
    ReplaceAnswers = {mrYes};
    check("Save As", fullDisk(C::SaveAs), {"taken" + Ext() + ": Disk full"});
    if (HasRoute(C::SaveBitmap, GetParam().Kind)) {
        WriteFile((out / "picture.bmp").string(), Text("the old picture"));
        Desk.Dialogs.Accept({(out / "picture.bmp").string()});
        ReplaceAnswers = {mrYes};
        check("Save Bitmap", readOnly(out, [&] { Run(C::SaveBitmap); }),
              {"picture.bmp: File access denied"});
    }
    if (HasRoute(C::SaveAllBitmaps, GetParam().Kind)) {
        Desk.Dialogs.Accept({(out / "any.bmp").string()});
        const bool mat = GetParam().Kind == K::MAT;
        check("Save All Bitmaps", fullDisk(C::SaveAllBitmaps),
              {(mat ? "doc-1-A.bmp" : "doc-1.bmp") + std::string(": Disk full")});
    }
}

// A new window's name and place; an opened document's facts give the main window's command
// states, which the popup menu follows.
TEST_P(DocumentWindowTest, NewWindowsAndCommandStates)
{
    TDocumentWindow *first = New(GetParam().Kind);
    EXPECT_EQ(first->windowTitle().toStdString(), GetParam().NewCaption);
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + first->FileName);
    EXPECT_FALSE(first->Modified);
    EXPECT_EQ(New(GetParam().Kind)->parentWidget()->pos(), QPoint(22, 22));
    EXPECT_EQ(first->parentWidget()->pos(), QPoint(0, 0));
    TDocumentWindow *window = Open(Put("doc" + Ext(), GetParam().Bytes));
    const TCommandStates states = DocumentStates(window->DocumentFacts());
    for (C command : DocumentCommands())
        EXPECT_EQ(Main->IsCommandEnabled(command), states[command]) << Name(command);
    window->UpdatePopupMenu();
    for (QAction *item : window->PopupMenu()->actions()) {
        const C command = C(item->data().toInt());
        EXPECT_TRUE(item->isSeparator() || size_t(command) >= MainCommandCount ||
                    item->isEnabled() == Main->IsCommandEnabled(command))
            << Name(command);
    }
}

INSTANTIATE_TEST_SUITE_P(, DocumentWindowTest, ::testing::ValuesIn(Kinds),
                         [](const auto &info) { return DocumentKindName(info.param.Kind); });

// The client area fits the zoomed frame, painted in blocks; without a frame the window is
// 200 x 200 at zoom 1.
TEST_F(KindsTest, BMDrawsAndFits)
{
    const TPalette ramp = Ramp();
    TBMForm *bm = Open<TBMForm>(Put("wide.bm", BMBytes({{64, 40, 7}, {2, 2, 1}}, 8, &ramp)));
    Run(C::ZoomIn);
    Run(C::ZoomIn);
    EXPECT_EQ(bm->size(), QSize(192, 120));
    EXPECT_EQ(bm->grab().toImage().pixel(191, 119), Rgb(ramp[7]));
    Run(C::DeleteFrame);
    Run(C::DeleteFrame);
    EXPECT_EQ(bm->Zoom(), 1);
    EXPECT_EQ(bm->parentWidget()->size(), QSize(200, 200));
}

// A chosen palette replaces the file's own (a change) but only the display palette of a file
// without one; the properties' OK writes the settings, then the window applies them.
TEST_F(KindsTest, BMPaletteAndProperties)
{
    const TPalette ramp = Ramp();
    Play<TSelectPaletteForm>([](TSelectPaletteForm &picker) {
        picker.PaletteName = "Dflt";
        picker.Palette = DfltPalette();
        picker.OKButtonClick();
    });
    TBMForm *own = Open<TBMForm>(Put("own.bm", BMBytes({{2, 2, 5}}, 8, &ramp)));
    Run(C::SelectPalette);
    EXPECT_EQ(own->Document.Palette, DfltPalette());
    EXPECT_TRUE(own->Modified);
    EXPECT_EQ(Panel(7), "Display Palette: Dflt");
    Settings.BMPalettePath = "Uicolormap";
    TBMForm *bm = Open<TBMForm>(Put("plain.bm", BMBytes({{2, 2, 5}})));
    const TPalette before = bm->Document.Palette;
    Run(C::SelectPalette);
    EXPECT_EQ(bm->Document.Palette, before);
    EXPECT_EQ(bm->Palette, DfltPalette());
    EXPECT_FALSE(bm->Modified);
    EXPECT_EQ(Settings.BMPalettePath, "Dflt");

    bool stillOpen = false;
    Play<TEditBMForm>([&](TEditBMForm &dialog) {
        dialog.XOffsetBox->setText(stillOpen ? "3" : "-16");
        dialog.YOffsetBox->setText(stillOpen ? "12x" : "-2");
        dialog.PaletteGroup->SetItemIndex(1);
        dialog.OKButtonClick();
        stillOpen = dialog.isVisible();
    });
    Run(C::EditProperties);
    EXPECT_EQ(bm->Document.Header.PaletteIncluded, 2);
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Panel(3), "Offset: -16 x -2");
    stillOpen = true;
    Run(C::EditProperties);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Messages().back(), "'12x' is not a valid integer value");
    EXPECT_EQ(Settings.BMXOffset, -16);
}

// Save All Bitmaps asks before each existing picture (No skips, Yes to All asks no more,
// Cancel ends the run); Save Bitmap follows SaveBitmapFormat; Add Frames says how many
// pictures were left out; an unreadable palette is said once.
TEST_F(KindsTest, BMExportsAndAddFrames)
{
    TBMForm *bm = Open<TBMForm>(Put("walk.bm", BMBytes({{2, 2, 1}, {2, 2, 2}, {2, 2, 3}})));
    Run(C::NextFrame);
    const auto run = [&](std::deque<int> answers) {
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            Put(name, {7});
        ReplaceAnswers = std::move(answers);
        Desk.Dialogs.Accept({Dir.File("anything.bmp")});
        Run(C::SaveAllBitmaps);
        std::string replaced;
        for (const char *name : {"walk-1.bmp", "walk-2.bmp", "walk-3.bmp"})
            replaced += ReadFile(Dir.File(name)).size() > 1 ? "W" : "-";
        return replaced;
    };
    EXPECT_EQ(run({mrYes, mrNo, mrCancel}), "W--");
    EXPECT_EQ(Asked, (Texts{"walk-1.bmp (many)", "walk-2.bmp (many)", "walk-3.bmp (many)"}));
    EXPECT_EQ(run({mrNo, mrYesToAll}), "-WW");
    EXPECT_EQ(Asked.size(), 5u);
    EXPECT_EQ(bm->CurrentFrame(), 2);
    Settings.SaveBitmapFormat = 8;
    Desk.Dialogs.Accept({Dir.File("one.bmp")});
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "walk-2.bmp");
    EXPECT_EQ(ReadFile(Dir.File("one.bmp")).at(28), 8);
    bm = Open<TBMForm>(Put("full.bm", BMBytes(std::vector<TFrame>(49, {1, 1, 0}))));
    const std::string a = Picture("a.bmp", 1, 1, Rgb(bm->Palette[42]));
    Desk.Dialogs.Accept({a, a, a});
    Run(C::AddFrames);
    EXPECT_EQ(bm->Document.NumImages(), 50);
    EXPECT_EQ(bm->Document.Images[49].Pixels, std::vector<uint8_t>{42});
    EXPECT_EQ(Messages(), Texts{"2 pictures were left out: a BM holds at most 50 frames."});
    Settings.BMPalettePath = Dir.File("missing.act");
    EXPECT_EQ(New<TBMForm>()->PaletteName, "Uicolormap");
    New(K::BM);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_NE(Messages()[1].find("missing.act"), std::string::npos);
}

// Next Frame steps through the levels first; a deleted frame leaves a level in range; import
// messages come each in a box of its kind; Add Mipmap takes the next level.
TEST_F(KindsTest, MATLevelsAndImports)
{
    TMATForm *mat = Open<TMATForm>(Put("wall.mat", TextureMAT({{16, 16, 4, 1}, {2, 2, 1, 2}})));
    for (int i = 0; i < 3; ++i)
        Run(C::NextFrame);
    EXPECT_EQ(Panel(2), "Mipmap: 4 of 4");
    Desk.Dialogs.Cancel();
    Run(C::SaveBitmap);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "wall-1-D.bmp");
    Run(C::DeleteFrame);
    EXPECT_EQ(Panel(1) + " " + Panel(2), "Frame: 1 of 1 Mipmap: 1 of 1");
    mat = New<TMATForm>();
    Desk.Dialogs.Accept({Picture("odd.bmp", 63, 64, 0), Picture("huge.bmp", 2048, 2, 0)});
    Run(C::AddFrames);
    ASSERT_EQ(Desk.Boxes.Shown.size(), 2u);
    EXPECT_EQ(Desk.Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Desk.Boxes.Shown[1].Kind, TMessageKind::Warning);
    EXPECT_EQ(mat->Document.NumRecords(), 1);
    Desk.Dialogs.Accept({Picture("half.bmp", 1024, 1, 0)});
    Run(C::AddMipmap);
    EXPECT_EQ(mat->CurrentMipmap, 2);
    EXPECT_TRUE(mat->Modified);
}

// Colour frames come from Select Color (8-bit) or the colour dialog opened on black; the
// properties' OK goes into the window and the current frame (transparency, fill colour).
TEST_F(KindsTest, MATColourFramesAndProperties)
{
    Settings.MATIsColor = true;
    TMATForm *mat = New<TMATForm>();
    Play<TSelectColorForm>([](TSelectColorForm &picker) {
        picker.SelectedIndex = 77;
        picker.OKButtonClick();
    });
    Run(C::AddFrames);
    User = nullptr;
    Run(C::AddFrames);
    EXPECT_EQ(mat->Document.NumRecords(), 1);
    EXPECT_EQ(mat->Document.ColorRecords[0].Color, 77);
    Settings.MATIs16Bit = true;
    TMATForm *wide = New<TMATForm>();
    Desk.Colors.Answers = {uint32_t(0x0080FF)};
    Run(C::AddFrames);
    EXPECT_EQ(Desk.Colors.Shown, std::vector<uint32_t>{0});
    EXPECT_EQ(wide->Document.ColorRecords[0].Color, 0x0080FF);
    Play<TEditMATForm>([](TEditMATForm &dialog) {
        dialog.FrameTransBox->setChecked(true);
        dialog.MipmapsBox->setChecked(true);
        dialog.MipmapsCombo->setCurrentIndex(2);
        dialog.FillColor = 0xC01F;
        dialog.OKButtonClick();
    });
    const std::string path = Put("p.mat", TextureMAT({{2, 2, 2, 0xF800}}, 16));
    mat = Open<TMATForm>(path);
    Run(C::EditProperties);
    Run(C::Save);
    const std::vector<uint8_t> saved = ReadFile(path);
    EXPECT_EQ(I32At(saved, 80), 0xC01F); // the record's fill colour
    EXPECT_EQ(saved.back() << 8 | saved[saved.size() - 2], 0xFC00);
    EXPECT_EQ(mat->NewFillColor, 0xC01Fu);
    EXPECT_EQ(Panel(6), "Auto Mipmaps: 4");
}

// The mouse-over and a double click act on the active window's cell, keeping the tables,
// which Save recomputes before writing.
TEST_F(KindsTest, CMPCellsMouseAndSave)
{
    const std::string path = Put("ramp.cmp", CMPBytes(1));
    TCMPForm *form = Open<TCMPForm>(path);
    Run(C::NextFrame);
    Mouse(form->CMPImage, QEvent::MouseMove, 45, 45);
    EXPECT_EQ(Panel(3) + "|" + Panel(4), "Index: 34|RGB: 34 221 238");
    Desk.Colors.Answers = {MakeColor(255, 0, 0)};
    Mouse(form->CMPImage, QEvent::MouseButtonDblClick, 45, 45);
    EXPECT_EQ(Desk.Colors.Shown.at(0), MakeColor(34, 221, 238));
    EXPECT_EQ(form->Document.Palette[34], (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ(form->Document.LightLevels[0][0], 10); // kept
    EXPECT_TRUE(form->Modified);
    New(K::BM);
    Mouse(form->CMPImage, QEvent::MouseMove, 5, 5);
    form->ChangeCellColor();
    EXPECT_EQ(form->HoverIndex, 34);
    EXPECT_EQ(Desk.Colors.Shown.size(), 1u);

    Activate(form);
    Run(C::Save);
    EXPECT_EQ(ReadFile(path).at(17216 + 7 * 256 + 7), 7); // recomputed; the file had 14
}

// Edit Properties recalculates behind the progress window, a change even without one;
// Select Palette recomputes the tables, a change unless the palette is the file's own.
TEST_F(KindsTest, CMPPropertiesAndPalette)
{
    const std::string path = Put("odd.cmp", CMPBytes(1));
    TCMPForm *form = Open<TCMPForm>(path);
    Play<TEditCMPForm>([&](TEditCMPForm &dialog) {
        EXPECT_TRUE(dialog.CMPTransCheckbox->isChecked());
        dialog.OKButtonClick();
    });
    Run(C::EditProperties);
    EXPECT_EQ(Context.ProgressForm->ProgressLabel->text(), "Calculating new transparency tables.");
    EXPECT_FALSE(Context.ProgressForm->isVisible());
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(form->Document.TransTables[7][7], 7);

    form->Modified = false;
    std::string name = path;
    Play<TSelectPaletteForm>([&](TSelectPaletteForm &picker) {
        picker.PaletteName = name;
        picker.OKButtonClick();
    });
    Run(C::SelectPalette);
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->Document.LightLevels[63][200], 200);
    name = "Dflt";
    Run(C::SelectPalette);
    EXPECT_TRUE(form->Modified);
}

// Add Frame, also an unreadable one from the popup; the readout in the active window only;
// Delete Frame empties the font; the properties' OK changes the font and the next one; a
// font without characters is written with a warning.
TEST_F(KindsTest, SFTStripReadoutAndProperties)
{
    TSFTForm *sft = New<TSFTForm>();
    sft->Palette.fill({0, 0, 0});
    sft->Palette[7] = {1, 2, 3};
    Desk.Dialogs.Accept({Picture("strip.bmp", 2, 1, qRgb(1, 2, 3))});
    Run(C::AddFrames);
    EXPECT_EQ(sft->Document.Pixels, (std::vector<uint8_t>{7, 7}));
    TSFTForm *other = New<TSFTForm>();
    Desk.Dialogs.Accept({Put("junk.bmp", {1, 2, 3})});
    other->PopupMenu()->findChild<QAction *>("AddFrames1")->trigger();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(other->Modified);

    TSFTForm *ab = Open<TSFTForm>(Put("ab.sft", SFTBytes({{65, 10, 5}, {66, 15, 4}}, 40, 2)));
    Run(C::ZoomIn);
    Mouse(ab->Image(), QEvent::MouseMove, 30, 0);
    EXPECT_EQ(Panel(6), "Character: B");
    Activate(sft);
    Mouse(ab->Image(), QEvent::MouseMove, 20, 0);
    EXPECT_EQ(Panel(6), "");
    Activate(ab);
    Run(C::DeleteFrame);
    EXPECT_EQ(Panel(1), "Size: 40 x 2");
    EXPECT_FALSE(ab->Modified);
    Desk.Boxes.Shown.clear();
    sft = Open<TSFTForm>(Put("font.sft", SFTBytes({{65, 0, 8}}, 16, 16)));
    Play<TEditSFTForm>([](TEditSFTForm &dialog) {
        EXPECT_EQ(dialog.Rows(), (std::vector<TCharRow>{{"65", "A", "0", "8"}}));
        dialog.CharacterGapBox->setText("3");
        dialog.DeleteButtonClick();
        dialog.OKButtonClick();
    });
    Run(C::EditProperties);
    EXPECT_EQ(sft->Document.Header.CharGap, 3);
    EXPECT_EQ(sft->Document.Chars.Count(), 0);
    EXPECT_EQ(Panel(3), "Character Gap: 3");
    EXPECT_EQ(New<TSFTForm>()->Document.Header.CharGap, 3);
    Activate(sft);
    Run(C::Save);
    EXPECT_EQ(Messages(), Texts{NoCharactersWarning});
    std::vector<uint8_t> written = SFTBytes({}, 16, 16);
    written[8] = 3; // the gap
    EXPECT_EQ(ReadFile(sft->FilePath), written);
}
