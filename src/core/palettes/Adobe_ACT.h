#pragma once
// ACT colour tables: the 768 bytes of a palette, entry 0 first, nothing else.

#include "formats/GLM_Globals.h"

#include <string>

// Nothing happens when the file does not exist. A shorter file fills what it holds and
// raises "Read beyond end of file"; bytes after the 768th are ignored.
void ReadACT(const std::string &fileName, TPalette &palette);
void WriteACT(const std::string &fileName, const TPalette &palette);
