#include "ui/kit/GLM_RadioGroup.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString &title, const QStringList &items, int columns,
                         QWidget *parent)
    : QGroupBox(title, parent), FGroup(new QButtonGroup(this))
{
    auto *layout = new QGridLayout(this);
    columns = std::max(columns, 1);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        FGroup->addButton(button, i);
        layout->addWidget(button, i % rows, i / rows);
        FButtons.push_back(button);
    }
    connect(FGroup, &QButtonGroup::idClicked, this, [this](int) { emit Clicked(); });
}

int TRadioGroup::ItemIndex() const
{
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < Count()) {
        FButtons[index]->setChecked(true);
        return;
    }
    // An exclusive group will not let its last checked button go.
    FGroup->setExclusive(false);
    for (QRadioButton *button : FButtons)
        button->setChecked(false);
    FGroup->setExclusive(true);
}
