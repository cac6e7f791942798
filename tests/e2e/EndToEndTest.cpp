// The real editor on a virtual X display: it must come up with its main window titled
// "Glimra", end through File > Exit, and leave its settings written behind it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "TestFiles.h"

namespace {

std::string ReadText(const std::filesystem::path &path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

} // namespace

// Guards the program as a whole: start-up order, the main window's caption, the File menu's
// Exit with its closing order, and settings saved on the way out.
TEST(EndToEnd, StartsShowsGlimraAndSavesSettingsOnFileExit)
{
    if (std::system("command -v xvfb-run > /dev/null") != 0)
        GTEST_SKIP() << "xvfb-run is not installed";
    testutil::TempDir home;
    const std::filesystem::path config = home.Path / "config", runtime = home.Path / "runtime";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string log = home.File("run.log");
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + home.Path.string() +
        "' XDG_CONFIG_HOME='" + config.string() + "' XDG_DATA_HOME='" + home.File("data") +
        "' XDG_RUNTIME_DIR='" + runtime.string() +
        "' xvfb-run -a -s '-screen 0 1280x1024x24' '" GLIMRA_XDRIVE "' '" GLIMRA_EXE "' > '" + log +
        "' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << ReadText(log);
    ASSERT_EQ(WEXITSTATUS(status), 0) << ReadText(log);

    const std::filesystem::path settings = config / "Orlend" / "Glimra.conf";
    ASSERT_TRUE(std::filesystem::exists(settings)) << ReadText(log);
    const std::string text = ReadText(settings);
    // First run: defaults and the window's own bounds are written at exit.
    for (const char *line : {"CycleRate=dword:5", "Maximized=dword:0", "Width=dword:",
                             "HelpFilePath=sz:Glimra.chm", "MATPalettePath=sz:Dflt"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing from\n" << text;
}
