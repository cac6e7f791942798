#pragma once
// Pictures under the fuzzer. The readers allow pictures up to MaxPictureSide on each side,
// which legitimately takes gigabytes; inputs that declare more than the fuzzer's memory
// limit can hold are skipped, so that a finding is always a fault.

#include "FuzzCommon.h"
#include "core/GLM_BitmapHeader.h"
#include "core/GLM_Bitmaps.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace fuzz {

// Qt's readers warn on stderr about every odd header; thousands a second slow the fuzzer.
inline const bool QuietQt = [] {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return true;
}();

constexpr int64_t MaxFuzzPixels = 4096 * 4096;

inline bool FitsFuzzerMemory(const std::vector<uint8_t> &bytes, int64_t maxPixels = MaxFuzzPixels)
{
    if (const auto header = ParseBitmapHeader(bytes)) {
        const int64_t w = header->Width < 0 ? -header->Width : header->Width;
        const int64_t h = header->Height < 0 ? -header->Height : header->Height;
        if (w * h > maxPixels)
            return false;
    }
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return !size.isValid() || int64_t(size.width()) * size.height() <= maxPixels;
}

// The picture's buffers hold exactly what its size says. A header may declare no pixels at
// all (a side of 0): the import's size rules judge such a picture, so it is read, empty.
inline void CheckPicture(const TBitmapPicture &p)
{
    const size_t pixels = size_t(p.Width) * size_t(p.Height);
    if (p.Width < 0 || p.Height < 0 || p.Width > MaxPictureSide || p.Height > MaxPictureSide ||
        p.RGB.size() != pixels * 3 || (!p.Indices.empty() && p.Indices.size() != pixels) ||
        p.ColorTable.size() > 256)
        Fail("a picture's buffers do not match its size");
}

} // namespace fuzz
