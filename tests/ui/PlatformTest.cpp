// The platform's Qt implementations, and the real Qt objects where the scripted doubles would
// hide a fault: file filters and the chosen filter in a real file dialog, file associations
// in a temporary XDG tree.

#include <filesystem>

#include <QComboBox>
#include <QFileDialog>

#include "UiFixture.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

std::string FileText(const std::string &path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void PutText(const std::string &path, const std::string &text)
{
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, Text(text));
}

using PlatformTest = TDeskTest;

} // namespace

// The filter text split at the bars on its way to Qt; in a real dialog the list shows the
// descriptions, opens on the requested entry and gives back the index of the one chosen.
TEST_F(PlatformTest, FiltersAndTheChosenIndex)
{
    EXPECT_TRUE(ParseFileFilter("").empty() && ParseFileFilter("Odd").at(0).second.empty());
    EXPECT_EQ(TQtFileDialogs::NameFilters("All|*.bm; *.cmp|BM (*.bm)|*.bm|All Files (*.*)|*.*"),
              (QStringList{"All (*.bm *.cmp)", "BM (*.bm) (*.bm)", "All Files (*.*) (*)"}));
    TFileDialogRequest request;
    request.InitialDir = Dir.Path.string();
    request.Filter = OpenFilter;
    request.FilterIndex = 5;
    request.MultiSelect = true;
    request.FileName = Put("a.mat", {1});
    const auto dialog = TQtFileDialogs::NewDialog(request);
    auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(1) + " " + QString::number(types->currentIndex()),
              "BM Graphics (*.bm) 4");
    for (int index : {3, 0, 5}) {
        types->setCurrentIndex(index);
        emit types->activated(index);
        ASSERT_TRUE(TQtFileDialogs::Collect(*dialog, request));
        EXPECT_EQ(request.FilterIndex, index + 1);
    }
    EXPECT_EQ(request.Files, Texts{Dir.File("a.mat")});
}

// Associate writes the MIME package, a launcher whose program path is quoted as the key-file
// rules want, and the default handler; IsAssociated reads exactly that back; unassociating
// takes our lines out byte for byte and leaves other programs' choices; the real shell names
// the running program.
TEST_F(PlatformTest, XdgAssociations)
{
    TXdgAssociations &assoc = Desk.Assoc;
    const std::string apps = assoc.ConfigHome() + "/mimeapps.list";
    const auto entry = [&](const char *id) { return assoc.DataHome() + "/applications/" + id; };
    const auto package = [&](const char *ext) {
        return assoc.DataHome() + "/mime/packages/glimra-" + ext;
    };
    const std::string foreign = "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                "[Default Applications]\nimage/png=eog.desktop;\n";
    PutText(apps, foreign);
    Desk.Desktop.Program = "/home/me/my tools/glimra";
    for (const TAssociation &a : AssociationTable())
        ASSERT_TRUE(assoc.Associate(a.Extension, a.Identifier, a.Description));
    EXPECT_TRUE(assoc.IsAssociated(".sft"));
    EXPECT_FALSE(assoc.IsAssociated(".BM") || assoc.IsAssociated(".txt"));
    EXPECT_EQ(FileText(entry("Glimra.SFT.desktop")),
              "[Desktop Entry]\nType=Application\nName=Glimra\nComment=SFT File\n"
              "Exec=\"/home/me/my tools/glimra\" %f\nMimeType=application/x-glimra-sft;\n"
              "NoDisplay=true\nTerminal=false\n");
    EXPECT_NE(FileText(package("bm.xml")).find("<glob pattern=\"*.bm\""), std::string::npos);
    EXPECT_NE(FileText(package("gob.xml")).find("<glob pattern=\"*.goo\""), std::string::npos);
    EXPECT_EQ(TXdgAssociations::ExecLine("/a$b/100%/glimra"), "\"/a\\\\$b/100%%/glimra\"");

    // The user hands MAT to another program and adds a second CMP handler after ours.
    std::string changed = FileText(apps);
    changed.replace(changed.find("mat=Glimra.MAT.desktop"), 22, "mat=gimp.desktop");
    changed.replace(changed.find("Glimra.CMP.desktop"), 18, "Glimra.CMP.desktop;other.desktop;");
    PutText(apps, changed);
    EXPECT_FALSE(assoc.IsAssociated(".mat"));
    for (const TAssociation &a : AssociationTable())
        ASSERT_TRUE(assoc.Unassociate(a.Extension, a.Identifier));
    EXPECT_EQ(FileText(apps), foreign + "application/x-glimra-cmp=other.desktop;\n"
                                    "application/x-glimra-mat=gimp.desktop\n");
    EXPECT_TRUE(fs::exists(package("mat.xml")));
    EXPECT_FALSE(fs::exists(package("bm.xml")) || fs::exists(entry("Glimra.BM.desktop")));

    TQtShell real;
    EXPECT_EQ(fs::canonical(real.ProgramPath()), fs::canonical("/proc/self/exe"));
    const std::string types = FileText(GLIMRA_DATA_DIR "/glimra-mime.xml");
    for (const TAssociation &a : AssociationTable())
        EXPECT_NE(types.find("<glob pattern=\"*" + std::string(a.Extension) + "\"/>"),
                  std::string::npos);
}

