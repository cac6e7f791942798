#pragma once
// The Edit SFT Properties dialog: a font's transparent colour, character gap, space length
// and character table, with a preview of each glyph cut out of the strip. One instance,
// created at start-up and reused.
//
// Caller: set Palette, FontBitmap, Is16Bit, CharGap, SpaceLength, TransColor and the grid
// (SetCharacters), then
//     if (EditSFTForm->ShowModal() == mrOk) apply the SFT settings and take Characters.
// OK writes SFTCharacterGap, SFTSpaceLength and SFTTransIndex or SFTTransColor; the font
// takes them from there, so they are also the defaults of fonts created later.

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "core/documents/GLM_CharacterTable.h"
#include "formats/GLM_Globals.h"
#include "formats/LEC_SFT.h"
#include "ui/kit/GLM_ModalForm.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TEditSFTForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TEditSFTForm(TWindowContext &context, QWidget *parent = nullptr);

    // The grid's columns.
    enum { AsciiColumn = 0, CharColumn = 1, OffsetColumn = 2, WidthColumn = 3 };

    TPalette Palette{}; // the SFT window's display palette
    QImage FontBitmap;  // the strip at 1:1 as drawn; null for a font without bitmap
    bool Is16Bit = false;
    int32_t CharGap = 0;
    int32_t SpaceLength = 0;
    int32_t TransColor = 0; // palette index, or RGB565 for a 16-bit font
    // The character list the grid gave at the last OK.
    TSFTCharList Characters;

    QLabel *TransLabel;
    QLabel *TransImage;
    QPushButton *SelectButton;
    QLineEdit *CharacterGapBox;
    QLineEdit *SpaceLengthBox;
    QTableWidget *CharGrid; // data rows only; the column titles are its header
    QLabel *CharImage;
    QPushButton *AddButton;
    QPushButton *InsertButton;
    QPushButton *DeleteButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    // The grid: one row per character in list order, one empty row for none.
    void SetCharacters(const TSFTCharList &chars);
    std::vector<TCharRow> Rows() const;
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string &text);

    // Rows are numbered from 0, the first data row.
    void CharGridSetEditText(int column, int row);
    // The column derived from the cell's `text`; only a committed cell reports a bad code.
    void DeriveCell(int column, int row, const std::string &text, bool committed);
    void CharGridSelectCell(int column, int row);
    void SelectButtonClick();
    void AddButtonClick();
    void InsertButtonClick();
    void DeleteButtonClick();
    void OKButtonClick();
    void CancelButtonClick();

    void ShowTransColor();
    void ShowCharPreview(int row);

protected:
    void FormShow() override;

private:
    void PutRow(int row, const TCharRow &cells);
    // A new character row at `row`, made current.
    void InsertRow(int row);
    // Writes cells without running the edit handler (derived cells, hand-over, new rows).
    bool FFilling = false;
};
