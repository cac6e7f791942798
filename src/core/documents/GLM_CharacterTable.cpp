#include "core/documents/GLM_CharacterTable.h"

#include <array>

#include "formats/GLM_IntegerText.h"

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five it leaves undefined keep their own number.
constexpr std::array<char32_t, 32> Cp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(int byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Cp1252High[static_cast<size_t>(byte - 0x80)]
                                       : static_cast<char32_t>(byte);
}

std::string Utf8(char32_t c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// The code point of a text of exactly one UTF-8 character; nothing otherwise.
std::optional<char32_t> SingleCodePoint(const std::string &text)
{
    if (text.empty())
        return std::nullopt;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80         ? 1
                          : (lead >> 5) == 6  ? 2
                          : (lead >> 4) == 14 ? 3
                          : (lead >> 3) == 30 ? 4
                                              : 0;
    if (length == 0 || text.size() != length)
        return std::nullopt;
    if (length == 1)
        return lead;
    char32_t c = lead & (0x3F >> (length - 1));
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    return c;
}

} // namespace

std::string CharText(int code)
{
    return Utf8(CodePoint(code & 0xFF));
}

std::optional<int> CharCode(const std::string &text)
{
    const std::optional<char32_t> c = SingleCodePoint(text);
    if (!c)
        return std::nullopt;
    for (int byte = 0; byte < 256; ++byte)
        if (CodePoint(byte) == *c)
            return byte;
    return std::nullopt;
}

std::vector<TCharRow> CharGridRows(const TSFTCharList &chars)
{
    std::vector<TCharRow> rows;
    for (const TSFTCharDef &def : chars)
        rows.push_back({std::to_string(def.Code), CharText(def.Code), std::to_string(def.Offset),
                        std::to_string(def.Width)});
    if (rows.empty())
        rows.emplace_back();
    return rows;
}

TCharRow NewCharRow()
{
    return {"0", "", "0", "0"};
}

bool RowCounts(const TCharRow &row)
{
    return !row.Ascii.empty() && !row.Offset.empty() && !row.Width.empty();
}

TSFTCharList CharsFromRows(const std::vector<TCharRow> &rows)
{
    TSFTCharList chars;
    for (const TCharRow &row : rows) {
        if (!RowCounts(row))
            continue;
        TSFTCharDef def;
        // Modulo 65536, negative values too: -1 is code 65535.
        def.Code = static_cast<uint16_t>(StrToInt(row.Ascii));
        def.Offset = StrToInt(row.Offset);
        def.Width = StrToInt(row.Width);
        chars.Add(def);
    }
    return chars;
}

int PreviewFactor(int width, int height)
{
    const int side = width < height ? height : width;
    return side > 0 ? CharPreviewSide / side : 0;
}

QImage GlyphPreview(const QImage &strip, int offset, int width)
{
    const int height = strip.height();
    const int k = PreviewFactor(width, height);
    if (strip.isNull() || k <= 0 || width <= 0)
        return {};
    QImage preview(k * width, k * height, QImage::Format_RGB888);
    preview.fill(Qt::black);
    const QImage source = strip.convertToFormat(QImage::Format_RGB888);
    for (int x = 0; x < width; ++x) {
        const int64_t column = int64_t{offset} + x;
        if (column < 0 || column >= source.width())
            continue;
        for (int y = 0; y < height; ++y) {
            const uchar *in = source.constScanLine(y) + column * 3;
            for (int dy = 0; dy < k; ++dy) {
                uchar *out = preview.scanLine(y * k + dy) + x * k * 3;
                for (int dx = 0; dx < k; ++dx, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
    return preview;
}
