#include "core/palettes/Gimp_GPL.h"

#include "formats/LEC_FileIO.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

std::string_view Trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// Reads one decimal channel 0..255 at the start of `s`, skipping blanks before it.
bool NextChannel(std::string_view &s, uint8_t &value)
{
    s = s.substr(std::min(s.size(), s.find_first_not_of(" \t")));
    int v = -1;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || v < 0 || v > 255)
        return false;
    s.remove_prefix(static_cast<size_t>(end - s.data()));
    // A number must end at a blank or the end of the line ("12abc" is not a channel).
    if (!s.empty() && s.front() != ' ' && s.front() != '\t')
        return false;
    value = static_cast<uint8_t>(v);
    return true;
}

EInOutError BadFile(const std::string &reason)
{
    return EInOutError(EInOutError::Other, reason);
}

} // namespace

void ReadGimpGPL(const std::string &path, TPalette &palette)
{
    TFileReader reader(path);
    const size_t size = reader.Size();
    const auto *bytes = reinterpret_cast<const char *>(reader.Take(size));
    std::string_view text(bytes, size);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    TPalette result{};
    int count = 0;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        const std::string_view line = Trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != "GIMP Palette")
                throw BadFile("Not a GIMP palette");
            continue;
        }
        if (line.empty() || line.front() == '#' || line.starts_with("Name:") ||
            line.starts_with("Columns:"))
            continue;
        std::string_view rest = line;
        TPaletteEntry entry;
        if (!NextChannel(rest, entry.Red) || !NextChannel(rest, entry.Green) ||
            !NextChannel(rest, entry.Blue))
            throw BadFile("Invalid colour on line " + std::to_string(lineNumber) +
                          " of GIMP palette");
        if (count < 256)
            result[count++] = entry;
    }
    if (lineNumber == 0)
        throw BadFile("Not a GIMP palette");
    palette = result;
}

void WriteGimpGPL(const std::string &path, const TPalette &palette, const std::string &name)
{
    std::string oneLine = name;
    for (char &c : oneLine)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::string text = "GIMP Palette\nName: " + oneLine + "\nColumns: 16\n#\n";
    char line[48];
    for (int i = 0; i < 256; ++i) {
        const TPaletteEntry &e = palette[i];
        std::snprintf(line, sizeof line, "%3d %3d %3d\tIndex %d\n", e.Red, e.Green, e.Blue, i);
        text += line;
    }
    SaveBytesAtomically(path, std::vector<uint8_t>(text.begin(), text.end()));
}
