#include "formats/LEC_BM.h"

#include <utility>

void TBMHeader::SetDefaults16()
{
    // The 565 layout words as the game's own tools write them: no word between 5 and 3.
    static constexpr int32_t Layout565[8] = {5, 6, 5, 11, 5, 3, 2, 3};
    ColorMode = 1;
    BitsPerPixel = 16;
    for (int i = 0; i < 8; ++i)
        ColorLayout[i] = Layout565[i];
}

TBMHeader ReadBMHeader(TFileReader &reader)
{
    reader.Require(TBMHeader::Size);
    TBMHeader h;
    reader.Read(h.Magic, sizeof h.Magic);
    h.Version = reader.ReadInt32();
    h.Unknown8 = reader.ReadInt32();
    h.PaletteIncluded = reader.ReadInt32();
    h.NumImages = reader.ReadInt32();
    h.XOffset = reader.ReadInt32();
    h.YOffset = reader.ReadInt32();
    h.TransColor = reader.ReadInt32();
    h.ColorMode = reader.ReadInt32();
    h.BitsPerPixel = reader.ReadInt32();
    for (int32_t &word : h.ColorLayout)
        word = reader.ReadInt32();
    for (int32_t &word : h.Reserved)
        word = reader.ReadInt32();
    return h;
}

void WriteBMHeader(TFileWriter &writer, const TBMHeader &h)
{
    writer.Write(h.Magic, sizeof h.Magic);
    writer.WriteInt32(h.Version);
    writer.WriteInt32(h.Unknown8);
    writer.WriteInt32(h.PaletteIncluded);
    writer.WriteInt32(h.NumImages);
    writer.WriteInt32(h.XOffset);
    writer.WriteInt32(h.YOffset);
    writer.WriteInt32(h.TransColor);
    writer.WriteInt32(h.ColorMode);
    writer.WriteInt32(h.BitsPerPixel);
    for (int32_t word : h.ColorLayout)
        writer.WriteInt32(word);
    for (int32_t word : h.Reserved)
        writer.WriteInt32(word);
}

uint64_t TBM::ImageBytes(int32_t width, int32_t height) const
{
    return PictureBytes(width, height, Header.BytesPerPixel());
}

void TBM::SetHasPalette(bool on)
{
    if (HasPalette() != on)
        Header.PaletteIncluded = on ? TBMHeader::PaletteFollows : TBMHeader::NoPalette;
}

void TBM::LoadFromFile(const std::string &path)
{
    TFileReader reader(path);
    Load(reader);
}

void TBM::LoadFromBytes(std::vector<uint8_t> bytes)
{
    TFileReader reader(std::move(bytes));
    Load(reader);
}

void TBM::Load(TFileReader &reader)
{
    // Parse into a separate object so that a rejected file leaves no half-read document.
    TBM loaded;
    loaded.Palette = Palette;
    loaded.Header = ReadBMHeader(reader);
    const int32_t count = loaded.Header.NumImages;
    CheckCount("Image", count, MaxImages);
    for (int32_t i = 0; i < count; ++i) {
        TBMImage &image = loaded.Images[i];
        image.Width = reader.ReadInt32();
        image.Height = reader.ReadInt32();
        // Bound the size by what the file still holds before allocating anything.
        const uint64_t n = loaded.ImageBytes(image.Width, image.Height);
        reader.Require(n);
        const uint8_t *p = reader.Take(static_cast<size_t>(n));
        image.Pixels.assign(p, p + n);
    }
    if (loaded.HasPalette())
        reader.Read(loaded.Palette.data(), sizeof(TPalette));
    // Bytes after the last expected item are ignored, as the game's tools do.
    *this = std::move(loaded);
}

void TBM::SaveToFile(const std::string &path) const
{
    TFileWriter writer;
    Write(writer);
    writer.SaveTo(path);
}

std::vector<uint8_t> TBM::SaveToBytes() const
{
    TFileWriter writer;
    Write(writer);
    return writer.Bytes();
}

void TBM::Write(TFileWriter &writer) const
{
    const int32_t count = Header.NumImages;
    CheckCount("Image", count, MaxImages);
    WriteBMHeader(writer, Header);
    for (int32_t i = 0; i < count; ++i) {
        const TBMImage &image = Images[i];
        const uint64_t n = ImageBytes(image.Width, image.Height);
        // Writing past a short buffer would store garbage; refuse rather than corrupt.
        if (image.Pixels.size() != n)
            throw EInOutError(EInOutError::Other,
                              "Image " + std::to_string(i + 1) + " holds " +
                                  std::to_string(image.Pixels.size()) + " pixel bytes, " +
                                  std::to_string(n) + " expected");
        writer.WriteInt32(image.Width);
        writer.WriteInt32(image.Height);
        writer.WriteInPlace(image.Pixels.data(), image.Pixels.size());
    }
    if (HasPalette())
        writer.Write(Palette.data(), sizeof(TPalette));
}
