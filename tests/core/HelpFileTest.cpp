// Where Help looks: the data folder of an installed program and of the one in the build
// folder, and the order in which a help path is searched.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/GLM_HelpFile.h"

namespace fs = std::filesystem;

// Only the build folder's program reads the source tree (also through another spelling of its
// path); any other, even one installed on the machine that built it, reads share/glimra.
TEST(HelpFile, DataFolderOfInstalledAndBuildPrograms)
{
    const fs::path built = fs::path(GLIMRA_BUILD_PROGRAM_DIR) / "glimra";
    const fs::path docs = (fs::path(GLIMRA_SOURCE_DIR) / "docs").lexically_normal();
    EXPECT_EQ(fs::path(ProgramDataFolder(built.string())), docs);
    EXPECT_EQ(fs::path(ProgramDataFolder((built.parent_path() / "." / "glimra").string())), docs);
    EXPECT_EQ(ProgramDataFolder("/opt/glimra/bin/glimra"), "/opt/glimra/share/glimra");
    EXPECT_EQ(fs::path(ProgramDataFolder(GLIMRA_BUILD_PROGRAM_DIR "/install/bin/glimra")),
              fs::path(GLIMRA_BUILD_PROGRAM_DIR) / "install/share/glimra");
}

// The working directory, then the data folder, then (default path only) the manual; an
// absolute or empty path is never looked for elsewhere, and a folder is no help file.
TEST(HelpFile, SearchOrder)
{
    testutil::TempDir dir;
    const fs::path data = dir.Path / "data";
    const std::string manual = (data / "manual" / "index.html").string();
    fs::create_directories(data / "manual");
    EXPECT_EQ(FindHelpFile(DefaultHelpFile, data.string()), "");
    testutil::WriteFile(manual, {1});
    testutil::WriteFile((data / "Other.chm").string(), {1});
    const std::pair<std::string, std::string> cases[] = {
        {DefaultHelpFile, manual}, {"Other.chm", (data / "Other.chm").string()}, {"", ""},
        {(dir.Path / "Glimra.chm").string(), ""}, {"manual", ""}};
    for (const auto &[path, found] : cases)
        EXPECT_EQ(FindHelpFile(path, data.string()), found) << path;
    EXPECT_EQ(FindHelpFile(DefaultHelpFile, ""), "");
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path);
    testutil::WriteFile((dir.Path / "Other.chm").string(), {1});
    const std::string found = FindHelpFile("Other.chm", data.string());
    fs::current_path(previous);
    EXPECT_EQ(found, "Other.chm"); // the working directory's, as before
}
