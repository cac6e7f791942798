#include "ui/bm/GLM_EditBMForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "formats/GLM_IntegerText.h"
#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int SwatchWidth = 60;
constexpr int SwatchHeight = 25;

} // namespace

TEditBMForm::TEditBMForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("Edit BM Properties");

    OffsetsGroup = new QGroupBox("Offsets", this);
    Label1 = new QLabel("X :", OffsetsGroup);
    XOffsetBox = new QLineEdit("0", OffsetsGroup);
    Label2 = new QLabel("Y :", OffsetsGroup);
    YOffsetBox = new QLineEdit("0", OffsetsGroup);
    for (QLineEdit *box : {XOffsetBox, YOffsetBox})
        box->setFixedWidth(60);
    auto *offsets = new QGridLayout(OffsetsGroup);
    offsets->addWidget(Label1, 0, 0);
    offsets->addWidget(XOffsetBox, 0, 1);
    offsets->addWidget(Label2, 1, 0);
    offsets->addWidget(YOffsetBox, 1, 1);
    offsets->setColumnStretch(2, 1);

    PaletteGroup = new TRadioGroup("Internal Palette", {"&No", "&Yes"}, 2, this);

    TransGroup = new QGroupBox("Transparent Color", this);
    TransLabel = new QLabel(TransGroup);
    TransImage = new QLabel(TransGroup);
    TransImage->setFixedSize(SwatchWidth, SwatchHeight);
    SelectButton = new QPushButton("&Select", TransGroup);
    auto *trans = new QGridLayout(TransGroup);
    trans->addWidget(TransLabel, 0, 0, 1, 2);
    trans->addWidget(TransImage, 1, 0);
    trans->addWidget(SelectButton, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(OffsetsGroup);
    layout->addWidget(PaletteGroup);
    layout->addWidget(TransGroup);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    CancelButton->setText("&Cancel"); // this dialog's own caption
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(PaletteGroup, &TRadioGroup::Clicked, this, &TEditBMForm::PaletteGroupClick);
    connect(SelectButton, &QPushButton::clicked, this, &TEditBMForm::SelectButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TEditBMForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
}

void TEditBMForm::FormShow()
{
    PaletteGroup->SetItemIndex(InternalPalette ? 1 : 0);
    XOffsetBox->setText(QString::number(XOffset));
    YOffsetBox->setText(QString::number(YOffset));
    ShowTrans();
}

void TEditBMForm::PaletteGroupClick()
{
    InternalPalette = PaletteGroup->ItemIndex() == 1;
}

void TEditBMForm::ShowTrans()
{
    TColor swatch = 0;
    if (Is16Bit) {
        swatch = Color565ToColor(static_cast<uint16_t>(TransColor));
        TransLabel->setText(QString::fromStdString(ColorText(swatch)));
    } else {
        const TPaletteEntry &entry = Palette[TransColor & 0xFF];
        swatch = MakeColor(entry.Red, entry.Green, entry.Blue);
        TransLabel->setText(QString("Palette Index : %1").arg(TransColor));
    }
    QPixmap pixmap(SwatchWidth, SwatchHeight);
    pixmap.fill(QColor(RedOf(swatch), GreenOf(swatch), BlueOf(swatch)));
    TransImage->setPixmap(pixmap);
}

void TEditBMForm::SelectButtonClick()
{
    if (Is16Bit) {
        uint32_t color = Color565ToColor(static_cast<uint16_t>(TransColor));
        if (Context().Platform.ColorDialog().Execute(color, this))
            TransColor = ColorTo565(color);
    } else if (Context().SelectColorForm) {
        Context().SelectColorForm->Palette = Palette;
        Context().SelectColorForm->SelectedIndex = static_cast<int>(TransColor & 0xFF);
        if (Context().SelectColorForm->ShowModal() == mrOk)
            TransColor = static_cast<uint32_t>(Context().SelectColorForm->SelectedIndex);
    }
    ShowTrans();
}

void TEditBMForm::OKButtonClick()
{
    int x = 0, y = 0;
    try {
        // Both are read before anything is written: a bad Y leaves X unwritten too.
        x = StrToInt(XOffsetBox->text().toStdString());
        y = StrToInt(YOffsetBox->text().toStdString());
    } catch (const EConvertError &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
        return;
    }
    InternalPalette = PaletteGroup->ItemIndex() == 1;
    XOffset = x;
    YOffset = y;
    Settings().BMUseInternalPalette = InternalPalette;
    Settings().BMXOffset = x;
    Settings().BMYOffset = y;
    if (Is16Bit)
        Settings().BMTransColor = static_cast<int>(TransColor);
    else
        Settings().BMTransIndex = static_cast<int>(TransColor);
    SetModalResult(mrOk);
}
