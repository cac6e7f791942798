#include "ui/cmp/GLM_EditCMPForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/GLM_Settings.h"

TEditCMPForm::TEditCMPForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("Edit CMP Properties");
    CMPTransCheckbox = new QCheckBox("&Use transparency tables", this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CMPTransCheckbox);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    CancelButton->setText("&Cancel");
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKButton, &QPushButton::clicked, this, &TEditCMPForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TEditCMPForm::CancelButtonClick);
}

void TEditCMPForm::FormShow()
{
    CMPTransCheckbox->setChecked(UseTransTables);
}

void TEditCMPForm::OKButtonClick()
{
    UseTransTables = CMPTransCheckbox->isChecked();
    Settings().CMPTransTables = UseTransTables;
    SetModalResult(mrOk);
}

void TEditCMPForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}
