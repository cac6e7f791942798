#include "core/palettes/Adobe_ACT.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"

#include <algorithm>
#include <cstring>

void ReadACT(const std::string &fileName, TPalette &palette)
{
    if (!FileExists(fileName))
        return;
    TFileReader file(fileName);
    const size_t n = std::min<size_t>(file.Size(), sizeof(TPalette));
    // The bytes are read one by one, so a short file leaves what it held in the palette.
    file.Read(reinterpret_cast<uint8_t *>(palette.data()), n);
    file.Require(sizeof(TPalette) - n);
}

void WriteACT(const std::string &fileName, const TPalette &palette)
{
    TFileWriter file;
    file.Write(palette.data(), sizeof(TPalette));
    file.SaveTo(fileName);
}
