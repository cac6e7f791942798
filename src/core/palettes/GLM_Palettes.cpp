#include "core/palettes/GLM_Palettes.h"

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_PaletteMatch.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_ColorSearch.h"
#include "formats/LEC_FileIO.h"
#include "core/palettes/Adobe_ACT.h"
#include "core/palettes/Jasc_PAL.h"
#include "core/palettes/Microsoft_PAL.h"

#include <cstring>
#include <memory>
#include <unordered_map>

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

void SavePalettedBitmap(const QImage &picture, const TPalette &palette,
                        const std::string &fileName)
{
    const TBitmapPicture pixels = PictureFromImage(picture);
    const TPaletteMatcher matcher(palette);
    TColorSearch nearest(palette); // the colormap tables' exact nearest-colour search
    // A picture has few distinct colours; each one missing from the palette is searched once.
    std::unordered_map<uint32_t, uint8_t> nearestOf;

    const size_t count = static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height);
    std::vector<uint8_t> indices(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *rgb = &pixels.RGB[3 * i];
        const int exact = matcher.Find(rgb[0], rgb[1], rgb[2]);
        if (exact >= 0) {
            indices[i] = static_cast<uint8_t>(exact);
            continue;
        }
        const uint32_t key = MakeColor(rgb[0], rgb[1], rgb[2]);
        auto found = nearestOf.find(key);
        if (found == nearestOf.end())
            found = nearestOf.emplace(key, nearest.Nearest(rgb[0], rgb[1], rgb[2])).first;
        indices[i] = found->second;
    }
    WritePalettedBitmap(pixels.Width, pixels.Height, indices, palette, fileName);
}
