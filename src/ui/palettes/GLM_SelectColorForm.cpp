#include "ui/palettes/GLM_SelectColorForm.h"

TSelectColorForm *SelectColorForm = nullptr;

TSelectColorForm::TSelectColorForm(QWidget *parent)
    : TModalForm(parent)
{
    setWindowTitle(QStringLiteral("Select Color"));
}
