// Temporary stubs; the Qt implementations follow.
#include "platform/GLM_QtPlatform.h"

#include <QSettings>

TQtSettingsStore::TQtSettingsStore() = default;
TQtSettingsStore::TQtSettingsStore(const std::string &iniFile) : FIniFile(iniFile) {}
TQtSettingsStore::~TQtSettingsStore() = default;
bool TQtSettingsStore::OpenKey(bool) { return false; }
void TQtSettingsStore::CloseKey() {}
bool TQtSettingsStore::ValueExists(const std::string &) { return false; }
int32_t TQtSettingsStore::ReadInteger(const std::string &name) { throw ESettingsTypeError(name); }
std::string TQtSettingsStore::ReadString(const std::string &name)
{
    throw ESettingsTypeError(name);
}
void TQtSettingsStore::WriteInteger(const std::string &, int32_t) {}
void TQtSettingsStore::WriteString(const std::string &, const std::string &) {}
std::unique_ptr<QSettings> TQtSettingsStore::NewSettings() const { return {}; }

bool TQtFileDialogs::Execute(TFileDialogRequest &) { return false; }
bool TQtColorDialog::Execute(uint32_t &, QWidget *) { return false; }
void TQtMessageBoxes::Warning(const std::string &, const std::string &, QWidget *) {}
void TQtMessageBoxes::Error(const std::string &, const std::string &, QWidget *) {}
void TQtMessageBoxes::Information(const std::string &, const std::string &, QWidget *) {}
TMessageResult TQtMessageBoxes::Question(const std::string &, const std::string &, QWidget *)
{
    return TMessageResult::Cancel;
}
bool TQtShell::OpenWithDefaultProgram(const std::string &) { return false; }
QIcon TQtShell::FileIcon(const std::string &) { return {}; }
std::string TQtShell::ProgramPath() { return {}; }

TXdgAssociations::TXdgAssociations(TShell &shell, std::string dataHome, std::string configHome,
                                   bool refreshDatabases)
    : FShell(shell), FDataHome(std::move(dataHome)), FConfigHome(std::move(configHome)),
      FRefresh(refreshDatabases)
{
}
bool TXdgAssociations::IsAssociated(const std::string &) { return false; }
bool TXdgAssociations::Associate(const std::string &, const std::string &, const std::string &)
{
    return false;
}
bool TXdgAssociations::Unassociate(const std::string &, const std::string &) { return false; }
std::string TXdgAssociations::MimeTypeOf(const std::string &e) { return e; }
std::string TXdgAssociations::ExecLine(const std::string &p) { return p; }
std::string TXdgAssociations::DataHome() const { return FDataHome; }
std::string TXdgAssociations::ConfigHome() const { return FConfigHome; }
void TXdgAssociations::RefreshDatabases() const {}

TQtPlatform::TQtPlatform() = default;
TQtPlatform::~TQtPlatform() = default;
TSettingsStore &TQtPlatform::Settings()
{
    if (!FSettings)
        FSettings = std::make_unique<TQtSettingsStore>();
    return *FSettings;
}
TFileAssociations &TQtPlatform::Associations()
{
    if (!FAssociations)
        FAssociations = std::make_unique<TXdgAssociations>(FShell);
    return *FAssociations;
}
