#pragma once
// Strict conversion of text typed by the user into a 32-bit integer. A failure raises
// EConvertError with the standard message "'<text>' is not a valid integer value".

#include <cstdint>
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Optional leading blanks, an optional sign, then decimal digits only, within the range of a
// 32-bit signed integer. The one integer parser: typed text and stored settings alike.
bool TryStrToInt(const std::string &text, int32_t &value);
// The same, raising EConvertError on failure.
int32_t StrToInt(const std::string &text);
