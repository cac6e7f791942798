#pragma once
// GIMP palette files (.gpl): a text file starting "GIMP Palette", optional Name and Columns
// lines and comments, then one "red green blue [name]" line per colour.

#include "formats/GLM_Globals.h"

#include <string>

// Fills palette entries from the file's colour lines in order; entries the file does not
// reach become black, colours beyond the 256th are ignored. A file that is not a GIMP
// palette, or a colour line that is not three numbers 0..255, raises EInOutError.
void ReadGimpGPL(const std::string &path, TPalette &palette);

// Writes all 256 entries (LF line ends, as GIMP writes them) under the palette name `name`.
void WriteGimpGPL(const std::string &path, const TPalette &palette, const std::string &name);
