#include "core/GLM_BitmapStream.h"

#include "core/GLM_Bitmaps.h"
#include "core/GLM_PaletteMatch.h"

#include <QIODevice>
#include <QImageWriter>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>

namespace {

constexpr uint32_t FileHeaderBytes = 14;
constexpr uint32_t InfoHeaderBytes = 40;
constexpr int32_t PixelsPerMeter = 3780; // 96 dots per inch

const char *const EmptyPicture = "Cannot save an empty picture";

// Sizes and offsets of an uncompressed Windows bitmap: file header, info header, a colour
// table of 256 entries at 8 bits, rows padded to 4 bytes.
struct TBitmapLayout
{
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t Bits = 24;
    uint32_t RowBytes = 0;
    uint32_t PixelOffset = 0;
    uint32_t FileSize = 0;
};

TBitmapLayout BitmapLayout(int64_t width, int64_t height, int bits)
{
    if (width <= 0 || height <= 0)
        throw EInOutError(EInOutError::Other, EmptyPicture);
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * (bits / 8) + 3) & ~uint64_t(3);
    const uint64_t offset = FileHeaderBytes + InfoHeaderBytes + (bits == 8 ? 256 * 4 : 0);
    constexpr int64_t MaxSide = std::numeric_limits<int32_t>::max();
    // Sides of at most 31 bits keep the product well inside 64 bits.
    const uint64_t size = width <= MaxSide && height <= MaxSide
                              ? offset + rowBytes * static_cast<uint64_t>(height)
                              : std::numeric_limits<uint64_t>::max();
    if (size > std::numeric_limits<uint32_t>::max())
        throw EInOutError(EInOutError::Other, "The picture is too large for a Windows bitmap");
    TBitmapLayout layout;
    layout.Width = static_cast<int32_t>(width);
    layout.Height = static_cast<int32_t>(height);
    layout.Bits = static_cast<uint16_t>(bits);
    layout.RowBytes = static_cast<uint32_t>(rowBytes);
    layout.PixelOffset = static_cast<uint32_t>(offset);
    layout.FileSize = static_cast<uint32_t>(size);
    return layout;
}

void Put16(std::vector<uint8_t> &out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t> &out, uint32_t v)
{
    uint8_t b[4];
    PutInt32LE(b, static_cast<int32_t>(v));
    out.insert(out.end(), b, b + 4);
}

// Everything before the bottom row: the two headers and, at 8 bits, the palette.
std::vector<uint8_t> BitmapHeaders(const TBitmapLayout &layout, const TPalette &palette)
{
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, layout.FileSize);
    Put32(out, 0); // two reserved words
    Put32(out, layout.PixelOffset);
    Put32(out, InfoHeaderBytes);
    Put32(out, static_cast<uint32_t>(layout.Width));
    Put32(out, static_cast<uint32_t>(layout.Height)); // positive: rows stored bottom-up
    Put16(out, 1);                                    // planes
    Put16(out, layout.Bits);
    Put32(out, 0); // no compression
    Put32(out, layout.FileSize - layout.PixelOffset);
    Put32(out, PixelsPerMeter);
    Put32(out, PixelsPerMeter);
    const uint32_t colors = layout.Bits == 8 ? 256 : 0;
    Put32(out, colors); // used
    Put32(out, colors); // important
    if (layout.Bits == 8)
        for (const TPaletteEntry &e : palette)
            out.insert(out.end(), {e.Blue, e.Green, e.Red, 0});
    return out;
}

// The rows of a frame at a zoom in the form a file stores them: one palette index per pixel,
// or three bytes (blue, green, red in a Windows bitmap; red, green, blue in PNG).
class TZoomedRows
{
public:
    TZoomedRows(const TFrameView &view, const TPalette &palette, int zoom, int bits, bool bgr)
        : FView(view), FPalette(palette), FZoom(zoom), FBytes(bits == 8 ? 1 : 3), FBgr(bgr)
    {
        const bool words =
            view.Layout == TPixelLayout::RGB565 || view.Layout == TPixelLayout::ARGB1555;
        if (FBytes == 1 && (words || view.Layout == TPixelLayout::ColorValue))
            FMatcher = std::make_unique<TExportMatcher>(palette);
        if (FBytes == 1 && words)
            FIndexOfWord.assign(65536, -1);
        if (view.Layout == TPixelLayout::ColorIndex || view.Layout == TPixelLayout::ColorValue)
            Pixel(nullptr, 0, FSolid.data());
    }

    int64_t Width() const { return int64_t(FView.Width) * FZoom; }
    int64_t Height() const { return int64_t(FView.Height) * FZoom; }

    // Frame row y with each pixel repeated zoom times: Width() x 1 or 3 bytes at `out`.
    void Build(int y, uint8_t *out)
    {
        const bool solid = FView.Pixels == nullptr;
        const uint8_t *in = solid ? nullptr
                                  : FView.Pixels + static_cast<size_t>(y) * FView.Width *
                                                       (FView.IsPaletted() ? 1 : 2);
        uint8_t pixel[3];
        for (int x = 0; x < FView.Width; ++x) {
            if (solid)
                std::memcpy(pixel, FSolid.data(), 3);
            else
                Pixel(in, x, pixel);
            for (int k = 0; k < FZoom; ++k, out += FBytes)
                std::memcpy(out, pixel, static_cast<size_t>(FBytes));
        }
    }

private:
    void Pixel(const uint8_t *in, int x, uint8_t *out)
    {
        TPaletteEntry c{};
        switch (FView.Layout) {
        case TPixelLayout::Indexed:
            if (FBytes == 1) {
                out[0] = in[x];
                return;
            }
            c = FPalette[in[x]];
            break;
        case TPixelLayout::ColorIndex:
            if (FBytes == 1) {
                out[0] = static_cast<uint8_t>(FView.Color);
                return;
            }
            c = FPalette[FView.Color & 0xFF];
            break;
        case TPixelLayout::ColorValue:
            c = {RedOf(FView.Color), GreenOf(FView.Color), BlueOf(FView.Color)};
            if (FBytes == 1) {
                out[0] = FMatcher->Index(c);
                return;
            }
            break;
        case TPixelLayout::RGB565:
        case TPixelLayout::ARGB1555: {
            const uint16_t w = static_cast<uint16_t>(in[2 * x] | (in[2 * x + 1] << 8));
            c = PixelWordColor(w, FView.Layout == TPixelLayout::ARGB1555);
            if (FBytes == 1) {
                // A frame has few distinct words; each is matched once.
                int16_t &index = FIndexOfWord[w];
                if (index < 0)
                    index = FMatcher->Index(c);
                out[0] = static_cast<uint8_t>(index);
                return;
            }
            break;
        }
        }
        out[0] = FBgr ? c.Blue : c.Red;
        out[1] = c.Green;
        out[2] = FBgr ? c.Red : c.Blue;
    }

    const TFrameView &FView;
    const TPalette &FPalette;
    int FZoom;
    int FBytes;
    bool FBgr;
    std::array<uint8_t, 3> FSolid{};
    std::unique_ptr<TExportMatcher> FMatcher;
    std::vector<int16_t> FIndexOfWord;
};

// The platform's PNG writer writing straight into the atomic save. A failed write is kept
// and raised once the writer is done: the writer is told every write went well, because its
// own error path leaks a row buffer.
class TSinkDevice final : public QIODevice
{
public:
    explicit TSinkDevice(TByteSink &sink) : FSink(sink) { open(QIODevice::WriteOnly); }

    void RaiseKeptError() const
    {
        if (FError)
            std::rethrow_exception(FError);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (FError)
            return size;
        try {
            FSink.Write(data, static_cast<size_t>(size));
        } catch (...) {
            FError = std::current_exception();
        }
        return size;
    }

private:
    TByteSink &FSink;
    std::exception_ptr FError;
};

void SaveFramePng(const TFrameView &view, const TPalette &palette, int zoom, int bits,
                  const std::string &path)
{
    TZoomedRows rows(view, palette, zoom, bits, false);
    if (rows.Width() <= 0 || rows.Height() <= 0)
        throw EInOutError(EInOutError::Other, EmptyPicture);
    if (rows.Width() > std::numeric_limits<int>::max() ||
        rows.Height() > std::numeric_limits<int>::max())
        throw EInOutError(EInOutError::Other, "The picture is too large");
    QImage picture(static_cast<int>(rows.Width()), static_cast<int>(rows.Height()),
                   bits == 8 ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (picture.isNull())
        throw EInOutError(EInOutError::Other, "Not enough memory for the picture");
    if (bits == 8) {
        QList<QRgb> table;
        table.reserve(256);
        for (const TPaletteEntry &e : palette)
            table.append(qRgb(e.Red, e.Green, e.Blue));
        picture.setColorTable(table);
    }
    const auto lineBytes = static_cast<size_t>(picture.bytesPerLine());
    for (int y = 0; y < view.Height; ++y) {
        uchar *first = picture.scanLine(y * zoom);
        rows.Build(y, first);
        for (int k = 1; k < zoom; ++k)
            std::memcpy(picture.scanLine(y * zoom + k), first, lineBytes);
    }
    SaveStreamAtomically(path, [&](TByteSink &out) {
        TSinkDevice device(out);
        QImageWriter writer(&device, "png");
        const bool written = writer.write(picture);
        device.RaiseKeptError();
        if (!written)
            throw EInOutError(EInOutError::Other,
                              "Cannot save the picture: " + writer.errorString().toStdString());
    });
}

} // namespace

void StreamFrameBitmap(const TFrameView &view, const TPalette &palette, int zoom, int bits,
                       TByteSink &out)
{
    zoom = std::max(zoom, 1);
    bits = bits == 8 ? 8 : 24;
    TZoomedRows rows(view, palette, zoom, bits, true);
    const TBitmapLayout layout = BitmapLayout(rows.Width(), rows.Height(), bits);
    const std::vector<uint8_t> headers = BitmapHeaders(layout, palette);
    out.Write(headers.data(), headers.size());
    std::vector<uint8_t> row(layout.RowBytes); // the padding stays zero
    for (int y = view.Height - 1; y >= 0; --y) {
        rows.Build(y, row.data());
        for (int k = 0; k < zoom; ++k)
            out.Write(row.data(), row.size());
    }
}

void SaveFrameBitmap(const TFrameView &view, const TPalette &palette, int zoom, int bits,
                     const std::string &path)
{
    zoom = std::max(zoom, 1);
    bits = bits == 8 ? 8 : 24;
    if (IsPngFileName(path)) {
        SaveFramePng(view, palette, zoom, bits, path);
        return;
    }
    SaveStreamAtomically(
        path, [&](TByteSink &out) { StreamFrameBitmap(view, palette, zoom, bits, out); });
}
