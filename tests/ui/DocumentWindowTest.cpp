// The life cycle every document window shares, run for each kind in the real main window:
// a new window's name and place, opening, Save with its backup, Save As with the replace
// question, the close question, each save path against a failing disk, and the command
// states a document gives the main window and its own popup menu.

#include <filesystem>
#include <map>

#include <QAction>
#include <QMenu>

#include "SaveFaults.h"
#include "UiFixture.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

struct TKindCase
{
    K Kind;
    std::vector<uint8_t> Bytes; // a document with something to show, as the file holds it
    const char *NewCaption;     // the first new window's caption
    const char *Enabled;        // the commands the opened document enables
};

const TKindCase Kinds[] = {
    {K::BM, BMBytes({{8, 8, 1}, {8, 8, 2}, {8, 8, 3}}), "Untitled0.bm [1:1]",
     "Save SaveAs SaveBitmap SaveAllBitmaps Close CloseAll AddFrames DeleteFrame "
     "ShiftToPreviousFrame ShiftToNextFrame SelectPalette EditProperties PreviousFrame NextFrame "
     "CycleFrames ZoomIn"},
    {K::CMP, CMPBytes(0), "Untitled0.cmp",
     "Save SaveAs Close CloseAll SelectPalette EditProperties PreviousFrame NextFrame CycleFrames "
     "ZoomIn"},
    {K::MAT, TextureMAT({{8, 8, 1, 1}, {8, 8, 1, 2}, {8, 8, 1, 3}}), "Untitled0.mat [1:1]",
     "Save SaveAs SaveBitmap SaveAllBitmaps Close CloseAll AddFrames AddMipmap DeleteFrame "
     "ShiftToPreviousFrame ShiftToNextFrame SelectPalette EditProperties PreviousFrame NextFrame "
     "CycleFrames ZoomIn"},
    {K::SFT, SFTBytes({{65, 0, 2}}, 4, 2), "Untitled0.sft [1:1]",
     "Save SaveAs SaveBitmap Close CloseAll DeleteFrame SelectPalette EditProperties ZoomIn"},
};

std::string Name(C command) // "Save1" -> "Save"
{
    const std::string menu = CommandInfo(command).MenuName;
    return menu.substr(0, menu.size() - 1);
}

std::vector<uint8_t> Old(const std::string &what)
{
    return {what.begin(), what.end()};
}

// Every file under `root` with its bytes.
std::map<std::string, std::vector<uint8_t>> Tree(const fs::path &root)
{
    std::map<std::string, std::vector<uint8_t>> tree;
    for (const auto &entry : fs::recursive_directory_iterator(root))
        tree[fs::relative(entry.path(), root).generic_string()] =
            entry.is_directory() ? Old("folder") : ReadFile(entry.path().string());
    return tree;
}

class DocumentWindowTest : public TEditorTest, public ::testing::WithParamInterface<TKindCase>
{
protected:
    DocumentWindowTest() { fs::create_directories(Work); }
    // ".bm", ".cmp", ...
    std::string Ext() const
    {
        std::string ext = std::string(".") + DocumentKindName(GetParam().Kind);
        for (char &c : ext)
            c = char(std::tolower(c));
        return ext;
    }
    std::string Target(const std::string &base, const fs::path &folder) const
    {
        return (folder / (base + Ext())).string();
    }
    // Opens work/doc.<ext>, then gives the file other bytes, so that a write shows.
    TDocumentWindow *OpenChanged()
    {
        Doc = Target("doc", Work);
        WriteFile(Doc, GetParam().Bytes);
        TDocumentWindow *window = Open(Doc);
        WriteFile(Doc, Old("the old document"));
        Modified(window) = true;
        return window;
    }
    const fs::path Work = Dir.Path / "work";
    std::string Doc;
};

} // namespace

TEST_P(DocumentWindowTest, NewWindowsAreUntitledAndCascade)
{
    TDocumentWindow *first = New(GetParam().Kind);
    EXPECT_EQ(first->windowTitle().toStdString(), GetParam().NewCaption);
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + first->FileName);
    EXPECT_FALSE(Modified(first));
    TDocumentWindow *second = New(GetParam().Kind);
    EXPECT_EQ(first->parentWidget()->pos(), QPoint(0, 0));
    EXPECT_EQ(second->parentWidget()->pos(), QPoint(22, 22));
}

// Save writes the document over its file, the old one kept as the backup; no dialog.
TEST_P(DocumentWindowTest, OpenAndSaveWithBackup)
{
    TDocumentWindow *window = OpenChanged();
    EXPECT_EQ(window->FileName, "doc" + Ext());
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + Doc);
    EXPECT_EQ(Main->ReopenCaptions(), Texts{"&0 " + Doc});
    Settings.BackupFile = true;
    Run(C::Save);
    EXPECT_EQ(ReadFile(Doc), GetParam().Bytes);
    EXPECT_EQ(ReadFile(ChangeFileExt(Doc, ".~" + Ext().substr(1))), Old("the old document"));
    EXPECT_FALSE(Modified(window));
    EXPECT_TRUE(Desk.Dialogs.Shown.empty());
}

// Save As proposes the name, asks before replacing (No writes nothing), then takes the new
// name, remembers the folder and the path; it keeps no backup.
TEST_P(DocumentWindowTest, SaveAsAsksBeforeReplacing)
{
    TDocumentWindow *window = OpenChanged();
    Settings.BackupFile = true;
    Settings.LastCommonDirectory = "/start";
    const std::string target = Put("taken" + Ext(), Old("the old target"));
    ReplaceAnswers = {mrNo, mrYes};
    Desk.Dialogs.Accept({target});
    Run(C::SaveAs);
    EXPECT_EQ(ReadFile(target), Old("the old target"));
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).FileName, "doc" + Ext());
    EXPECT_EQ(Desk.Dialogs.Shown.at(0).InitialDir, "/start");
    Desk.Dialogs.Accept({target});
    Run(C::SaveAs);
    EXPECT_EQ(Asked, (Texts{"taken" + Ext(), "taken" + Ext()}));
    EXPECT_EQ(ReadFile(target), GetParam().Bytes);
    EXPECT_FALSE(fs::exists(ChangeFileExt(target, ".~" + Ext().substr(1))));
    EXPECT_EQ(window->FilePath, target);
    EXPECT_EQ(window->windowTitle().toStdString().rfind("taken" + Ext(), 0), 0u);
    EXPECT_EQ(Main->windowTitle().toStdString(), "Glimra - " + target);
    EXPECT_EQ(Main->ReopenCaptions().at(0), "&0 " + target);
    EXPECT_EQ(Settings.LastCommonDirectory, Dir.Path.string());
    EXPECT_FALSE(Modified(window));
}

// Cancel keeps the window; Yes whose Save As is given up keeps it with its changes; No lets
// it go; Yes for a document with a file saves it, then lets it go.
TEST_P(DocumentWindowTest, CloseQuestion)
{
    TDocumentWindow *untitled = New(GetParam().Kind);
    const std::string question = "Save changes to " + untitled->FileName + "?";
    Modified(untitled) = true;
    Desk.Boxes.Answers = {TMessageResult::Cancel, TMessageResult::Yes, TMessageResult::No};
    Desk.Dialogs.Cancel();
    for (size_t left : {1u, 1u, 0u}) {
        Run(C::Close);
        EXPECT_EQ(Main->DocumentWindows().size(), left);
    }
    EXPECT_EQ(Messages(), Texts(3, question));
    EXPECT_EQ(Desk.Dialogs.Shown.size(), 1u);

    OpenChanged();
    Desk.Boxes.Answers = {TMessageResult::Yes};
    Run(C::Close);
    EXPECT_TRUE(Main->DocumentWindows().empty());
    EXPECT_EQ(ReadFile(Doc), GetParam().Bytes);
}

// Each save path against a fault: the files as they were, the one standard message, the
// window open, modified and under its old name.
TEST_P(DocumentWindowTest, EverySavePathSurvivesAFault)
{
    const K kind = GetParam().Kind;
    TDocumentWindow *window = OpenChanged();
    const fs::path out = Dir.Path / "out";
    fs::create_directories(out);
    const Texts reopen = Main->ReopenCaptions();
    const auto check = [&](const char *path, const std::function<void()> &act,
                           const Texts &messages) {
        SCOPED_TRACE(path);
        Desk.Boxes.Shown.clear();
        Modified(window) = true;
        const auto before = Tree(Dir.Path);
        act();
        Settle();
        EXPECT_EQ(Tree(Dir.Path), before);
        EXPECT_EQ(Messages(), messages);
        ASSERT_EQ(Main->DocumentWindows(), std::vector<TDocumentWindow *>{window});
        EXPECT_TRUE(Modified(window));
        EXPECT_EQ(window->FilePath, Doc);
        EXPECT_EQ(Main->ReopenCaptions(), reopen);
    };
    check("Save", [&] {
        TScopedFullDisk disk(16);
        Run(C::Save);
    }, {"Disk full"});
    Settings.BackupFile = true;
    WriteFile(ChangeFileExt(Doc, ".~" + Ext().substr(1)), Old("the old backup"));
    check("Save with a backup", [&] {
        TScopedReadOnlyFolder folder(Work);
        ASSERT_TRUE(folder.Holds());
        Run(C::Save);
    }, {"File access denied"});
    check("Save on closing", [&] {
        TScopedReadOnlyFolder folder(Work);
        Desk.Boxes.Answers = {TMessageResult::Yes};
        window->parentWidget()->close();
    }, {"Save changes to " + window->FileName + "?", "File access denied"});
    const std::string taken = Target("taken", out);
    WriteFile(taken, Old("the old target"));
    check("Save As", [&] {
        TScopedFullDisk disk(16);
        Desk.Dialogs.Accept({taken});
        ReplaceAnswers = {mrYes};
        Run(C::SaveAs);
    }, {"Disk full"});
    if (HasRoute(C::SaveBitmap, kind)) {
        WriteFile((out / "picture.bmp").string(), Old("the old picture"));
        check("Save Bitmap", [&] {
            TScopedReadOnlyFolder folder(out);
            Desk.Dialogs.Accept({(out / "picture.bmp").string()});
            ReplaceAnswers = {mrYes};
            Run(C::SaveBitmap);
        }, {"File access denied"});
    }
    if (HasRoute(C::SaveAllBitmaps, kind)) {
        check("Save All Bitmaps", [&] {
            TScopedFullDisk disk(16);
            Desk.Dialogs.Accept({(out / "any.bmp").string()});
            Run(C::SaveAllBitmaps);
        }, {"Disk full"});
    }
}

// The opened document's facts decide the main window's commands, and the popup menu's items
// follow them.
TEST_P(DocumentWindowTest, CommandStates)
{
    TDocumentWindow *window = Open(Put("doc" + Ext(), GetParam().Bytes));
    ASSERT_NE(window, nullptr);
    std::string enabled;
    for (C command : DocumentCommands())
        if (Main->IsCommandEnabled(command))
            enabled += (enabled.empty() ? "" : " ") + Name(command);
    EXPECT_EQ(enabled, GetParam().Enabled);
    window->UpdatePopupMenu();
    for (QAction *item : window->PopupMenu()->actions()) {
        if (!item->isSeparator() && C(item->data().toInt()) != C::ChangeCellColor) {
            EXPECT_EQ(item->isEnabled(), Main->IsCommandEnabled(C(item->data().toInt())))
                << item->text().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, DocumentWindowTest, ::testing::ValuesIn(Kinds),
                         [](const auto &info) { return DocumentKindName(info.param.Kind); });
