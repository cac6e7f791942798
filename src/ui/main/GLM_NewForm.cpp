#include "ui/main/GLM_NewForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/GLM_RadioGroup.h"
#include "ui/kit/GLM_Settings.h"

namespace {

enum { KindBM = 0, KindCMP = 1, KindMAT = 2, KindSFT = 3 };

int DepthIndex(bool is16Bit)
{
    return is16Bit ? 1 : 0;
}

} // namespace

TNewForm::TNewForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("New");
    FileGroup = new TRadioGroup(
        "File", {"&BM Graphic", "CMP &Palette", "&MAT Texture", "&SFT Font", "&GOB Container"}, 2,
        this);
    ColorDepthGroup = new TRadioGroup("Color Depth", {"&8-Bit", "&16-Bit"}, 1, this);
    TypeGroup = new TRadioGroup("Type", {"&Color", "&Texture"}, 1, this);

    auto *groups = new QHBoxLayout;
    groups->addWidget(ColorDepthGroup);
    groups->addWidget(TypeGroup);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FileGroup);
    layout->addLayout(groups);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FileGroup, &TRadioGroup::Clicked, this, &TNewForm::FileGroupClick);
    connect(OKButton, &QPushButton::clicked, this, &TNewForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TNewForm::CancelButtonClick);
}

void TNewForm::FormShow()
{
    FileGroup->SetItemIndex(Settings().LastFileIndex);
    UpdateGroups();
}

void TNewForm::FileGroupClick()
{
    UpdateGroups();
}

// Switching the kind always reloads the stored choices of the new kind: a depth or type
// picked for another kind is dropped.
void TNewForm::UpdateGroups()
{
    int depth = -1;
    int type = -1;
    switch (FileGroup->ItemIndex()) {
    case KindBM:
        depth = DepthIndex(Settings().BMIs16Bit);
        break;
    case KindMAT:
        depth = DepthIndex(Settings().MATIs16Bit);
        type = Settings().MATIsColor ? 0 : 1;
        break;
    case KindSFT:
        depth = DepthIndex(Settings().SFTIs16Bit);
        break;
    default: // CMP, a container, or nothing chosen: neither depth nor type applies
        break;
    }
    ColorDepthGroup->SetItemIndex(depth);
    TypeGroup->SetItemIndex(type);
    ColorDepthGroup->setEnabled(depth >= 0);
    TypeGroup->setEnabled(type >= 0);
}

void TNewForm::OKButtonClick()
{
    Settings().LastFileIndex = FileGroup->ItemIndex();
    const bool depth16 = ColorDepthGroup->ItemIndex() != 0;
    switch (Settings().LastFileIndex) {
    case KindBM:
        Settings().BMIs16Bit = depth16;
        break;
    case KindMAT:
        Settings().MATIs16Bit = depth16;
        Settings().MATIsColor = TypeGroup->ItemIndex() == 0;
        break;
    case KindSFT:
        Settings().SFTIs16Bit = depth16;
        break;
    default:
        break;
    }
    SetModalResult(mrOk);
}

void TNewForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}
