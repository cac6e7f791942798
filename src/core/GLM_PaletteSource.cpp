#include "core/GLM_PaletteSource.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"
#include "palettes/GLM_Palettes.h"
#include "palettes/Gimp_GPL.h"

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
    // The loaders leave entries they do not define as they were: loading over two different
    // fills tells the defined entries (equal in both) from the others.
    TPalette dark{}, light{};
    light.fill({255, 255, 255});
    LoadPalette(name, dark);
    LoadPalette(name, light);
    bool any = false;
    for (int i = 0; i < 256; ++i) {
        if (dark[i] == light[i]) {
            palette[i] = dark[i];
            any = true;
        }
    }
    if (!any)
        throw EInOutError(EInOutError::Other, "No palette in this file");
    return palette;
}
