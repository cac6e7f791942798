#include "core/documents/GLM_MATDocument.h"

#include <algorithm>
#include <utility>

#include "core/GLM_FileNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Mipmaps.h"

namespace {

bool IsFrame(const TMAT &mat, int frame)
{
    return frame >= 1 && frame <= MATFrameCount(mat);
}

bool IsTextureFrame(const TMAT &mat, int frame)
{
    return IsTextureMAT(mat) && IsFrame(mat, frame);
}

// One frame back or on among `count`, wrapping between the first and the last.
int StepFrame(int frame, int count, bool back)
{
    if (back)
        return frame <= 1 || frame > count ? count : frame - 1;
    return frame >= count || frame < 1 ? 1 : frame + 1;
}

void ConvertPixels(std::vector<uint8_t> &pixels, size_t count, bool toTransparent)
{
    count = std::min(count, pixels.size() / 2);
    for (size_t i = 0; i < count; ++i) {
        const auto p = static_cast<uint16_t>(pixels[2 * i] | (pixels[2 * i + 1] << 8));
        const uint16_t q = toTransparent ? RGB565ToARGB1555(p) : ARGB1555ToRGB565(p);
        pixels[2 * i] = static_cast<uint8_t>(q & 0xFF);
        pixels[2 * i + 1] = static_cast<uint8_t>(q >> 8);
    }
}

} // namespace

TMAT NewMAT(bool isColor, bool is16Bit)
{
    TMAT mat;
    if (isColor)
        mat.SetColorType();
    if (is16Bit)
        mat.SetDefaults16();
    return mat;
}

bool IsColorMAT(const TMAT &mat)
{
    return mat.Header.MatType == TMATHeader::ColorType;
}

bool IsTextureMAT(const TMAT &mat)
{
    return mat.Header.MatType == TMATHeader::TextureType;
}

int MATFrameCount(const TMAT &mat)
{
    if (!IsColorMAT(mat) && !IsTextureMAT(mat))
        return 0;
    return std::clamp(mat.NumRecords(), 0, TMAT::MaxRecords);
}

int MATLevelCount(const TMAT &mat, int frame)
{
    return IsTextureFrame(mat, frame) ? std::max(mat.TextureHeaders[frame - 1].NumMipmaps, 0) : 0;
}

void MATPreviousFrame(const TMAT &mat, int &frame, int &mipmap)
{
    const int count = MATFrameCount(mat);
    if (count < 1)
        return;
    if (!IsTextureMAT(mat)) {
        frame = StepFrame(frame, count, true);
        return;
    }
    if (mipmap > 1) {
        --mipmap;
        return;
    }
    frame = StepFrame(frame, count, true);
    mipmap = MATLevelCount(mat, frame);
}

void MATNextFrame(const TMAT &mat, int &frame, int &mipmap)
{
    const int count = MATFrameCount(mat);
    if (count < 1)
        return;
    if (!IsTextureMAT(mat)) {
        frame = StepFrame(frame, count, false);
        return;
    }
    if (IsFrame(mat, frame) && mipmap >= 1 && mipmap < MATLevelCount(mat, frame)) {
        ++mipmap;
        return;
    }
    mipmap = 1;
    frame = StepFrame(frame, count, false);
}

int FitMipmap(const TMAT &mat, int frame, int mipmap)
{
    if (!IsTextureFrame(mat, frame))
        return mipmap;
    return std::clamp(mipmap, 1, std::max(MATLevelCount(mat, frame), 1));
}

void DeleteMATFrame(TMAT &mat, int frame)
{
    if (!IsFrame(mat, frame))
        return;
    const int count = MATFrameCount(mat);
    for (int i = frame; i < count; ++i) {
        mat.ColorRecords[i - 1] = mat.ColorRecords[i];
        mat.TextureRecords[i - 1] = mat.TextureRecords[i];
        mat.TextureHeaders[i - 1] = mat.TextureHeaders[i];
        mat.Pixels[i - 1] = std::move(mat.Pixels[i]);
        if (IsTextureMAT(mat))
            mat.TextureRecords[i - 1].CelIndex = i - 1;
    }
    mat.ColorRecords[count - 1] = {};
    mat.TextureRecords[count - 1] = {};
    mat.TextureHeaders[count - 1] = {};
    mat.Pixels[count - 1] = {};
    mat.SetNumRecords(count - 1);
}

void SwapMATFrames(TMAT &mat, int a, int b)
{
    if (!IsFrame(mat, a) || !IsFrame(mat, b))
        return;
    std::swap(mat.ColorRecords[a - 1], mat.ColorRecords[b - 1]);
    std::swap(mat.TextureRecords[a - 1], mat.TextureRecords[b - 1]);
    std::swap(mat.TextureHeaders[a - 1], mat.TextureHeaders[b - 1]);
    std::swap(mat.Pixels[a - 1], mat.Pixels[b - 1]);
    if (IsTextureMAT(mat)) {
        mat.TextureRecords[a - 1].CelIndex = a - 1;
        mat.TextureRecords[b - 1].CelIndex = b - 1;
    }
}

bool SetFrameTransparent(TMAT &mat, int frame, bool transparent)
{
    if (!IsTextureFrame(mat, frame))
        return false;
    TMATTextureHeader &header = mat.TextureHeaders[frame - 1];
    const bool was = header.Transparent == 1;
    header.Transparent = transparent ? 1 : 0;
    if (was == transparent)
        return false;
    if (mat.BytesPerPixel() == 2)
        ConvertPixels(mat.Pixels[frame - 1], mat.TextureBytes(header) / 2, transparent);
    return true;
}

bool ApplyFrameProperties(TMAT &mat, int frame, bool transparent, uint32_t fillColor)
{
    if (!IsTextureFrame(mat, frame))
        return false;
    mat.TextureRecords[frame - 1].FillColor = static_cast<int32_t>(fillColor);
    return SetFrameTransparent(mat, frame, transparent);
}

std::array<std::string, 8> MATStatusTexts(const TMAT &mat, const TMATStatusView &view)
{
    const bool is16 = mat.Header.BitsPerPixel == 16;
    const bool color = IsColorMAT(mat);
    const bool frame = IsFrame(mat, view.Frame);
    std::array<std::string, 8> texts;
    texts[0] = std::string(is16 ? "16-Bit " : "8-Bit ") + (color ? "Color MAT" : "Texture MAT");
    texts[1] = "Frame: " + std::to_string(view.Frame) + " of " + std::to_string(MATFrameCount(mat));
    texts[2] = color ? "No Mipmaps"
                     : "Mipmap: " + std::to_string(view.Mipmap) + " of " +
                           std::to_string(MATLevelCount(mat, view.Frame));
    int width = 0, height = 0;
    if (frame && color) {
        width = height = ColorFrameSide;
    } else if (IsTextureFrame(mat, view.Frame)) {
        const TLevelSize size = MipmapLevelSize(mat.TextureHeaders[view.Frame - 1], view.Mipmap);
        width = size.Width;
        height = size.Height;
    }
    texts[3] =
        "Size: " + std::to_string(width * view.Zoom) + " x " + std::to_string(height * view.Zoom);
    const bool transparent =
        IsTextureFrame(mat, view.Frame) && mat.TextureHeaders[view.Frame - 1].Transparent == 1;
    texts[4] = transparent ? "Transparent" : "Not Transparent";
    const int32_t fill = frame ? mat.TextureRecords[view.Frame - 1].FillColor : 0;
    texts[5] =
        is16 ? Color565Text(static_cast<uint16_t>(fill)) : "Fill Index: " + std::to_string(fill);
    texts[6] =
        view.AutoMipmaps ? "Auto Mipmaps: " + std::to_string(view.NumberMipmaps) : "Manual Mipmaps";
    if (!is16)
        texts[7] = "Display Palette: " + ExtractFileName(view.PaletteName);
    return texts;
}

TDocumentFacts MATFacts(const TMAT &mat, int frame, int zoom)
{
    TDocumentFacts facts;
    facts.Kind = TDocumentKind::MAT;
    facts.Frames = MATFrameCount(mat);
    facts.Zoom = zoom;
    facts.BitsPerPixel = mat.Header.BitsPerPixel == 16 ? 16 : 8;
    facts.Mipmaps = MATLevelCount(mat, frame);
    facts.IsTexture = IsTextureMAT(mat);
    facts.MipmapsFull = !IsTextureFrame(mat, frame) || MipmapsFull(mat.TextureHeaders[frame - 1]);
    return facts;
}
