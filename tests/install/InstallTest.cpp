// The installed desktop files as the desktop's own tools read them.

#include <array>
#include <filesystem>
#include <string>

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// The exit code (-1: missing, hung or crashed), standard output trimmed, standard error.
std::tuple<int, std::string, std::string>
RunTool(const QString &program, const QStringList &args,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    const bool done =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {done ? process.exitCode() : -1, process.readAllStandardOutput().trimmed().toStdString(),
            process.readAllStandardError().toStdString()};
}

const auto Q = [](const fs::path &p) { return QString::fromStdString(p.string()); };

void Write(const fs::path &path, const std::string &text)
{
    testutil::WriteFile(path.string(), testutil::Text(text));
}

} // namespace

// The MIME package: a file of each kind is Glimra's type by its extension in any case, even
// when the content says otherwise, and by its first four bytes when the name has none,
// without taking a Windows bitmap that happens to start the same way.
TEST(InstalledMimeTypes, DesktopToolsKnowEveryKind)
{
    testutil::TempDir dir; // the tools come from xdg-utils and shared-mime-info
    const fs::path data = dir.Path / "data";
    fs::create_directories(data / "mime" / "packages");
    fs::copy_file(GLIMRA_MIME_PACKAGE, data / "mime" / "packages" / "glimra.xml");
    ASSERT_EQ(std::get<0>(RunTool("update-mime-database", {Q(data / "mime")})), 0);
    // The generic lookup, as on a desktop xdg-mime does not know by name.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                             "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID"})
        env.remove(name);
    env.insert("XDG_DATA_HOME", Q(data));
    const auto typeOf = [&](const fs::path &file) {
        const auto [code, out, err] = RunTool("xdg-mime", {"query", "filetype", Q(file)}, env);
        return code == 0 ? out : "exit " + std::to_string(code) + " " + err;
    };
    for (const auto &[kind, upper, sample] :
         {std::array<std::string, 3>{"bm", "X.BM", "sample8.bm"}, {"mat", "X.MAT", "texture8.mat"},
          {"cmp", "X.CMP", "colormap.cmp"}, {"sft", "X.SFT", "font8.sft"},
          {"gob", "X.GOB", "sample.gob"}}) {
        fs::copy_file(fs::path(GLIMRA_SAMPLES_DIR) / sample, dir.Path / upper);
        fs::copy_file(dir.Path / upper, dir.Path / kind); // no extension: the signature decides
        Write(dir.Path / ("blank." + kind), "01234567");  // the extension alone decides
        for (const std::string &name : {upper, kind, "blank." + kind})
            EXPECT_EQ(typeOf(dir.Path / name), "application/x-glimra-" + kind) << name;
    }
    // A Windows bitmap of 8224 bytes also starts with "BM  "; it stays a Windows bitmap.
    Write(dir.Path / "winbitmap",
          std::string("BM  \0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30));
    EXPECT_EQ(typeOf(dir.Path / "winbitmap"), "image/bmp");
}

// --version and --help answer on standard output and exit before any window exists: with no
// display to connect to, reaching QApplication would abort.
TEST(InstalledEditor, AnswersVersionAndHelpWithoutAWindow)
{
    QProcessEnvironment env;
    env.insert("QT_QPA_PLATFORM", "xcb");
    for (const auto &[argument, output] : {std::pair{"--version", "Glimra " GLIMRA_PROJECT_VERSION},
                                           {"--help", "Usage: glimra [FILE]"}}) {
        const auto [code, out, err] = RunTool(GLIMRA_EDITOR, {argument}, env);
        EXPECT_EQ(std::to_string(code) + " " + out.substr(0, out.find('\n')),
                  "0 " + std::string(output))
            << err;
    }
}
