// File associations in the Windows registry: the per-user part of the classes root, which
// needs no administrator rights and takes precedence over the machine-wide part.
#ifdef _WIN32
#include "platform/GLM_QtPlatform.h"

#include <QSettings>

namespace {

const char *const ClassesRoot = "HKEY_CURRENT_USER\\Software\\Classes";

// "Default" names a key's unnamed value.
QString DefaultOf(const std::string &key)
{
    return QString::fromStdString(key) + QStringLiteral("/Default");
}

// The kind's other extension (".goo" beside ".gob"), or nullptr.
const char *AlsoOf(const std::string &extension)
{
    for (const TAssociation &a : AssociationTable())
        if (extension == a.Extension)
            return a.Also;
    return nullptr;
}

} // namespace

bool TWinAssociations::IsAssociated(const std::string &extension)
{
    QSettings root(QString::fromLatin1(ClassesRoot), QSettings::NativeFormat);
    const std::string value = root.value(DefaultOf(extension)).toString().toStdString();
    for (const TAssociation &a : AssociationTable())
        if (extension == a.Extension && value == a.Identifier)
            return true;
    return false;
}

bool TWinAssociations::Associate(const std::string &extension, const std::string &identifier,
                                 const std::string &description)
{
    QSettings root(QString::fromLatin1(ClassesRoot), QSettings::NativeFormat);
    const QString program = QString::fromStdString(FShell.ProgramPath());
    root.setValue(DefaultOf(extension), QString::fromStdString(identifier));
    if (const char *also = AlsoOf(extension))
        root.setValue(DefaultOf(also), QString::fromStdString(identifier));
    root.setValue(DefaultOf(identifier), QString::fromStdString(description));
    root.setValue(DefaultOf(identifier + "/shell/open/command"),
                  program + QStringLiteral(" \"%1\""));
    root.setValue(DefaultOf(identifier + "/DefaultIcon"), program + QStringLiteral(",0"));
    root.sync();
    return root.status() == QSettings::NoError;
}

bool TWinAssociations::Unassociate(const std::string &extension, const std::string &identifier)
{
    const bool ours = IsAssociated(extension);
    QSettings root(QString::fromLatin1(ClassesRoot), QSettings::NativeFormat);
    const char *also = AlsoOf(extension);
    const bool alsoOurs =
        also && root.value(DefaultOf(also)).toString() == QString::fromStdString(identifier);
    root.remove(QString::fromStdString(identifier));
    if (ours)
        root.remove(QString::fromStdString(extension));
    if (alsoOurs)
        root.remove(QString::fromLatin1(also));
    root.sync();
    return root.status() == QSettings::NoError;
}
#endif
