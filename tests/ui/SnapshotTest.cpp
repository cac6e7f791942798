// The fixed texts and sizes, read from the running windows and dialogs and
// held against one table: menus, toolbar, status panels, popup menus, the file dialogs'
// titles and filters, every dialog's captions and fixed sizes, and the first-run settings.

#include <filesystem>
#include <map>
#include <set>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "UiFixture.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"

using namespace uitest;

namespace {

std::string S(const QString &text)
{
    return text.toStdString();
}

// The title, then every caption inside in creation order; the size when the dialog sets it
// (not when its layout fits it to the desktop's fonts).
std::string Captions(QWidget *dialog)
{
    std::string out = S(dialog->windowTitle());
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        QString text;
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            text = b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            text = g->title();
        else if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().isNull())
            text = l->text();
        else if (auto *list = qobject_cast<QListWidget *>(w))
            for (int i = 0; i < list->count(); ++i)
                text += (i ? "," : "") + list->item(i)->text();
        if (!text.isEmpty())
            out += "|" + S(text);
    }
    if (dialog->minimumSize() == dialog->maximumSize() &&
        (!dialog->layout() || dialog->layout()->sizeConstraint() != QLayout::SetFixedSize))
        out += " " + std::to_string(dialog->width()) + "x" + std::to_string(dialog->height());
    return out;
}

std::string Request(const TFileDialogRequest &r)
{
    return r.Title + " [" + r.Filter + "] " + r.DefaultExt + (r.MultiSelect ? " many" : "");
}

using SnapshotTest = TEditorTest;

const std::map<std::string, std::string> Expected = {
    {"menus",
     // The platform's standard keys, offscreen those of Windows (no Save As or Quit keys).
     "&File:&New...Ctrl+N|&Open...Ctrl+O|&Reopen|-|&SaveCtrl+S|Save &As...|Save &Bitmap...|"
     "Save All Bit&maps...|&CloseCtrl+F4|Clos&e All|-|O&ptions...|-|E&xit|"
     "&Edit:&UndoCtrl+Z|&RedoCtrl+Y|-|&Add Frames...|Add &Mipmap...|&Delete Frame|-|Shift To Pre&vious Frame|Shift To "
     "Ne&xt Frame|-|&Select Palette...|&Edit Properties...|&View:&Previous FramePgUp|&Next "
     "FramePgDown|&Cycle Frames|&Zoom InCtrl++|Zoom &OutCtrl+-|-|&Light Level|Color&map...|"
     "&Translucent|Bac&kdrop...|Mark &Full-Bright|&Window:&Cascade|&Tile|&Next"
     "Ctrl+Tab|&PreviousCtrl+Shift+Backtab|&Help:&ContentsF1|-|&About|"},
    {"toolbar", "30: New Open Save SaveBitmap SaveAllBitmaps | Undo Redo | PreviousFrame NextFrame CycleFrames "
                "ZoomIn ZoomOut | AddFrames AddMipmap DeleteFrame ShiftToPreviousFrame "
                "ShiftToNextFrame | SelectPalette EditProperties | | Options Help About "},
    {"hints", "New|Open|Save|Save Bitmap|Save All Bitmaps|Undo|Redo|Previous Frame|Next Frame|Cycle "
              "Frames|Zoom In|Zoom Out|Add Frame|Add Mipmap|Delete Frame|Shift To Previous "
              "Frame|Shift To Next Frame|Select Palette|Edit Properties|Options|Help "
              "Contents|About Glimra|"},
    {"buttons", "24x24 flat; 5 before the first; dividers 8; "},
    {"status panels", "100 100 100 100 100 100 100 90"},
    {"start", "Glimra: New Open Options Exit Contents About"},
    {"popup BM", "&Previous Frame|&Next Frame|&Cycle Frames|&Zoom In|Zoom &Out|-|&Add "
                 "Frames...|&Delete Frame|-|Shift To Pre&vious Frame|Shift To Ne&xt "
                 "Frame|-|&Select Palette...|&Edit Properties...|-|Save &Bitmap...|Sa&ve All "
                 "Bitmaps...|"},
    {"popup CMP", "&Previous Frame|&Next Frame|Cycle &Frames|&Zoom In|Zoom &Out|-|&Change Cell "
                  "Color|&Select Palette|&Edit Properties|"},
    {"popup MAT", "&Previous Frame|&Next Frame|&Cycle Frames|&Zoom In|Zoom &Out|-|&Add "
                  "Frames...|Add &Mipmap...|&Delete Frame|-|Shift To Pre&vious Frame|Shift To "
                  "Ne&xt Frame|-|&Select Palette|&Edit Properties|-|Save &Bitmap...|Sa&ve All "
                  "Bitmaps...|"},
    {"popup SFT", "&Zoom In|Zoom &Out|-|&Add Frame...|&Delete Frame|-|&Select Palette...|&Edit "
                  "Properties...|-|Save &Bitmap...|"},
    {"save BM", "Save As BM Graphic [BM Textures (*.bm)|*.bm|All Files (*.*)|*.*] bm"},
    {"save CMP", "Save As CMP Palette [CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*] cmp"},
    {"save MAT", "Save As MAT Texture [MAT Textures (*.mat)|*.mat|All Files (*.*)|*.*] mat"},
    {"save SFT", "Save As SFT Font [SFT Fonts (*.sft)|*.sft|All Files (*.*)|*.*] sft"},
    {"add BM", "Add Bitmaps [Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*]  many"},
    {"add SFT", "Add Bitmap [Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*] "},
    {"save bitmap", "Save As Bitmap [Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*] bmp"},
    {"open", "Open [All Supported Files|*.bm; *.cmp; *.mat; *.sft; *.gob; *.goo|BM Graphics "
             "(*.bm)|*.bm|CMP Palettes (*.cmp)|*.cmp|MATTextures (*.mat)|*.mat|SFT Fonts "
             "(*.sft)|*.sft|GOB Containers (*.gob; *.goo)|*.gob; *.goo|All Files (*.*)|*.*]  many"},
    {"open help", "Open Help File [All Files|*.*] "},
    {"open palette", "Open Palette [All Supported Palettes|*.act; *.bm; *.bmp; *.cmp; *.pal; "
                     "*.sft|ACT Palettes (*.act)|*.act|BM Graphics (*.bm)|*.bm|CMP Palettes "
                     "(*.cmp)|*.cmp|PAL Palettes (*.pal)|*.pal|Windows Bitmaps (*.bmp)|*.bmp|All "
                     "Files (*.*)|*.*] "},
    {"save palette", "Save As Palette [Microsoft PAL Palettes (*.pal)|*.pal|Paintshop PAL "
                     "Palettes (*.pal)|*.pal|Photoshop ACT Palettes (*.act)|*.act|All Files "
                     "(*.*)|*.*] "},
    {"New", "New|File|&BM Graphic|CMP &Palette|&MAT Texture|&SFT Font|&GOB Container|Color "
            "Depth|&8-Bit|&16-Bit|Type|&Color|&Texture|&OK|C&ancel"},
    {"Options",
     "Options|File Associations|BM Texture,CMP Palette,MAT Texture,SFT Font,GOB Container|Last"
     " Directory|&Common|&Dialog Type|&File Type|Cycle Rate|FPS|CMP Cell Size|Pixels|File Sa"
     "ving|Create &backups|Bitmap Format|&8-Bit|&24-Bit|Undo|Steps per document|CMP Fill Color|RGB: 0 0 0|&Select|&O"
     "K|C&ancel"},
    {"replace buttons", "75x25 at 10 95 180 265"},
    {"Select Palette", "Select Palette|&Dflt |&Uicolormap|&Open...|&Save As...|O&K|&Cancel|"
                       "Index: 0|Red: 0|Green: 0|Blue: 0 336x287"},
    {"Select Color", "Select Color|Index: 0|RGB: 0 0 0|O&K|&Cancel 251x320"},
    {"Edit BM Properties", "Edit BM Properties|Offsets|X :|Y :|Internal Palette|&No|&Yes|Tr"
                           "ansparent Color|Palette Index : 0|&Select|&OK|&Cancel"},
    {"Edit MAT Properties",
     "Edit MAT Properties|New Frames|&Make black pixels transparent|"
     "&Use average fill color|&Generate|mipmaps|Current Frame|Make &black pixels transparent"
     "|Fill Color Index: 0|&Select|&OK|&Cancel"},
    {"Edit SFT Properties",
     "Edit SFT Properties|Transparent Color|Palette Index : 0|&Selec"
     "t|Bitmap Separation|Gap Length :|Pixels|Space Length :|Pixels|Characters|&Add|&Insert|"
     "&Delete|&OK|&Cancel"},
    {"Edit CMP Properties", "Edit CMP Properties|&Use transparency tables|&OK|&Cancel"},
    {"Progress", "Progress|ProgressLabel|Cancel 392x41"},
    {"first-run settings",
     "LastCommonDirectory=. LastOpenDirectory=. LastSaveDirectory=. H"
     "elpFilePath=Glimra.chm LastDirectoryIndex=0 LastOpenFilterIndex=0 LastFileIndex=0 CMPC"
     "ellSize=20 CycleRate=5 SaveBitmapFormat=24 BackupFile=0 BMPalettePath=Uicolormap BMLas"
     "tDirectory=. BMXOffset=0 BMYOffset=0 BMTransIndex=0 BMTransColor=0 BMIs16Bit=0 BMUseIn"
     "ternalPalette=0 CMPLastDirectory=. CMPFillColor=0 CMPTransTables=0 MATPalettePath=Dflt"
     " MATLastDirectory=. MATIs16Bit=0 MATIsColor=0 MATFillIndex=0 MATFillColor=0 MATNumberM"
     "ipmaps=1 MATAverageFill=1 MATAutoMipmaps=0 MATNewTrans=0 MATFrameTrans=0 SFTPalettePat"
     "h=Uicolormap SFTLastDirectory=. SFTCharacterGap=0 SFTSpaceLength=0 SFTTransIndex=0 SFT"
     "TransColor=0 SFTIs16Bit=0 BMColormapPath= MATColormapPath= SFTColormapPath= UndoLimit=100 "},
};

} // namespace

TEST_F(SnapshotTest, TextsAndSizes)
{
    std::map<std::string, std::string> shown;
    // The request of the file dialog `command` shows (cancelled).
    const auto dialogOf = [&](C command) {
        Desk.Dialogs.Cancel();
        Run(command);
        return Request(Desk.Dialogs.Shown.back());
    };
    std::string &menus = shown["menus"];
    for (QAction *top : Main->menuBar()->actions()) {
        menus += S(top->text()) + ":";
        for (QAction *a : top->menu()->actions())
            menus += (a->isSeparator() ? "-" : S(a->text()) + S(a->shortcut().toString())) + "|";
    }
    std::string &toolbar = shown["toolbar"];
    toolbar = std::to_string(Main->ToolBar()->height()) + ":";
    std::set<std::string> looks;
    for (QObject *child : Main->ToolBar()->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || !w->isVisibleTo(Main->ToolBar()))
            continue;
        if (QByteArray(w->metaObject()->className()) == "QWidget")
            looks.insert(std::to_string(w->width()) + " before the first");
        if (w->objectName().startsWith("Divider"))
            toolbar += " |", looks.insert("dividers " + std::to_string(w->width()));
        if (auto *b = qobject_cast<QToolButton *>(w); b && w->objectName().endsWith("Button")) {
            toolbar += " " + S(w->objectName().chopped(6));
            shown["hints"] += S(b->toolTip()) + "|";
            looks.insert(std::to_string(b->width()) + "x" + std::to_string(b->height()) +
                         (b->autoRaise() ? " flat" : ""));
        }
    }
    toolbar += " ";
    for (const std::string &look : looks)
        shown["buttons"] += look + "; ";
    for (int i = 0; i < StatusPanelCount; ++i)
        shown["status panels"] += (i ? " " : "") + std::to_string(Main->StatusLabel(i)->width());
    shown["start"] = S(Main->windowTitle()) + ":";
    for (size_t i = 0; i < MainCommandCount; ++i)
        shown["start"] += Main->IsCommandEnabled(C(i)) ? " " + Name(C(i)) : "";

    for (K kind : DocumentKinds) {
        const std::string name = DocumentKindName(kind);
        for (QAction *a : New(kind)->PopupMenu()->actions())
            shown["popup " + name] += (a->isSeparator() ? "-" : S(a->text())) + "|";
        if (kind == K::SFT) // a font without its picture is saved only after a Yes
            Desk.Boxes.Answers = {TMessageResult::Yes};
        shown["save " + name] = dialogOf(C::SaveAs);
    }
    shown["add SFT"] = dialogOf(C::AddFrames);
    New(K::BM);
    shown["add BM"] = dialogOf(C::AddFrames);
    Open(Put("one.bm", BMBytes({{1, 1, 0}})));
    shown["save bitmap"] = dialogOf(C::SaveBitmap);
    shown["open"] = dialogOf(C::Open);
    Settings.HelpFilePath = Dir.File("none");
    shown["open help"] = dialogOf(C::Contents);
    shown["open palette"] = Request(Context.SelectPaletteForm->OpenDialog);
    shown["save palette"] = Request(Context.SelectPaletteForm->SaveDialog);

    Context.FileReplaceForm->FileName = Put("x.bm", {1});
    Context.FileReplaceForm->MultipleFiles = true;
    for (TModalForm *dialog : Main->findChildren<TModalForm *>(Qt::FindDirectChildrenOnly))
        if (dialog != Context.FileReplaceForm && dialog->windowTitle() != "About Glimra")
            Show<TModalForm>(*dialog,
                             [&](TModalForm &f) { shown[S(f.windowTitle())] = Captions(&f); });
    Show<TFileReplaceForm>(*Context.FileReplaceForm, [&](TFileReplaceForm &f) {
        const int row = (f.width() - 352) / 2;
        shown["replace buttons"] = std::to_string(f.YesButton->width()) + "x" +
                                   std::to_string(f.YesButton->height()) + " at";
        for (QWidget *b : {f.YesButton, f.YesToAllButton, f.NoButton, f.CancelButton})
            shown["replace buttons"] += " " + std::to_string(b->x() - row);
    });
    shown["Progress"] = Captions(Context.ProgressForm);

    Desk.Store = TMemorySettingsStore{}; // a first run: no key
    LoadSettings();
    SaveSettings();
    const std::string cwd = std::filesystem::current_path().string();
    for (const std::string &name : Desk.Store.WriteLog) {
        const auto &value = Desk.Store.Values.at(name);
        const std::string text = std::holds_alternative<std::string>(value)
                                     ? std::get<std::string>(value)
                                     : std::to_string(std::get<int32_t>(value));
        shown["first-run settings"] += name + "=" + (text == cwd ? "." : text) + " ";
    }

    for (const auto &[key, value] : Expected)
        EXPECT_EQ(shown[key], value) << key;
    EXPECT_EQ(shown.size(), Expected.size());
}
