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

#include <cstdlib>

namespace fuzz {

// Qt's readers warn on stderr about every odd header; thousands a second slow the fuzzer.
inline const bool QuietQt = [] {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return true;
}();

inline bool FitsFuzzerMemory(const std::vector<uint8_t> &bytes, int64_t maxPixels = 4096 * 4096)
{
    const auto header = ParseBitmapHeader(bytes);
    if (header && std::abs(int64_t{header->Width}) * std::abs(int64_t{header->Height}) > maxPixels)
        return false;
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return !size.isValid() || int64_t(size.width()) * size.height() <= maxPixels;
}

} // namespace fuzz
