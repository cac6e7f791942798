// The platform's Qt implementations and the real Qt objects where the scripted doubles would
// hide a fault: file filters and the chosen filter's index in a real file dialog, file
// associations in a temporary XDG tree, the message box's line breaks, and real layouts (the
// status panels, the replace confirmation's labels).

#include <filesystem>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include "UiFixture.h"
#include "platform/GLM_QtPlatform.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

std::string Text(const std::string &path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void PutText(const std::string &path, const std::string &text)
{
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, {text.begin(), text.end()});
}

class XdgTest : public ::testing::Test
{
protected:
    std::string Data() const { return (Dir.Path / "data").string(); }
    std::string Config() const { return (Dir.Path / "config").string(); }
    std::string MimeApps() const { return Config() + "/mimeapps.list"; }
    std::string Entry(const std::string &id) const { return Data() + "/applications/" + id; }
    std::string Package(const char *ext) const { return Data() + "/mime/packages/glimra-" + ext; }

    TempDir Dir;
    TTestShell Shell;
    TXdgAssociations Assoc{Shell, Data(), Config(), false};
};

} // namespace

// The filter text split at the bars on its way to Qt; in a real dialog the list shows the
// descriptions, opens on the requested entry and gives back the index of the one chosen.
TEST(QtFileDialogs, FiltersAndTheChosenIndex)
{
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Odd").at(0).second.empty());
    EXPECT_EQ(TQtFileDialogs::NameFilters("All|*.bm; *.cmp|BM (*.bm)|*.bm|All Files (*.*)|*.*"),
              (QStringList{"All (*.bm *.cmp)", "BM (*.bm) (*.bm)", "All Files (*.*) (*)"}));
    TempDir dir;
    WriteFile(dir.File("a.mat"), {1});
    TFileDialogRequest request;
    request.InitialDir = dir.Path.string();
    request.Filter = OpenFilter;
    request.FilterIndex = 5;
    request.MultiSelect = true;
    request.FileName = dir.File("a.mat");
    const auto dialog = TQtFileDialogs::NewDialog(request);
    auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(1), "BM Graphics (*.bm)");
    EXPECT_EQ(types->currentIndex(), 4);
    for (int index : {3, 0, 5}) {
        types->setCurrentIndex(index);
        emit types->activated(index);
        ASSERT_TRUE(TQtFileDialogs::Collect(*dialog, request));
        EXPECT_EQ(request.FilterIndex, index + 1);
    }
    EXPECT_EQ(request.Files, Texts{dir.File("a.mat")});
}

// Associate writes the MIME package, a launcher whose program path is quoted as the key-file
// rules want, and the default handler; IsAssociated reads exactly that back; unassociating
// takes our lines out byte for byte and leaves other programs' choices.
TEST_F(XdgTest, AssociateAndUnassociate)
{
    const std::string foreign = "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                "[Default Applications]\nimage/png=eog.desktop;\n";
    PutText(MimeApps(), foreign);
    Shell.Program = "/home/me/my tools/glimra";
    for (const TAssociation &a : AssociationTable())
        ASSERT_TRUE(Assoc.Associate(a.Extension, a.Identifier, a.Description));
    EXPECT_TRUE(Assoc.IsAssociated(".sft"));
    EXPECT_FALSE(Assoc.IsAssociated(".BM") || Assoc.IsAssociated(".txt"));
    EXPECT_EQ(Text(Entry("Glimra.SFT.desktop")),
              "[Desktop Entry]\nType=Application\nName=Glimra\nComment=SFT File\n"
              "Exec=\"/home/me/my tools/glimra\" %f\nMimeType=application/x-glimra-sft;\n"
              "NoDisplay=true\nTerminal=false\n");
    EXPECT_NE(Text(Package("bm.xml")).find("<glob pattern=\"*.bm\""), std::string::npos);
    EXPECT_EQ(TXdgAssociations::ExecLine("/a$b/100%/glimra"), "\"/a\\\\$b/100%%/glimra\"");

    // The user hands MAT to another program and adds a second CMP handler after ours.
    std::string apps = Text(MimeApps());
    apps.replace(apps.find("mat=Glimra.MAT.desktop"), 22, "mat=gimp.desktop");
    apps.replace(apps.find("Glimra.CMP.desktop"), 18, "Glimra.CMP.desktop;other.desktop;");
    PutText(MimeApps(), apps);
    EXPECT_FALSE(Assoc.IsAssociated(".mat"));
    for (const TAssociation &a : AssociationTable())
        ASSERT_TRUE(Assoc.Unassociate(a.Extension, a.Identifier));
    EXPECT_EQ(Text(MimeApps()), foreign + "application/x-glimra-cmp=other.desktop;\n"
                                          "application/x-glimra-mat=gimp.desktop\n");
    EXPECT_TRUE(fs::exists(Package("mat.xml")));
    EXPECT_FALSE(fs::exists(Package("bm.xml")) || fs::exists(Entry("Glimra.BM.desktop")));

    fs::remove_all(Config());
    PutText(Config(), "a file where the config folder should be");
    EXPECT_FALSE(Assoc.Associate(".cmp", "Glimra.CMP", "CMP File"));
}

// The real shell names the running program, and the types associated are the ones the
// installed MIME package and launcher declare, which the real MIME database then knows.
TEST_F(XdgTest, TheInstalledTypesOfTheRunningProgram)
{
    TQtShell real;
    const bool database = !QStandardPaths::findExecutable("update-mime-database").isEmpty();
    TXdgAssociations assoc{real, Data(), Config(), database};
    ASSERT_TRUE(assoc.Associate(".sft", "Glimra.SFT", "SFT File"));
    const fs::path running = fs::canonical("/proc/self/exe");
    EXPECT_EQ(fs::canonical(real.ProgramPath()), running);
    EXPECT_NE(Text(Entry("Glimra.SFT.desktop")).find("Exec=" + running.string() + " %f\n"),
              std::string::npos);
    EXPECT_TRUE(!database || Text(Data() + "/mime/globs2").find("application/x-glimra-sft:*.sft") !=
                                 std::string::npos);
    const std::string package = Text(GLIMRA_DATA_DIR "/glimra-mime.xml");
    const std::string launcher = Text(GLIMRA_DATA_DIR "/org.orlend.Glimra.desktop.in");
    for (const TAssociation &a : AssociationTable()) {
        const std::string type = TXdgAssociations::MimeTypeOf(a.Extension);
        EXPECT_NE(package.find("<glob pattern=\"*" + std::string(a.Extension) + "\"/>"),
                  std::string::npos);
        EXPECT_NE(package.find("<mime-type type=\"" + type + "\">"), std::string::npos) << type;
        EXPECT_NE(launcher.find(type + ";"), std::string::npos) << type;
    }
}

// The import's size messages break their line with a lone carriage return, which a real
// Qt box would otherwise show as nothing.
TEST(QtMessageBoxes, LoneCarriageReturnBreaksTheLine)
{
    TQtMessageBoxes boxes;
    QString shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                shown = box->text(), box->accept();
    });
    poll.start(10);
    boxes.Error("Bitmap Size: 0x5\rDimensions must be greater than 1");
    EXPECT_EQ(shown.toStdString(), "Bitmap Size: 0x5\nDimensions must be greater than 1");
}

// In a 640-pixel window each status panel keeps its width, none overlaps the next and those
// past the edge are cut off; a long text widens its panel until it is cleared.
TEST_F(TDeskTest, RealStatusPanels)
{
    TDocumentFactory none;
    TMainForm form(Context, none);
    form.show();
    for (int width : {640, 1000}) {
        form.resize(width, 480);
        Settle();
        int visible = 0;
        for (int i = 0; i < StatusPanelCount; ++i) {
            const QLabel *panel = form.StatusLabel(i);
            EXPECT_EQ(panel->width(), i < 7 ? 100 : 90);
            EXPECT_GE(panel->height(), panel->fontMetrics().height());
            if (i > 0) {
                EXPECT_GT(panel->x(), form.StatusLabel(i - 1)->geometry().right());
            }
            visible += panel->mapTo(form.statusBar(), QPoint(0, 0)).x() < form.statusBar()->width();
        }
        EXPECT_EQ(visible, width == 640 ? 7 : 8);
    }
    const QString text = "Display Palette: a rather long palette name.act";
    form.SetStatusPanel(1, text.toStdString());
    Settle();
    EXPECT_GE(form.StatusLabel(1)->contentsRect().width(),
              form.StatusLabel(1)->fontMetrics().horizontalAdvance(text));
    EXPECT_GT(form.StatusLabel(2)->x(), form.StatusLabel(1)->geometry().right());
    form.ResetMainWindow();
    EXPECT_EQ(form.StatusLabel(1)->width(), 100);
}

// The replace confirmation grows to show a long name and the date whole, each on one line,
// up to 640 pixels; a longer name keeps its start and extension around an ellipsis; the
// rows never overlap and the buttons stay centred.
TEST_F(TDeskTest, RealReplaceLabelsFit)
{
    QLocale::setDefault(QLocale(QLocale::English));
    TFileReplaceForm form{Context};
    for (const std::string &name : Texts{"a_rather_long_texture_name_for_level_three.mat",
                                         std::string(150, 'x') + "_end.bm"}) {
        WriteFile(Dir.File(name), {1});
        form.FileName = Dir.File(name);
        form.MultipleFiles = true;
        Show<TFileReplaceForm>(form, [&](TFileReplaceForm &f) {
            const QLabel *stack[] = {f.NameLabel, f.Label1, f.SizeLabel, f.DateLabel};
            for (const QLabel *label : stack) {
                EXPECT_LE(label->geometry().right(), f.width() - 1);
                EXPECT_TRUE(label->wordWrap() || label->width() >= label->sizeHint().width());
            }
            for (size_t i = 1; i < std::size(stack); ++i)
                EXPECT_GT(stack[i]->y(), stack[i - 1]->geometry().bottom());
            EXPECT_GT(f.YesButton->y(), f.DateLabel->geometry().bottom());
            EXPECT_NEAR(f.YesButton->x(), f.width() - 1 - f.CancelButton->geometry().right(), 3);
            EXPECT_GT(f.width(), 352);
            EXPECT_LE(f.width(), 640);
        });
    }
    EXPECT_TRUE(form.NameLabel->text().endsWith("_end.bm'."));
    EXPECT_TRUE(form.NameLabel->text().contains(QChar(0x2026)));
    QLocale::setDefault(QLocale::system());
}
