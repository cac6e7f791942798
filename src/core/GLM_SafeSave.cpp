#include "core/GLM_SafeSave.h"

#include <filesystem>
#include <random>

#include "formats/LEC_FileIO.h"

namespace fs = std::filesystem;

namespace {

// A name beside `target` that no file has yet.
fs::path FreshSibling(const fs::path &target)
{
    std::random_device random;
    for (;;) {
        fs::path candidate = target;
        candidate += ".new" + std::to_string(random() % 1000000);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate;
    }
}

void RemoveQuietly(const fs::path &path)
{
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

std::string ChangeFileExt(const std::string &path, const std::string &extension)
{
    const size_t separator = path.find_last_of("\\:/");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return path + extension;
    return path.substr(0, dot) + extension;
}

void SaveWithBackup(const std::string &path, const std::string &backupExtension,
                    const std::function<void(const std::string &)> &write)
{
    std::error_code ec;
    fs::path target = Utf8Path(path);
    // Through a symbolic link the file it points to is saved and backed up.
    if (fs::is_symlink(target, ec))
        target = fs::canonical(target, ec);
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
    const fs::path fresh = FreshSibling(target);
    try {
        write(fresh.string());
    } catch (...) {
        RemoveQuietly(fresh);
        throw;
    }
    fs::permissions(fresh, old.permissions(), ec);

    // rename replaces an older backup in one step; the old document keeps its name until
    // then.
    const fs::path backup = Utf8Path(ChangeFileExt(target.string(), backupExtension));
    fs::rename(target, backup, ec);
    if (ec) {
        RemoveQuietly(fresh);
        throw EInOutError::FromErrno(ec.value());
    }
    fs::rename(fresh, target, ec);
    if (ec) {
        // Put the document back under its name; the new bytes are lost, the old are not.
        std::error_code ignored;
        fs::rename(backup, target, ignored);
        RemoveQuietly(fresh);
        throw EInOutError::FromErrno(ec.value());
    }
}
