#include "ui/main/GLM_OptionsForm.h"

#include <algorithm>
#include <string>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "formats/GLM_Globals.h"
#include "formats/GLM_IntegerText.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int SwatchSize = 25;

QGroupBox *BoxGroup(const QString &title, QWidget *content, const QString &unit, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(content);
    if (!unit.isEmpty())
        layout->addWidget(new QLabel(unit, group));
    return group;
}

std::string Text(const QLineEdit *box)
{
    return box->text().toStdString();
}

} // namespace

TOptionsForm::TOptionsForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("Options");

    auto *associationsGroup = new QGroupBox("File Associations", this);
    AssociationsBox = new QListWidget(associationsGroup);
    for (const char *name :
         {"BM Texture", "CMP Palette", "MAT Texture", "SFT Font", "GOB Container"}) {
        auto *item = new QListWidgetItem(name, AssociationsBox);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    AssociationsBox->setFixedHeight(AssociationsBox->sizeHintForRow(0) * AssociationsBox->count() +
                                    2 * AssociationsBox->frameWidth() + 4);
    (new QVBoxLayout(associationsGroup))->addWidget(AssociationsBox);

    DirectoryGroup =
        new TRadioGroup("Last Directory", {"&Common", "&Dialog Type", "&File Type"}, 1, this);

    CycleRateBox = new QLineEdit(this);
    CMPCellSizeBox = new QLineEdit(this);
    QGroupBox *cycleGroup = BoxGroup("Cycle Rate", CycleRateBox, "FPS", this);
    QGroupBox *cellGroup = BoxGroup("CMP Cell Size", CMPCellSizeBox, "Pixels", this);

    BackupCheckBox = new QCheckBox("Create &backups", this);
    QGroupBox *backupGroup = BoxGroup("File Saving", BackupCheckBox, {}, this);

    FormatGroup = new TRadioGroup("Bitmap Format", {"&8-Bit", "&24-Bit"}, 2, this);

    UndoLimitBox = new QLineEdit(this);
    UndoLimitBox->setObjectName("UndoLimitBox");
    QGroupBox *undoGroup = BoxGroup("Undo", UndoLimitBox, "Steps per document", this);

    auto *fillGroup = new QGroupBox("CMP Fill Color", this);
    FillColorLabel = new QLabel(fillGroup);
    FillColorImage = new QLabel(fillGroup);
    FillColorImage->setFixedSize(SwatchSize, SwatchSize);
    SelectButton = new QPushButton("&Select", fillGroup);
    auto *fillLayout = new QHBoxLayout(fillGroup);
    fillLayout->addWidget(FillColorLabel, 1);
    fillLayout->addWidget(FillColorImage);
    fillLayout->addWidget(SelectButton);

    auto *grid = new QGridLayout;
    grid->addWidget(associationsGroup, 0, 0);
    grid->addWidget(DirectoryGroup, 0, 1);
    grid->addWidget(cycleGroup, 1, 0);
    grid->addWidget(cellGroup, 1, 1);
    grid->addWidget(backupGroup, 2, 0);
    grid->addWidget(FormatGroup, 2, 1);
    grid->addWidget(fillGroup, 3, 0, 1, 2);
    grid->addWidget(undoGroup, 4, 0, 1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(SelectButton, &QPushButton::clicked, this, &TOptionsForm::SelectButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TOptionsForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TOptionsForm::CancelButtonClick);
}

bool TOptionsForm::IsTicked(int item) const
{
    return AssociationsBox->item(item)->checkState() == Qt::Checked;
}

void TOptionsForm::SetTicked(int item, bool ticked)
{
    AssociationsBox->item(item)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TOptionsForm::FormShow()
{
    // An association that is not in place leaves its tick as the user last left it.
    const auto &table = AssociationTable();
    for (int i = 0; i < static_cast<int>(table.size()); ++i)
        if (Context().Platform.Associations().IsAssociated(table[i].Extension))
            SetTicked(i, true);
    DirectoryGroup->SetItemIndex(Settings().LastDirectoryIndex);
    CMPCellSizeBox->setText(QString::number(Settings().CMPCellSize));
    CycleRateBox->setText(QString::number(Settings().CycleRate));
    UndoLimitBox->setText(QString::number(Settings().UndoLimit));
    FillColor = static_cast<uint32_t>(Settings().CMPFillColor);
    ShowFillColor();
    BackupCheckBox->setChecked(Settings().BackupFile);
    FormatGroup->SetItemIndex(Settings().SaveBitmapFormat == 8 ? 0 : 1);
}

void TOptionsForm::ShowFillColor()
{
    QPixmap swatch(SwatchSize, SwatchSize);
    swatch.fill(QColor(RedOf(FillColor), GreenOf(FillColor), BlueOf(FillColor)));
    // A border, so that a white or grey fill still shows where the swatch is.
    QPainter border(&swatch);
    border.setPen(palette().color(QPalette::Dark));
    border.drawRect(0, 0, SwatchSize - 1, SwatchSize - 1);
    border.end();
    FillColorImage->setPixmap(swatch);
    FillColorLabel->setText(QString::fromStdString(ColorText(FillColor)));
}

void TOptionsForm::SelectButtonClick()
{
    uint32_t color = FillColor;
    if (Context().Platform.ColorDialog().Execute(color, this)) {
        FillColor = color;
        ShowFillColor();
    }
}

void TOptionsForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}

// Associates every ticked type and unassociates every unticked one; one error box names the
// types whose entries could not be changed.
bool TOptionsForm::ApplyAssociations()
{
    TFileAssociations &associations = Context().Platform.Associations();
    std::string failed;
    const auto &table = AssociationTable();
    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        const TAssociation &a = table[i];
        const bool done = IsTicked(i)
                              ? associations.Associate(a.Extension, a.Identifier, a.Description)
                              : associations.Unassociate(a.Extension, a.Identifier);
        if (!done)
            failed += (failed.empty() ? "" : ", ") + std::string(a.Extension);
    }
    if (!failed.empty())
        Context().Platform.Messages().Error("Cannot change the file associations of " + failed, {},
                                            this);
    return failed.empty();
}

void TOptionsForm::OKButtonClick()
{
    // CMP windows divide by the cell size: a size below 1 is refused before anything is
    // applied, and the dialog stays open for a correction.
    try {
        if (StrToInt(Text(CMPCellSizeBox)) < 1) {
            Context().Platform.Messages().Warning("The CMP cell size must be at least 1 pixel", {},
                                                  this);
            CMPCellSizeBox->setFocus();
            return;
        }
    } catch (const EConvertError &) {
        // Reported in its place below, after the steps that come before it.
    }

    ApplyAssociations();
    Settings().LastDirectoryIndex = DirectoryGroup->ItemIndex();
    try {
        Settings().CycleRate = std::max(StrToInt(Text(CycleRateBox)), 1);
        Settings().CMPCellSize = StrToInt(Text(CMPCellSizeBox));
        Settings().CMPFillColor = static_cast<int>(FillColor);
        Settings().BackupFile = BackupCheckBox->isChecked();
        Settings().SaveBitmapFormat = FormatGroup->ItemIndex() == 0 ? 8 : 24;
        Settings().UndoLimit = ValidUndoLimit(StrToInt(Text(UndoLimitBox)));
    } catch (const EConvertError &e) {
        // What came before the bad number stays applied; the rest is skipped.
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
    SetModalResult(mrOk);
}
