#pragma once
// The one door to the desktop. Windows and dialogs never call QFileDialog, QMessageBox,
// QColorDialog, QSettings, QDesktopServices or a dialog's own modal loop themselves: they go
// through the TPlatform their context hands them, which is the Qt implementation in the
// program (app/main.cpp makes it) and a scripted double (GLM_TestPlatform.h) in tests.
// Strings and paths are UTF-8.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <QIcon>

class QDialog;
class QWidget;

// ---------------------------------------------------------------------------------------------
// Settings store: the per-user key "Software\Orlend\Glimra". Integers and strings are two
// distinct types; reading a value as the other type raises ESettingsTypeError.

class ESettingsTypeError : public std::runtime_error
{
public:
    explicit ESettingsTypeError(const std::string &valueName); // "Invalid data type for '%s'"
    std::string ValueName;
};

class TSettingsStore
{
public:
    virtual ~TSettingsStore() = default;

    // Opens the key; false when it does not exist and may not be created, or cannot be
    // opened at all. Every other call needs an open key.
    virtual bool OpenKey(bool canCreate) = 0;
    virtual void CloseKey() = 0;

    virtual bool ValueExists(const std::string &name) = 0;
    virtual int32_t ReadInteger(const std::string &name) = 0;    // ESettingsTypeError
    virtual std::string ReadString(const std::string &name) = 0; // ESettingsTypeError
    virtual void WriteInteger(const std::string &name, int32_t value) = 0;
    virtual void WriteString(const std::string &name, const std::string &value) = 0;

    // Where the values live, for messages: the settings file, or the registry key.
    virtual std::string Location() const { return {}; }
    // True when the last OpenKey found a store it could not make sense of (a damaged
    // settings file); whatever could be read is still there.
    virtual bool Damaged() const { return false; }
    // True when the last CloseKey could not store the values written.
    virtual bool SaveFailed() const { return false; }

    // Booleans are integers: written as 0 or 1, read as true when non-zero.
    bool ReadBool(const std::string &name) { return ReadInteger(name) != 0; }
    void WriteBool(const std::string &name, bool value) { WriteInteger(name, value ? 1 : 0); }
};

// ---------------------------------------------------------------------------------------------
// File dialogs. Filters use the "Description|patterns|Description|patterns" form, patterns
// separated by ';' ("All Supported Files|*.bm; *.cmp|BM Graphics (*.bm)|*.bm").

enum class TFileDialogKind { Open, Save, OpenPicture };

struct TFileDialogRequest
{
    TFileDialogKind Kind = TFileDialogKind::Open;
    std::string Title;
    std::string InitialDir;
    std::string Filter;
    int FilterIndex = 1;            // 1-based; below 1 selects the first. Set to the chosen one.
    std::string FileName;           // initial name; on return the first chosen full path
    std::vector<std::string> Files; // on return every chosen full path, in the dialog's order
    bool MultiSelect = false;       // open dialogs only
    bool AcceptMembers = false;     // open dialogs: a typed CONTAINER::NAME path is taken too
    std::string DefaultExt;         // without dot; added by save dialogs to names without one
    QWidget *Parent = nullptr;
};

// The filter string split into (description, patterns) pairs; patterns are trimmed of blanks.
std::vector<std::pair<std::string, std::vector<std::string>>>
ParseFileFilter(const std::string &filter);

class TFileDialogs
{
public:
    virtual ~TFileDialogs() = default;
    // Shows the dialog; true when the user confirmed. Save dialogs never ask about
    // overwriting: callers confirm replacements with their own dialog.
    virtual bool Execute(TFileDialogRequest &request) = 0;
};

// ---------------------------------------------------------------------------------------------
// Colour dialog. Colours are TColor values: red in bits 0..7, green 8..15, blue 16..23.

class TColorDialog
{
public:
    virtual ~TColorDialog() = default;
    // Opens on `color`; on confirmation stores the choice in it and returns true.
    virtual bool Execute(uint32_t &color, QWidget *parent = nullptr) = 0;
};

// ---------------------------------------------------------------------------------------------
// Message boxes.

enum class TMessageKind { Warning, Error, Information, Question };
enum class TMessageResult { Ok, Yes, No, Cancel };

class TMessageBoxes
{
public:
    virtual ~TMessageBoxes() = default;
    // A box with an OK button and the icon of `kind` (Warning, Error or Information). An
    // empty caption gives the kind's standard one ("Warning", "Error", "Information").
    virtual void Show(TMessageKind kind, const std::string &text, const std::string &caption = {},
                      QWidget *parent = nullptr) = 0;
    // Yes, No and Cancel buttons and the warning icon; the close box answers Cancel. Standard
    // caption "Glimra".
    virtual TMessageResult Question(const std::string &text, const std::string &caption = {},
                                    QWidget *parent = nullptr) = 0;

    void Warning(const std::string &text, const std::string &caption = {},
                 QWidget *parent = nullptr)
    {
        Show(TMessageKind::Warning, text, caption, parent);
    }
    void Error(const std::string &text, const std::string &caption = {}, QWidget *parent = nullptr)
    {
        Show(TMessageKind::Error, text, caption, parent);
    }
    void Information(const std::string &text, const std::string &caption = {},
                     QWidget *parent = nullptr)
    {
        Show(TMessageKind::Information, text, caption, parent);
    }
};

// ---------------------------------------------------------------------------------------------
// Shell: default programs, file icons, the program's own path.

class TShell
{
public:
    virtual ~TShell() = default;
    // Opens `path` with the desktop's default program; false when that failed.
    virtual bool OpenWithDefaultProgram(const std::string &path) = 0;
    // The icon the desktop shows for the file; null when it has none.
    virtual QIcon FileIcon(const std::string &path) = 0;
    // Full path of the running executable.
    virtual std::string ProgramPath() = 0;
};

// ---------------------------------------------------------------------------------------------
// File associations of the four game file types.

struct TAssociation
{
    const char *Extension;   // ".bm"
    const char *Identifier;  // "Glimra.BM"
    const char *Description; // "BM File"
    const char *Also = nullptr; // another extension of the same kind (".goo")
};

// In the order of the Options dialog: BM, CMP, MAT, SFT, GOB.
const std::array<TAssociation, 5> &AssociationTable();

class TFileAssociations
{
public:
    virtual ~TFileAssociations() = default;
    // True when `extension` (compared exactly, case included) is one of the table's and is
    // handled by its program identifier.
    virtual bool IsAssociated(const std::string &extension) = 0;
    // Makes the program (ProgramPath of the shell) the handler of `extension`; false when the
    // entries could not be written.
    virtual bool Associate(const std::string &extension, const std::string &identifier,
                           const std::string &description) = 0;
    // Removes `identifier`, and the extension's entry only while it names this program.
    // False when something of ours could not be removed.
    virtual bool Unassociate(const std::string &extension, const std::string &identifier) = 0;
};

// ---------------------------------------------------------------------------------------------
// Modal showing of the program's own dialogs.

class TModalDialogs
{
public:
    virtual ~TModalDialogs() = default;
    // Shows `dialog` modally and returns the code it ended with.
    virtual int Run(QDialog &dialog) = 0;
};

// ---------------------------------------------------------------------------------------------
// The set of services.

class TPlatform
{
public:
    virtual ~TPlatform() = default;
    virtual TSettingsStore &Settings() = 0;
    virtual TFileDialogs &FileDialogs() = 0;
    virtual TColorDialog &ColorDialog() = 0;
    virtual TMessageBoxes &Messages() = 0;
    virtual TShell &Shell() = 0;
    virtual TFileAssociations &Associations() = 0;
    virtual TModalDialogs &Modal() = 0;
};
