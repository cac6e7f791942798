#pragma once
// The Edit CMP Properties dialog: whether the colormap carries transparency tables. OK
// stores the choice in the CMPTransTables setting too, so it becomes the default of every
// CMP window created later. One instance, created at start-up and reused.
//
// Caller: set UseTransTables, then if (EditCMPForm->ShowModal() == mrOk) read it back.

#include "ui/kit/GLM_ModalForm.h"

class QCheckBox;
class QPushButton;

class TEditCMPForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TEditCMPForm(TWindowContext &context, QWidget *parent = nullptr);

    bool UseTransTables = false;

    QCheckBox *CMPTransCheckbox;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    void OKButtonClick();
    void CancelButtonClick();

protected:
    void FormShow() override;
};
