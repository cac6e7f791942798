#pragma once
// The Edit MAT Properties dialog: the rules for frames added later (black transparent,
// average fill, generated mipmaps and how many) and the current frame's transparency and fill
// colour. The MAT window fills the fields before every showing; OK writes them into the MAT
// settings (StoreSettings), which the window then applies. Cancel writes nothing.

#include <cstdint>

#include "formats/GLM_Globals.h"
#include "ui/kit/GLM_ModalForm.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TEditMATForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TEditMATForm(TWindowContext &context, QWidget *parent = nullptr);

    TPalette Palette{};
    bool Is16Bit = false;
    bool NewTrans = false;
    bool AverageFill = false;
    bool AutoMipmaps = false;
    int NumberMipmaps = 1;
    uint32_t FillColor = 0; // palette index, or RGB565 when Is16Bit
    bool FrameTrans = false;
    bool HasFrames = false;

    QGroupBox *NewFramesGroup;
    QCheckBox *NewTransBox;
    QCheckBox *AverageFillBox;
    QCheckBox *MipmapsBox;
    QComboBox *MipmapsCombo;
    QLabel *Label1;
    QGroupBox *CurrentFrameGroup;
    QCheckBox *FrameTransBox;
    QLabel *FillLabel;
    QLabel *FillImage;
    QPushButton *SelectButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    void MipmapsBoxClick();
    // Select Color for an 8-bit MAT, the colour dialog for a 16-bit one.
    void SelectButtonClick();
    // Takes the controls' states, writes the settings and closes with OK.
    void OKButtonClick();
    // FillLabel and FillImage from FillColor.
    void ShowFill();
    void StoreSettings();

protected:
    void FormShow() override;
};
