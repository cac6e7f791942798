#include "core/GLM_ExportNames.h"

#include "core/GLM_FileNames.h"
#include "core/GLM_Mipmaps.h"

#include <algorithm>

std::string ExportBaseName(const std::string &path)
{
    std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string MipmapLetter(int level)
{
    if (level < 1 || level > 4)
        return {};
    return std::string(1, static_cast<char>('A' + level - 1));
}

std::string BMFrameBitmapName(const std::string &base, int frame, const std::string &extension)
{
    return base + "-" + std::to_string(frame) + extension;
}

std::string MATLevelBitmapName(const std::string &base, int frame, int level,
                               const std::string &extension)
{
    const std::string letter = MipmapLetter(level);
    if (letter.empty())
        return BMFrameBitmapName(base, frame, extension);
    return base + "-" + std::to_string(frame) + "-" + letter + extension;
}

std::string SFTBitmapName(const std::string &base, const std::string &extension)
{
    return base + extension;
}

std::vector<TExportPicture> BMExportPictures(const TBM &bm, const std::string &base,
                                             const std::string &extension)
{
    std::vector<TExportPicture> list;
    const int count = std::min(bm.NumImages(), TBM::MaxImages);
    for (int f = 1; f <= count; ++f)
        list.push_back({BMFrameBitmapName(base, f, extension), f, 0});
    return list;
}

std::vector<TExportPicture> MATExportPictures(const TMAT &mat, const std::string &base,
                                              const std::string &extension)
{
    std::vector<TExportPicture> list;
    const int count = std::min(mat.NumRecords(), TMAT::MaxRecords);
    for (int f = 1; f <= count; ++f) {
        if (mat.Header.MatType == TMATHeader::ColorType) {
            list.push_back({MATLevelBitmapName(base, f, 0, extension), f, 0});
            continue;
        }
        if (mat.Header.MatType != TMATHeader::TextureType)
            break;
        // Game files may hold more levels than the editor makes; their letters go on after D
        // rather than leaving them out.
        const int levels = std::min(mat.TextureHeaders[f - 1].NumMipmaps, 26);
        for (int m = 1; m <= levels; ++m) {
            const TLevelSize size = MipmapLevelSize(mat.TextureHeaders[f - 1], m);
            if (size.Width < 1 || size.Height < 1)
                break; // an empty level has no picture
            const std::string letter(1, static_cast<char>('A' + m - 1));
            list.push_back({base + "-" + std::to_string(f) + "-" + letter + extension, f, m});
        }
    }
    return list;
}
