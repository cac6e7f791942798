#include "core/GLM_FileNames.h"

#include "formats/LEC_FileIO.h"
#include "formats/LEC_GOB.h"

#include <filesystem>

std::string LowerFileExt(const std::string &name)
{
    const size_t dot = name.find_last_of('.');
    const size_t separator = name.find_last_of("\\:/");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    std::string ext = name.substr(dot);
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string ExtractFileName(const std::string &path)
{
    const size_t separator = path.find_last_of("\\:/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FileMessage(const std::string &path, const std::string &text)
{
    return ExtractFileName(path) + ": " + text;
}

TFileKind FileKindOf(const std::string &name)
{
    const std::string ext = LowerFileExt(name);
    if (ext == ".bm")
        return TFileKind::BM;
    if (ext == ".cmp")
        return TFileKind::CMP;
    if (ext == ".mat")
        return TFileKind::MAT;
    if (ext == ".sft")
        return TFileKind::SFT;
    return TFileKind::Unknown;
}

const char *FileKindName(TFileKind kind)
{
    switch (kind) {
    case TFileKind::BM: return "BM";
    case TFileKind::CMP: return "CMP";
    case TFileKind::MAT: return "MAT";
    case TFileKind::SFT: return "SFT";
    case TFileKind::Unknown: break;
    }
    return "";
}

bool FileExists(const std::string &name)
{
    if (name.empty())
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(Utf8Path(name), ec) || MemberPathExists(name);
}

bool IsContainerName(const std::string &name)
{
    const std::string ext = LowerFileExt(name);
    return ext == ".gob" || ext == ".goo";
}
