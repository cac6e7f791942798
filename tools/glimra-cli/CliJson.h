#pragma once
// A small JSON writer that keeps keys in the order they are written, so that `info --json`
// lists them in a stable, readable order (kind first).

#include <cstdint>
#include <string>
#include <vector>

class TJsonWriter
{
public:
    TJsonWriter &BeginObject();
    TJsonWriter &EndObject();
    TJsonWriter &BeginArray();
    TJsonWriter &EndArray();
    TJsonWriter &Key(const std::string &key);
    TJsonWriter &Value(const std::string &text);
    TJsonWriter &Value(const char *text) { return Value(std::string(text)); }
    TJsonWriter &Value(int64_t number);
    TJsonWriter &Value(int number) { return Value(static_cast<int64_t>(number)); }
    TJsonWriter &Value(bool flag);
    // The shortest text that reads back as the same float; null for NaN and infinities,
    // which JSON cannot hold.
    TJsonWriter &Value(float number);

    const std::string &Text() const { return FText; }

private:
    void Separate();
    std::string FText;
    std::vector<bool> FFirst; // per open container: nothing written into it yet
    bool FAfterKey = false;
};

std::string JsonQuote(const std::string &text);
