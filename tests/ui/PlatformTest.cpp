// The platform layer: file filters on their way to Qt, and file associations written into a
// temporary XDG data and config folder.
#include <filesystem>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "GLM_TestPlatform.h"

namespace {

namespace fs = std::filesystem;

std::string Text(const std::string &path)
{
    const std::vector<uint8_t> bytes = testutil::ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void PutText(const std::string &path, const std::string &text)
{
    fs::create_directories(fs::path(path).parent_path());
    testutil::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

class XdgAssociationsTest : public ::testing::Test
{
protected:
    std::string Data() const { return (Dir.Path / "data").string(); }
    std::string Config() const { return (Dir.Path / "config").string(); }
    std::string MimeApps() const { return Config() + "/mimeapps.list"; }
    std::string Entry(const std::string &id) const { return Data() + "/applications/" + id; }
    std::string Package(const char *ext) const { return Data() + "/mime/packages/glimra-" + ext; }

    testutil::TempDir Dir;
    TTestShell Shell;
    TXdgAssociations Assoc{Shell, Data(), Config(), false};
};

} // namespace

// Guards the filter text of the Open dialog on its way to Qt: descriptions and patterns split
// at the bars, and Qt taking the patterns from the last parentheses with "*.*" as every file.
TEST(Platform, FileFiltersSplitAndReachQt)
{
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Odd").at(0).second.empty());
    EXPECT_EQ(TQtFileDialogs::NameFilters(
                  "All Supported Files|*.bm; *.cmp|BM Graphics (*.bm)|*.bm|All Files (*.*)|*.*"),
              (QStringList{"All Supported Files (*.bm *.cmp)", "BM Graphics (*.bm) (*.bm)",
                           "All Files (*.*) (*)"}));
}

// Guards the written files (MIME package, desktop entry with a program path that needs
// quoting, default handler) and that IsAssociated reads back exactly what Associate writes.
TEST_F(XdgAssociationsTest, AssociateWritesWhatIsAssociatedReadsBack)
{
    Shell.Program = "/home/me/my tools/glimra";
    for (const TAssociation &a : AssociationTable()) {
        EXPECT_FALSE(Assoc.IsAssociated(a.Extension));
        ASSERT_TRUE(Assoc.Associate(a.Extension, a.Identifier, a.Description));
        EXPECT_TRUE(Assoc.IsAssociated(a.Extension)) << a.Extension;
    }
    EXPECT_FALSE(Assoc.IsAssociated(".BM")); // compared exactly, case included
    EXPECT_FALSE(Assoc.IsAssociated(".txt"));

    EXPECT_EQ(Text(Entry("Glimra.SFT.desktop")),
              "[Desktop Entry]\nType=Application\nName=Glimra\nComment=SFT File\n"
              "Exec=\"/home/me/my tools/glimra\" %f\nMimeType=application/x-glimra-sft;\n"
              "NoDisplay=true\nTerminal=false\n");
    const std::string package = Text(Package("bm.xml"));
    for (const char *part : {"<mime-type type=\"application/x-glimra-bm\">",
                             "<comment>BM File</comment>", "<glob pattern=\"*.bm\""})
        EXPECT_NE(package.find(part), std::string::npos) << part;
    EXPECT_EQ(Text(MimeApps()), "[Default Applications]\n"
                                "application/x-glimra-bm=Glimra.BM.desktop\n"
                                "application/x-glimra-cmp=Glimra.CMP.desktop\n"
                                "application/x-glimra-mat=Glimra.MAT.desktop\n"
                                "application/x-glimra-sft=Glimra.SFT.desktop\n");
}

// Guards the user's own file: a round trip adds our line and takes it out again byte for
// byte, and unassociating a type another program owns removes only a leftover entry of ours.
TEST_F(XdgAssociationsTest, RoundTripLeavesForeignAssociationsAlone)
{
    const std::string foreign = "# the user's own choices\n"
                                "[Added Associations]\n"
                                "text/plain=org.gnome.gedit.desktop;\n"
                                "\n"
                                "[Default Applications]\n"
                                "application/x-matlab-data=matlab.desktop\n"
                                "image/png=org.gnome.eog.desktop;\n";
    PutText(MimeApps(), foreign);
    PutText(Entry("matlab.desktop"), "[Desktop Entry]\nExec=matlab %f\n");
    ASSERT_TRUE(Assoc.Associate(".bm", "Glimra.BM", "BM File"));
    EXPECT_TRUE(Assoc.IsAssociated(".bm"));
    EXPECT_EQ(Text(MimeApps()), foreign + "application/x-glimra-bm=Glimra.BM.desktop\n");

    PutText(Entry("Glimra.MAT.desktop"), "[Desktop Entry]\n");
    ASSERT_TRUE(Assoc.Unassociate(".mat", "Glimra.MAT"));
    EXPECT_FALSE(fs::exists(Entry("Glimra.MAT.desktop")));
    EXPECT_TRUE(fs::exists(Entry("matlab.desktop")));

    ASSERT_TRUE(Assoc.Unassociate(".bm", "Glimra.BM"));
    EXPECT_FALSE(Assoc.IsAssociated(".bm"));
    EXPECT_FALSE(fs::exists(Entry("Glimra.BM.desktop")));
    EXPECT_FALSE(fs::exists(Package("bm.xml")));
    EXPECT_EQ(Text(MimeApps()), foreign);
}

// Guards our types after the user chose other programs for them in the file manager: a type
// handed over entirely is not ours any more and keeps its MIME package; other handlers
// listed after ours stay when ours goes.
TEST_F(XdgAssociationsTest, OtherHandlersOfOurTypesStay)
{
    ASSERT_TRUE(Assoc.Associate(".mat", "Glimra.MAT", "MAT File"));
    ASSERT_TRUE(Assoc.Associate(".cmp", "Glimra.CMP", "CMP File"));
    PutText(MimeApps(), "[Default Applications]\napplication/x-glimra-mat=gimp.desktop\n"
                        "application/x-glimra-cmp=Glimra.CMP.desktop;other.desktop;\n");
    EXPECT_FALSE(Assoc.IsAssociated(".mat"));
    EXPECT_TRUE(Assoc.IsAssociated(".cmp"));
    ASSERT_TRUE(Assoc.Unassociate(".mat", "Glimra.MAT"));
    ASSERT_TRUE(Assoc.Unassociate(".cmp", "Glimra.CMP"));
    EXPECT_EQ(Text(MimeApps()), "[Default Applications]\napplication/x-glimra-mat=gimp.desktop\n"
                                "application/x-glimra-cmp=other.desktop;\n");
    EXPECT_TRUE(fs::exists(Package("mat.xml"))); // gimp's choice still needs it
    EXPECT_FALSE(fs::exists(Entry("Glimra.MAT.desktop")));
}

// Guards the Exec line against program paths with spaces, dollars and percent signs, and
// that a write that fails is reported as a failure.
TEST_F(XdgAssociationsTest, ExecQuotingAndFailedWrites)
{
    EXPECT_EQ(TXdgAssociations::ExecLine("/opt/glimra/glimra"), "/opt/glimra/glimra");
    EXPECT_EQ(TXdgAssociations::ExecLine("/home/me/my tools/glimra"),
              "\"/home/me/my tools/glimra\"");
    // $ is escaped inside the quotes, and the backslash once more for the key file.
    EXPECT_EQ(TXdgAssociations::ExecLine("/a$b/glimra"), "\"/a\\\\$b/glimra\"");
    EXPECT_EQ(TXdgAssociations::ExecLine("/100%/glimra"), "/100%%/glimra");
    PutText(Config(), "a file where the config folder should be");
    EXPECT_FALSE(Assoc.Associate(".cmp", "Glimra.CMP", "CMP File"));
    EXPECT_FALSE(Assoc.IsAssociated(".cmp"));
}

// Guards against a package the real MIME database tool rejects or maps to another type.
TEST_F(XdgAssociationsTest, MimeDatabaseLearnsTheGlob)
{
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed";
    TXdgAssociations refreshing(Shell, Data(), Config(), true);
    ASSERT_TRUE(refreshing.Associate(".sft", "Glimra.SFT", "SFT File"));
    EXPECT_NE(Text(Data() + "/mime/globs2").find("application/x-glimra-sft:*.sft"),
              std::string::npos);
}

// The real Qt box, not the double: the import's size messages break their line with a lone
// carriage return, which Qt would otherwise show as nothing.
TEST(QtMessageBoxes, LoneCarriageReturnBreaksTheLine)
{
    TQtMessageBoxes boxes;
    QString shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                shown = box->text();
                box->accept();
            }
    });
    poll.start(10);
    boxes.Error("Bitmap Size: 0x5\rDimensions must be greater than 1");
    EXPECT_EQ(shown.toStdString(), "Bitmap Size: 0x5\nDimensions must be greater than 1");
}

// Guards the associations of an installed program: the real shell names the executable that
// runs (so an installed copy registers itself, a build-folder copy only itself), and the MIME
// types it associates are the ones the installed MIME package and launcher declare.
TEST_F(XdgAssociationsTest, AssociationsNameTheRunningProgramAndTheInstalledTypes)
{
    TQtShell real;
    TXdgAssociations assoc{real, Data(), Config(), false};
    ASSERT_TRUE(assoc.Associate(".mat", "Glimra.MAT", "MAT File"));
    const fs::path running = fs::canonical("/proc/self/exe");
    EXPECT_EQ(fs::canonical(real.ProgramPath()), running);
    EXPECT_NE(Text(Entry("Glimra.MAT.desktop")).find("Exec=" + running.string() + " %f\n"),
              std::string::npos)
        << Text(Entry("Glimra.MAT.desktop"));

    const std::string package = Text(GLIMRA_DATA_DIR "/glimra-mime.xml");
    const std::string launcher = Text(GLIMRA_DATA_DIR "/org.orlend.Glimra.desktop.in");
    for (const TAssociation &a : AssociationTable()) {
        const std::string type = TXdgAssociations::MimeTypeOf(a.Extension);
        EXPECT_NE(package.find("<mime-type type=\"" + type + "\">"), std::string::npos) << type;
        EXPECT_NE(package.find("<glob pattern=\"*" + std::string(a.Extension) + "\"/>"),
                  std::string::npos)
            << type;
        EXPECT_NE(launcher.find(type + ";"), std::string::npos) << type;
    }
}
