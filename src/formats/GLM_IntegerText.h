#pragma once
// Strict conversion of text typed by the user into a 32-bit integer. A failure raises
// EConvertError with the standard message "'<text>' is not a valid integer value".

#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Optional leading blanks, an optional sign, then decimal digits only, within the range of a
// 32-bit signed integer.
int StrToInt(const std::string &text);
