#pragma once
// The Select Palette dialog: shows a palette as a 16 x 16 grid, takes a built-in palette or
// one from a file, saves the shown palette as a palette file, and edits single entries of a
// BM file's own palette ("Internal"). One instance, created at start-up and reused.
//
// Caller: set PaletteName and Palette, then
//     if (SelectPaletteForm->ShowModal() == mrOk) take PaletteName and Palette back.

#include <string>

#include "formats/GLM_Globals.h"
#include "ui/shell/GLM_ModalForm.h"

class TSelectPaletteForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TSelectPaletteForm(QWidget *parent = nullptr);

    std::string PaletteName; // "Dflt", "Uicolormap", a palette file path or "Internal"
    TPalette Palette{};
    int CurrentIndex = 0; // the entry the status bar shows
};

extern TSelectPaletteForm *SelectPaletteForm;
