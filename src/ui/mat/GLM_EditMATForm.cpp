#include "ui/mat/GLM_EditMATForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int ClientWidth = 391;
constexpr int ClientHeight = 139;
constexpr int SwatchWidth = 60;
constexpr int SwatchHeight = 25;
// The combo's items are these level counts, in order.
constexpr int FirstComboMipmaps = 2;
constexpr int LastComboMipmaps = 4;

} // namespace

TEditMATForm::TEditMATForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("Edit MAT Properties");

    NewFramesGroup = new QGroupBox("New Frames", this);
    NewTransBox = new QCheckBox("&Make black pixels transparent", NewFramesGroup);
    AverageFillBox = new QCheckBox("&Use average fill color", NewFramesGroup);
    AverageFillBox->setChecked(true);
    MipmapsBox = new QCheckBox("&Generate", NewFramesGroup);
    MipmapsBox->setChecked(true);
    MipmapsCombo = new QComboBox(NewFramesGroup);
    MipmapsCombo->addItems({"2", "3", "4"});
    MipmapsCombo->setCurrentIndex(0);
    Label1 = new QLabel("mipmaps", NewFramesGroup);
    auto *mipmaps = new QHBoxLayout;
    mipmaps->addWidget(MipmapsBox);
    mipmaps->addWidget(MipmapsCombo);
    mipmaps->addWidget(Label1);
    mipmaps->addStretch();
    auto *newFrames = new QVBoxLayout(NewFramesGroup);
    newFrames->addWidget(NewTransBox);
    newFrames->addWidget(AverageFillBox);
    newFrames->addLayout(mipmaps);

    CurrentFrameGroup = new QGroupBox("Current Frame", this);
    FrameTransBox = new QCheckBox("Make &black pixels transparent", CurrentFrameGroup);
    FillLabel = new QLabel(CurrentFrameGroup);
    FillImage = new QLabel(CurrentFrameGroup);
    FillImage->setFixedSize(SwatchWidth, SwatchHeight);
    SelectButton = new QPushButton("&Select", CurrentFrameGroup);
    auto *current = new QGridLayout(CurrentFrameGroup);
    current->addWidget(FrameTransBox, 0, 0, 1, 3);
    current->addWidget(FillLabel, 1, 0, 1, 3);
    current->addWidget(FillImage, 2, 0);
    current->addWidget(SelectButton, 2, 1);
    current->setColumnStretch(2, 1);

    auto *groups = new QHBoxLayout;
    groups->addWidget(NewFramesGroup);
    groups->addWidget(CurrentFrameGroup);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    CancelButton->setText("&Cancel");
    // The form's size, or more where the desktop's fonts need it: nothing is ever clipped.
    setMinimumSize(ClientWidth, ClientHeight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(MipmapsBox, &QCheckBox::clicked, this, &TEditMATForm::MipmapsBoxClick);
    connect(SelectButton, &QPushButton::clicked, this, &TEditMATForm::SelectButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TEditMATForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
}

void TEditMATForm::FormShow()
{
    FrameTransBox->setEnabled(HasFrames);
    FillLabel->setEnabled(HasFrames);
    SelectButton->setEnabled(HasFrames);
    FillImage->setVisible(HasFrames);

    NewTransBox->setChecked(NewTrans);
    AverageFillBox->setChecked(AverageFill);
    MipmapsBox->setChecked(AutoMipmaps);
    MipmapsCombo->setEnabled(AutoMipmaps);
    // Any other count (1 on a first run) keeps the selection of the last showing.
    if (NumberMipmaps >= FirstComboMipmaps && NumberMipmaps <= LastComboMipmaps)
        MipmapsCombo->setCurrentIndex(NumberMipmaps - FirstComboMipmaps);
    FrameTransBox->setChecked(FrameTrans);
    ShowFill();
}

void TEditMATForm::MipmapsBoxClick()
{
    AutoMipmaps = MipmapsBox->isChecked();
    MipmapsCombo->setEnabled(AutoMipmaps);
}

void TEditMATForm::ShowFill()
{
    QColor swatch = palette().color(QPalette::Window);
    if (Is16Bit) {
        const auto word = static_cast<uint16_t>(FillColor);
        FillLabel->setText(QString::fromStdString("Fill Color " + Color565Text(word)));
        const TColor color = Color565ToColor(word);
        swatch = QColor(RedOf(color), GreenOf(color), BlueOf(color));
    } else {
        FillLabel->setText(QString("Fill Color Index: %1").arg(FillColor));
        // A damaged file's index past the palette has no colour to show.
        if (FillColor < Palette.size()) {
            const TPaletteEntry &e = Palette[FillColor];
            swatch = QColor(e.Red, e.Green, e.Blue);
        }
    }
    QPixmap pixmap(SwatchWidth, SwatchHeight);
    pixmap.fill(swatch);
    FillImage->setPixmap(pixmap);
}

void TEditMATForm::SelectButtonClick()
{
    if (Is16Bit) {
        uint32_t color = Color565ToColor(static_cast<uint16_t>(FillColor));
        if (Context().Platform.ColorDialog().Execute(color, this))
            FillColor = ColorTo565(color);
    } else if (Context().SelectColorForm) {
        Context().SelectColorForm->Palette = Palette;
        Context().SelectColorForm->SelectedIndex = static_cast<int>(FillColor);
        if (Context().SelectColorForm->ShowModal() == mrOk)
            FillColor = static_cast<uint32_t>(Context().SelectColorForm->SelectedIndex);
    }
    ShowFill();
}

void TEditMATForm::OKButtonClick()
{
    NewTrans = NewTransBox->isChecked();
    AverageFill = AverageFillBox->isChecked();
    AutoMipmaps = MipmapsBox->isChecked();
    FrameTrans = FrameTransBox->isChecked();
    if (MipmapsCombo->currentIndex() >= 0)
        NumberMipmaps = FirstComboMipmaps + MipmapsCombo->currentIndex();
    StoreSettings();
    SetModalResult(mrOk);
}

void TEditMATForm::StoreSettings()
{
    Settings().MATAutoMipmaps = AutoMipmaps;
    Settings().MATNumberMipmaps = NumberMipmaps;
    Settings().MATAverageFill = AverageFill;
    if (Is16Bit)
        Settings().MATFillColor = static_cast<int>(FillColor);
    else
        Settings().MATFillIndex = static_cast<int>(FillColor);
    Settings().MATNewTrans = NewTrans;
    Settings().MATFrameTrans = FrameTrans;
}
