// Where Help looks: the data folder of an installed program and of the one in the build
// folder, and the order in which a help path is searched.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/GLM_HelpFile.h"

namespace fs = std::filesystem;

// Guards the two homes of the data: only the build folder's program reads the source tree
// (also when reached through another spelling of its path); any other program, including one
// installed on the machine that built it, reads share/glimra beside its bin folder.
TEST(HelpFile, DataFolderOfInstalledAndBuildPrograms)
{
    const fs::path built = fs::path(GLIMRA_BUILD_PROGRAM_DIR) / "glimra";
    EXPECT_EQ(fs::path(ProgramDataFolder(built.string())),
              (fs::path(GLIMRA_SOURCE_DIR) / "docs").lexically_normal());
    EXPECT_EQ(fs::path(ProgramDataFolder((built.parent_path() / "." / "glimra").string())),
              (fs::path(GLIMRA_SOURCE_DIR) / "docs").lexically_normal());
    EXPECT_EQ(ProgramDataFolder("/opt/glimra/bin/glimra"), "/opt/glimra/share/glimra");
    const fs::path besideBuild = fs::path(GLIMRA_BUILD_PROGRAM_DIR) / "install/bin/glimra";
    EXPECT_EQ(fs::path(ProgramDataFolder(besideBuild.string())),
              fs::path(GLIMRA_BUILD_PROGRAM_DIR) / "install/share/glimra");
}

// Guards the search: working directory, then data folder, then (default path only) the
// manual; an absolute or empty path is never looked for elsewhere.
TEST(HelpFile, SearchOrder)
{
    testutil::TempDir dir;
    const fs::path data = dir.Path / "data";
    const std::string manual = (data / "manual" / "index.html").string();
    fs::create_directories(data / "manual");
    EXPECT_EQ(FindHelpFile(DefaultHelpFile, data.string()), "");
    testutil::WriteFile(manual, {1});
    EXPECT_EQ(FindHelpFile(DefaultHelpFile, data.string()), manual);
    EXPECT_EQ(FindHelpFile("Other.chm", data.string()), "");
    EXPECT_EQ(FindHelpFile("", data.string()), "");
    EXPECT_EQ(FindHelpFile((dir.Path / "Glimra.chm").string(), data.string()), "");
    EXPECT_EQ(FindHelpFile(DefaultHelpFile, ""), "");

    testutil::WriteFile((data / "Other.chm").string(), {1});
    EXPECT_EQ(FindHelpFile("Other.chm", data.string()), (data / "Other.chm").string());
    EXPECT_EQ(FindHelpFile("manual", data.string()), ""); // a folder is no help file

    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path);
    testutil::WriteFile((dir.Path / "Other.chm").string(), {1});
    const std::string found = FindHelpFile("Other.chm", data.string());
    fs::current_path(previous);
    EXPECT_EQ(found, "Other.chm"); // the working directory's, as before
}
