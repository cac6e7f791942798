#include "formats/LEC_MAT.h"

#include <iterator>
#include <utility>

namespace {

void ReadWords(TFileReader &reader, int32_t *words, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        words[i] = reader.ReadInt32();
}

void WriteWords(TFileWriter &writer, const int32_t *words, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        writer.WriteInt32(words[i]);
}

TMATHeader ReadHeader(TFileReader &reader)
{
    TMATHeader h;
    reader.Read(h.Magic, sizeof h.Magic);
    h.Version = reader.ReadInt32();
    h.MatType = reader.ReadInt32();
    h.NumRecords = reader.ReadInt32();
    h.NumTextures = reader.ReadInt32();
    h.ColorMode = reader.ReadInt32();
    h.BitsPerPixel = reader.ReadInt32();
    ReadWords(reader, h.Reserved, std::size(h.Reserved));
    return h;
}

void WriteHeader(TFileWriter &writer, const TMATHeader &h)
{
    writer.Write(h.Magic, sizeof h.Magic);
    writer.WriteInt32(h.Version);
    writer.WriteInt32(h.MatType);
    writer.WriteInt32(h.NumRecords);
    writer.WriteInt32(h.NumTextures);
    writer.WriteInt32(h.ColorMode);
    writer.WriteInt32(h.BitsPerPixel);
    WriteWords(writer, h.Reserved, std::size(h.Reserved));
}

TMATColorRecord ReadColorRecord(TFileReader &reader)
{
    TMATColorRecord r;
    r.RecordType = reader.ReadInt32();
    r.Color = reader.ReadInt32();
    ReadWords(reader, r.Reserved, std::size(r.Reserved));
    return r;
}

void WriteColorRecord(TFileWriter &writer, const TMATColorRecord &r)
{
    writer.WriteInt32(r.RecordType);
    writer.WriteInt32(r.Color);
    WriteWords(writer, r.Reserved, std::size(r.Reserved));
}

TMATTextureRecord ReadTextureRecord(TFileReader &reader)
{
    TMATTextureRecord r;
    r.RecordType = reader.ReadInt32();
    r.FillColor = reader.ReadInt32();
    ReadWords(reader, r.Reserved, std::size(r.Reserved));
    r.CelIndex = reader.ReadInt32();
    return r;
}

void WriteTextureRecord(TFileWriter &writer, const TMATTextureRecord &r)
{
    writer.WriteInt32(r.RecordType);
    writer.WriteInt32(r.FillColor);
    WriteWords(writer, r.Reserved, std::size(r.Reserved));
    writer.WriteInt32(r.CelIndex);
}

TMATTextureHeader ReadTextureHeader(TFileReader &reader)
{
    TMATTextureHeader h;
    h.Width = reader.ReadInt32();
    h.Height = reader.ReadInt32();
    h.Transparent = reader.ReadInt32();
    ReadWords(reader, h.Reserved, std::size(h.Reserved));
    h.NumMipmaps = reader.ReadInt32();
    return h;
}

void WriteTextureHeader(TFileWriter &writer, const TMATTextureHeader &h)
{
    writer.WriteInt32(h.Width);
    writer.WriteInt32(h.Height);
    writer.WriteInt32(h.Transparent);
    WriteWords(writer, h.Reserved, std::size(h.Reserved));
    writer.WriteInt32(h.NumMipmaps);
}

bool HasRecords(const TMATHeader &h)
{
    return h.MatType == TMATHeader::ColorType || h.MatType == TMATHeader::TextureType;
}

} // namespace

uint64_t TMAT::TextureBytes(const TMATTextureHeader &header, int32_t levels,
                            uint32_t bytesPerPixel)
{
    // Rejects negative sizes; the sum stays below 4/3 of the first level, so with at most
    // 2 bytes per pixel it cannot overflow 64 bits.
    PictureBytes(header.Width, header.Height, bytesPerPixel);
    uint64_t pixels = 0;
    int32_t w = header.Width, h = header.Height;
    // Once a side reaches 0 every further level is empty, so a huge level count ends here.
    for (int32_t k = 0; k < levels && w > 0 && h > 0; ++k) {
        pixels += static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
        w /= 2;
        h /= 2;
    }
    return pixels * bytesPerPixel;
}

void TMAT::SetNumRecords(int32_t count)
{
    Header.NumRecords = count;
    Header.NumTextures = Header.MatType == TMATHeader::TextureType ? count : 0;
}

void TMAT::LoadFromFile(const std::string &path)
{
    TFileReader reader(path);
    Load(reader);
}

void TMAT::LoadFromBytes(std::vector<uint8_t> bytes)
{
    TFileReader reader(std::move(bytes));
    Load(reader);
}

void TMAT::Load(TFileReader &reader)
{
    // Parse into a separate object so that a rejected file leaves no half-read document.
    TMAT loaded;
    loaded.Header = ReadHeader(reader);
    const TMATHeader &h = loaded.Header;
    if (HasRecords(h)) {
        CheckCount("Frame", h.NumRecords, MaxRecords);
        for (int32_t i = 0; i < h.NumRecords; ++i) {
            if (h.MatType == TMATHeader::ColorType)
                loaded.ColorRecords[i] = ReadColorRecord(reader);
            else
                loaded.TextureRecords[i] = ReadTextureRecord(reader);
        }
    }
    if (h.MatType == TMATHeader::TextureType) {
        for (int32_t i = 0; i < h.NumRecords; ++i) {
            loaded.TextureHeaders[i] = ReadTextureHeader(reader);
            // Bound the size by what the file still holds before allocating anything.
            const uint64_t n = loaded.TextureBytes(loaded.TextureHeaders[i]);
            reader.Require(n);
            const uint8_t *p = reader.Take(static_cast<size_t>(n));
            loaded.Pixels[i].assign(p, p + n);
        }
    }
    // Bytes after the last expected item are ignored, as the game's tools do.
    *this = std::move(loaded);
}

void TMAT::SaveToFile(const std::string &path) const
{
    TFileWriter writer;
    Write(writer);
    writer.SaveTo(path);
}

std::vector<uint8_t> TMAT::SaveToBytes() const
{
    TFileWriter writer;
    Write(writer);
    return writer.Bytes();
}

void TMAT::Write(TFileWriter &writer) const
{
    WriteHeader(writer, Header);
    if (HasRecords(Header)) {
        CheckCount("Frame", Header.NumRecords, MaxRecords);
        for (int32_t i = 0; i < Header.NumRecords; ++i) {
            if (Header.MatType == TMATHeader::ColorType)
                WriteColorRecord(writer, ColorRecords[i]);
            else
                WriteTextureRecord(writer, TextureRecords[i]);
        }
    }
    if (Header.MatType == TMATHeader::TextureType) {
        for (int32_t i = 0; i < Header.NumRecords; ++i) {
            const uint64_t n = TextureBytes(TextureHeaders[i]);
            // Writing past a short buffer would store garbage; refuse rather than corrupt.
            if (Pixels[i].size() != n)
                throw EInOutError(EInOutError::Other,
                                  "Frame " + std::to_string(i + 1) + " holds " +
                                      std::to_string(Pixels[i].size()) + " pixel bytes, " +
                                      std::to_string(n) + " expected");
            WriteTextureHeader(writer, TextureHeaders[i]);
            writer.WriteInPlace(Pixels[i].data(), Pixels[i].size());
        }
    }
}

uint16_t ColorToARGB1555(TColor color)
{
    const uint32_t r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    uint32_t pixel = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    // Only pure black is transparent; a dark colour whose top bits are all 0 stays opaque.
    if (r != 0 || g != 0 || b != 0)
        pixel |= 0x8000;
    return static_cast<uint16_t>(pixel);
}

uint16_t RGB565ToARGB1555(uint16_t pixel)
{
    const uint32_t r = pixel >> 11, g = (pixel >> 6) & 31, b = pixel & 31;
    uint32_t result = (r << 10) | (g << 5) | b;
    if (r != 0 || g != 0 || b != 0)
        result |= 0x8000;
    return static_cast<uint16_t>(result);
}

uint16_t ARGB1555ToRGB565(uint16_t pixel)
{
    const uint32_t r = (pixel >> 10) & 31, g = (pixel >> 5) & 31, b = pixel & 31;
    return static_cast<uint16_t>((r << 11) | ((g << 1) << 5) | b);
}
