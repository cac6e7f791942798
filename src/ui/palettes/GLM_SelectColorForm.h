#pragma once
// The Select Color dialog: picks one palette index of an 8-bit document from a 16 x 16 grid.
// One instance, created at start-up and reused; its fields persist between showings.
//
// Caller: set Palette (and SelectedIndex), then
//     if (SelectColorForm->ShowModal() == mrOk) read SelectedIndex.

#include "formats/GLM_Globals.h"
#include "ui/shell/GLM_ModalForm.h"

class TSelectColorForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TSelectColorForm(QWidget *parent = nullptr);

    TPalette Palette{};
    int SelectedIndex = 0;
};

extern TSelectColorForm *SelectColorForm;
