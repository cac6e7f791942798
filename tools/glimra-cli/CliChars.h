#pragma once
// --chars of import: a new font's character table, either a range of codes that share the
// strip in equal widths or a table file in the form `info --json` prints.

#include "formats/LEC_SFT.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TCharsOption
{
    // FIRST-LAST; TablePath is empty then.
    uint16_t First = 0;
    uint16_t Last = 0;
    std::string TablePath;
};

// "FIRST-LAST" (0 to 65535, FIRST not above LAST) or a table file's path; a range out of
// bounds is a usage error.
TCharsOption ParseCharsOption(const std::string &value);

// Codes First..Last across the strip, each strip width / count pixels wide. Throws when the
// width does not divide evenly.
std::vector<TSFTCharDef> EqualWidthChars(uint16_t first, uint16_t last, int32_t stripWidth);

// `[[code, offset, width], ...]` in list order. Throws on anything else, naming the byte.
std::vector<TSFTCharDef> ParseCharTable(const std::string &text);

// Throws unless every glyph lies inside a strip of that width.
void CheckCharsInStrip(const std::vector<TSFTCharDef> &chars, int32_t stripWidth);
