#pragma once
// Scripted stand-in for the desktop, which a test hands to the context it builds: dialogs
// answer from queues, message boxes are recorded, settings live in memory, associations in
// a temporary folder, and the program's own dialogs are played by Modals.Driver instead of a
// modal loop (a dialog it leaves open is cancelled).

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QDialog>
#include <QTemporaryDir>

#include "platform/GLM_QtPlatform.h"

// The next answer of a queue; nothing when it has run out.
template <class T> std::optional<T> NextAnswer(std::deque<T> &answers)
{
    if (answers.empty())
        return std::nullopt;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

class TMemorySettingsStore : public TSettingsStore
{
public:
    using TValue = std::variant<int32_t, std::string>;

    bool KeyExists = false; // false: a first run, the key is missing
    bool CanCreate = true;  // false: the key cannot be created or opened for writing
    bool IsOpen = false;
    std::map<std::string, TValue> Values;
    std::vector<std::string> WriteLog; // value names in the order they were written

    bool OpenKey(bool canCreate) override
    {
        if (KeyExists ? canCreate && !CanCreate : !canCreate || !CanCreate)
            return false;
        return KeyExists = IsOpen = true;
    }
    void CloseKey() override { IsOpen = false; }
    bool ValueExists(const std::string &name) override { return Values.count(name) != 0; }
    int32_t ReadInteger(const std::string &name) override { return Read<int32_t>(name); }
    std::string ReadString(const std::string &name) override { return Read<std::string>(name); }
    void WriteInteger(const std::string &name, int32_t value) override { Write(name, value); }
    void WriteString(const std::string &name, const std::string &v) override { Write(name, v); }

private:
    template <class T> T Read(const std::string &name) const
    {
        const auto it = Values.find(name);
        if (it == Values.end() || !std::holds_alternative<T>(it->second))
            throw ESettingsTypeError(name);
        return std::get<T>(it->second);
    }
    void Write(const std::string &name, TValue value)
    {
        Values[name] = std::move(value);
        WriteLog.push_back(name);
    }
};

class TScriptedFileDialogs : public TFileDialogs
{
public:
    struct TAnswer
    {
        std::vector<std::string> Files; // none: cancelled
        int FilterIndex = 0;            // 0 keeps the request's index
    };
    std::deque<TAnswer> Answers;           // none left: cancelled
    std::vector<TFileDialogRequest> Shown; // each request as it was when shown

    void Accept(std::vector<std::string> files, int filterIndex = 0)
    {
        Answers.push_back({std::move(files), filterIndex});
    }
    void Cancel() { Answers.push_back({}); }
    bool Execute(TFileDialogRequest &request) override
    {
        Shown.push_back(request);
        const std::optional<TAnswer> answer = NextAnswer(Answers);
        if (!answer || answer->Files.empty())
            return false;
        request.Files = answer->Files;
        request.FileName = answer->Files.front();
        request.FilterIndex = answer->FilterIndex > 0 ? answer->FilterIndex : request.FilterIndex;
        return true;
    }
};

class TScriptedColorDialog : public TColorDialog
{
public:
    std::deque<std::optional<uint32_t>> Answers; // nullopt, or none left: cancelled
    std::vector<uint32_t> Shown;                 // the colour each showing opened on

    bool Execute(uint32_t &color, QWidget * = nullptr) override
    {
        Shown.push_back(color);
        const std::optional<uint32_t> answer = NextAnswer(Answers).value_or(std::nullopt);
        color = answer.value_or(color);
        return answer.has_value();
    }
};

struct TRecordedMessage
{
    TMessageKind Kind;
    std::string Text;
};

class TRecordingMessageBoxes : public TMessageBoxes
{
public:
    std::vector<TRecordedMessage> Shown;
    std::deque<TMessageResult> Answers; // for questions; none left: Cancel

    void Show(TMessageKind kind, const std::string &text, const std::string & = {},
              QWidget * = nullptr) override
    {
        Shown.push_back({kind, text});
    }
    TMessageResult Question(const std::string &text, const std::string & = {},
                            QWidget * = nullptr) override
    {
        Shown.push_back({TMessageKind::Question, text});
        return NextAnswer(Answers).value_or(TMessageResult::Cancel);
    }
};

class TTestShell : public TShell
{
public:
    std::vector<std::string> Opened; // paths handed to the default program
    bool OpenResult = true;
    QIcon Icon; // what FileIcon answers
    std::string Program = "/opt/glimra/glimra";

    bool OpenWithDefaultProgram(const std::string &path) override
    {
        Opened.push_back(path);
        return OpenResult;
    }
    QIcon FileIcon(const std::string &) override { return Icon; }
    std::string ProgramPath() override { return Program; }
};

class TScriptedModalDialogs : public TModalDialogs
{
public:
    std::function<void(QDialog &)> Driver;
    int Run(QDialog &dialog) override
    {
        dialog.setResult(0);
        dialog.open();
        if (const auto driver = Driver) // a copy: the driver may put another one in place
            driver(dialog);
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    }
};

class TTestPlatform : public TPlatform
{
public:
    TMemorySettingsStore Store;
    TScriptedFileDialogs Dialogs;
    TScriptedColorDialog Colors;
    TRecordingMessageBoxes Boxes;
    TTestShell Desktop;
    QTemporaryDir Home; // the associations' data and config folders
    TXdgAssociations Assoc{Desktop, Home.filePath("data").toStdString(),
                           Home.filePath("config").toStdString(), false};
    TScriptedModalDialogs Modals;

    TSettingsStore &Settings() override { return Store; }
    TFileDialogs &FileDialogs() override { return Dialogs; }
    TColorDialog &ColorDialog() override { return Colors; }
    TMessageBoxes &Messages() override { return Boxes; }
    TShell &Shell() override { return Desktop; }
    TFileAssociations &Associations() override { return Assoc; }
    TModalDialogs &Modal() override { return Modals; }
};
