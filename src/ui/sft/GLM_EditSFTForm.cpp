#include "ui/sft/GLM_EditSFTForm.h"

#include <algorithm>
#include <functional>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "formats/GLM_IntegerText.h"
#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int SwatchWidth = 60;
constexpr int SwatchHeight = 25;
constexpr int ColumnWidth = 44;
constexpr int ColumnCount = 4;

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string Text(const QLineEdit *box)
{
    return box->text().toStdString();
}

// "Label :" [box] "Pixels" on one row of `grid`.
QLineEdit *PixelsRow(QGridLayout *grid, int row, const QString &label, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    auto *caption = new QLabel(label, parent);
    caption->setBuddy(box);
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(new QLabel("Pixels", parent), row, 2);
    return box;
}

// Reports each keystroke in a cell's editor, so the other column follows the typing instead of
// waiting for the cell to be committed.
class TTypingDelegate : public QStyledItemDelegate
{
public:
    using TTyped = std::function<void(int column, int row, const std::string &text)>;
    TTypingDelegate(TTyped typed, QObject *parent) : QStyledItemDelegate(parent), FTyped(typed) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            const QPersistentModelIndex cell(index);
            connect(line, &QLineEdit::textEdited, line, [this, cell](const QString &text) {
                if (cell.isValid())
                    FTyped(cell.column(), cell.row(), text.toStdString());
            });
        }
        return editor;
    }

private:
    TTyped FTyped;
};

} // namespace

TEditSFTForm::TEditSFTForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("Edit SFT Properties");

    auto *transGroup = new QGroupBox("Transparent Color", this);
    TransLabel = new QLabel(transGroup);
    TransImage = new QLabel(transGroup);
    TransImage->setFixedSize(SwatchWidth, SwatchHeight);
    SelectButton = new QPushButton("&Select", transGroup);
    auto *transLayout = new QGridLayout(transGroup);
    transLayout->addWidget(TransLabel, 0, 0, 1, 2);
    transLayout->addWidget(TransImage, 1, 0);
    transLayout->addWidget(SelectButton, 1, 1);

    auto *gapGroup = new QGroupBox("Bitmap Separation", this);
    auto *gapLayout = new QGridLayout(gapGroup);
    CharacterGapBox = PixelsRow(gapLayout, 0, "Gap Length :", gapGroup);
    SpaceLengthBox = PixelsRow(gapLayout, 1, "Space Length :", gapGroup);

    auto *charGroup = new QGroupBox("Characters", this);
    CharGrid = new QTableWidget(0, ColumnCount, charGroup);
    CharGrid->verticalHeader()->hide();
    CharGrid->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    CharGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    CharGrid->horizontalHeader()->setHighlightSections(false);
    CharGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    CharGrid->verticalHeader()->setDefaultSectionSize(CharGrid->fontMetrics().height() + 4);
    CharGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    CharGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CharGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Typing over a cell edits it, as do F2, a double click and a click on the current cell.
    CharGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::DoubleClicked |
                              QAbstractItemView::SelectedClicked);
    // Five-digit codes fit their cells, and eight rows show below the header.
    const int column =
        std::max(ColumnWidth, CharGrid->fontMetrics().horizontalAdvance("00000") + 12);
    CharGrid->horizontalHeader()->setDefaultSectionSize(column);
    CharGrid->setMinimumHeight(CharGrid->horizontalHeader()->sizeHint().height() +
                               8 * CharGrid->verticalHeader()->defaultSectionSize() +
                               2 * CharGrid->frameWidth());
    CharGrid->setFixedWidth(ColumnCount * column +
                            CharGrid->verticalScrollBar()->sizeHint().width() +
                            2 * CharGrid->frameWidth());
    CharImage = new QLabel(charGroup);
    CharImage->setFixedSize(CharPreviewSide, CharPreviewSide);
    CharImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CharImage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AddButton = new QPushButton("&Add", charGroup);
    InsertButton = new QPushButton("&Insert", charGroup);
    DeleteButton = new QPushButton("&Delete", charGroup);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(AddButton);
    buttons->addWidget(InsertButton);
    buttons->addWidget(DeleteButton);
    buttons->addStretch();
    auto *charLayout = new QHBoxLayout(charGroup);
    charLayout->addWidget(CharGrid);
    charLayout->addWidget(CharImage, 0, Qt::AlignTop);
    charLayout->addLayout(buttons);

    auto *top = new QHBoxLayout;
    top->addWidget(transGroup);
    top->addWidget(gapGroup);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(charGroup, 1);
    layout->addLayout(OKCancelRow(OKButton, CancelButton));
    CancelButton->setText("&Cancel"); // this dialog's own caption
    resize(401, 251);

    connect(SelectButton, &QPushButton::clicked, this, &TEditSFTForm::SelectButtonClick);
    connect(AddButton, &QPushButton::clicked, this, &TEditSFTForm::AddButtonClick);
    connect(InsertButton, &QPushButton::clicked, this, &TEditSFTForm::InsertButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TEditSFTForm::DeleteButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TEditSFTForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TEditSFTForm::CancelButtonClick);
    CharGrid->setItemDelegate(new TTypingDelegate(
        [this](int column, int row, const std::string &text) {
            DeriveCell(column, row, text, false);
        },
        CharGrid));
    connect(CharGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!FFilling)
            CharGridSetEditText(item->column(), item->row());
    });
    connect(CharGrid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (!FFilling && row >= 0)
            CharGridSelectCell(column, row);
    });
}

// ---------------------------------------------------------------------------------------------
// The grid's cells

std::string TEditSFTForm::CellText(int row, int column) const
{
    const QTableWidgetItem *item = CharGrid->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

void TEditSFTForm::SetCellText(int row, int column, const std::string &text)
{
    const bool filling = FFilling;
    FFilling = true;
    if (QTableWidgetItem *item = CharGrid->item(row, column))
        item->setText(Q(text));
    else
        CharGrid->setItem(row, column, new QTableWidgetItem(Q(text)));
    FFilling = filling;
}

void TEditSFTForm::PutRow(int row, const TCharRow &cells)
{
    SetCellText(row, AsciiColumn, cells.Ascii);
    SetCellText(row, CharColumn, cells.Char);
    SetCellText(row, OffsetColumn, cells.Offset);
    SetCellText(row, WidthColumn, cells.Width);
}

void TEditSFTForm::SetCharacters(const TSFTCharList &chars)
{
    const std::vector<TCharRow> rows = CharGridRows(chars);
    FFilling = true;
    CharGrid->setRowCount(0);
    CharGrid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        PutRow(r, rows[static_cast<size_t>(r)]);
    FFilling = false;
}

std::vector<TCharRow> TEditSFTForm::Rows() const
{
    std::vector<TCharRow> rows;
    for (int r = 0; r < CharGrid->rowCount(); ++r)
        rows.push_back({CellText(r, AsciiColumn), CellText(r, CharColumn),
                        CellText(r, OffsetColumn), CellText(r, WidthColumn)});
    return rows;
}

// ---------------------------------------------------------------------------------------------
// Showing

void TEditSFTForm::FormShow()
{
    CharacterGapBox->setText(QString::number(CharGap));
    SpaceLengthBox->setText(QString::number(SpaceLength));
    CharGrid->setHorizontalHeaderLabels({"ASCII", "Char", "Offset", "Width"});
    CharImage->clear();
    FFilling = true;
    if (CharGrid->rowCount() > 0)
        CharGrid->setCurrentCell(0, AsciiColumn);
    FFilling = false;
    ShowTransColor();
    ShowCharPreview(0);
}

void TEditSFTForm::ShowTransColor()
{
    TColor swatch = 0;
    bool known = true;
    if (Is16Bit) {
        const auto value = static_cast<uint16_t>(TransColor);
        TransLabel->setText(Q(Color565Text(value)));
        swatch = Color565ToColor(value);
    } else {
        TransLabel->setText(QString("Palette Index : %1").arg(TransColor));
        // An index read from a damaged file may name no entry: no colour to show then.
        known = TransColor >= 0 && TransColor <= 255;
        if (known) {
            const TPaletteEntry &e = Palette[static_cast<size_t>(TransColor)];
            swatch = MakeColor(e.Red, e.Green, e.Blue);
        }
    }
    QPixmap picture(SwatchWidth, SwatchHeight);
    picture.fill(known ? QColor(RedOf(swatch), GreenOf(swatch), BlueOf(swatch))
                       : QColor(Qt::transparent));
    TransImage->setPixmap(picture);
}

void TEditSFTForm::ShowCharPreview(int row)
{
    if (row < 0 || row >= CharGrid->rowCount() || FontBitmap.width() == 0 ||
        FontBitmap.height() == 0)
        return;
    const std::string widthText = CellText(row, WidthColumn);
    if (widthText.empty())
        return;
    try {
        const int32_t width = StrToInt(widthText);
        const std::string offsetText = CellText(row, OffsetColumn);
        const int32_t offset = offsetText.empty() ? 0 : StrToInt(offsetText);
        // A factor of 0 (a strip taller than the preview) shows an empty picture.
        CharImage->setPixmap(QPixmap::fromImage(GlyphPreview(FontBitmap, offset, width)));
    } catch (const EConvertError &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
}

// ---------------------------------------------------------------------------------------------
// Editing

void TEditSFTForm::CharGridSetEditText(int column, int row)
{
    DeriveCell(column, row, CellText(row, column), true);
}

void TEditSFTForm::DeriveCell(int column, int row, const std::string &text, bool committed)
{
    if (column == AsciiColumn && !text.empty()) {
        int32_t code = 0;
        try {
            code = StrToInt(text);
        } catch (const EConvertError &e) {
            // Half-typed text ("-") is no error yet; the committed cell is.
            if (committed)
                Context().Platform.Messages().Error(e.what(), {}, this);
            return;
        }
        SetCellText(row, CharColumn, CharText(code));
    } else if (column == CharColumn) {
        if (const std::optional<int> code = CharCode(text))
            SetCellText(row, AsciiColumn, std::to_string(*code));
    }
    if (committed)
        ShowCharPreview(row);
}

void TEditSFTForm::CharGridSelectCell(int, int row)
{
    ShowCharPreview(row);
}

void TEditSFTForm::SelectButtonClick()
{
    if (Is16Bit) {
        TColor color = Color565ToColor(static_cast<uint16_t>(TransColor));
        // The low bits of each channel are dropped.
        if (Context().Platform.ColorDialog().Execute(color, this))
            TransColor = ColorTo565(color);
    } else {
        Context().SelectColorForm->Palette = Palette;
        Context().SelectColorForm->SelectedIndex = TransColor;
        if (Context().SelectColorForm->ShowModal() == mrOk)
            TransColor = Context().SelectColorForm->SelectedIndex;
    }
    ShowTransColor();
}

void TEditSFTForm::AddButtonClick()
{
    InsertRow(CharGrid->rowCount());
}

void TEditSFTForm::InsertButtonClick()
{
    InsertRow(std::max(CharGrid->currentRow(), 0));
}

void TEditSFTForm::InsertRow(int row)
{
    FFilling = true;
    CharGrid->insertRow(row);
    PutRow(row, NewCharRow());
    CharGrid->setCurrentCell(row, std::max(CharGrid->currentColumn(), 0));
    FFilling = false;
    ShowCharPreview(row);
}

void TEditSFTForm::DeleteButtonClick()
{
    // The header is never removed: with no data row left there is nothing to delete.
    if (CharGrid->rowCount() == 0)
        return;
    const int row = std::max(CharGrid->currentRow(), 0);
    const int column = std::max(CharGrid->currentColumn(), 0);
    FFilling = true;
    CharGrid->removeRow(row);
    if (CharGrid->rowCount() > 0)
        CharGrid->setCurrentCell(std::min(row, CharGrid->rowCount() - 1), column);
    FFilling = false;
    ShowCharPreview(row);
}

void TEditSFTForm::OKButtonClick()
{
    // The table is checked before anything changes: a bad counting cell keeps the dialog
    // open with the font and the settings as they were.
    try {
        Characters = CharsFromRows(Rows());
    } catch (const EConvertError &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
        CharGrid->setFocus();
        return;
    }
    // A bad gap or space length keeps its setting; the rest of OK goes ahead.
    try {
        Settings().SFTCharacterGap = StrToInt(Text(CharacterGapBox));
    } catch (const EConvertError &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
    try {
        Settings().SFTSpaceLength = StrToInt(Text(SpaceLengthBox));
    } catch (const EConvertError &e) {
        Context().Platform.Messages().Error(e.what(), {}, this);
    }
    if (Is16Bit)
        Settings().SFTTransColor = TransColor;
    else
        Settings().SFTTransIndex = TransColor;
    SetModalResult(mrOk);
}

void TEditSFTForm::CancelButtonClick()
{
    SetModalResult(mrCancel);
}
