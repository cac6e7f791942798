#include "core/documents/GLM_ImageDocument.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include "core/GLM_CommandTable.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_PaletteSource.h"
#include "core/palettes/GLM_Palettes.h"
#include "formats/LEC_FileIO.h"

namespace fs = std::filesystem;

void TImageViewState::ZoomIn()
{
    Zoom = std::min(Zoom + 1, MaxZoom);
}

void TImageViewState::ZoomOut()
{
    Zoom = std::max(Zoom - 1, 1);
}

void TImageViewState::PreviousFrame(int count)
{
    if (count < 1)
        return;
    CurrentFrame = CurrentFrame <= 1 || CurrentFrame > count ? count : CurrentFrame - 1;
}

void TImageViewState::NextFrame(int count)
{
    if (count < 1)
        return;
    CurrentFrame = CurrentFrame >= count || CurrentFrame < 1 ? 1 : CurrentFrame + 1;
}

void TImageViewState::FrameDeleted(int count)
{
    if (count < 1) {
        CurrentFrame = 0;
        Zoom = 1;
        return;
    }
    CurrentFrame = std::clamp(CurrentFrame, 1, count);
}

int TImageViewState::ShiftPartner(bool toPrevious, int count) const
{
    if (count < 2 || CurrentFrame < 1 || CurrentFrame > count)
        return 0;
    if (toPrevious)
        return CurrentFrame == 1 ? count : CurrentFrame - 1;
    return CurrentFrame == count ? 1 : CurrentFrame + 1;
}

void TImageViewState::Brighter()
{
    LightLevel = std::min(LightLevel + 1, PaletteViewLevel);
}

void TImageViewState::Darker()
{
    LightLevel = std::max(LightLevel - 1, 0);
}

std::string ColormapSource(const std::string &paletteName, const std::string &chosen)
{
    return FileKindOf(paletteName) == TFileKind::CMP ? paletteName : chosen;
}

std::string LightStatusText(int level, const std::string &colormap)
{
    const std::string shown = level >= PaletteViewLevel ? "Full" : std::to_string(level);
    return "Light: " + shown + " (" + ExtractFileName(colormap) + ")";
}

std::string UntitledName(int number, const std::string &extension)
{
    return "Untitled" + std::to_string(number) + extension;
}

std::string WindowCaption(const std::string &fileName, int zoom)
{
    return fileName + " [" + std::to_string(zoom) + ":1]";
}

std::string MainWindowCaption(const std::string &filePath, const std::string &fileName)
{
    return "Glimra - " + (filePath.empty() ? fileName : filePath);
}

TClientSize FrameClientSize(int width, int height, int zoom, int captionWidth)
{
    return {std::max({MinClientWidth, captionWidth, std::max(width, 0) * zoom}),
            std::max(MinClientHeight, std::max(height, 0) * zoom)};
}

TClientSize FirstRunWindowSize(int availableWidth, int availableHeight)
{
    return {std::min(1024, availableWidth), std::min(768, availableHeight)};
}

std::string ChangeFileExt(const std::string &path, const std::string &extension)
{
    const size_t separator = path.find_last_of("\\/:");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return path + extension;
    return path.substr(0, dot) + extension;
}

namespace {

fs::path NewSibling(const fs::path &target)
{
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate =
            target.parent_path() / Utf8Path("." + target.filename().string() + ".new-" +
                                            std::to_string(rng() % 1000000000));
        std::error_code ec;
        if (!fs::exists(candidate, ec))
            return candidate;
    }
    throw EInOutError(EInOutError::AccessDenied);
}

void Remove(const fs::path &path)
{
    std::error_code ignored;
    fs::remove(path, ignored);
}

} // namespace

void SaveWithBackup(const std::string &path, const std::string &backupExtension,
                    const std::function<void(const std::string &)> &write)
{
    std::error_code ec;
    fs::path target = Utf8Path(path);
    // Through a symbolic link the file it points to is saved and backed up.
    if (fs::is_symlink(target, ec))
        target = fs::weakly_canonical(target, ec);
    const fs::file_status old = fs::status(target, ec);
    if (backupExtension.empty() || ec || !fs::is_regular_file(old)) {
        write(path);
        return;
    }
    // A file nobody may write is refused, as writing over it directly would be.
    constexpr auto writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((old.permissions() & writable) == fs::perms::none)
        throw EInOutError(EInOutError::AccessDenied);

    if (target.parent_path().empty())
        target = fs::path(".") / target;
    const fs::path fresh = NewSibling(target);
    try {
        write(fresh.string());
    } catch (...) {
        Remove(fresh);
        throw;
    }
    fs::permissions(fresh, old.permissions(), ec);

    const fs::path backup = Utf8Path(ChangeFileExt(target.string(), backupExtension));
    fs::rename(target, backup, ec);
    if (ec) {
        Remove(fresh);
        throw EInOutError::FromErrno(ec.value());
    }
    fs::rename(fresh, target, ec);
    if (ec) {
        // Put the document back under its name; the new bytes are lost, the old are not.
        std::error_code ignored;
        fs::rename(backup, target, ignored);
        Remove(fresh);
        throw EInOutError::FromErrno(ec.value());
    }
}

TDisplayPalette ResolveDisplayPalette(const std::string &wanted, const std::string &fallback)
{
    TDisplayPalette result;
    const auto fallBack = [&](std::optional<std::string> problem) {
        result.Name = fallback;
        LoadPalette(fallback, result.Palette);
        result.Problem = std::move(problem);
        return result;
    };
    if (wanted == "Dflt" || wanted == "Uicolormap") {
        result.Name = wanted;
        LoadPalette(wanted, result.Palette);
        return result;
    }
    if (wanted.empty() || wanted == "Internal")
        return fallBack(std::nullopt);
    const auto problem = [&](const std::string &reason) {
        return "The display palette " + wanted + " cannot be read (" + reason + "); " + fallback +
               " is shown instead.";
    };
    if (!FileExists(wanted))
        return fallBack(problem(EInOutError::StandardText(EInOutError::FileNotFound)));
    try {
        if (!IsValidPalette(wanted))
            return fallBack(problem("No palette in this file"));
        result.Palette = LoadPaletteSource(wanted);
    } catch (const std::exception &e) {
        return fallBack(problem(e.what()));
    }
    result.Name = wanted;
    return result;
}
