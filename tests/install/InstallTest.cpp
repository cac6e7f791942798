// The installed desktop files as the desktop's own tools read them, and the link checker CI
// runs over the installed manual.

#include <filesystem>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

struct TRun
{
    int Code = -1;
    std::string Out;
    std::string Err;
};

TRun RunTool(const QString &program, const QStringList &args,
             const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    TRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.Code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.Out = process.readAllStandardOutput().trimmed().toStdString();
    run.Err = process.readAllStandardError().toStdString();
    return run;
}

QString Q(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

} // namespace

// Guards the MIME package the install puts into share/mime/packages: the desktop's own
// lookup gives Glimra's type for a file of each kind, by its extension in any case even when
// the content says otherwise, and by its first four bytes when the name has no extension,
// without taking a Windows bitmap that happens to start the same way.
TEST(InstalledMimeTypes, DesktopToolsKnowEveryKind)
{
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    const QString update = QStandardPaths::findExecutable("update-mime-database");
    if (xdgMime.isEmpty() || update.isEmpty())
        GTEST_SKIP() << "xdg-mime or update-mime-database missing (packages xdg-utils and "
                        "shared-mime-info)";
    testutil::TempDir dir;
    const fs::path data = dir.Path / "data";
    fs::create_directories(data / "mime" / "packages");
    fs::copy_file(GLIMRA_MIME_PACKAGE, data / "mime" / "packages" / "glimra.xml");
    ASSERT_EQ(RunTool(update, {Q(data / "mime")}).Code, 0);

    // The generic lookup, as on a desktop xdg-mime does not know by name.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                             "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID"})
        env.remove(name);
    env.insert("XDG_DATA_HOME", Q(data));
    const auto typeOf = [&](const fs::path &file) {
        const TRun run = RunTool(xdgMime, {"query", "filetype", Q(file)}, env);
        return run.Code == 0 ? run.Out : "exit " + std::to_string(run.Code) + " " + run.Err;
    };

    const fs::path samples = GLIMRA_SAMPLES_DIR;
    const struct
    {
        const char *Sample;
        const char *Type;
    } kinds[] = {{"sample8.bm", "application/x-glimra-bm"},
                 {"texture8.mat", "application/x-glimra-mat"},
                 {"colormap.cmp", "application/x-glimra-cmp"},
                 {"font8.sft", "application/x-glimra-sft"}};
    for (const auto &kind : kinds) {
        const fs::path sample = samples / kind.Sample;
        EXPECT_EQ(typeOf(sample), kind.Type) << kind.Sample;
        std::string upper = fs::path(kind.Sample).stem().string();
        for (char c : fs::path(kind.Sample).extension().string())
            upper += char(std::toupper(static_cast<unsigned char>(c)));
        fs::copy_file(sample, dir.Path / upper);
        EXPECT_EQ(typeOf(dir.Path / upper), kind.Type) << upper;
        // The extension decides: no signature needed, as the readers need none.
        const fs::path blank = dir.Path / ("blank" + fs::path(kind.Sample).extension().string());
        testutil::WriteFile(blank.string(), {0, 1, 2, 3, 4, 5, 6, 7});
        EXPECT_EQ(typeOf(blank), kind.Type) << blank;
        // No extension: the signature is enough.
        const fs::path bare = dir.Path / fs::path(kind.Sample).stem();
        fs::copy_file(sample, bare);
        EXPECT_EQ(typeOf(bare), kind.Type) << bare;
    }
    // A Windows bitmap of 8224 bytes also starts with "BM  "; it stays a Windows bitmap.
    const fs::path windows = dir.Path / "winbitmap";
    testutil::WriteFile(windows.string(),
                        {'B', 'M', 0x20, 0x20, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                         0,   0,   0,    1,    0, 0, 0, 1, 0, 0, 0,  1, 0, 24, 0});
    EXPECT_EQ(typeOf(windows), "image/bmp");
}

// Guards the link checker CI runs over the installed manual: a sound manual passes, and each
// kind of broken link (missing page or picture, missing anchor, a style sheet's picture, a
// link out of the manual's folder) fails with its line named, external links untouched.
TEST(ManualLinkChecker, FindsEveryBrokenLinkAndOnlyThose)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "python3 missing";
    testutil::TempDir dir;
    const fs::path manual = dir.Path / "manual";
    fs::create_directories(manual / "images");
    fs::create_directories(manual / "part");
    const auto write = [&](const fs::path &name, const std::string &text) {
        testutil::WriteFile((manual / name).string(),
                            std::vector<uint8_t>(text.begin(), text.end()));
    };
    write("images/main.png", "png");
    write("style.css", "body { background: url('images/main.png'); }\n");
    write("index.html",
          "<html><head><link rel=\"stylesheet\" href=\"style.css\"></head>\n"
          "<body><h1 id=\"top\">Glimra</h1><a href=\"#top\">top</a>\n"
          "<a href=\"part/\">part</a> <a href=\"part/index.html#mat%20rules\">m</a>\n"
          "<img src=\"images/main.png\" alt=\"\"><a href=\"https://x.invalid/\">x</a>\n"
          "</body></html>\n");
    write("part/index.html", "<p id=\"mat rules\">MAT</p><a href=\"../index.html#top\">up</a>\n"
                             "<img src='../images/main.png'>\n");
    const QStringList args = {QString::fromUtf8(GLIMRA_LINK_CHECKER), Q(manual)};
    const TRun sound = RunTool(python, args);
    EXPECT_EQ(sound.Code, 0) << sound.Err;
    EXPECT_NE(sound.Out.find("external (not followed): index.html:4: https://x.invalid/"),
              std::string::npos)
        << sound.Out;

    write("part/index.html", "<p id=\"mat rules\">MAT</p><a href=\"../index.html#gone\">up</a>\n"
                             "<img src='../images/gone.png'>\n<a href=\"missing.html\">m</a>\n"
                             "<a href=\"../../outside.html\">o</a>\n");
    write("style.css", "h1 { background: url(images/gone.png) }\n");
    testutil::WriteFile((dir.Path / "outside.html").string(), {'x'});
    const TRun broken = RunTool(python, args);
    EXPECT_EQ(broken.Code, 1);
    for (const char *line : {"part/index.html:1: ../index.html#gone: no such anchor",
                             "part/index.html:2: ../images/gone.png: no such file",
                             "part/index.html:3: missing.html: no such file",
                             "part/index.html:4: ../../outside.html: outside the manual",
                             "style.css:1: images/gone.png: no such file"})
        EXPECT_NE(broken.Err.find(line), std::string::npos) << line << "\n" << broken.Err;
    EXPECT_NE(broken.Out.find("5 broken"), std::string::npos) << broken.Out;
}
