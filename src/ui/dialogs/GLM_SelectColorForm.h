#pragma once
// The Select Color dialog: picks one palette index of an 8-bit document from a 16 x 16 grid.
// One instance, created at start-up and reused; its fields persist between showings.
//
// Caller: set Palette (and SelectedIndex), then
//     if (SelectColorForm->ShowModal() == mrOk) read SelectedIndex.

#include "formats/GLM_Globals.h"
#include "ui/kit/GLM_ModalForm.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TPaletteGrid;

class TSelectColorForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TSelectColorForm(TWindowContext &context, QWidget *parent = nullptr);

    TPalette Palette{};
    int SelectedIndex = 0;

    TPaletteGrid *PaletteImage;
    QGroupBox *GroupBox1;
    QLabel *IndexLabel;
    QLabel *RGBLabel;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    // Releasing any mouse button over the grid picks the entry under it.
    void PaletteImageMouseUp(int x, int y);
    void OKButtonClick();
    void CancelButtonClick();

    void ShowSelection();

protected:
    void FormShow() override;
};
