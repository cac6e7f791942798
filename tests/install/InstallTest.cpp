// The installed desktop files as the desktop's own tools read them, and the link checker CI
// runs over the installed manual.

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
    testutil::WriteFile(path.string(), std::vector<uint8_t>(text.begin(), text.end()));
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
         {std::array<std::string, 3>{"bm", "X.BM", "sample8.bm"},
          {"mat", "X.MAT", "texture8.mat"},
          {"cmp", "X.CMP", "colormap.cmp"},
          {"sft", "X.SFT", "font8.sft"}}) {
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

// A sound manual passes; each kind of broken link (missing page or picture, missing anchor, a
// style sheet's picture, a link out of the manual's folder) fails with its line named,
// external links untouched.
TEST(ManualLinkChecker, FindsEveryBrokenLinkAndOnlyThose)
{
    testutil::TempDir dir;
    const fs::path manual = dir.Path / "manual";
    fs::create_directories(manual / "images");
    fs::create_directories(manual / "part");
    Write(manual / "images/main.png", "png");
    Write(manual / "style.css", "body { background: url('images/main.png'); }\n");
    Write(manual / "index.html",
          "<html><head><link rel=\"stylesheet\" href=\"style.css\"></head>\n"
          "<body><h1 id=\"top\">Glimra</h1><a href=\"#top\">top</a>\n"
          "<a href=\"part/\">part</a> <a href=\"part/index.html#mat%20rules\">m</a>\n"
          "<img src=\"images/main.png\" alt=\"\"><a href=\"https://x.invalid/\">x</a>\n"
          "</body></html>\n");
    Write(manual / "part/index.html",
          "<p id=\"mat rules\">MAT</p><a href=\"../index.html#top\">up</a>\n"
          "<img src='../images/main.png'>\n");
    const QStringList args = {QString::fromUtf8(GLIMRA_LINK_CHECKER), Q(manual)};
    const auto [code, out, err] = RunTool("python3", args);
    EXPECT_EQ(code, 0) << err;
    EXPECT_NE(out.find("external (not followed): index.html:4: https://x.invalid/"),
              std::string::npos)
        << out;

    Write(manual / "part/index.html",
          "<p id=\"mat rules\">MAT</p><a href=\"../index.html#gone\">up</a>\n"
          "<img src='../images/gone.png'>\n<a href=\"missing.html\">m</a>\n"
          "<a href=\"../../outside.html\">o</a>\n");
    Write(manual / "style.css", "h1 { background: url(images/gone.png) }\n");
    Write(dir.Path / "outside.html", "x");
    const auto [brokenCode, brokenOut, brokenErr] = RunTool("python3", args);
    EXPECT_EQ(brokenCode, 1);
    for (const char *line : {"part/index.html:1: ../index.html#gone: no such anchor",
                             "part/index.html:2: ../images/gone.png: no such file",
                             "part/index.html:3: missing.html: no such file",
                             "part/index.html:4: ../../outside.html: outside the manual",
                             "style.css:1: images/gone.png: no such file"})
        EXPECT_NE(brokenErr.find(line), std::string::npos) << line << "\n" << brokenErr;
    EXPECT_NE(brokenOut.find("5 broken"), std::string::npos) << brokenOut;
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
