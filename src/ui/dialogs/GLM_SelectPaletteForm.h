#pragma once
// The Select Palette dialog: shows a palette as a 16 x 16 grid, takes a built-in palette or
// one from a file, saves the shown palette as a palette file, and edits single entries of a
// BM file's own palette ("Internal"). One instance, created at start-up and reused.
//
// Caller: set PaletteName and Palette, then
//     if (SelectPaletteForm->ShowModal() == mrOk) take PaletteName and Palette back.
// A palette file saved meanwhile stays saved whatever the result.

#include <array>
#include <string>

#include "formats/GLM_Globals.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_ModalForm.h"

class QLabel;
class QPushButton;
class TPaletteGrid;

class TSelectPaletteForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TSelectPaletteForm(TWindowContext &context, QWidget *parent = nullptr);

    std::string PaletteName; // "Dflt", "Uicolormap", a palette file path or "Internal"
    TPalette Palette{};
    int CurrentIndex = 0; // the entry the status bar shows

    static constexpr int StatusPanelCount = 4;

    TPaletteGrid *PaletteImage;
    QLabel *PaletteLabel;
    QPushButton *DfltPalButton;
    QPushButton *UicolormapPalButton;
    QPushButton *OpenButton;
    QPushButton *SaveAsButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;
    QWidget *StatusBar;
    std::array<QLabel *, StatusPanelCount> StatusPanels{};
    // The file dialogs as components: title, filter and the chosen filter index persist
    // between showings, as the user left them.
    TFileDialogRequest OpenDialog;
    TFileDialogRequest SaveDialog;

    std::string StatusPanel(int index) const;

    void PaletteImageMouseMove(int x, int y);
    void PaletteImageDblClick(int x, int y);
    void DfltPalButtonClick();
    void UicolormapPalButtonClick();
    void OpenButtonClick();
    void SaveAsButtonClick();
    void OKButtonClick();
    void CancelButtonClick();

    void DrawPalette();
    void ShowEntry();
    void ChoosePalette(const std::string &name);
    void EditEntry();

protected:
    void FormShow() override;

private:
    void SavePaletteFile();
};
