#pragma once
// The rules of the Edit SFT Properties dialog's character table that need no widget: the
// grid's rows for a character list and back, the "Char" cell of a code and the code of a
// "Char" cell, and the glyph preview cut out of the strip at a whole-number factor.

#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "formats/LEC_SFT.h"

// The texts of one data row of the grid, column by column.
struct TCharRow
{
    std::string Ascii;  // the code in decimal
    std::string Char;   // the character itself
    std::string Offset; // first column of the glyph in the strip
    std::string Width;  // glyph width in columns

    friend bool operator==(const TCharRow &, const TCharRow &) = default;
};

// The side of the square glyph preview.
constexpr int CharPreviewSide = 90;

// The one-character text (UTF-8) of the low 8 bits of `code` read as a Windows-1252
// (ANSI) character; bytes that code page leaves undefined stand for the control characters
// of the same number, as Windows maps them.
std::string CharText(int code);
// The code (0 to 255) of a text of exactly one character; nothing for an empty or longer
// text, or a character the code page cannot hold.
std::optional<int> CharCode(const std::string &text);

// One row per character in list order; a list without characters gives one empty row.
std::vector<TCharRow> CharGridRows(const TSFTCharList &chars);
// A new row of Add and Insert: 0, empty, 0, 0.
TCharRow NewCharRow();

// True when the row makes a character: its "ASCII", "Offset" and "Width" are all filled in.
bool RowCounts(const TCharRow &row);
// The characters of the counting rows in grid order, codes taken modulo 65536. Raises
// EConvertError for the first counting cell that is not a decimal integer, before anything
// is built, so a refused table leaves the caller's list whole.
TSFTCharList CharsFromRows(const std::vector<TCharRow> &rows);

// The whole-number factor that fits the larger side of a width x height glyph into the
// preview: 90 div height when the glyph is narrower than high, else 90 div width; 0 when
// that side is not positive.
int PreviewFactor(int width, int height);
// Columns offset to offset + width (exclusive) of the strip, all rows, each pixel a k x k
// block (k = PreviewFactor); columns outside the strip are black. A null picture when the
// strip is empty or the factor or width leaves nothing to show.
QImage GlyphPreview(const QImage &strip, int offset, int width);
