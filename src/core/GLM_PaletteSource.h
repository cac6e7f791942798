#pragma once
// Palette names resolved for scripts: the editor's names ("Dflt", "Uicolormap", .act, .bm,
// .bmp, .cmp and .pal files) plus GIMP .gpl files. Where the editor silently keeps the old
// palette (an unknown .pal header, a .bm without a palette) this raises an error instead,
// so a script never goes on with a palette nobody chose.

#include "formats/GLM_Globals.h"

#include <string>

// Raises EInOutError ("File not found", "No palette in this file", the readers' own errors).
// Entries a file does not define (a RIFF palette of fewer than 256 colours) are black.
TPalette LoadPaletteSource(const std::string &name);
