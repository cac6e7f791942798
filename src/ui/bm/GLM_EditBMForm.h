#pragma once
// The Edit BM Properties dialog: offsets, whether the file carries its own palette, and the
// transparent colour. The BM window fills the fields before every showing; OK writes the BM
// settings (BMUseInternalPalette, BMXOffset, BMYOffset, BMTransColor or BMTransIndex), which
// the window then applies to its document. Cancel writes nothing.

#include <cstdint>

#include "formats/GLM_Globals.h"
#include "ui/kit/GLM_ModalForm.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;

class TEditBMForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TEditBMForm(TWindowContext &context, QWidget *parent = nullptr);

    TPalette Palette{};
    bool Is16Bit = false;
    int32_t XOffset = 0;
    int32_t YOffset = 0;
    bool InternalPalette = false;
    uint32_t TransColor = 0; // palette index, or RGB565 when Is16Bit

    QGroupBox *OffsetsGroup;
    QLabel *Label1;
    QLineEdit *XOffsetBox;
    QLabel *Label2;
    QLineEdit *YOffsetBox;
    TRadioGroup *PaletteGroup;
    QGroupBox *TransGroup;
    QLabel *TransLabel;
    QLabel *TransImage;
    QPushButton *SelectButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    void PaletteGroupClick();
    void SelectButtonClick();
    // Both offsets must be whole numbers: otherwise the standard message, the dialog stays
    // open and no setting is written.
    void OKButtonClick();
    // TransLabel and TransImage from TransColor.
    void ShowTrans();

protected:
    void FormShow() override;
};
