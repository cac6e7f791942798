#include "core/GLM_PaletteSource.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"
#include "core/palettes/GLM_Palettes.h"
#include "core/palettes/Gimp_GPL.h"

TPalette LoadPaletteSource(const std::string &name)
{
    TPalette palette{};
    if (name == "Dflt" || name == "Uicolormap") {
        LoadPalette(name, palette);
        return palette;
    }
    if (!FileExists(name))
        throw EInOutError(EInOutError::FileNotFound);
    if (LowerFileExt(name) == ".gpl") {
        ReadGimpGPL(name, palette);
        return palette;
    }
    if (!IsValidPalette(name))
        throw EInOutError(EInOutError::Other, "No palette in this file");
    // The loaders leave entries they do not define as they were, so loading over black makes
    // them black. Only an all-black result can hide a file that defined nothing: a second load
    // over white tells the two apart.
    LoadPalette(name, palette);
    if (palette == TPalette{}) {
        TPalette white;
        white.fill({255, 255, 255});
        TPalette probe = white;
        LoadPalette(name, probe);
        if (probe == white)
            throw EInOutError(EInOutError::Other, "No palette in this file");
    }
    return palette;
}
