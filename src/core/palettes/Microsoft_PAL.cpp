#include "core/palettes/Microsoft_PAL.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"

#include <algorithm>

namespace {

// The sizes count the four trailing zero bytes: 1044 = file size - 8, 1032 = 4 + 1024 + 4.
const uint8_t RiffTemplate[24] = {
    'R', 'I', 'F', 'F', 0x14, 0x04, 0x00, 0x00, 'P', 'A', 'L', ' ',
    'd', 'a', 't', 'a', 0x08, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x01};

} // namespace

void ReadRiffPAL(const std::string &fileName, TPalette &palette)
{
    if (!FileExists(fileName))
        return;
    TFileReader file(fileName);
    file.Take(22);
    const size_t count = std::min<size_t>(256, file.ReadUInt16());
    const uint8_t *entries = file.Take(count * 4);
    for (size_t k = 0; k < count; ++k)
        palette[k] = {entries[4 * k], entries[4 * k + 1], entries[4 * k + 2]};
}

void WriteRiffPAL(const std::string &fileName, const TPalette &palette)
{
    TFileWriter file;
    file.Write(RiffTemplate, sizeof RiffTemplate);
    for (const TPaletteEntry &e : palette) {
        file.WriteByte(e.Red);
        file.WriteByte(e.Green);
        file.WriteByte(e.Blue);
        file.WriteByte(0);
    }
    file.WriteInt32(0);
    file.SaveTo(fileName);
}
