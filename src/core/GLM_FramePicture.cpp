#include "core/GLM_FramePicture.h"

#include "core/GLM_Mipmaps.h"

namespace {

// A view of width x height pixels from `offset` in `buffer`, when it holds them all.
std::optional<TFrameView> PixelView(TPixelLayout layout, int width, int height,
                                    const std::vector<uint8_t> &buffer, uint64_t offset)
{
    const uint64_t bpp = layout == TPixelLayout::Indexed ? 1 : 2;
    if (width <= 0 || height <= 0 || offset > buffer.size() ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * bpp >
            buffer.size() - offset)
        return std::nullopt;
    return TFrameView{layout, width, height, buffer.data() + offset, 0};
}

std::optional<TFrameView> ColorView(TPixelLayout layout, TColor color)
{
    return TFrameView{layout, ColorFrameSide, ColorFrameSide, nullptr, color};
}

void PutRGB(uchar *out, const TPaletteEntry &c)
{
    out[0] = c.Red;
    out[1] = c.Green;
    out[2] = c.Blue;
}

QImage ZoomPicture(const QImage &picture, int zoom)
{
    if (zoom <= 1 || picture.isNull())
        return picture;
    // Nearest-neighbour scaling by a whole factor gives each pixel a zoom x zoom block.
    return picture.scaled(picture.width() * zoom, picture.height() * zoom,
                          Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

std::optional<TFrameView> BMFrameView(const TBM &bm, int frame)
{
    if (frame < 1 || frame > bm.NumImages() || frame > TBM::MaxImages)
        return std::nullopt;
    const TBMImage &image = bm.Images[frame - 1];
    const TPixelLayout layout =
        bm.BitsPerPixel() == 16 ? TPixelLayout::RGB565 : TPixelLayout::Indexed;
    return PixelView(layout, image.Width, image.Height, image.Pixels, 0);
}

std::optional<TFrameView> MATFrameView(const TMAT &mat, int frame, int mipmap)
{
    if (frame < 1 || frame > mat.NumRecords() || frame > TMAT::MaxRecords)
        return std::nullopt;
    const bool is16 = mat.Header.BitsPerPixel == 16;
    if (mat.Header.MatType == TMATHeader::ColorType) {
        const int32_t color = mat.ColorRecords[frame - 1].Color;
        // At 8 bits only the low byte can name a palette entry.
        return is16 ? ColorView(TPixelLayout::ColorValue, static_cast<TColor>(color) & 0xFFFFFF)
                    : ColorView(TPixelLayout::ColorIndex, static_cast<TColor>(color) & 0xFF);
    }
    if (mat.Header.MatType != TMATHeader::TextureType)
        return std::nullopt;
    const TMATTextureHeader &header = mat.TextureHeaders[frame - 1];
    if (mipmap < 1 || mipmap > header.NumMipmaps || header.Width < 0 || header.Height < 0)
        return std::nullopt;
    const TLevelSize size = MipmapLevelSize(header, mipmap);
    const TPixelLayout layout = !is16                      ? TPixelLayout::Indexed
                                : header.Transparent == 1 ? TPixelLayout::ARGB1555
                                                          : TPixelLayout::RGB565;
    return PixelView(layout, size.Width, size.Height, mat.Pixels[frame - 1],
                     MipmapLevelOffset(header, mipmap, mat.BytesPerPixel()));
}

std::optional<TFrameView> SFTFrameView(const TSFT &sft)
{
    if (sft.BMHeader.NumImages == 0)
        return std::nullopt;
    const TPixelLayout layout =
        sft.BMHeader.BitsPerPixel == 16 ? TPixelLayout::RGB565 : TPixelLayout::Indexed;
    return PixelView(layout, sft.Width, sft.Height, sft.Pixels, 0);
}

QImage FramePicture(const TFrameView &view, const TPalette &palette, int zoom)
{
    QImage picture(view.Width, view.Height, QImage::Format_RGB888);
    if (picture.isNull()) // no memory for it: a null picture, as for a frame that is not there
        return picture;
    if (view.Layout == TPixelLayout::ColorIndex || view.Layout == TPixelLayout::ColorValue) {
        TColor c = view.Color;
        if (view.Layout == TPixelLayout::ColorIndex) {
            const TPaletteEntry &e = palette[view.Color & 0xFF];
            c = MakeColor(e.Red, e.Green, e.Blue);
        }
        picture.fill(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        return ZoomPicture(picture, zoom);
    }
    for (int y = 0; y < view.Height; ++y) {
        uchar *out = picture.scanLine(y);
        if (view.Layout == TPixelLayout::Indexed) {
            const uint8_t *in = view.Pixels + static_cast<size_t>(y) * view.Width;
            for (int x = 0; x < view.Width; ++x, out += 3)
                PutRGB(out, palette[in[x]]);
            continue;
        }
        const bool argb1555 = view.Layout == TPixelLayout::ARGB1555;
        const uint8_t *in = view.Pixels + static_cast<size_t>(y) * view.Width * 2;
        for (int x = 0; x < view.Width; ++x, in += 2, out += 3)
            PutRGB(out, PixelWordColor(static_cast<uint16_t>(in[0] | (in[1] << 8)), argb1555));
    }
    return ZoomPicture(picture, zoom);
}

QImage SFTPicture(const TSFT &sft, const TPalette &palette, int zoom)
{
    const auto view = SFTFrameView(sft);
    return view ? FramePicture(*view, palette, zoom) : QImage();
}
