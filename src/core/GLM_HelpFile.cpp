#include "core/GLM_HelpFile.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A folder that does not exist comes back from weakly_canonical with its spelling ("app/."
// as "app/"), so the trailing separator is dropped before comparing.
fs::path CanonicalFolder(const fs::path &folder, std::error_code &ec)
{
    fs::path p = fs::weakly_canonical(folder, ec).lexically_normal();
    if (!p.has_filename() && p.has_relative_path())
        p = p.parent_path();
    return p;
}

bool SameFolder(const fs::path &a, const fs::path &b)
{
    std::error_code ea;
    std::error_code eb;
    const fs::path ca = CanonicalFolder(a, ea);
    const fs::path cb = CanonicalFolder(b, eb);
    return !ea && !eb && ca == cb;
}

} // namespace

std::string ProgramDataFolder(const std::string &programPath)
{
    std::error_code ec;
    fs::path program = fs::absolute(Utf8Path(programPath), ec);
    if (ec)
        program = Utf8Path(programPath);
    const fs::path folder = program.parent_path();
    // Only the build folder's own program reads the source tree; a copy installed anywhere
    // else never does, even on the machine that built it.
    if (SameFolder(folder, Utf8Path(GLIMRA_BUILD_PROGRAM_DIR)))
        return Utf8(Utf8Path(GLIMRA_SOURCE_DATA_DIR).lexically_normal());
    return Utf8((folder / Utf8Path(GLIMRA_DATA_FROM_PROGRAM)).lexically_normal());
}

std::string FindHelpFile(const std::string &helpFilePath, const std::string &dataFolder)
{
    if (FileExists(helpFilePath))
        return helpFilePath;
    if (helpFilePath.empty() || dataFolder.empty() || Utf8Path(helpFilePath).is_absolute())
        return {};
    const fs::path folder = Utf8Path(dataFolder);
    const std::string besideProgram = Utf8(folder / Utf8Path(helpFilePath));
    if (FileExists(besideProgram))
        return besideProgram;
    if (helpFilePath == DefaultHelpFile) {
        const std::string manual = Utf8(folder / "manual" / "index.html");
        if (FileExists(manual))
            return manual;
    }
    return {};
}
