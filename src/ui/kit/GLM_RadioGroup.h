#pragma once
// A titled group of radio buttons addressed by index, laid out in columns top to bottom.
// ItemIndex is -1 while no item is selected; setting -1 clears the selection.

#include <vector>

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString &title, const QStringList &items, int columns = 1,
                QWidget *parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index); // outside the items: no selection
    int Count() const { return static_cast<int>(FButtons.size()); }
    QRadioButton *Button(int index) const { return FButtons.at(index); }

signals:
    // The user picked an item (not emitted for SetItemIndex).
    void Clicked();

private:
    QButtonGroup *FGroup;
    std::vector<QRadioButton *> FButtons;
};
