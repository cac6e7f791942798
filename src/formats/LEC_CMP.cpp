#include "formats/LEC_CMP.h"

#include "formats/LEC_FileIO.h"

#include <cstring>
#include <memory>

// Reading, writing and filling of colormaps. The table computations live in LEC_CMPTables.

namespace {

constexpr size_t HeaderSize = 64;
constexpr size_t LightLevelsSize = 64 * 256;
constexpr size_t TransTablesSize = 256 * 256;
static_assert(sizeof(float) == 4, "the tint is stored as three 32-bit floats");
static_assert(HeaderSize + sizeof(TPalette) + LightLevelsSize == 17216,
              "a colormap without tables is 17216 bytes");

TCMPHeader ReadHeader(TFileReader &r)
{
    TCMPHeader h;
    r.Read(h.Magic, sizeof h.Magic);
    h.Version = r.ReadInt32();
    h.HasTransparency = r.ReadInt32();
    for (float &v : h.Tint) {
        const int32_t bits = r.ReadInt32();
        std::memcpy(&v, &bits, sizeof v);
    }
    for (int32_t &v : h.Reserved)
        v = r.ReadInt32();
    return h;
}

void WriteHeader(TFileWriter &w, const TCMPHeader &h)
{
    w.Write(h.Magic, sizeof h.Magic);
    w.WriteInt32(h.Version);
    w.WriteInt32(h.HasTransparency);
    for (const float v : h.Tint) {
        int32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        w.WriteInt32(bits);
    }
    for (int32_t v : h.Reserved)
        w.WriteInt32(v);
}

} // namespace

TCMP::TCMP()
{
    FillPalette(0, 0, 0);
}

void TCMP::LoadFromFile(const std::string &path)
{
    TFileReader r(path);
    Load(r);
}

void TCMP::LoadFromBytes(std::vector<uint8_t> bytes)
{
    TFileReader r(std::move(bytes));
    Load(r);
}

void TCMP::Load(TFileReader &r)
{
    // Everything is read into locals first, so a short file leaves this object as it was.
    const TCMPHeader header = ReadHeader(r);
    const bool hasTables = header.HasTransparency != 0;
    r.Require(sizeof(TPalette) + LightLevelsSize + (hasTables ? TransTablesSize : 0));

    TPalette palette;
    r.Read(palette.data(), sizeof palette);
    auto levels = std::make_unique<std::array<TColorTable, 64>>();
    for (TColorTable &level : *levels)
        r.Read(level.data(), level.size());
    std::unique_ptr<std::array<TColorTable, 256>> tables;
    if (hasTables) {
        tables = std::make_unique<std::array<TColorTable, 256>>();
        for (TColorTable &table : *tables)
            r.Read(table.data(), table.size());
    }

    Header = header;
    Palette = palette;
    LightLevels = *levels;
    // Without the flag the file holds no tables and ours stay as they were.
    if (tables)
        TransTables = *tables;
}

void TCMP::SaveToFile(const std::string &path) const
{
    TFileWriter w;
    Write(w);
    w.SaveTo(path);
}

std::vector<uint8_t> TCMP::SaveToBytes() const
{
    TFileWriter w;
    Write(w);
    return w.Bytes();
}

void TCMP::Write(TFileWriter &w) const
{
    WriteHeader(w, Header);
    w.Write(Palette.data(), sizeof Palette);
    for (const TColorTable &level : LightLevels)
        w.Write(level.data(), level.size());
    // Any non-zero flag means the tables are stored, as the reader expects.
    if (Header.HasTransparency != 0)
        for (const TColorTable &table : TransTables)
            w.Write(table.data(), table.size());
}

void TCMP::FillPalette(uint8_t red, uint8_t green, uint8_t blue)
{
    Palette.fill(TPaletteEntry{red, green, blue});
}
