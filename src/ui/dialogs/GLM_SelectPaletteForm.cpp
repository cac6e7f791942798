#include "ui/dialogs/GLM_SelectPaletteForm.h"

#include <exception>

#include <QLabel>
#include <QPushButton>

#include "core/GLM_FileNames.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/GLM_Palettes.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"
#include "ui/dialogs/GLM_PaletteGrid.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int ClientWidth = 336;
constexpr int ClientHeight = 287;
constexpr int ButtonLeft = 255;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int StatusHeight = 18;
constexpr int StatusPanelWidth = 84;

// Save dialog filter indexes; every other one writes RIFF.
constexpr int JascFilter = 2;
constexpr int ActFilter = 3;

const char *const InternalName = "Internal";
const char *const InvalidPaletteText = "File does not contain a valid palette";

// `name` with its extension (by the one extension rule) replaced by `ext`.
std::string ChangeFileExt(const std::string &name, const std::string &ext)
{
    return name.substr(0, name.size() - LowerFileExt(name).size()) + ext;
}

QPushButton *Button(const QString &caption, int top, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(ButtonLeft, top, ButtonWidth, ButtonHeight);
    return button;
}

} // namespace

TSelectPaletteForm::TSelectPaletteForm(TWindowContext &context, QWidget *parent)
    : TModalForm(context, parent)
{
    setWindowTitle(QStringLiteral("Select Palette"));
    setFixedSize(ClientWidth, ClientHeight);

    PaletteLabel = new QLabel(this);
    // A full path after Open may run past the buttons' column; it is never shortened.
    PaletteLabel->setGeometry(5, 5, ClientWidth - 10, 15);
    PaletteImage = new TPaletteGrid(this);
    PaletteImage->move(5, 22);

    DfltPalButton = Button(QStringLiteral("&Dflt "), 22, this);
    UicolormapPalButton = Button(QStringLiteral("&Uicolormap"), 52, this);
    OpenButton = Button(QStringLiteral("&Open..."), 82, this);
    SaveAsButton = Button(QStringLiteral("&Save As..."), 112, this);
    OKButton = Button(QStringLiteral("O&K"), 205, this);
    CancelButton = Button(QStringLiteral("&Cancel"), 236, this);
    OKButton->setDefault(true);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, OpenButton);
    setTabOrder(OpenButton, DfltPalButton);
    setTabOrder(DfltPalButton, UicolormapPalButton);
    setTabOrder(UicolormapPalButton, SaveAsButton);

    StatusBar = new QWidget(this);
    StatusBar->setGeometry(0, ClientHeight - StatusHeight, ClientWidth, StatusHeight);
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto *panel = new QLabel(StatusBar);
        panel->setGeometry(i * StatusPanelWidth, 0, StatusPanelWidth, StatusHeight);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        StatusPanels[static_cast<size_t>(i)] = panel;
    }

    OpenDialog.Kind = TFileDialogKind::Open;
    OpenDialog.Title = "Open Palette";
    OpenDialog.Filter = "All Supported Palettes|*.act; *.bm; *.bmp; *.cmp; *.pal; *.sft|"
                        "ACT Palettes (*.act)|*.act|BM Graphics (*.bm)|*.bm|"
                        "CMP Palettes (*.cmp)|*.cmp|PAL Palettes (*.pal)|*.pal|"
                        "Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*";
    OpenDialog.FilterIndex = 1;
    SaveDialog.Kind = TFileDialogKind::Save;
    SaveDialog.Title = "Save As Palette";
    SaveDialog.Filter = "Microsoft PAL Palettes (*.pal)|*.pal|"
                        "Paintshop PAL Palettes (*.pal)|*.pal|"
                        "Photoshop ACT Palettes (*.act)|*.act|All Files (*.*)|*.*";
    SaveDialog.FilterIndex = 1;

    connect(PaletteImage, &TPaletteGrid::MouseMoved, this,
            &TSelectPaletteForm::PaletteImageMouseMove);
    connect(PaletteImage, &TPaletteGrid::DoubleClicked, this,
            &TSelectPaletteForm::PaletteImageDblClick);
    connect(DfltPalButton, &QPushButton::clicked, this, &TSelectPaletteForm::DfltPalButtonClick);
    connect(UicolormapPalButton, &QPushButton::clicked, this,
            &TSelectPaletteForm::UicolormapPalButtonClick);
    connect(OpenButton, &QPushButton::clicked, this, &TSelectPaletteForm::OpenButtonClick);
    connect(SaveAsButton, &QPushButton::clicked, this, &TSelectPaletteForm::SaveAsButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TSelectPaletteForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSelectPaletteForm::CancelButtonClick);
}

std::string TSelectPaletteForm::StatusPanel(int index) const
{
    return StatusPanels.at(static_cast<size_t>(index))->text().toStdString();
}

void TSelectPaletteForm::FormShow()
{
    PaletteLabel->setText(QString::fromStdString(ExtractFileName(PaletteName)));
    PaletteLabel->setToolTip(QString::fromStdString(PaletteName));
    CurrentIndex = 0;
    ShowEntry();
    DrawPalette();
}

void TSelectPaletteForm::DrawPalette()
{
    PaletteImage->DrawPalette(Palette);
}

void TSelectPaletteForm::ShowEntry()
{
    if (CurrentIndex < 0 || CurrentIndex > 255)
        return;
    const TPaletteEntry &e = Palette[static_cast<size_t>(CurrentIndex)];
    StatusPanels[0]->setText(QStringLiteral("Index: %1").arg(CurrentIndex));
    StatusPanels[1]->setText(QStringLiteral("Red: %1").arg(e.Red));
    StatusPanels[2]->setText(QStringLiteral("Green: %1").arg(e.Green));
    StatusPanels[3]->setText(QStringLiteral("Blue: %1").arg(e.Blue));
}

void TSelectPaletteForm::PaletteImageMouseMove(int x, int y)
{
    const int index = PaletteIndexAt(x, y);
    if (index < 0)
        return;
    CurrentIndex = index;
    ShowEntry();
}

void TSelectPaletteForm::PaletteImageDblClick(int x, int y)
{
    // The entry is the one under the pointer, whether or not a move reported it first.
    const int index = PaletteIndexAt(x, y);
    if (index < 0)
        return;
    CurrentIndex = index;
    ShowEntry();
    EditEntry();
}

void TSelectPaletteForm::EditEntry()
{
    // Only a BM file's own palette is the user's to change; the rest come from elsewhere.
    if (PaletteName != InternalName)
        return;
    TPaletteEntry &e = Palette[static_cast<size_t>(CurrentIndex)];
    TColor color = MakeColor(e.Red, e.Green, e.Blue);
    if (Context().Platform.ColorDialog().Execute(color, this))
        e = {RedOf(color), GreenOf(color), BlueOf(color)};
    ShowEntry();
    DrawPalette();
}

void TSelectPaletteForm::ChoosePalette(const std::string &name)
{
    // A file that fails to read leaves the shown palette and name as they were.
    try {
        if (!IsValidPalette(name)) {
            Context().Platform.Messages().Error(InvalidPaletteText, {}, this);
            return;
        }
        // A file whose content no reader recognises keeps the shown colours.
        TPalette scratch = Palette;
        LoadPalette(name, scratch);
        Palette = scratch;
        PaletteName = name;
        // A long path loses its middle, so the file's name stays in sight; the whole path
        // is in the tooltip.
        const QString path = QString::fromStdString(name);
        PaletteLabel->setText(
            PaletteLabel->fontMetrics().elidedText(path, Qt::ElideMiddle, PaletteLabel->width()));
        PaletteLabel->setToolTip(path);
        DrawPalette();
    } catch (const std::exception &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
}

void TSelectPaletteForm::DfltPalButtonClick()
{
    ChoosePalette("Dflt");
}

void TSelectPaletteForm::UicolormapPalButtonClick()
{
    ChoosePalette("Uicolormap");
}

void TSelectPaletteForm::OpenButtonClick()
{
    OpenDialog.InitialDir = Settings().DialogDirectory(TDialogKind::Open, TFileType::None);
    OpenDialog.FileName.clear();
    OpenDialog.Parent = this;
    if (!Context().Platform.FileDialogs().Execute(OpenDialog))
        return;
    Settings().RememberDirectory(TDialogKind::Open, TFileType::None, OpenDialog.FileName);
    ChoosePalette(OpenDialog.FileName);
}

void TSelectPaletteForm::SaveAsButtonClick()
{
    try {
        SavePaletteFile();
    } catch (const std::exception &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
}

void TSelectPaletteForm::SavePaletteFile()
{
    std::string proposed = ExtractFileName(PaletteName);
    if (proposed == "Dflt")
        proposed = "dflt";
    else if (proposed == "Uicolormap")
        proposed = "uicolormap";
    SaveDialog.FileName = ChangeFileExt(proposed, "");
    SaveDialog.InitialDir = Settings().DialogDirectory(TDialogKind::Save, TFileType::None);
    SaveDialog.Parent = this;
    if (!Context().Platform.FileDialogs().Execute(SaveDialog))
        return;
    Settings().RememberDirectory(TDialogKind::Save, TFileType::None, SaveDialog.FileName);

    // The filter decides the format, whatever extension was typed.
    const int filter = SaveDialog.FilterIndex;
    const std::string target =
        ChangeFileExt(SaveDialog.FileName, filter == ActFilter ? ".act" : ".pal");
    if (FileExists(target)) {
        Context().FileReplaceForm->FileName = target;
        Context().FileReplaceForm->MultipleFiles = false;
        if (Context().FileReplaceForm->ShowModal() != mrYes)
            return;
    }
    if (filter == ActFilter)
        WriteACT(target, Palette);
    else if (filter == JascFilter)
        WriteJascPAL(target, Palette);
    else // RIFF, also for "All Files": a .pal name gets the format that names it first
        WriteRiffPAL(target, Palette);
}

void TSelectPaletteForm::OKButtonClick()
{
    SetModalResult(mrOk);
}

void TSelectPaletteForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}
