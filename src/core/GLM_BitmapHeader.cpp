#include "core/GLM_BitmapHeader.h"

#include "formats/LEC_FileIO.h"

#include <algorithm>
#include <string>

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t CoreHeaderSize = 12; // OS/2 1.x: 16-bit sizes, 3-byte table entries
constexpr size_t InfoHeaderSize = 40;

uint16_t U16At(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32At(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<uint32_t>(GetInt32LE(&b[at]));
}

// The information headers Windows and OS/2 define. The decoder guesses at any other size,
// and its guess may not be ours.
bool KnownHeaderSize(uint32_t size)
{
    for (uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
        if (size == known)
            return true;
    return false;
}

EInOutError Invalid()
{
    return EInOutError(EInOutError::Other, "Bitmap image is not valid");
}

EInOutError Truncated()
{
    return EInOutError(EInOutError::Other,
                       "Bitmap image is truncated: the file ends before its pixels do");
}

// Walks a run-length stream without drawing it. True when it ends the picture (an end of
// bitmap, or every row ended) before the file ends.
bool RunLengthComplete(const std::vector<uint8_t> &b, size_t p, bool rle4, int64_t width,
                       int64_t rows)
{
    int64_t x = 0, y = 0;
    while (p + 2 <= b.size()) {
        const uint8_t count = b[p], code = b[p + 1];
        p += 2;
        if (count > 0) {
            x += count;
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            if (++y >= rows)
                return true;
        } else if (code == 1) { // end of bitmap
            return true;
        } else if (code == 2) { // delta
            if (p + 2 > b.size())
                return false;
            x += b[p];
            y += b[p + 1];
            p += 2;
            if (y >= rows)
                return true;
        } else { // absolute run of `code` pixels, padded to a 16-bit boundary
            const size_t bytes = rle4 ? (code + 1u) / 2 : code;
            if (p + bytes > b.size())
                return false;
            p = std::min(b.size(), p + bytes + (bytes & 1));
            x += code;
        }
    }
    // A stream that stops right after the last pixel of the top row is complete too.
    return y >= rows || (y == rows - 1 && x >= width);
}

} // namespace

std::optional<TBitmapHeader> ParseBitmapHeader(const std::vector<uint8_t> &b)
{
    if (b.size() < FileHeaderSize + 4 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    const uint32_t headerSize = U32At(b, FileHeaderSize);
    const bool core = headerSize == CoreHeaderSize;
    if (!KnownHeaderSize(headerSize) || headerSize > b.size() - FileHeaderSize)
        return std::nullopt;
    TBitmapHeader h;
    h.PixelOffset = U32At(b, 10);
    const size_t at = FileHeaderSize + 4;
    if (core) {
        h.Width = static_cast<int16_t>(U16At(b, at));
        h.Height = static_cast<int16_t>(U16At(b, at + 2));
        h.BitCount = U16At(b, at + 6);
        h.TableEntrySize = 3;
    } else {
        h.Width = static_cast<int32_t>(U32At(b, at));
        h.Height = static_cast<int32_t>(U32At(b, at + 4));
        h.BitCount = U16At(b, at + 10);
        h.Compression = U32At(b, at + 12);
    }
    h.TableOffset = FileHeaderSize + headerSize;
    // A plain information header keeps the channel masks of a bit-field bitmap after itself.
    if (headerSize == InfoHeaderSize && (h.Compression == 3 || h.Compression == 6))
        h.TableOffset += h.Compression == 3 ? 12 : 16;
    if (h.BitCount >= 1 && h.BitCount <= 8) {
        const uint32_t used = core ? 0 : U32At(b, at + 28);
        h.TableCount = used != 0 ? used : size_t{1} << h.BitCount;
    }
    return h;
}

void CheckPictureSize(int64_t width, int64_t height)
{
    if (width > MaxPictureSide || height > MaxPictureSide || width < -MaxPictureSide ||
        height < -MaxPictureSide)
        throw EInOutError(EInOutError::Other,
                          "Bitmap image is too large: " + std::to_string(width) + "x" +
                              std::to_string(height) + " (the limit is " +
                              std::to_string(MaxPictureSide) + "x" +
                              std::to_string(MaxPictureSide) + ")");
}

void CheckBitmapBytes(const std::vector<uint8_t> &bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return;
    const std::optional<TBitmapHeader> h = ParseBitmapHeader(bytes);
    if (!h)
        throw Invalid();
    CheckPictureSize(h->Width, h->Height);
    const int64_t rows = h->Height < 0 ? -h->Height : h->Height;
    if (h->Width <= 0 || rows == 0 || h->TableCount > 256)
        return; // the decoder refuses these itself
    // Pixels start after the colour table, or further on where the header says so.
    const size_t tableEnd = h->TableOffset + h->TableCount * h->TableEntrySize;
    const size_t start = std::max(tableEnd, h->PixelOffset);
    const uint64_t available = start < bytes.size() ? bytes.size() - start : 0;
    switch (h->Compression) {
    case 0:
    case 3:
    case 6: {
        const uint64_t stride = (static_cast<uint64_t>(h->Width) * h->BitCount + 31) / 32 * 4;
        if (stride * static_cast<uint64_t>(rows) > available)
            throw Truncated();
        break;
    }
    case 1:
    case 2:
        if (!RunLengthComplete(bytes, start, h->Compression == 2, h->Width, rows))
            throw Truncated();
        break;
    default:
        break;
    }
}

std::vector<TPaletteEntry> ReadBitmapColorTable(const std::vector<uint8_t> &bytes,
                                                const TBitmapHeader &header)
{
    std::vector<TPaletteEntry> table;
    if (header.TableCount == 0)
        return table;
    const size_t end = header.TableOffset + header.TableCount * header.TableEntrySize;
    if (header.TableCount > 256 || end > bytes.size())
        throw Invalid();
    for (size_t k = 0; k < header.TableCount; ++k) {
        const uint8_t *e = &bytes[header.TableOffset + k * header.TableEntrySize];
        table.push_back({e[2], e[1], e[0]});
    }
    return table;
}
