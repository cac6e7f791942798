#pragma once
// RIFF palette files ("RIFF" ... "PAL " ... "data").

#include "formats/GLM_Globals.h"

#include <string>

// Nothing happens when the file does not exist. Only the entry count at offset 22 and the
// entries from offset 24 are used; entries beyond the count keep their values.
void ReadRiffPAL(const std::string &fileName, TPalette &palette);
// Always 1052 bytes: the fixed 24-byte header, 256 entries of 4 bytes and 4 zero bytes.
void WriteRiffPAL(const std::string &fileName, const TPalette &palette);
