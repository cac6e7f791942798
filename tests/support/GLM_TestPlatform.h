#pragma once
// Scripted stand-in for the desktop, for tests: dialogs answer from queues, message boxes are
// recorded, settings live in memory, and the program's own dialogs are played by a driver
// instead of a modal loop. A test hands it to the context it builds.
//
//     TTestPlatform desk;
//     TWindowContext context(desk);
//     desk.Dialogs.Accept({"/tmp/a.bm"});
//     desk.Boxes.Answers.push_back(TMessageResult::No);
//     desk.Modals.Driver = [](QDialog &dialog) { ... play the user, then dialog.done(...) ... };
//     ... run the code ...
//     EXPECT_EQ(desk.Boxes.Shown.at(0).Text, "File does not exist");

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/GLM_Platform.h"

class TMemorySettingsStore : public TSettingsStore
{
public:
    using TValue = std::variant<int32_t, std::string>;

    bool KeyExists = false;  // false: a first run, the key is missing
    bool CanCreate = true;   // false: the key cannot be created or opened for writing
    std::map<std::string, TValue> Values;
    std::vector<std::string> WriteLog; // value names in the order they were written
    bool IsOpen = false;

    bool OpenKey(bool canCreate) override;
    void CloseKey() override;
    bool ValueExists(const std::string &name) override;
    int32_t ReadInteger(const std::string &name) override;
    std::string ReadString(const std::string &name) override;
    void WriteInteger(const std::string &name, int32_t value) override;
    void WriteString(const std::string &name, const std::string &value) override;
};

class TScriptedFileDialogs : public TFileDialogs
{
public:
    struct TAnswer
    {
        bool Accepted = false;
        std::vector<std::string> Files;
        int FilterIndex = 0; // 0 keeps the request's index
    };

    std::deque<TAnswer> Answers;
    std::vector<TFileDialogRequest> Shown; // each request as it was when shown
    int Unanswered = 0;                    // dialogs shown with an empty queue (cancelled)

    void Accept(std::vector<std::string> files, int filterIndex = 0);
    void Cancel();

    bool Execute(TFileDialogRequest &request) override;
};

class TScriptedColorDialog : public TColorDialog
{
public:
    std::deque<std::optional<uint32_t>> Answers; // nullopt: cancelled
    std::vector<uint32_t> Shown;                 // the colour each showing opened on
    int Unanswered = 0;

    bool Execute(uint32_t &color, QWidget *parent = nullptr) override;
};

struct TRecordedMessage
{
    TMessageKind Kind;
    std::string Caption; // as passed (empty for the standard caption)
    std::string Text;
};

class TRecordingMessageBoxes : public TMessageBoxes
{
public:
    std::vector<TRecordedMessage> Shown;
    std::deque<TMessageResult> Answers; // for questions
    int Unanswered = 0;                 // questions asked with an empty queue (Cancel)

    void Show(TMessageKind kind, const std::string &text, const std::string &caption = {},
              QWidget *parent = nullptr) override;
    TMessageResult Question(const std::string &text, const std::string &caption = {},
                            QWidget *parent = nullptr) override;
};

class TTestShell : public TShell
{
public:
    std::vector<std::string> Opened;       // paths handed to the default program
    bool OpenResult = true;
    std::vector<std::string> IconRequests; // paths whose icon was asked for
    QIcon Icon;                            // what FileIcon answers
    std::string Program = "/opt/glimra/glimra";

    bool OpenWithDefaultProgram(const std::string &path) override;
    QIcon FileIcon(const std::string &path) override;
    std::string ProgramPath() override;
};

// The classes root in memory: key path ("\"-separated) to its default value.
class TMemoryAssociations : public TFileAssociations
{
public:
    explicit TMemoryAssociations(TShell &shell) : FShell(shell) {}

    std::map<std::string, std::string> Keys;
    bool Writable = true;

    bool IsAssociated(const std::string &extension) override;
    bool Associate(const std::string &extension, const std::string &identifier,
                   const std::string &description) override;
    bool Unassociate(const std::string &extension, const std::string &identifier) override;

private:
    TShell &FShell;
};

// Shows the dialog without a nested event loop and lets Driver play the user (set controls,
// call the handlers); a dialog the driver leaves open is cancelled.
class TScriptedModalDialogs : public TModalDialogs
{
public:
    std::function<void(QDialog &)> Driver;
    int Run(QDialog &dialog) override;
};

class TTestPlatform : public TPlatform
{
public:
    TTestPlatform() = default;
    TTestPlatform(const TTestPlatform &) = delete;
    TTestPlatform &operator=(const TTestPlatform &) = delete;

    TMemorySettingsStore Store;
    TScriptedFileDialogs Dialogs;
    TScriptedColorDialog Colors;
    TRecordingMessageBoxes Boxes;
    TTestShell Desktop;
    TMemoryAssociations Assoc{Desktop};
    TScriptedModalDialogs Modals;

    TSettingsStore &Settings() override { return Store; }
    TFileDialogs &FileDialogs() override { return Dialogs; }
    TColorDialog &ColorDialog() override { return Colors; }
    TMessageBoxes &Messages() override { return Boxes; }
    TShell &Shell() override { return Desktop; }
    TFileAssociations &Associations() override { return Assoc; }
    TModalDialogs &Modal() override { return Modals; }
};
