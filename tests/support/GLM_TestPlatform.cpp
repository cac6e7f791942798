#include "GLM_TestPlatform.h"

#include <algorithm>

#include <QDialog>

// ---- TMemorySettingsStore

bool TMemorySettingsStore::OpenKey(bool canCreate)
{
    if (!KeyExists) {
        if (!canCreate || !CanCreate)
            return false;
        KeyExists = true;
    } else if (canCreate && !CanCreate) {
        return false;
    }
    IsOpen = true;
    return true;
}

void TMemorySettingsStore::CloseKey()
{
    IsOpen = false;
}

bool TMemorySettingsStore::ValueExists(const std::string &name)
{
    return Values.count(name) != 0;
}

int32_t TMemorySettingsStore::ReadInteger(const std::string &name)
{
    const auto it = Values.find(name);
    if (it == Values.end() || !std::holds_alternative<int32_t>(it->second))
        throw ESettingsTypeError(name);
    return std::get<int32_t>(it->second);
}

std::string TMemorySettingsStore::ReadString(const std::string &name)
{
    const auto it = Values.find(name);
    if (it == Values.end() || !std::holds_alternative<std::string>(it->second))
        throw ESettingsTypeError(name);
    return std::get<std::string>(it->second);
}

void TMemorySettingsStore::WriteInteger(const std::string &name, int32_t value)
{
    Values[name] = value;
    WriteLog.push_back(name);
}

void TMemorySettingsStore::WriteString(const std::string &name, const std::string &value)
{
    Values[name] = value;
    WriteLog.push_back(name);
}

// ---- TScriptedFileDialogs

void TScriptedFileDialogs::Accept(std::vector<std::string> files, int filterIndex)
{
    Answers.push_back({true, std::move(files), filterIndex});
}

void TScriptedFileDialogs::Cancel()
{
    Answers.push_back({});
}

bool TScriptedFileDialogs::Execute(TFileDialogRequest &request)
{
    Shown.push_back(request);
    if (Answers.empty()) {
        ++Unanswered;
        return false;
    }
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    if (!answer.Accepted)
        return false;
    request.Files = answer.Files;
    request.FileName = answer.Files.empty() ? std::string() : answer.Files.front();
    if (answer.FilterIndex > 0)
        request.FilterIndex = answer.FilterIndex;
    return true;
}

// ---- TScriptedColorDialog

bool TScriptedColorDialog::Execute(uint32_t &color, QWidget *)
{
    Shown.push_back(color);
    if (Answers.empty()) {
        ++Unanswered;
        return false;
    }
    const std::optional<uint32_t> answer = Answers.front();
    Answers.pop_front();
    if (!answer)
        return false;
    color = *answer;
    return true;
}

// ---- TRecordingMessageBoxes

void TRecordingMessageBoxes::Show(TMessageKind kind, const std::string &text,
                                  const std::string &caption, QWidget *)
{
    Shown.push_back({kind, caption, text});
}

TMessageResult TRecordingMessageBoxes::Question(const std::string &text,
                                                const std::string &caption, QWidget *)
{
    Shown.push_back({TMessageKind::Question, caption, text});
    if (Answers.empty()) {
        ++Unanswered;
        return TMessageResult::Cancel;
    }
    const TMessageResult answer = Answers.front();
    Answers.pop_front();
    return answer;
}

// ---- TTestShell

bool TTestShell::OpenWithDefaultProgram(const std::string &path)
{
    Opened.push_back(path);
    return OpenResult;
}

QIcon TTestShell::FileIcon(const std::string &path)
{
    IconRequests.push_back(path);
    return Icon;
}

std::string TTestShell::ProgramPath()
{
    return Program;
}

// ---- TMemoryAssociations: the classes-root layout of the association table.

bool TMemoryAssociations::IsAssociated(const std::string &extension)
{
    const auto it = Keys.find(extension);
    if (it == Keys.end())
        return false;
    const auto &table = AssociationTable();
    return std::any_of(table.begin(), table.end(), [&](const TAssociation &a) {
        return extension == a.Extension && it->second == a.Identifier;
    });
}

bool TMemoryAssociations::Associate(const std::string &extension, const std::string &identifier,
                                    const std::string &description)
{
    if (!Writable)
        return false;
    const std::string program = FShell.ProgramPath();
    Keys[extension] = identifier;
    Keys[identifier] = description;
    Keys[identifier + "\\shell\\open\\command"] = program + " \"%1\"";
    Keys[identifier + "\\DefaultIcon"] = program + ",0";
    return true;
}

bool TMemoryAssociations::Unassociate(const std::string &extension,
                                      const std::string &identifier)
{
    if (!Writable)
        return false;
    const bool ours = IsAssociated(extension);
    std::erase_if(Keys, [&](const auto &key) {
        return key.first == identifier || key.first.rfind(identifier + "\\", 0) == 0;
    });
    if (ours)
        std::erase_if(Keys, [&](const auto &key) {
            return key.first == extension || key.first.rfind(extension + "\\", 0) == 0;
        });
    return true;
}

// ---- TScriptedModalDialogs

int TScriptedModalDialogs::Run(QDialog &dialog)
{
    dialog.setResult(0);
    dialog.open();
    if (const auto driver = Driver) // a copy: the driver may put another one in place
        driver(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}
