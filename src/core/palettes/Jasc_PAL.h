#pragma once
// JASC-PAL text palettes: "JASC-PAL", "0100", "256", then one "red green blue" line per entry.

#include "formats/GLM_Globals.h"

#include <string>

// Nothing happens when the file does not exist or its first three lines are not exactly
// "JASC-PAL", "0100" and "256" (a 16-colour file, say). A colour line that is not three
// integers separated by single spaces, or a missing line, raises EInOutError with the text
// "'<text>' is not a valid integer value"; the entries before it are kept. Each number's
// low 8 bits are stored (300 gives 44, -1 gives 255).
void ReadJascPAL(const std::string &fileName, TPalette &palette);
// 259 lines, each ended by CR LF.
void WriteJascPAL(const std::string &fileName, const TPalette &palette);
