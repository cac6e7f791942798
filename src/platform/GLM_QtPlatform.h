#pragma once
// The desktop through Qt: the only code that uses QSettings, QFileDialog, QColorDialog,
// QMessageBox, QDesktopServices and QDialog::exec.

#include <memory>
#include <string>

#include <QStringList>

#include "platform/GLM_Platform.h"

class QFileDialog;
class QSettings;

// QSettings with organisation "Orlend" and application "Glimra": on Windows the registry key
// HKEY_CURRENT_USER\Software\Orlend\Glimra, where integers are DWORD and strings SZ values;
// elsewhere the per-user configuration file, where each value carries its type in its text
// ("dword:640", "sz:Glimra.chm") because the file format itself keeps none.
class TQtSettingsStore : public TSettingsStore
{
public:
    TQtSettingsStore();
    // A settings file of our own, for tests (non-Windows text encoding).
    explicit TQtSettingsStore(const std::string &iniFile);
    ~TQtSettingsStore() override;

    bool OpenKey(bool canCreate) override;
    void CloseKey() override;
    bool ValueExists(const std::string &name) override;
    int32_t ReadInteger(const std::string &name) override;
    std::string ReadString(const std::string &name) override;
    void WriteInteger(const std::string &name, int32_t value) override;
    void WriteString(const std::string &name, const std::string &value) override;
    std::string Location() const override;
    bool Damaged() const override { return FDamaged; }
    bool SaveFailed() const override { return FSaveFailed; }

private:
    std::unique_ptr<QSettings> NewSettings() const;
    bool FDamaged = false;
    bool FSaveFailed = false;
    bool TypedText() const; // types kept in the value's text rather than by the store
    std::string FIniFile;
    std::unique_ptr<QSettings> FSettings;
};

class TQtFileDialogs : public TFileDialogs
{
public:
    // The filter string as Qt's name filters ("BM Graphics (*.bm) (*.bm)").
    static QStringList NameFilters(const std::string &filter);
    bool Execute(TFileDialogRequest &request) override;

    // The two halves of Execute around the dialog's loop, apart so that tests can play the
    // user on a real dialog: one set up for the request, and the choices read back from it
    // (false when none is chosen).
    static std::unique_ptr<QFileDialog> NewDialog(const TFileDialogRequest &request);
    static bool Collect(const QFileDialog &dialog, TFileDialogRequest &request);
};

class TQtColorDialog : public TColorDialog
{
public:
    bool Execute(uint32_t &color, QWidget *parent = nullptr) override;
};

class TQtMessageBoxes : public TMessageBoxes
{
public:
    void Show(TMessageKind kind, const std::string &text, const std::string &caption = {},
              QWidget *parent = nullptr) override;
    TMessageResult Question(const std::string &text, const std::string &caption = {},
                            QWidget *parent = nullptr) override;
};

class TQtModalDialogs : public TModalDialogs
{
public:
    int Run(QDialog &dialog) override;
};

class TQtShell : public TShell
{
public:
    bool OpenWithDefaultProgram(const std::string &path) override;
    QIcon FileIcon(const std::string &path) override;
    std::string ProgramPath() override;
};

// Associations the freedesktop way. For each extension: a MIME type
// "application/x-glimra-<ext>" (glob "*.<ext>", comment = description) in
// <data>/mime/packages/glimra-<ext>.xml; a desktop entry <data>/applications/<identifier>.desktop
// whose Exec is the program path and "%f"; and the line "<mime type>=<identifier>.desktop" in
// the [Default Applications] group of <config>/mimeapps.list. The MIME package and that line
// play the extension key's part, the desktop entry the identifier key's.
class TXdgAssociations : public TFileAssociations
{
public:
    // Empty folders mean $XDG_DATA_HOME / $XDG_CONFIG_HOME or their standard defaults.
    explicit TXdgAssociations(TShell &shell, std::string dataHome = {}, std::string configHome = {},
                              bool refreshDatabases = true);

    bool IsAssociated(const std::string &extension) override;
    bool Associate(const std::string &extension, const std::string &identifier,
                   const std::string &description) override;
    bool Unassociate(const std::string &extension, const std::string &identifier) override;

    static std::string MimeTypeOf(const std::string &extension); // ".bm": application/x-glimra-bm
    // The Exec line's program part, quoted and escaped as desktop entries require.
    static std::string ExecLine(const std::string &programPath);

    std::string DataHome() const;
    std::string ConfigHome() const;

private:
    void RefreshDatabases() const;
    TShell &FShell;
    std::string FDataHome;
    std::string FConfigHome;
    bool FRefresh;
};

#ifdef _WIN32
// Associations in the per-user part of the classes root (HKCU\Software\Classes).
class TWinAssociations : public TFileAssociations
{
public:
    explicit TWinAssociations(TShell &shell) : FShell(shell) {}
    bool IsAssociated(const std::string &extension) override;
    bool Associate(const std::string &extension, const std::string &identifier,
                   const std::string &description) override;
    bool Unassociate(const std::string &extension, const std::string &identifier) override;

private:
    TShell &FShell;
};
#endif

class TQtPlatform : public TPlatform
{
public:
    TQtPlatform();
    ~TQtPlatform() override;

    TSettingsStore &Settings() override;
    TFileDialogs &FileDialogs() override { return FFileDialogs; }
    TColorDialog &ColorDialog() override { return FColorDialog; }
    TMessageBoxes &Messages() override { return FMessages; }
    TShell &Shell() override { return FShell; }
    TFileAssociations &Associations() override;
    TModalDialogs &Modal() override { return FModal; }

private:
    std::unique_ptr<TSettingsStore> FSettings;
    TQtFileDialogs FFileDialogs;
    TQtColorDialog FColorDialog;
    TQtMessageBoxes FMessages;
    TQtShell FShell;
    std::unique_ptr<TFileAssociations> FAssociations;
    TQtModalDialogs FModal;
};
