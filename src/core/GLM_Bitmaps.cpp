#include "core/GLM_Bitmaps.h"

#include "core/GLM_BitmapHeader.h"
#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <optional>
#include <new>

namespace {

const char *const InvalidPicture = "Bitmap image is not valid";
const char *const NoMemory = "Not enough memory for the picture";

TPaletteEntry EntryOf(QRgb c)
{
    return {static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
            static_cast<uint8_t>(qBlue(c))};
}

// Memory for the picture's own buffers; running out is a refused file, not a crash.
template <typename T>
void Allocate(std::vector<T> &v, size_t n)
{
    try {
        v.resize(n);
    } catch (const std::bad_alloc &) {
        throw EInOutError(EInOutError::Other, NoMemory);
    }
}

// Paletted pictures: the file's table as it is and the index of each pixel; no colours.
// `index` gives pixel x of a row.
template <typename IndexOf>
void ReadIndexed(const QImage &image, const QList<QRgb> &table, TBitmapPicture &picture,
                 IndexOf index)
{
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        picture.ColorTable.push_back(EntryOf(table[i]));
    const size_t w = static_cast<size_t>(picture.Width);
    Allocate(picture.Indices, w * static_cast<size_t>(picture.Height));
    for (int y = 0; y < picture.Height; ++y) {
        const uchar *line = image.constScanLine(y);
        uint8_t *indices = &picture.Indices[y * w];
        for (size_t x = 0; x < w; ++x)
            indices[x] = index(line, x);
    }
}

void ReadRow(const QRgb *line, size_t w, uint8_t *rgb)
{
    for (size_t x = 0; x < w; ++x) {
        rgb[3 * x] = static_cast<uint8_t>(qRed(line[x]));
        rgb[3 * x + 1] = static_cast<uint8_t>(qGreen(line[x]));
        rgb[3 * x + 2] = static_cast<uint8_t>(qBlue(line[x]));
    }
}

// Any other format as plain (not premultiplied) colours, a band of rows at a time, so that no
// 32-bit copy of the whole picture is ever made. Alpha plays no part.
void ReadTrueColor(const QImage &source, TBitmapPicture &picture)
{
    const size_t w = static_cast<size_t>(picture.Width);
    const bool direct = source.format() == QImage::Format_ARGB32 ||
                        source.format() == QImage::Format_RGB32;
    constexpr int Band = 64;
    for (int top = 0; top < picture.Height; top += Band) {
        const int rows = std::min(Band, picture.Height - top);
        QImage band;
        if (!direct) {
            // A view of the source's rows, converted on its own.
            const QImage view(source.constScanLine(top), picture.Width, rows,
                              source.bytesPerLine(), source.format());
            band = view.convertToFormat(QImage::Format_ARGB32);
            if (band.isNull())
                throw EInOutError(EInOutError::Other, NoMemory);
        }
        for (int y = 0; y < rows; ++y) {
            const uchar *line = direct ? source.constScanLine(top + y) : band.constScanLine(y);
            ReadRow(reinterpret_cast<const QRgb *>(line), w, &picture.RGB[(top + y) * w * 3]);
        }
    }
}

// The platform's reader puts the lighter colour of a 1-bit bitmap first, swapping table and
// pixels. The pixels' colours stay right, but the colour table is the file's own in its own
// order, so the swap is undone.
void RestoreMonoOrder(const std::vector<uint8_t> &bytes, QImage &image)
{
    if (image.depth() != 1 || image.colorCount() != 2 || bytes.size() < 18 ||
        bytes[0] != 'B' || bytes[1] != 'M')
        return;
    const auto headerSize = static_cast<uint32_t>(GetInt32LE(&bytes[14]));
    const size_t entrySize = headerSize == 12 ? 3 : 4; // OS/2 bitmaps store 3-byte entries
    const size_t at = 14 + static_cast<size_t>(headerSize);
    if (headerSize < 12 || at > bytes.size() || bytes.size() - at < 2 * entrySize)
        return;
    auto entry = [&](size_t k) {
        const uint8_t *p = &bytes[at + k * entrySize];
        return qRgb(p[2], p[1], p[0]);
    };
    const QRgb first = entry(0), second = entry(1);
    if (first != second && image.color(0) == second && image.color(1) == first) {
        image.invertPixels();
        image.setColorTable({first, second});
    }
}

// A Windows bitmap whose header gives a width or height of 0: a picture with no pixels,
// which the platform's reader refuses but the import's size rules are there to judge. Only a
// header of a known kind counts, and its other side still has to be within the size cap.
std::optional<TBitmapPicture> EmptyBitmap(const std::vector<uint8_t> &bytes)
{
    const std::optional<TBitmapHeader> header = ParseBitmapHeader(bytes);
    if (!header || (header->Width != 0 && header->Height != 0))
        return std::nullopt;
    CheckPictureSize(header->Width, header->Height);
    TBitmapPicture picture;
    picture.Width = static_cast<int>(header->Width < 0 ? -header->Width : header->Width);
    picture.Height = static_cast<int>(header->Height < 0 ? -header->Height : header->Height);
    return picture;
}

} // namespace

TBitmapPicture PictureFromImage(const QImage &source)
{
    TBitmapPicture picture;
    if (source.isNull())
        return picture;
    picture.Width = source.width();
    picture.Height = source.height();

    switch (source.format()) {
    case QImage::Format_Mono:
        ReadIndexed(source, source.colorTable(), picture, [](const uchar *line, size_t x) {
            return static_cast<uint8_t>((line[x >> 3] >> (7 - (x & 7))) & 1);
        });
        return picture;
    case QImage::Format_MonoLSB:
        ReadIndexed(source, source.colorTable(), picture, [](const uchar *line, size_t x) {
            return static_cast<uint8_t>((line[x >> 3] >> (x & 7)) & 1);
        });
        return picture;
    case QImage::Format_Indexed8:
        ReadIndexed(source, source.colorTable(), picture,
                    [](const uchar *line, size_t x) { return line[x]; });
        return picture;
    case QImage::Format_Grayscale8: {
        // A grey PNG is how an 8-bit picture with the plain grey ramp as its palette is
        // stored; give it that palette back.
        QList<QRgb> ramp;
        for (int i = 0; i < 256; ++i)
            ramp.append(qRgb(i, i, i));
        ReadIndexed(source, ramp, picture, [](const uchar *line, size_t x) { return line[x]; });
        return picture;
    }
    default:
        Allocate(picture.RGB, static_cast<size_t>(picture.Width) * picture.Height * 3);
        ReadTrueColor(source, picture);
        return picture;
    }
}

TBitmapPicture ReadBitmapBytes(const std::vector<uint8_t> &bytes)
{
    if (std::optional<TBitmapPicture> empty = EmptyBitmap(bytes))
        return *std::move(empty);
    // Headers that promise more than the file holds are refused before anything is decoded.
    CheckBitmapBytes(bytes);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    // The size cap decides, for every kind of picture: the decoder may allocate what a picture
    // of that size needs at 32 bits and no more.
    reader.setAllocationLimit(MaxPictureSide / 1024 * MaxPictureSide / 1024 * 4);
    // A picture whose size cannot be told before decoding is not decoded.
    const QSize declared = reader.size();
    if (!declared.isValid())
        throw EInOutError(EInOutError::Other, InvalidPicture);
    CheckPictureSize(declared.width(), declared.height());
    QImage image = reader.read();
    if (image.isNull())
        throw EInOutError(EInOutError::Other, InvalidPicture);
    CheckPictureSize(image.width(), image.height());
    RestoreMonoOrder(bytes, image);
    return PictureFromImage(image);
}

namespace {

// The file's bytes; the reader's own copy is gone before anything is decoded.
std::vector<uint8_t> FileBytes(const std::string &path)
{
    TFileReader file(path);
    std::vector<uint8_t> bytes(file.Size());
    file.Read(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

TBitmapPicture ReadBitmapFile(const std::string &path)
{
    return ReadBitmapBytes(FileBytes(path));
}

std::vector<TPaletteEntry> ReadBitmapFileColorTable(const std::string &path)
{
    const std::vector<uint8_t> bytes = FileBytes(path);
    if (const std::optional<TBitmapHeader> header = ParseBitmapHeader(bytes))
        return ReadBitmapColorTable(bytes, *header);
    // Another kind of picture under a bitmap's name: only decoding finds its table.
    return ReadBitmapBytes(bytes).ColorTable;
}

bool IsPngFileName(const std::string &path)
{
    return LowerFileExt(path) == ".png";
}
