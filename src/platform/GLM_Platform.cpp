#include "platform/GLM_Platform.h"

ESettingsTypeError::ESettingsTypeError(const std::string &valueName)
    : std::runtime_error("Invalid data type for '" + valueName + "'"), ValueName(valueName)
{
}

namespace {

std::string Trimmed(const std::string &s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string &s, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(separator, start);
        parts.push_back(s.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

std::vector<std::pair<std::string, std::vector<std::string>>>
ParseFileFilter(const std::string &filter)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> result;
    if (filter.empty())
        return result;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i < parts.size(); i += 2) {
        std::vector<std::string> patterns;
        if (i + 1 < parts.size())
            for (const std::string &p : Split(parts[i + 1], ';'))
                if (const std::string t = Trimmed(p); !t.empty())
                    patterns.push_back(t);
        result.emplace_back(parts[i], std::move(patterns));
    }
    return result;
}

const std::array<TAssociation, 5> &AssociationTable()
{
    static const std::array<TAssociation, 5> table = {{
        {".bm", "Glimra.BM", "BM File"},
        {".cmp", "Glimra.CMP", "CMP File"},
        {".mat", "Glimra.MAT", "MAT File"},
        {".sft", "Glimra.SFT", "SFT File"},
        {".gob", "Glimra.GOB", "GOB File", ".goo"}, // a level's .goo is the same format
    }};
    return table;
}
