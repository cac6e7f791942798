#include "ui/kit/GLM_ModalForm.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

namespace {

TModalForm::TDriver &Driver()
{
    static TModalForm::TDriver driver;
    return driver;
}

} // namespace

TModalForm::TModalForm(QWidget *parent) : QDialog(parent)
{
    // A dialog keeps the state of its controls between showings; nothing is rebuilt.
    setModal(true);
}

int TModalForm::ShowModal()
{
    if (!Driver())
        return exec();
    setResult(mrNone);
    open();
    TDriver driver = Driver(); // a copy: the driver may install another one
    driver(*this);
    if (isVisible())
        reject();
    return result();
}

TModalForm::TDriver TModalForm::InstallModalDriver(TDriver driver)
{
    TDriver previous = std::move(Driver());
    Driver() = std::move(driver);
    return previous;
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
