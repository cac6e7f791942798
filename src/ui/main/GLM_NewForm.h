#pragma once
// The New dialog: which kind of file to create and, where the kind has them, its colour depth
// and type. It creates nothing: OK stores the choices in the settings (LastFileIndex,
// BMIs16Bit, MATIs16Bit, MATIsColor, SFTIs16Bit) and the caller creates the window of the kind
// FileGroup names (0 BM, 1 CMP, 2 MAT, 3 SFT). Each showing starts from the stored choices.

#include "ui/kit/GLM_ModalForm.h"

class QPushButton;
class TRadioGroup;

class TNewForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TNewForm(TWindowContext &context, QWidget *parent = nullptr);

    TRadioGroup *FileGroup;
    TRadioGroup *ColorDepthGroup;
    TRadioGroup *TypeGroup;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    void FileGroupClick();
    void OKButtonClick();     // stores the choices, then closes with OK
    void CancelButtonClick(); // closes with Cancel; no setting changes

protected:
    void FormShow() override;

private:
    void UpdateGroups();
};
