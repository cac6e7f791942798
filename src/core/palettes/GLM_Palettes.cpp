#include "core/palettes/GLM_Palettes.h"

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FileNames.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"

#include <cstring>
#include <memory>

bool IsValidPalette(const std::string &name)
{
    if (name == "Uicolormap" || name == "Dflt")
        return true;
    if (!FileExists(name))
        return false;
    const std::string ext = LowerFileExt(name);
    if (ext == ".bm")
        return BMHasPalette(name);
    return ext == ".act" || ext == ".bmp" || ext == ".cmp" || ext == ".pal";
}

void LoadPalette(const std::string &name, TPalette &palette)
{
    if (name == "Dflt") {
        palette = DfltPalette();
        return;
    }
    if (name == "Uicolormap") {
        palette = UicolormapPalette();
        return;
    }
    if (!FileExists(name)) {
        palette = DfltPalette();
        return;
    }
    const std::string ext = LowerFileExt(name);
    if (ext == ".act")
        ReadACT(name, palette);
    else if (ext == ".bm")
        ReadBMPalette(name, palette);
    else if (ext == ".bmp")
        ReadBitmapPalette(name, palette);
    else if (ext == ".cmp")
        ReadCMPPalette(name, palette);
    else if (ext == ".pal")
        ReadPAL(name, palette);
}

bool BMHasPalette(const std::string &fileName)
{
    const auto bm = std::make_unique<TBM>();
    bm->LoadFromFile(fileName);
    return bm->HasPalette();
}

void ReadBMPalette(const std::string &fileName, TPalette &palette)
{
    const auto bm = std::make_unique<TBM>();
    bm->LoadFromFile(fileName);
    palette = bm->Palette;
}

void ReadCMPPalette(const std::string &fileName, TPalette &palette)
{
    const auto cmp = std::make_unique<TCMP>();
    cmp->LoadFromFile(fileName);
    palette = cmp->Palette;
}

void ReadBitmapPalette(const std::string &fileName, TPalette &palette)
{
    const std::vector<TPaletteEntry> table = ReadBitmapFileColorTable(fileName);
    TPalette result{};
    for (size_t k = 0; k < table.size() && k < result.size(); ++k)
        result[k] = table[k];
    palette = result;
}

void ReadPAL(const std::string &fileName, TPalette &palette)
{
    char signature[4];
    {
        TFileReader file(fileName);
        file.Read(signature, sizeof signature);
    }
    if (std::memcmp(signature, "RIFF", 4) == 0)
        ReadRiffPAL(fileName, palette);
    else if (std::memcmp(signature, "JASC", 4) == 0)
        ReadJascPAL(fileName, palette);
}
