// The real editor on a virtual X display: it must come up with its main window titled
// "Glimra", end through File > Exit, and leave its settings written behind it; given a BM
// on the command line, it shows it, titled after the file, and leaves a screenshot of it.

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

// Runs glimra_xdrive with `arguments` (its options, then the editor and its arguments) under
// xvfb-run with a home of its own; the exit status, or -1.
class TXRun
{
public:
    TXRun()
    {
        std::filesystem::create_directories(Config);
        std::filesystem::create_directories(Runtime);
        std::filesystem::permissions(Runtime, std::filesystem::perms::owner_all);
    }
    int Run(const std::string &arguments)
    {
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + Home.Path.string() +
            "' XDG_CONFIG_HOME='" + Config.string() + "' XDG_DATA_HOME='" + Home.File("data") +
            "' XDG_RUNTIME_DIR='" + Runtime.string() +
            "' xvfb-run -a -s '-screen 0 1280x1024x24' '" GLIMRA_XDRIVE "' " + arguments +
            " > '" + Log + "' 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output() const { return ReadText(Log); }

    static bool Available() { return std::system("command -v xvfb-run > /dev/null") == 0; }

    testutil::TempDir Home;
    const std::filesystem::path Config = Home.Path / "config", Runtime = Home.Path / "runtime";
    const std::string Log = Home.File("run.log");
};

} // namespace

// Guards the program as a whole: start-up order, the main window's caption, the File menu's
// Exit with its closing order, and settings saved on the way out.
TEST(EndToEnd, StartsShowsGlimraAndSavesSettingsOnFileExit)
{
    if (!TXRun::Available())
        GTEST_SKIP() << "xvfb-run is not installed";
    TXRun x;
    ASSERT_EQ(x.Run("'" GLIMRA_EXE "'"), 0) << x.Output();

    const std::filesystem::path settings = x.Config / "Orlend" / "Glimra.conf";
    ASSERT_TRUE(std::filesystem::exists(settings)) << x.Output();
    const std::string text = ReadText(settings);
    // First run: defaults and the window's own bounds are written at exit.
    for (const char *line : {"CycleRate=dword:5", "Maximized=dword:0", "Width=dword:",
                             "HelpFilePath=sz:Glimra.chm", "MATPalettePath=sz:Dflt"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing from\n" << text;
}

// Guards opening from the command line through the registered BM window: the main window
// takes the file's path as its title, and the picture of it is kept for people to look at.
TEST(EndToEnd, OpensASampleBMFromTheCommandLine)
{
    if (!TXRun::Available())
        GTEST_SKIP() << "xvfb-run is not installed";
    const std::string sample = GLIMRA_SAMPLES "/sample8.bm";
    const std::string screenshot = GLIMRA_SCREENSHOTS "/sample8-window.bmp";
    std::filesystem::remove(screenshot);
    TXRun x;
    ASSERT_EQ(x.Run("--title 'Glimra - " + sample + "' --screenshot '" + screenshot + "' '" +
                    GLIMRA_EXE + "' '" + sample + "'"),
              0)
        << x.Output();
    const std::vector<uint8_t> picture = testutil::ReadFile(screenshot);
    ASSERT_GT(picture.size(), 54u);
    EXPECT_EQ(picture[0], 'B');
    EXPECT_EQ(picture[1], 'M');
}
