#include "shell/GLM_DocumentFactory.h"

std::string DocumentExtension(const std::string &path)
{
    const size_t separator = path.find_last_of("/\\:");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    std::string extension = path.substr(dot);
    for (char &c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

std::optional<TDocumentKind> KindForExtension(const std::string &extension)
{
    if (extension == ".bm")
        return TDocumentKind::BM;
    if (extension == ".cmp")
        return TDocumentKind::CMP;
    if (extension == ".mat")
        return TDocumentKind::MAT;
    if (extension == ".sft")
        return TDocumentKind::SFT;
    return std::nullopt;
}

const char *KindName(TDocumentKind kind)
{
    switch (kind) {
    case TDocumentKind::BM:
        return "BM";
    case TDocumentKind::CMP:
        return "CMP";
    case TDocumentKind::MAT:
        return "MAT";
    case TDocumentKind::SFT:
        return "SFT";
    }
    return "";
}

TDocumentWindow *CreateDocumentWindow(TDocumentKind kind)
{
    switch (kind) {
    case TDocumentKind::BM:
    case TDocumentKind::CMP:
    case TDocumentKind::MAT:
    case TDocumentKind::SFT:
        break;
    }
    return nullptr;
}
