#pragma once
// The Options dialog: file associations, directory mode, cycle rate, CMP cell size and fill
// colour, backups, the bitmap export format and the undo limit. Each showing loads the
// settings; OK applies them in memory and changes the associations at once; Cancel changes
// nothing.

#include <cstdint>

#include "ui/kit/GLM_ModalForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TRadioGroup;

class TOptionsForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TOptionsForm(TWindowContext &context, QWidget *parent = nullptr);

    QListWidget *AssociationsBox; // tick boxes: BM, CMP, MAT, SFT
    TRadioGroup *DirectoryGroup;
    QLineEdit *CycleRateBox;
    QLineEdit *CMPCellSizeBox;
    QLineEdit *UndoLimitBox; // steps per document, for windows opened from then on
    QCheckBox *BackupCheckBox;
    TRadioGroup *FormatGroup;
    QLabel *FillColorLabel;
    QLabel *FillColorImage;
    QPushButton *SelectButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    uint32_t FillColor = 0; // the colour being edited; CMPFillColor changes only on OK

    bool IsTicked(int item) const;
    void SetTicked(int item, bool ticked);

    void SelectButtonClick();
    void OKButtonClick();
    void CancelButtonClick();

protected:
    void FormShow() override;

private:
    void ShowFillColor();
    bool ApplyAssociations();
};
