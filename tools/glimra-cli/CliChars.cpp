#include "CliChars.h"

#include "CliArgs.h"

#include <charconv>
#include <climits>
#include <stdexcept>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the one form a character table takes: whitespace, brackets, commas and integers.
class TTableParser
{
public:
    explicit TTableParser(const std::string &text) : FText(text) {}

    std::vector<TSFTCharDef> Parse()
    {
        std::vector<TSFTCharDef> chars;
        Expect('[');
        if (!Accept(']')) {
            do
                chars.push_back(Entry());
            while (Accept(','));
            Expect(']');
        }
        SkipSpace();
        if (FPos != FText.size())
            Fail();
        return chars;
    }

private:
    TSFTCharDef Entry()
    {
        Expect('[');
        const long long code = Number();
        Expect(',');
        const long long offset = Number();
        Expect(',');
        const long long width = Number();
        Expect(']');
        if (code < 0 || code > 0xFFFF)
            throw std::runtime_error("Character code " + std::to_string(code) +
                                     " is not from 0 to 65535");
        return {static_cast<uint16_t>(code), static_cast<int32_t>(offset),
                static_cast<int32_t>(width)};
    }

    long long Number()
    {
        SkipSpace();
        const size_t start = FPos;
        long long value = 0;
        const char *begin = FText.data() + FPos, *end = FText.data() + FText.size();
        const auto [ptr, ec] = std::from_chars(begin, end, value);
        // from_chars takes no '+', so only JSON's own integers pass; no fractions follow.
        if (ptr == begin || (ptr != end && (*ptr == '.' || *ptr == 'e' || *ptr == 'E')))
            Fail();
        FPos += static_cast<size_t>(ptr - begin);
        if (ec != std::errc() || value < INT32_MIN || value > INT32_MAX)
            throw std::runtime_error("Number at byte " + std::to_string(start + 1) +
                                     " is out of range");
        return value;
    }

    void SkipSpace()
    {
        while (FPos < FText.size() && IsSpace(FText[FPos]))
            ++FPos;
    }

    bool Accept(char c)
    {
        SkipSpace();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }

    void Expect(char c)
    {
        if (!Accept(c))
            Fail();
    }

    [[noreturn]] void Fail() const
    {
        const std::string where = FPos < FText.size()
                                      ? "unexpected '" + std::string(1, FText[FPos]) +
                                            "' at byte " + std::to_string(FPos + 1)
                                      : "unexpected end";
        throw std::runtime_error("Not a character table [[code, offset, width], ...]: " + where);
    }

    const std::string &FText;
    size_t FPos = 0;
};

} // namespace

TCharsOption ParseCharsOption(const std::string &value)
{
    const size_t dash = value.find('-', 1);
    const auto digits = [](const std::string &s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    TCharsOption option;
    if (dash == std::string::npos || !digits(value.substr(0, dash)) ||
        !digits(value.substr(dash + 1))) {
        option.TablePath = value;
        return option;
    }
    const long long first = ParseInteger(value.substr(0, dash), "FIRST of --chars", 0, 0xFFFF);
    const long long last = ParseInteger(value.substr(dash + 1), "LAST of --chars", first, 0xFFFF);
    option.First = static_cast<uint16_t>(first);
    option.Last = static_cast<uint16_t>(last);
    return option;
}

std::vector<TSFTCharDef> EqualWidthChars(uint16_t first, uint16_t last, int32_t stripWidth)
{
    const int32_t count = int32_t{last} - int32_t{first} + 1;
    if (count < 1 || stripWidth < count || stripWidth % count != 0)
        throw std::runtime_error("The strip is " + std::to_string(stripWidth) +
                                 " pixels wide, which does not divide into " +
                                 std::to_string(count) + " characters of equal width");
    const int32_t width = stripWidth / count;
    std::vector<TSFTCharDef> chars;
    for (int32_t i = 0; i < count; ++i)
        chars.push_back({static_cast<uint16_t>(first + i), i * width, width});
    return chars;
}

std::vector<TSFTCharDef> ParseCharTable(const std::string &text)
{
    return TTableParser(text).Parse();
}

void CheckCharsInStrip(const std::vector<TSFTCharDef> &chars, int32_t stripWidth)
{
    for (const TSFTCharDef &c : chars)
        if (c.Offset < 0 || c.Width < 0 || int64_t{c.Offset} + c.Width > stripWidth)
            throw std::runtime_error("Character " + std::to_string(c.Code) + " at " +
                                     std::to_string(c.Offset) + ", " + std::to_string(c.Width) +
                                     " pixels wide, lies outside the " +
                                     std::to_string(stripWidth) + "-pixel strip");
}
