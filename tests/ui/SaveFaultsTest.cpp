// The document windows' save paths under faults, for every kind that has the path: Save, Save
// with its backup, Save As, Save on closing, Save Bitmap (BMP and PNG) and Save All Bitmaps,
// against a disk that fills part-way, a folder nobody may write to, a folder in the target's
// place and a folder that vanished between the dialog and the write. In every case the files
// are as they were (no partial file, no temporary), the user sees the one standard message,
// and the window stays open, modified, under its old name.

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

#include "DocumentFormFixture.h"
#include "SaveFaults.h"

using namespace formtest;
namespace fs = std::filesystem;
using C = TCommand;
using K = TDocumentKind;

namespace {

enum class TFault { DiskFull, ReadOnlyFolder, TargetIsFolder, FolderGone };

// Each fault with its name and the message the user is told.
constexpr struct
{
    TFault Fault;
    const char *Name, *Message;
} Faults[] = {{TFault::DiskFull, "DiskFull", "Disk full"},
              {TFault::ReadOnlyFolder, "ReadOnlyFolder", "File access denied"},
              {TFault::TargetIsFolder, "TargetIsFolder", "File access denied"},
              {TFault::FolderGone, "FolderGone", "File not found"}};

// ".bm", ".mat", ...
std::string Extension(K kind)
{
    return QString(".%1").arg(DocumentKindName(kind)).toLower().toStdString();
}

// Each kind's document: three 8 x 8 frames (BM, MAT), one character on a 4 x 2 strip (SFT), a
// colormap without transparency tables (CMP).
std::vector<uint8_t> DocumentBytes(K kind)
{
    switch (kind) {
    case K::BM:
        return BMBytes({{8, 8, 1}, {8, 8, 2}, {8, 8, 3}});
    case K::MAT:
        return TextureMAT({{8, 8, 1, 1}, {8, 8, 1, 2}, {8, 8, 1, 3}});
    case K::SFT:
        return SFTBytes({{65, 0, 2}}, 4, 2);
    default:
        return CMPBytes(0);
    }
}

// Bytes no save writes, to tell an old file from a new one.
std::vector<uint8_t> Old(const std::string &what)
{
    const std::string text = "the old " + what;
    return {text.begin(), text.end()};
}

std::string Describe(const std::vector<uint8_t> &bytes)
{
    uint32_t hash = 2166136261u;
    for (uint8_t byte : bytes)
        hash = (hash ^ byte) * 16777619u;
    return std::to_string(bytes.size()) + " bytes #" + std::to_string(hash);
}

// Everything under `root`: folders, and files by their size and a hash of their bytes.
std::map<std::string, std::string> Tree(const fs::path &root)
{
    std::map<std::string, std::string> tree;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).generic_string();
        if (entry.is_directory())
            tree[name + "/"] = "folder";
        else
            tree[name] = Describe(ReadFile(entry.path().string()));
    }
    return tree;
}

class SaveFaultsTest : public TDocumentFormTest<TDocumentWindow>
{
protected:
    SaveFaultsTest()
    {
        fs::create_directory(Work);
        fs::create_directory(Out);
    }
    ~SaveFaultsTest() override { Disarm(); }

    // Opens the kind's document from work/doc.<ext>, then gives the file other bytes and marks
    // the window modified, so that any write of the document shows in the file.
    void OpenModified(K kind)
    {
        DocPath = (Work / ("doc" + Extension(kind))).string();
        WriteFile(DocPath, DocumentBytes(kind));
        Window = Open(DocPath);
        ASSERT_NE(Window, nullptr);
        ASSERT_EQ(Window->Kind(), kind);
        WriteFile(DocPath, Old("document"));
        Modified() = true;
        Reopen = Main->ReopenCaptions();
    }
    bool &Modified()
    {
        if (auto *image = dynamic_cast<TImageDocumentForm *>(Window))
            return image->Modified;
        return dynamic_cast<TCMPForm &>(*Window).Modified;
    }

    // Puts the fault in place for a save to `target`. A folder that vanishes goes while the
    // replace question is open when `asks` (the target exists, so the user is asked), else
    // at once.
    void Arm(TFault fault, const fs::path &target, bool asks, size_t room = 16)
    {
        const fs::path folder = target.parent_path();
        switch (fault) {
        case TFault::DiskFull:
            Disk.emplace(room);
            break;
        case TFault::ReadOnlyFolder:
            ReadOnly.emplace(folder);
            ASSERT_TRUE(ReadOnly->Holds()) << "the folder takes new files all the same";
            break;
        case TFault::TargetIsFolder:
            fs::remove(target);
            fs::create_directories(target / "inside");
            break;
        case TFault::FolderGone:
            if (asks) {
                OnReplace = [folder] { fs::remove_all(folder); };
                Vanishing = fs::relative(folder, Dir.Path).generic_string() + "/";
            } else
                fs::remove_all(folder);
            break;
        }
    }
    void Disarm()
    {
        Disk.reset();
        ReadOnly.reset();
    }

    // Runs `command` under the armed fault and checks the promises: the files as `expected`
    // (by default as they were just before; a vanishing folder is gone from it), the fault's
    // message alone, the window open, modified and under its old name.
    void RunAndCheck(C command, TFault fault,
                     std::optional<std::map<std::string, std::string>> expected = {})
    {
        RunAndCheck([&] { Main->RunCommand(command); }, {}, fault, std::move(expected));
    }
    // The same for any action; the user sees `before`, then the fault's message.
    void RunAndCheck(const std::function<void()> &action, std::vector<std::string> before,
                     TFault fault, std::optional<std::map<std::string, std::string>> expected)
    {
        if (!expected)
            expected = Tree(Dir.Path);
        action();
        QApplication::processEvents();
        if (Disk) { // part-way: some bytes went in before the disk filled
            EXPECT_GT(Disk->Written(), 0u);
            EXPECT_GT(Disk->Asked(), Disk->Written()) << "the disk never filled";
        }
        Disarm();

        if (!Vanishing.empty())
            std::erase_if(*expected,
                          [&](const auto &entry) { return entry.first.starts_with(Vanishing); });
        EXPECT_EQ(Tree(Dir.Path), *expected);
        std::vector<std::string> messages;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            messages.push_back((m.Kind == TMessageKind::Error ? "(error) " : "") + m.Text);
        before.push_back(std::string("(error) ") + Faults[int(fault)].Message);
        EXPECT_EQ(messages, before);
        EXPECT_EQ(Main->DocumentWindows(), std::vector<TDocumentWindow *>{Window});
        EXPECT_FALSE(Window->IsClosed());
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Window->FilePath, DocPath);
        EXPECT_EQ(Window->FileName, fs::path(DocPath).filename().string());
        EXPECT_EQ(Main->ReopenCaptions(), Reopen);
    }

    const fs::path Work = Dir.Path / "work"; // the document's folder
    const fs::path Out = Dir.Path / "out";   // where Save As and the exports go
    TDocumentWindow *Window = nullptr;
    std::string DocPath;
    std::vector<std::string> Reopen;

    std::optional<TScopedFullDisk> Disk;
    std::optional<TScopedReadOnlyFolder> ReadOnly;
    int ReplaceAnswer = mrYes;
    std::function<void()> OnReplace;
    std::string Vanishing; // the folder OnReplace removes, as Tree names it
    TScopedModalDriver FaultDriver{[this](TModalForm &form) {
        if (OnReplace)
            std::exchange(OnReplace, {})();
        form.SetModalResult(ReplaceAnswer);
    }};
};

// One row of a table: the window kind, the fault, and for Save Bitmap the picture's extension.
struct TCase
{
    K Kind;
    TFault Fault;
    std::string Extension;
};

std::string CaseName(const TCase &c)
{
    return std::string(DocumentKindName(c.Kind)) + "_" + Faults[int(c.Fault)].Name +
           (c.Extension.empty() ? "" : "_" + c.Extension.substr(1));
}

void PrintTo(const TCase &c, std::ostream *out)
{
    *out << CaseName(c);
}

// Every fault for each of `kinds` (and each extension).
std::vector<TCase> Cases(std::initializer_list<K> kinds,
                         std::initializer_list<const char *> extensions = {""})
{
    std::vector<TCase> cases;
    for (K kind : kinds)
        for (const auto &fault : Faults)
            for (const char *extension : extensions)
                cases.push_back({kind, fault.Fault, extension});
    return cases;
}

const auto Named = [](const ::testing::TestParamInfo<TCase> &info) { return CaseName(info.param); };

// The fixture of the tables: each case starts with its kind's document open and modified.
class SaveFaultsCase : public SaveFaultsTest, public ::testing::WithParamInterface<TCase>
{
protected:
    void SetUp() override { OpenModified(GetParam().Kind); }
    const K Kind = GetParam().Kind;
    const TFault Fault = GetParam().Fault;
};

} // namespace

// ---- Save, the backup step, Save As and the save on closing: every kind

using DocumentSaveFaults = SaveFaultsCase;

TEST_P(DocumentSaveFaults, Save)
{
    Arm(Fault, DocPath, false);
    // With the file gone, Save asks for a name; the user gives the same one.
    if (Fault == TFault::TargetIsFolder || Fault == TFault::FolderGone)
        Desk.Dialogs.Accept({DocPath});
    RunAndCheck(C::Save, Fault);
}

TEST_P(DocumentSaveFaults, SaveWithBackup)
{
    Settings.BackupFile = true;
    const std::string backup = ChangeFileExt(DocPath, ".~" + Extension(Kind).substr(1));
    WriteFile(backup, Old("backup"));
    // A folder under the backup's name stops the old file from becoming the backup.
    Arm(Fault, Fault == TFault::TargetIsFolder ? backup : DocPath, false);
    if (Fault == TFault::FolderGone)
        Desk.Dialogs.Accept({DocPath});
    RunAndCheck(C::Save, Fault);
}

TEST_P(DocumentSaveFaults, SaveAs)
{
    const fs::path target = Out / ("new" + Extension(Kind));
    WriteFile(target.string(), Old("target"));
    Desk.Dialogs.Accept({target.string()});
    Arm(Fault, target, Fault != TFault::TargetIsFolder);
    RunAndCheck(C::SaveAs, Fault);
}

// Closing a modified window, Yes to saving: the window stays open with its changes.
TEST_P(DocumentSaveFaults, SaveOnClose)
{
    Arm(Fault, DocPath, false);
    if (Fault == TFault::TargetIsFolder || Fault == TFault::FolderGone)
        Desk.Dialogs.Accept({DocPath});
    Desk.Boxes.Answers = {TMessageResult::Yes};
    RunAndCheck([this] { Window->parentWidget()->close(); },
                {"Save changes to " + Window->FileName + "?"}, Fault, {});
}

INSTANTIATE_TEST_SUITE_P(, DocumentSaveFaults,
                         ::testing::ValuesIn(Cases({K::BM, K::MAT, K::CMP, K::SFT})), Named);

// ---- Save Bitmap: the image windows, as a Windows bitmap and as PNG

using SaveBitmapFaults = SaveFaultsCase;

TEST_P(SaveBitmapFaults, SaveBitmap)
{
    const fs::path target = Out / ("picture" + GetParam().Extension);
    WriteFile(target.string(), Old("picture"));
    Desk.Dialogs.Accept({target.string()});
    Arm(Fault, target, Fault != TFault::TargetIsFolder);
    RunAndCheck(C::SaveBitmap, Fault);
}

INSTANTIATE_TEST_SUITE_P(, SaveBitmapFaults,
                         ::testing::ValuesIn(Cases({K::BM, K::MAT, K::SFT}, {".bmp", ".png"})),
                         Named);

// ---- Save All Bitmaps: BM and MAT. The run stops at the first picture that cannot be
// written: those before it are complete, those after it untouched.

using SaveAllBitmapsFaults = SaveFaultsCase;

TEST_P(SaveAllBitmapsFaults, SaveAllBitmaps)
{
    // The pictures as a run without faults writes them, in their order.
    const fs::path probe = Dir.Path / "probe";
    fs::create_directory(probe);
    Desk.Dialogs.Accept({(probe / "any.bmp").string()});
    Main->RunCommand(C::SaveAllBitmaps);
    std::map<std::string, std::vector<uint8_t>> pictures;
    for (const auto &entry : fs::directory_iterator(probe))
        pictures[entry.path().filename().string()] = ReadFile(entry.path().string());
    fs::remove_all(probe);
    ASSERT_EQ(pictures.size(), 3u);
    const auto first = pictures.begin(), second = std::next(first);

    for (const auto &[name, bytes] : pictures)
        WriteFile((Out / name).string(), Old(name));
    ReplaceAnswer = mrYesToAll;
    Desk.Dialogs.Accept({(Out / "any.bmp").string()});
    // The disk holds the first picture and part of the second; the second's name is a folder.
    Arm(Fault, Out / second->first, Fault != TFault::TargetIsFolder, first->second.size() + 16);
    std::map<std::string, std::string> expected = Tree(Dir.Path);
    if (Fault == TFault::DiskFull || Fault == TFault::TargetIsFolder)
        expected["out/" + first->first] = Describe(first->second);
    RunAndCheck(C::SaveAllBitmaps, Fault, expected);
}

INSTANTIATE_TEST_SUITE_P(, SaveAllBitmapsFaults, ::testing::ValuesIn(Cases({K::BM, K::MAT})),
                         Named);
