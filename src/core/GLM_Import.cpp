#include "core/GLM_Import.h"

#include "core/GLM_Mipmaps.h"
#include "core/GLM_PaletteMatch.h"

namespace {

constexpr int MaxTextureSide = 1024;

std::string SizeText(int width, int height)
{
    return "Bitmap Size: " + std::to_string(width) + "x" + std::to_string(height) + "\r";
}

size_t PixelCount(const TBitmapPicture &picture)
{
    return picture.Width > 0 && picture.Height > 0
               ? static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height)
               : 0;
}

std::vector<uint8_t> FramePixels(const TBitmapPicture &picture, const TPalette &palette, bool is16,
                                 bool transparent)
{
    return is16 ? PictureToWords(picture, transparent) : PictureToIndices(picture, palette);
}

} // namespace

uint16_t PackPixel16(uint8_t red, uint8_t green, uint8_t blue, bool transparent)
{
    const TColor color = MakeColor(red, green, blue);
    return transparent ? ColorToARGB1555(color) : ColorTo565(color);
}

std::vector<uint8_t> PictureToIndices(const TBitmapPicture &picture, const TPalette &palette)
{
    const size_t count = PixelCount(picture);
    std::vector<uint8_t> pixels(count);
    const TPaletteMatcher matcher(palette);
    if (count > 0 && picture.IsPaletted() && picture.Indices.size() >= count) {
        // Each of the 256 index colours is matched once, then every pixel is looked up.
        std::array<uint8_t, 256 * 3> rgb{};
        const std::array<TPaletteEntry, 256> colors = picture.IndexColors();
        for (size_t i = 0; i < 256; ++i) {
            rgb[3 * i] = colors[i].Red;
            rgb[3 * i + 1] = colors[i].Green;
            rgb[3 * i + 2] = colors[i].Blue;
        }
        std::array<uint8_t, 256> matched{};
        matcher.MatchPixels(rgb.data(), 256, matched.data());
        for (size_t i = 0; i < count; ++i)
            pixels[i] = matched[picture.Indices[i]];
    } else if (count > 0 && picture.RGB.size() >= count * 3) {
        matcher.MatchPixels(picture.RGB.data(), count, pixels.data());
    }
    return pixels;
}

std::vector<uint8_t> PictureToWords(const TBitmapPicture &picture, bool transparent)
{
    const size_t count = PixelCount(picture);
    std::vector<uint8_t> pixels(count * 2);
    const auto put = [&pixels](size_t i, uint16_t word) {
        pixels[2 * i] = static_cast<uint8_t>(word & 0xFF);
        pixels[2 * i + 1] = static_cast<uint8_t>(word >> 8);
    };
    if (picture.IsPaletted() && picture.Indices.size() >= count) {
        std::array<uint16_t, 256> words{};
        const std::array<TPaletteEntry, 256> colors = picture.IndexColors();
        for (size_t i = 0; i < 256; ++i)
            words[i] = PackPixel16(colors[i].Red, colors[i].Green, colors[i].Blue, transparent);
        for (size_t i = 0; i < count; ++i)
            put(i, words[picture.Indices[i]]);
    } else if (picture.RGB.size() >= count * 3) {
        for (size_t i = 0; i < count; ++i) {
            const uint8_t *rgb = &picture.RGB[3 * i];
            put(i, PackPixel16(rgb[0], rgb[1], rgb[2], transparent));
        }
    }
    return pixels;
}

std::optional<TImportMessage> CheckTextureSize(int width, int height)
{
    const std::string size = SizeText(width, height);
    const auto message = [&](TImportMessageKind kind, const char *text) {
        return TImportMessage{kind, size + text};
    };
    if (width <= 0 || height <= 0)
        return message(TImportMessageKind::Error, "Dimensions must be greater than 1");
    if (width % 2 != 0 || height % 2 != 0)
        return message(TImportMessageKind::Error, "Dimensions must be even numbers");
    if (width > MaxTextureSide || height > MaxTextureSide)
        return message(TImportMessageKind::Warning, "Maximum JK/MOTS texture size is 1024x1024");
    return std::nullopt;
}

TImportResult ImportBMFrame(TBM &bm, const TBitmapPicture &picture, const TPalette &palette)
{
    TImportResult result;
    const int32_t count = bm.NumImages();
    if (count < 0 || count >= TBM::MaxImages)
        return result;
    TBMImage &image = bm.Images[count];
    image.Width = picture.Width;
    image.Height = picture.Height;
    // A 16-bit BM frame is RGB565 whatever the BM's transparent colour.
    image.Pixels = FramePixels(picture, palette, bm.BitsPerPixel() == 16, false);
    bm.Header.NumImages = count + 1;
    result.Frame = count + 1;
    return result;
}

TImportResult ImportMATFrame(TMAT &mat, const TBitmapPicture &picture, const TPalette &palette,
                             const TNewFrameSettings &settings)
{
    TImportResult result;
    const int32_t count = mat.NumRecords();
    if (mat.Header.MatType != TMATHeader::TextureType || count < 0 || count >= TMAT::MaxRecords)
        return result;
    if (auto message = CheckTextureSize(picture.Width, picture.Height)) {
        result.Messages.push_back(*message);
        if (message->Kind == TImportMessageKind::Error)
            return result;
    }
    const int32_t frame = count + 1;
    TMATTextureRecord record;
    record.RecordType = 8;
    record.FillColor = static_cast<int32_t>(settings.NewFillColor);
    record.CelIndex = frame - 1;
    TMATTextureHeader header;
    header.Width = picture.Width;
    header.Height = picture.Height;
    header.Transparent = settings.NewTrans ? 1 : 0;
    header.NumMipmaps = 1;
    mat.TextureRecords[count] = record;
    mat.TextureHeaders[count] = header;
    mat.Pixels[count] =
        FramePixels(picture, palette, mat.Header.BitsPerPixel == 16, settings.NewTrans);
    mat.SetNumRecords(frame);
    if (settings.AutoMipmaps)
        GenerateMipmaps(mat, frame, settings.NumberMipmaps);
    result.Frame = frame;
    result.Level = 1;
    return result;
}

TImportResult AddMATMipmap(TMAT &mat, int frame, const TBitmapPicture &picture,
                           const TPalette &palette)
{
    TImportResult result;
    if (mat.Header.MatType != TMATHeader::TextureType || frame < 1 ||
        frame > mat.NumRecords() || frame > TMAT::MaxRecords)
        return result;
    TMATTextureHeader &header = mat.TextureHeaders[frame - 1];
    if (MipmapsFull(header) || header.NumMipmaps < 0)
        return result;
    const TLevelSize next = MipmapLevelSize(header, header.NumMipmaps + 1);
    if (picture.Width != next.Width || picture.Height != next.Height) {
        result.Messages.push_back({TImportMessageKind::Error,
                                   "Next mipmap size must be " + std::to_string(next.Width) +
                                       " x " + std::to_string(next.Height)});
        return result;
    }
    std::vector<uint8_t> &pixels = mat.Pixels[frame - 1];
    // Keep exactly the existing levels, then the new one.
    pixels.resize(static_cast<size_t>(mat.TextureBytes(header)));
    const std::vector<uint8_t> level = FramePixels(
        picture, palette, mat.Header.BitsPerPixel == 16, header.Transparent == 1);
    pixels.insert(pixels.end(), level.begin(), level.end());
    header.NumMipmaps += 1;
    result.Frame = frame;
    result.Level = header.NumMipmaps;
    return result;
}

TImportResult AddMATColorFrame(TMAT &mat, int32_t color)
{
    TImportResult result;
    const int32_t count = mat.NumRecords();
    if (mat.Header.MatType != TMATHeader::ColorType || count < 0 || count >= TMAT::MaxRecords)
        return result;
    mat.ColorRecords[count] = TMATColorRecord{};
    mat.ColorRecords[count].Color = color;
    mat.SetNumRecords(count + 1);
    result.Frame = count + 1;
    return result;
}

void ImportSFTStrip(TSFT &sft, const TBitmapPicture &picture, const TPalette &palette)
{
    sft.Width = picture.Width;
    sft.Height = picture.Height;
    sft.BMHeader.NumImages = 1;
    sft.Pixels = FramePixels(picture, palette, sft.BMHeader.BitsPerPixel == 16, false);
}
