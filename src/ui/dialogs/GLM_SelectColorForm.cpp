#include "ui/dialogs/GLM_SelectColorForm.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogs/GLM_PaletteGrid.h"

namespace {

constexpr int ClientWidth = 251;
constexpr int ClientHeight = 320;
constexpr int ButtonTop = 290;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int LabelTop = 13;
constexpr int LabelHeight = 15;
constexpr int RGBRight = 229;
constexpr int RGBWidth = 130;

} // namespace

TSelectColorForm::TSelectColorForm(TWindowContext &context, QWidget *parent)
    : TModalForm(context, parent)
{
    setWindowTitle(QStringLiteral("Select Color"));
    setFixedSize(ClientWidth, ClientHeight);

    PaletteImage = new TPaletteGrid(this);
    PaletteImage->move(5, 5);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(5, 245, 241, 36);
    IndexLabel = new QLabel(GroupBox1);
    IndexLabel->setGeometry(10, LabelTop, 90, LabelHeight);
    RGBLabel = new QLabel(GroupBox1);
    RGBLabel->setGeometry(RGBRight - RGBWidth, LabelTop, RGBWidth, LabelHeight);
    RGBLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    OKButton = new QPushButton(QStringLiteral("O&K"), this);
    OKButton->setGeometry(45, ButtonTop, ButtonWidth, ButtonHeight);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setGeometry(130, ButtonTop, ButtonWidth, ButtonHeight);

    connect(PaletteImage, &TPaletteGrid::MouseReleased, this,
            &TSelectColorForm::PaletteImageMouseUp);
    connect(OKButton, &QPushButton::clicked, this, &TSelectColorForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSelectColorForm::CancelButtonClick);
}

void TSelectColorForm::FormShow()
{
    PaletteImage->DrawPalette(Palette);
    ShowSelection();
}

void TSelectColorForm::ShowSelection()
{
    IndexLabel->setText(QStringLiteral("Index: %1").arg(SelectedIndex));
    // A caller's index from a damaged file may lie outside the palette: no colour to name.
    if (SelectedIndex < 0 || SelectedIndex > 255) {
        RGBLabel->clear();
        return;
    }
    const TPaletteEntry &e = Palette[static_cast<size_t>(SelectedIndex)];
    RGBLabel->setText(QString::fromStdString(ColorText(MakeColor(e.Red, e.Green, e.Blue))));
}

void TSelectColorForm::PaletteImageMouseUp(int x, int y)
{
    const int index = PaletteIndexAt(x, y);
    if (index < 0)
        return;
    SelectedIndex = index;
    ShowSelection();
}

void TSelectColorForm::OKButtonClick()
{
    SetModalResult(mrOk);
}

void TSelectColorForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}
