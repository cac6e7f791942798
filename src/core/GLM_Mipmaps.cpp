#include "core/GLM_Mipmaps.h"

#include <algorithm>
#include <cstring>
#include <vector>

TLevelSize MipmapLevelSize(const TMATTextureHeader &header, int32_t level)
{
    TLevelSize size{header.Width, header.Height};
    for (int32_t k = 1; k < level && (size.Width > 0 || size.Height > 0); ++k) {
        size.Width /= 2;
        size.Height /= 2;
    }
    return size;
}

uint64_t MipmapLevelOffset(const TMATTextureHeader &header, int32_t level,
                           uint32_t bytesPerPixel)
{
    return TMAT::TextureBytes(header, level - 1, bytesPerPixel);
}

bool MipmapsFull(const TMATTextureHeader &header)
{
    const int32_t n = header.NumMipmaps;
    if (n <= 0)
        return false;
    if (n >= MaxMipmaps)
        return true;
    // The next level is the full size halved n times; it must still be at least 1 x 1.
    const TLevelSize next = MipmapLevelSize(header, n + 1);
    return next.Width < 1 || next.Height < 1;
}

void GenerateMipmaps(TMAT &mat, int32_t frame, int32_t numberMipmaps)
{
    if (numberMipmaps <= 1 || frame < 1 || frame > mat.NumRecords())
        return;
    TMATTextureHeader &header = mat.TextureHeaders[frame - 1];
    std::vector<uint8_t> &pixels = mat.Pixels[frame - 1];
    const uint32_t bpp = mat.BytesPerPixel();
    const uint64_t firstBytes = TMAT::TextureBytes(header, 1, bpp);
    // A frame without a complete first level has nothing to build from.
    if (header.Width < 1 || header.Height < 1 || pixels.size() < firstBytes)
        return;

    int32_t levels = 1;
    TLevelSize size{header.Width, header.Height};
    for (int32_t k = 2; k <= std::min(numberMipmaps, MaxMipmaps); ++k) {
        size.Width /= 2;
        size.Height /= 2;
        if (size.Width < 1 || size.Height < 1)
            break;
        levels = k;
    }
    header.NumMipmaps = levels;

    std::vector<uint8_t> result(static_cast<size_t>(TMAT::TextureBytes(header, levels, bpp)));
    std::memcpy(result.data(), pixels.data(), static_cast<size_t>(firstBytes));
    for (int32_t k = 1; k < levels; ++k) {
        const TLevelSize from = MipmapLevelSize(header, k);
        const TLevelSize to = MipmapLevelSize(header, k + 1);
        const uint8_t *src = result.data() + MipmapLevelOffset(header, k, bpp);
        uint8_t *dst = result.data() + MipmapLevelOffset(header, k + 1, bpp);
        for (int32_t y = 0; y < to.Height; ++y) {
            const uint8_t *row = src + static_cast<size_t>(2 * y) * from.Width * bpp;
            for (int32_t x = 0; x < to.Width; ++x, dst += bpp)
                std::memcpy(dst, row + static_cast<size_t>(2 * x) * bpp, bpp);
        }
    }
    pixels = std::move(result);
}
