#include "ui/kit/GLM_ModalForm.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

#include "platform/GLM_Platform.h"

TModalForm::TModalForm(TWindowContext &context, QWidget *parent)
    : QDialog(parent), FContext(context)
{
    // A dialog keeps the state of its controls between showings; nothing is rebuilt.
    setModal(true);
}

int TModalForm::ShowModal()
{
    return FContext.Platform.Modal().Run(*this);
}

void TModalForm::reject()
{
    done(mrCancel);
}

void TModalForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TModalForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

QHBoxLayout *TModalForm::OKCancelRow(QPushButton *&ok, QPushButton *&cancel)
{
    ok = new QPushButton("&OK", this);
    cancel = new QPushButton("C&ancel", this);
    ok->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
