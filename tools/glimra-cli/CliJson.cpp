#include "CliJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string JsonQuote(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c; // UTF-8 passes through unchanged
            }
        }
    }
    return out + "\"";
}

void TJsonWriter::Separate()
{
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (!FFirst.empty()) {
        if (!FFirst.back())
            FText += ", ";
        FFirst.back() = false;
    }
}

TJsonWriter &TJsonWriter::BeginObject()
{
    Separate();
    FText += "{";
    FFirst.push_back(true);
    return *this;
}

TJsonWriter &TJsonWriter::EndObject()
{
    FText += "}";
    FFirst.pop_back();
    return *this;
}

TJsonWriter &TJsonWriter::BeginArray()
{
    Separate();
    FText += "[";
    FFirst.push_back(true);
    return *this;
}

TJsonWriter &TJsonWriter::EndArray()
{
    FText += "]";
    FFirst.pop_back();
    return *this;
}

TJsonWriter &TJsonWriter::Key(const std::string &key)
{
    Separate();
    FText += JsonQuote(key) + ": ";
    FAfterKey = true;
    return *this;
}

TJsonWriter &TJsonWriter::Value(const std::string &text)
{
    Separate();
    FText += JsonQuote(text);
    return *this;
}

TJsonWriter &TJsonWriter::Value(int64_t number)
{
    Separate();
    FText += std::to_string(number);
    return *this;
}

TJsonWriter &TJsonWriter::Value(bool flag)
{
    Separate();
    FText += flag ? "true" : "false";
    return *this;
}

TJsonWriter &TJsonWriter::Value(float number)
{
    Separate();
    if (!std::isfinite(number)) {
        FText += "null";
        return *this;
    }
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, number);
    FText.append(buf, ec == std::errc() ? end : buf);
    return *this;
}
