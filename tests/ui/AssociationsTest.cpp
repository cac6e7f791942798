// File associations written into a temporary XDG data and config folder, and the scripted
// double's classes-root model.
#include <filesystem>
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "TestFiles.h"
#include "platform/GLM_QtPlatform.h"
#include "platform/GLM_TestPlatform.h"

namespace {

std::string Text(const std::string &path)
{
    const std::vector<uint8_t> bytes = testutil::ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void PutText(const std::string &path, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testutil::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

class XdgAssociationsTest : public ::testing::Test
{
protected:
    std::string Data() const { return (Dir.Path / "data").string(); }
    std::string Config() const { return (Dir.Path / "config").string(); }
    std::string MimeApps() const { return Config() + "/mimeapps.list"; }
    std::string DesktopFile(const std::string &id) const
    {
        return Data() + "/applications/" + id + ".desktop";
    }
    std::string Package(const std::string &ext) const
    {
        return Data() + "/mime/packages/glimra-" + ext + ".xml";
    }

    testutil::TempDir Dir;
    TTestShell Shell;
    TXdgAssociations Assoc{Shell, Data(), Config(), false};
};

// A foreign program that owns *.mat through its own MIME type, plus lines of the user's.
const std::string ForeignMimeApps = "# the user's own choices\n"
                                    "[Added Associations]\n"
                                    "text/plain=org.gnome.gedit.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "application/x-matlab-data=matlab.desktop\n"
                                    "image/png=org.gnome.eog.desktop;\n";

} // namespace

TEST_F(XdgAssociationsTest, AssociateWritesWhatIsAssociatedReadsBack)
{
    for (const TAssociation &a : AssociationTable())
        EXPECT_FALSE(Assoc.IsAssociated(a.Extension));
    for (const TAssociation &a : AssociationTable())
        ASSERT_TRUE(Assoc.Associate(a.Extension, a.Identifier, a.Description));
    for (const TAssociation &a : AssociationTable())
        EXPECT_TRUE(Assoc.IsAssociated(a.Extension)) << a.Extension;
    EXPECT_FALSE(Assoc.IsAssociated(".BM")); // compared exactly, case included
    EXPECT_FALSE(Assoc.IsAssociated(".txt"));

    EXPECT_EQ(Text(DesktopFile("Glimra.SFT")), "[Desktop Entry]\n"
                                               "Type=Application\n"
                                               "Name=Glimra\n"
                                               "Comment=SFT File\n"
                                               "Exec=/opt/glimra/glimra %f\n"
                                               "MimeType=application/x-glimra-sft;\n"
                                               "NoDisplay=true\n"
                                               "Terminal=false\n");
    const std::string package = Text(Package("bm"));
    EXPECT_NE(package.find("<mime-type type=\"application/x-glimra-bm\">"), std::string::npos);
    EXPECT_NE(package.find("<comment>BM File</comment>"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.bm\""), std::string::npos);
    EXPECT_EQ(Text(MimeApps()), "[Default Applications]\n"
                                "application/x-glimra-bm=Glimra.BM.desktop\n"
                                "application/x-glimra-cmp=Glimra.CMP.desktop\n"
                                "application/x-glimra-mat=Glimra.MAT.desktop\n"
                                "application/x-glimra-sft=Glimra.SFT.desktop\n");
}

TEST_F(XdgAssociationsTest, RoundTripLeavesForeignAssociationsAlone)
{
    PutText(MimeApps(), ForeignMimeApps);
    PutText(DesktopFile("matlab"), "[Desktop Entry]\nExec=matlab %f\n");
    ASSERT_TRUE(Assoc.Associate(".bm", "Glimra.BM", "BM File"));
    EXPECT_TRUE(Assoc.IsAssociated(".bm"));
    EXPECT_NE(Text(MimeApps()).find("image/png=org.gnome.eog.desktop;\n"
                                    "application/x-glimra-bm=Glimra.BM.desktop\n"),
              std::string::npos);

    // ".mat" is not ours: only a leftover Glimra.MAT entry may go.
    PutText(DesktopFile("Glimra.MAT"), "[Desktop Entry]\n");
    ASSERT_TRUE(Assoc.Unassociate(".mat", "Glimra.MAT"));
    EXPECT_FALSE(std::filesystem::exists(DesktopFile("Glimra.MAT")));
    EXPECT_TRUE(std::filesystem::exists(DesktopFile("matlab")));

    ASSERT_TRUE(Assoc.Unassociate(".bm", "Glimra.BM"));
    EXPECT_FALSE(Assoc.IsAssociated(".bm"));
    EXPECT_FALSE(std::filesystem::exists(DesktopFile("Glimra.BM")));
    EXPECT_FALSE(std::filesystem::exists(Package("bm")));
    EXPECT_EQ(Text(MimeApps()), ForeignMimeApps); // back to the user's file, byte for byte
}

TEST_F(XdgAssociationsTest, OurTypeHandedToAnotherProgramIsNotOursAnyMore)
{
    ASSERT_TRUE(Assoc.Associate(".mat", "Glimra.MAT", "MAT File"));
    // The user picked another default program for our type in the file manager.
    PutText(MimeApps(), "[Default Applications]\napplication/x-glimra-mat=gimp.desktop\n");
    EXPECT_FALSE(Assoc.IsAssociated(".mat"));
    ASSERT_TRUE(Assoc.Unassociate(".mat", "Glimra.MAT"));
    EXPECT_EQ(Text(MimeApps()), "[Default Applications]\napplication/x-glimra-mat=gimp.desktop\n");
    EXPECT_TRUE(std::filesystem::exists(Package("mat"))); // gimp's choice still needs it
    EXPECT_FALSE(std::filesystem::exists(DesktopFile("Glimra.MAT")));
}

TEST_F(XdgAssociationsTest, UnassociateKeepsOtherHandlersListedAfterOurs)
{
    ASSERT_TRUE(Assoc.Associate(".cmp", "Glimra.CMP", "CMP File"));
    PutText(MimeApps(), "[Default Applications]\n"
                        "application/x-glimra-cmp=Glimra.CMP.desktop;other.desktop;\n");
    EXPECT_TRUE(Assoc.IsAssociated(".cmp"));
    ASSERT_TRUE(Assoc.Unassociate(".cmp", "Glimra.CMP"));
    EXPECT_EQ(Text(MimeApps()),
              "[Default Applications]\napplication/x-glimra-cmp=other.desktop;\n");
}

TEST_F(XdgAssociationsTest, ExecQuotesProgramPathsThatNeedIt)
{
    EXPECT_EQ(TXdgAssociations::ExecLine("/opt/glimra/glimra"), "/opt/glimra/glimra");
    EXPECT_EQ(TXdgAssociations::ExecLine("/home/me/my tools/glimra"),
              "\"/home/me/my tools/glimra\"");
    // $ is escaped inside the quotes, and the backslash once more for the key file.
    EXPECT_EQ(TXdgAssociations::ExecLine("/a$b/glimra"), "\"/a\\\\$b/glimra\"");
    EXPECT_EQ(TXdgAssociations::ExecLine("/100%/glimra"), "/100%%/glimra");

    Shell.Program = "/home/me/my tools/glimra";
    ASSERT_TRUE(Assoc.Associate(".bm", "Glimra.BM", "BM File"));
    EXPECT_NE(Text(DesktopFile("Glimra.BM")).find("Exec=\"/home/me/my tools/glimra\" %f\n"),
              std::string::npos);
}

TEST_F(XdgAssociationsTest, FailedWritesAreReported)
{
    PutText(Config(), "a file where the config folder should be");
    EXPECT_FALSE(Assoc.Associate(".bm", "Glimra.BM", "BM File"));
    EXPECT_FALSE(Assoc.IsAssociated(".bm"));
}

// The real MIME database tool accepts our package and maps the glob to our type.
TEST_F(XdgAssociationsTest, MimeDatabaseLearnsTheGlob)
{
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed";
    TXdgAssociations refreshing(Shell, Data(), Config(), true);
    ASSERT_TRUE(refreshing.Associate(".sft", "Glimra.SFT", "SFT File"));
    EXPECT_NE(Text(Data() + "/mime/globs2").find("application/x-glimra-sft:*.sft"),
              std::string::npos);
}

TEST(MemoryAssociations, MirrorTheClassesRootLayout)
{
    TTestShell shell;
    TMemoryAssociations assoc(shell);
    assoc.Keys[".mat"] = "Other.Program";
    ASSERT_TRUE(assoc.Associate(".sft", "Glimra.SFT", "SFT File"));
    EXPECT_TRUE(assoc.IsAssociated(".sft"));
    EXPECT_EQ(assoc.Keys["Glimra.SFT\\shell\\open\\command"], "/opt/glimra/glimra \"%1\"");
    EXPECT_EQ(assoc.Keys["Glimra.SFT\\DefaultIcon"], "/opt/glimra/glimra,0");
    assoc.Keys["Glimra.MAT"] = "MAT File";
    ASSERT_TRUE(assoc.Unassociate(".mat", "Glimra.MAT"));
    EXPECT_EQ(assoc.Keys.count("Glimra.MAT"), 0u);
    EXPECT_EQ(assoc.Keys[".mat"], "Other.Program");
    ASSERT_TRUE(assoc.Unassociate(".sft", "Glimra.SFT"));
    EXPECT_EQ(assoc.Keys, (std::map<std::string, std::string>{{".mat", "Other.Program"}}));
}
