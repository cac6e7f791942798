#include "ui/palettes/GLM_SelectPaletteForm.h"

TSelectPaletteForm *SelectPaletteForm = nullptr;

TSelectPaletteForm::TSelectPaletteForm(QWidget *parent)
    : TModalForm(parent)
{
    setWindowTitle(QStringLiteral("Select Palette"));
}
