#include "core/documents/GLM_SFTDocument.h"

#include <algorithm>

#include "core/GLM_FileNames.h"
#include "core/documents/GLM_CharacterTable.h"
#include "formats/GLM_Globals.h"

TSFT NewSFT(bool is16Bit)
{
    TSFT sft;
    if (is16Bit)
        sft.SetDefaults16();
    return sft;
}

void ApplyFontSettings(TSFT &sft, const TSFTSettings &settings)
{
    sft.Header.CharGap = settings.CharacterGap;
    sft.Header.SpaceLength = settings.SpaceLength;
    sft.BMHeader.TransColor =
        sft.BMHeader.BitsPerPixel == 8 ? settings.TransIndex : settings.TransColor;
    sft.BMHeader.PaletteIncluded = 1;
}

bool HasBitmap(const TSFT &sft)
{
    return sft.BMHeader.NumImages != 0;
}

void DeleteSFTBitmap(TSFT &sft)
{
    sft.BMHeader.NumImages = 0;
    sft.Pixels.clear();
    sft.Pixels.shrink_to_fit();
}

std::array<std::string, 8> SFTStatusTexts(const TSFT &sft, const std::string &paletteName,
                                          const std::array<std::string, 8> &previous)
{
    std::array<std::string, 8> texts = previous;
    texts[1] = "Size: " + std::to_string(sft.Width) + " x " + std::to_string(sft.Height);
    texts[3] = "Character Gap: " + std::to_string(sft.Header.CharGap);
    texts[4] = "Space Length: " + std::to_string(sft.Header.SpaceLength);
    texts[5].clear();
    texts[CharacterPanel].clear();
    switch (sft.BMHeader.BitsPerPixel) {
    case 8:
        texts[0] = "8-Bit SFT";
        texts[2] = "Trans Index: " + std::to_string(sft.BMHeader.TransColor);
        texts[7] = "Display Palette: " + ExtractFileName(paletteName);
        break;
    case 16:
        texts[0] = "16-Bit SFT";
        texts[2] = Color565Text(static_cast<uint16_t>(sft.BMHeader.TransColor));
        texts[7].clear();
        break;
    default:
        break;
    }
    return texts;
}

TDocumentFacts SFTFacts(const TSFT &sft, int zoom)
{
    TDocumentFacts facts;
    facts.Kind = TDocumentKind::SFT;
    facts.Frames = HasBitmap(sft) ? 1 : 0;
    facts.Zoom = zoom;
    // A damaged depth other than 16 is drawn through the palette, as 8 bits are.
    facts.BitsPerPixel = sft.BMHeader.BitsPerPixel == 16 ? 16 : 8;
    return facts;
}

std::optional<uint16_t> CharacterAt(const TSFTCharList &chars, int x, int zoom)
{
    const int64_t column = x / std::max(zoom, 1);
    std::optional<uint16_t> found;
    for (const TSFTCharDef &def : chars)
        if (def.Offset <= column && column < int64_t{def.Offset} + def.Width)
            found = def.Code;
    return found;
}

std::string CharacterText(uint16_t code)
{
    return "Character: " + CharText(code);
}
