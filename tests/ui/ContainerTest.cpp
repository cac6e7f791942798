// The container window: a member edited in its own window and saved into the container, the
// close question over both, the container's commands keeping each open member's window with
// its member, and the thumbnails drawn by the real views through the chosen colormap.

#include <QComboBox>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QThread>
#include <QUndoStack>
#include <QUrl>

#include "UiFixture.h"
#include "formats/LEC_GOB.h"
#include "ui/gob/GLM_GOBForm.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/main/GLM_NewForm.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

const std::vector<TMember> Members = {
    {"mat\\wall.mat", TextureMAT({{8, 8, 1, 1}, {8, 8, 1, 2}})},
    {"misc\\cmp\\dflt.cmp", CMPBytes(0)},
    {"ui\\bm\\logo.bm", BMBytes({{4, 4, 3}})},
    {"readme.txt", {'h', 'i'}},
};

class ContainerTest : public TEditorTest
{
protected:
    TGOBForm *OpenContainer()
    {
        Gob = Put("res.gob", GOBBytes(Members));
        return Open<TGOBForm>(Gob);
    }
    TDocumentWindow *OpenMember(TGOBForm *gob, const std::string &name)
    {
        gob->OpenMemberNamed(name);
        Settle();
        return Main->ActiveDocument();
    }
    static std::vector<uint8_t> Read(const TGOB &gob, const std::string &name)
    {
        return gob.ReadMember(static_cast<size_t>(gob.Find(name)));
    }
    std::string Gob;
};

} // namespace

TEST_F(ContainerTest, AMemberSavedInItsWindowGoesIntoTheContainerOnItsSave)
{
    Settings.BackupFile = true;
    TGOBForm *gob = OpenContainer();
    ASSERT_TRUE(gob);
    gob->SelectMembers({"MAT/WALL.MAT"});
    gob->RunOperation(C::OpenMember);
    Settle();
    auto *mat = dynamic_cast<TMATForm *>(Main->ActiveDocument());
    ASSERT_TRUE(mat);
    EXPECT_EQ(mat->FileName, "res.gob::mat/wall.mat");
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + Gob + "::mat/wall.mat");
    EXPECT_EQ(Main->ReopenCaptions().at(0), "&0 " + Gob + "::mat/wall.mat");
    Run(C::DeleteFrame);
    Run(C::Save);
    EXPECT_FALSE(mat->Modified);
    EXPECT_TRUE(gob->Modified);
    EXPECT_EQ(ReadFile(Gob), GOBBytes(Members)); // held in memory until the container's save

    Activate(gob);
    Run(C::Save);
    EXPECT_FALSE(gob->Modified);
    EXPECT_EQ(ReadFile(ChangeFileExt(Gob, ".~gob")), GOBBytes(Members));
    TGOB saved;
    saved.LoadFromFile(Gob);
    ASSERT_EQ(saved.Members().size(), Members.size());
    TMAT changed;
    changed.LoadFromBytes(Read(saved, "mat/wall.mat"));
    EXPECT_EQ(changed.Header.NumRecords, 1);
    for (size_t i = 1; i < Members.size(); ++i)
        EXPECT_EQ(Read(saved, Members[i].Name), Members[i].Data) << Members[i].Name;

    // Save As writes a loose file of the same bytes and leaves the container alone.
    Activate(mat);
    Desk.Dialogs.Accept({Dir.File("loose.mat")});
    Run(C::SaveAs);
    EXPECT_EQ(Desk.Dialogs.Shown.back().FileName, "wall.mat");
    EXPECT_EQ(ReadFile(Dir.File("loose.mat")), Read(saved, "mat/wall.mat"));
    EXPECT_FALSE(gob->Modified);
    EXPECT_EQ(mat->FilePath, Dir.File("loose.mat"));

    // Reopen's entry opens the member through the open container's window.
    Main->OpenDocument(Gob + "::misc/cmp/dflt.cmp");
    Settle();
    EXPECT_EQ(Main->ActiveDocument()->FileName, "res.gob::misc/cmp/dflt.cmp");
    EXPECT_EQ(Main->DocumentWindows().size(), 3u);
}

TEST_F(ContainerTest, ClosingTheContainerAsksForEachMemberWindowFirst)
{
    TGOBForm *gob = OpenContainer();
    TDocumentWindow *mat = OpenMember(gob, "mat/wall.mat");
    TDocumentWindow *cmp = OpenMember(gob, "misc/cmp/dflt.cmp");
    mat->Modified = true;
    cmp->Modified = true;
    const Texts asked{"Save changes to res.gob::mat/wall.mat?",
                      "Save changes to res.gob::misc/cmp/dflt.cmp?", "Save changes to res.gob?"};
    Desk.Boxes.Answers = {TMessageResult::No, TMessageResult::Cancel};
    Activate(gob);
    Run(C::Close);
    EXPECT_EQ(Messages(), Texts(asked.begin(), asked.begin() + 2));
    EXPECT_EQ(Main->DocumentWindows(), (std::vector<TDocumentWindow *>{gob, cmp}));

    // Yes stores the member; then the container asks for itself, and its Yes saves both.
    Desk.Boxes.Shown.clear();
    Desk.Boxes.Answers = {TMessageResult::Yes, TMessageResult::Yes};
    Main->close();
    Settle();
    EXPECT_EQ(Messages(), Texts(asked.begin() + 1, asked.end()));
    EXPECT_EQ(Main->DocumentWindows(), std::vector<TDocumentWindow *>{gob});
    EXPECT_FALSE(gob->Modified);
    EXPECT_EQ(ReadFile(Gob), GOBBytes(Members));
}

TEST_F(ContainerTest, CommandsKeepEachOpenMemberWithItsWindow)
{
    TGOBForm *gob = OpenContainer();
    TDocumentWindow *logo = OpenMember(gob, "ui/bm/logo.bm");
    Activate(gob);
    const auto names = [gob] {
        std::string all;
        for (const TGOBMember &m : gob->Container().Members())
            all += m.Name + " ";
        return all;
    };

    // Added into the folder shown; an existing name asks first.
    gob->ShowFolder("MAT");
    Desk.Dialogs.Accept({Put("wall.mat", {9}), Put("New.mat", {8})});
    ReplaceAnswers = {mrNo};
    gob->RunOperation(C::AddFiles);
    EXPECT_EQ(Asked, Texts{"wall.mat (many)"});
    gob->ShowFolder("");
    Desk.Boxes.Answers = {TMessageResult::Yes};
    gob->SelectMembers({"mat\\wall.mat", "readme.txt"});
    gob->RunOperation(C::DeleteMembers);
    EXPECT_EQ(Messages(), Texts{"Delete 2 members from res.gob?"});
    EXPECT_TRUE(gob->RenameTo(1, "UI/Logo.bm"));
    EXPECT_FALSE(gob->RenameTo(1, "misc/cmp/dflt.cmp"));
    EXPECT_FALSE(gob->RenameTo(1, "../logo.bm"));
    EXPECT_EQ(names(), "misc\\cmp\\dflt.cmp ui\\logo.bm mat\\new.mat ");
    EXPECT_EQ(Messages().at(1), "A member named 'misc/cmp/dflt.cmp' already exists");
    EXPECT_TRUE(gob->Modified);

    // The member's window follows its member through the others' deletion and its rename.
    EXPECT_EQ(logo->FileName, "res.gob::ui/logo.bm");
    logo->Modified = true;
    Activate(logo);
    Run(C::Save);
    EXPECT_TRUE(gob->Container().Members()[1].Data != nullptr);
    EXPECT_EQ(Read(gob->Container(), "ui/logo.bm"), Members[2].Data);

    // Extract takes every member when none is selected; a file already there asks first.
    Activate(gob);
    gob->SelectMembers({});
    const fs::path out = Dir.Path / "out";
    fs::create_directories(out / "misc/cmp");
    WriteFile((out / "misc/cmp/dflt.cmp").string(), {1});
    Desk.Dialogs.Accept({(out / "any").string()});
    Asked.clear();
    ReplaceAnswers = {mrNo};
    gob->RunOperation(C::ExtractMembers);
    EXPECT_EQ(Asked, Texts{"dflt.cmp (many)"});
    EXPECT_EQ(ReadFile((out / "misc/cmp/dflt.cmp").string()), std::vector<uint8_t>{1});
    EXPECT_EQ(ReadFile((out / "ui/logo.bm").string()), Members[2].Data);
    EXPECT_EQ(ReadFile((out / "mat/new.mat").string()), std::vector<uint8_t>{8});
}

// File > New makes an empty container, which saves as a header and an empty table.
TEST_F(ContainerTest, NewMakesAnEmptyContainer)
{
    Play<TNewForm>([](TNewForm &form) {
        form.FileGroup->SetItemIndex(4);
        form.OKButtonClick();
    });
    Run(C::New);
    ASSERT_TRUE(dynamic_cast<TGOBForm *>(Main->ActiveDocument()));
    Desk.Dialogs.Accept({Dir.File("empty.gob")});
    Run(C::SaveAs);
    EXPECT_EQ(ReadFile(Dir.File("empty.gob")), GOBBytes({}));
    EXPECT_EQ(Settings.LastFileIndex, 4);
}

// Files dropped on the list go into the folder shown, as one Add Files step; the main
// window does not open them.
TEST_F(ContainerTest, DroppedFilesAreAdded)
{
    TGOBForm *gob = OpenContainer();
    gob->ShowFolder("mat");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Put("Drop.mat", {4})))});
    QWidget *view = gob->IconView->viewport();
    const QPoint at(view->width() - 4, view->height() - 4);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    for (QEvent *event : std::initializer_list<QEvent *>{&enter, &move, &drop})
        QApplication::sendEvent(view, event);
    Settle();
    EXPECT_TRUE(move.isAccepted() && Messages().empty() && Main->DocumentWindows().size() == 1);
    EXPECT_EQ(Read(gob->Container(), "mat/drop.mat"), std::vector<uint8_t>{4});
    EXPECT_EQ(gob->UndoStack()->undoText().toStdString(), "Add Files");
}

// Each container edit is one step; what a step holds survives saves between its undo and
// redo, so every state saves to the bytes it had.
TEST_F(ContainerTest, EditsAreStepsThatUndoAcrossSaves)
{
    Settings.BackupFile = false;
    TGOBForm *gob = OpenContainer();
    const auto saved = [&] {
        Activate(gob);
        Run(C::Save);
        return ReadFile(Gob);
    };
    std::vector<TMember> without = Members;
    without.erase(without.begin() + 3);
    Desk.Boxes.Answers = {TMessageResult::Yes};
    gob->SelectMembers({"readme.txt"});
    gob->RunOperation(C::DeleteMembers);
    EXPECT_EQ(Main->CommandAction(C::Undo)->text(), "&Undo Delete Member");
    EXPECT_EQ(saved(), GOBBytes(without));
    Run(C::Undo);
    EXPECT_TRUE(gob->Modified);
    EXPECT_EQ(saved(), GOBBytes(Members));
    Run(C::Redo);
    EXPECT_EQ(saved(), GOBBytes(without));
    Run(C::Undo);
    ASSERT_TRUE(gob->RenameTo(0, "mat/stone.mat"));
    gob->ShowFolder("mat");
    Desk.Dialogs.Accept({Put("new.mat", TextureMAT({{2, 2, 1, 5}})), Put("wall.mat", {6})});
    ReplaceAnswers = {mrYesToAll};
    gob->RunOperation(C::AddFiles);
    OpenMember(gob, "mat/new.mat")->Modified = true;
    Run(C::Save); // into the container: a step on the container's stack
    for (const char *step : {"Save Member", "Add Files", "Rename Member"}) {
        Activate(gob);
        EXPECT_EQ(gob->UndoStack()->undoText().toStdString(), step);
        Run(C::Undo);
    }
    EXPECT_EQ(saved(), GOBBytes(Members));
    EXPECT_FALSE(gob->Modified);
}

TEST_F(ContainerTest, ThumbnailsComeFromTheWorkerThroughTheChosenColormap)
{
    TGOBForm *gob = OpenContainer();
    const auto wallPixel = [gob] {
        for (int wait = 0; wait < 200 && gob->Thumbnail(0).isNull(); ++wait) {
            QThread::msleep(5);
            Settle();
        }
        return gob->Thumbnail(0).isNull() ? 0u : gob->Thumbnail(0).pixel(0, 0) & 0xFFFFFFu;
    };
    EXPECT_EQ(gob->Thumbnail(3), QImage()); // never drawn
    EXPECT_EQ(wallPixel(),
              qRgb(DfltPalette()[1].Red, DfltPalette()[1].Green, DfltPalette()[1].Blue) &
                  0xFFFFFFu);
    ASSERT_EQ(gob->ColormapBox->count(), 2);
    EXPECT_EQ(gob->ColormapBox->itemText(1).toStdString(), "misc/cmp/dflt.cmp");
    gob->ColormapBox->setCurrentIndex(1);
    emit gob->ColormapBox->activated(1);
    const TPaletteEntry ramp = Ramp()[1];
    EXPECT_EQ(wallPixel(), qRgb(ramp.Red, ramp.Green, ramp.Blue) & 0xFFFFFFu);
    EXPECT_EQ(Panel(5), "dflt.cmp");
    gob->RunOperation(C::ZoomIn); // remade at the new size, and shown at it
    EXPECT_NE(wallPixel(), 0u);
    EXPECT_EQ(gob->Thumbnail(0).width(), TGOBForm::ThumbnailSide(4));
    EXPECT_EQ(gob->IconView->iconSize().width(), TGOBForm::ThumbnailSide(4));
    // A member opened now sees the light view through that colormap; the kind's own stays.
    OpenMember(gob, "mat/wall.mat");
    Run(C::LightDarker);
    EXPECT_EQ(Panel(7), "Light: 63 (dflt.cmp)");
    EXPECT_EQ(Settings.MATColormapPath, "");
}
