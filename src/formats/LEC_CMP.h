#pragma once
// Colormap file: a palette with 64 light-level tables and optional transparency tables.

#include "formats/GLM_Globals.h"
#include "formats/LEC_FileIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TCMPHeader
{
    char Magic[4] = {'C', 'M', 'P', ' '}; // 0
    int32_t Version = 32;                 // 4
    int32_t HasTransparency = 0;          // 8
    // 12: red, green, blue as 32-bit floats, kept bit for bit. The game multiplies every
    // face lit through a secondary colormap by this tint, so zeros there render black.
    float Tint[3] = {};
    int32_t Reserved[10] = {}; // 24
};

using TColorTable = std::array<uint8_t, 256>;

// Reports progress of a long table computation: `done` of `total` steps.
using TProgressCallback = std::function<void(int done, int total)>;

class TCMP
{
public:
    static constexpr int FixedColorCount = 32;
    static constexpr long double TransBlendWeight = 0.65L;

    TCMP();

    TCMPHeader Header;
    TPalette Palette{};
    std::array<TColorTable, 64> LightLevels{};
    std::array<TColorTable, 256> TransTables{};

    void LoadFromFile(const std::string &path);
    void SaveToFile(const std::string &path) const;
    // The same bytes SaveToFile writes, and the reading of bytes already in memory (a
    // container's member) as LoadFromFile reads a file.
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    void FillPalette(uint8_t red, uint8_t green, uint8_t blue);

    void CalcLightLevels();
    void CalcTransTables(const TProgressCallback &progress = {});
private:
    void Load(TFileReader &reader);
    // The one writer of the object's bytes.
    void Write(TFileWriter &writer) const;
};
