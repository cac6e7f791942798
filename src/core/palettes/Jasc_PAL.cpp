#include "core/palettes/Jasc_PAL.h"

#include "core/GLM_FileNames.h"
#include "formats/GLM_IntegerText.h"
#include "formats/LEC_FileIO.h"

#include <cstdint>
#include <string_view>

namespace {

// Hands out a text's lines; a line ends at LF or CR LF. Past the end every line is empty.
class TLineReader
{
public:
    explicit TLineReader(std::string_view text) : FText(text) {}

    std::string_view Next()
    {
        if (FPos >= FText.size())
            return {};
        size_t end = FText.find('\n', FPos);
        if (end == std::string_view::npos)
            end = FText.size();
        std::string_view line = FText.substr(FPos, end - FPos);
        FPos = end + 1;
        if (!line.empty() && line.back() == '\r' && end < FText.size())
            line.remove_suffix(1);
        return line;
    }

private:
    std::string_view FText;
    size_t FPos = 0;
};

// A bad number is a failure of the palette file, reported with the conversion's own text.
int32_t StrToIntOrFail(std::string_view text)
{
    try {
        return StrToInt(std::string(text));
    } catch (const EConvertError &e) {
        throw EInOutError(EInOutError::Other, e.what());
    }
}

// Splits at the first space: the text before it, and the rest after it (empty when the
// line has no space).
std::string_view SplitFirst(std::string_view &rest)
{
    const size_t space = rest.find(' ');
    std::string_view head = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return head;
}

uint8_t LowByte(int32_t v)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFF);
}

} // namespace

void ReadJascPAL(const std::string &fileName, TPalette &palette)
{
    if (!FileExists(fileName))
        return;
    TFileReader file(fileName);
    const auto *bytes = reinterpret_cast<const char *>(file.Take(file.Size()));
    TLineReader lines(std::string_view(bytes, file.Size()));
    if (lines.Next() != "JASC-PAL" || lines.Next() != "0100" || lines.Next() != "256")
        return;
    for (TPaletteEntry &entry : palette) {
        std::string_view rest = lines.Next();
        const std::string_view red = SplitFirst(rest);
        const std::string_view green = SplitFirst(rest);
        // Converted in order, so the message names the first bad number.
        const int32_t r = StrToIntOrFail(red);
        const int32_t g = StrToIntOrFail(green);
        const int32_t b = StrToIntOrFail(rest);
        entry = {LowByte(r), LowByte(g), LowByte(b)};
    }
}

void WriteJascPAL(const std::string &fileName, const TPalette &palette)
{
    std::string text = "JASC-PAL\r\n0100\r\n256\r\n";
    for (const TPaletteEntry &e : palette)
        text += std::to_string(e.Red) + " " + std::to_string(e.Green) + " " +
                std::to_string(e.Blue) + "\r\n";
    SaveBytesAtomically(fileName, std::vector<uint8_t>(text.begin(), text.end()));
}
