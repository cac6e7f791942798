#pragma once
// Palette names: the built-in palettes "Dflt" and "Uicolormap", or the path of a palette
// source (.act, .bm, .bmp, .cmp, .pal). A shown picture is written by SaveFrameBitmap
// (GLM_FramePicture.h), the export of the windows and glimra-cli.

#include "formats/GLM_Globals.h"

#include <string>

// True for the two built-in names (case-sensitive) and for an existing file whose
// extension names a palette source; a .bm file only when it carries its own palette.
// Only a .bm file is opened (a damaged one raises EInOutError).
bool IsValidPalette(const std::string &name);

// Fills `palette` from a name that passed IsValidPalette. A missing file gives "Dflt";
// a file of another kind leaves the palette unchanged. Raises EInOutError on a bad file.
void LoadPalette(const std::string &name, TPalette &palette);

bool BMHasPalette(const std::string &fileName);
// A BM file's own palette; all black when it has none.
void ReadBMPalette(const std::string &fileName, TPalette &palette);
void ReadCMPPalette(const std::string &fileName, TPalette &palette);
// A Windows bitmap's colour table; entries it does not have (all of them for a bitmap
// without a table) are black.
void ReadBitmapPalette(const std::string &fileName, TPalette &palette);
// A .pal file of either kind, told by its first four bytes ("RIFF" or "JASC"); any other
// content leaves the palette unchanged.
void ReadPAL(const std::string &fileName, TPalette &palette);
