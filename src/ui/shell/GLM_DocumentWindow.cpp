#include "ui/shell/GLM_DocumentWindow.h"

#include <QCloseEvent>

#include "ui/shell/GLM_MainForm.h"

TDocumentWindow::TDocumentWindow(QWidget *parent) : QWidget(parent) {}

bool TDocumentWindow::QueryClose()
{
    if (MainForm)
        MainForm->StopCycling();
    return CloseQuery();
}

void TDocumentWindow::closeEvent(QCloseEvent *event)
{
    if (FClosed) {
        event->accept();
        return;
    }
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    if (MainForm)
        MainForm->DocumentClosing(this);
    FormClose();
    FClosed = true;
    event->accept();
}
