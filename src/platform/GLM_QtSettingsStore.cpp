#include "platform/GLM_QtPlatform.h"

#include <limits>

#include <QFileInfo>
#include <QSettings>

#include "formats/GLM_IntegerText.h"

namespace {

const QString IntegerTag = QStringLiteral("dword:");
const QString StringTag = QStringLiteral("sz:");

QString Key(const std::string &name)
{
    return QString::fromStdString(name);
}

} // namespace

TQtSettingsStore::TQtSettingsStore() = default;

TQtSettingsStore::TQtSettingsStore(const std::string &iniFile) : FIniFile(iniFile) {}

TQtSettingsStore::~TQtSettingsStore() = default;

std::unique_ptr<QSettings> TQtSettingsStore::NewSettings() const
{
    if (!FIniFile.empty())
        return std::make_unique<QSettings>(QString::fromStdString(FIniFile), QSettings::IniFormat);
#ifdef Q_OS_WIN
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Orlend\\Glimra");
    return std::make_unique<QSettings>(key, QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Orlend"), QStringLiteral("Glimra"));
#endif
}

bool TQtSettingsStore::OpenKey(bool canCreate)
{
    FSettings = NewSettings();
    FSaveFailed = false;
    // Reading a value makes the store parse its file; a file it cannot parse says so here.
    FSettings->contains(QStringLiteral("CycleRate"));
    FDamaged = FSettings->status() == QSettings::FormatError;
    bool exists;
#ifdef Q_OS_WIN
    exists = FIniFile.empty()
                 ? !(FSettings->childKeys().isEmpty() && FSettings->childGroups().isEmpty())
                 : QFileInfo::exists(FSettings->fileName());
#else
    exists = QFileInfo::exists(FSettings->fileName());
#endif
    if ((!exists && !canCreate) || (canCreate && !FSettings->isWritable())) {
        FSettings.reset();
        return false;
    }
    return true;
}

void TQtSettingsStore::CloseKey()
{
    if (FSettings) {
        FSettings->sync();
        FSaveFailed = FSettings->status() == QSettings::AccessError;
    }
    FSettings.reset();
}

std::string TQtSettingsStore::Location() const
{
#ifdef Q_OS_WIN
    if (FIniFile.empty())
        return "HKEY_CURRENT_USER\\Software\\Orlend\\Glimra";
#endif
    return (FSettings ? FSettings->fileName() : NewSettings()->fileName()).toStdString();
}

bool TQtSettingsStore::ValueExists(const std::string &name)
{
    return FSettings && FSettings->contains(Key(name));
}

bool TQtSettingsStore::TypedText() const
{
#ifdef Q_OS_WIN
    return !FIniFile.empty();
#else
    return true;
#endif
}

int32_t TQtSettingsStore::ReadInteger(const std::string &name)
{
    if (!FSettings)
        throw ESettingsTypeError(name);
    const QVariant v = FSettings->value(Key(name));
    int32_t value = 0;
    if (TypedText()) {
        if (v.typeId() != QMetaType::QString)
            throw ESettingsTypeError(name);
        QString text = v.toString();
        if (text.startsWith(IntegerTag))
            text = text.mid(IntegerTag.size());
        // Untagged text, as a hand-edited file may hold, counts when it is a plain number.
        if (!TryStrToInt(text.toStdString(), value))
            throw ESettingsTypeError(name);
        return value;
    }
    // The registry: DWORD values come back as integers.
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::UInt)
        return static_cast<int32_t>(v.toUInt());
    throw ESettingsTypeError(name);
}

std::string TQtSettingsStore::ReadString(const std::string &name)
{
    if (!FSettings)
        throw ESettingsTypeError(name);
    const QVariant v = FSettings->value(Key(name));
    if (v.typeId() != QMetaType::QString)
        throw ESettingsTypeError(name);
    QString text = v.toString();
    if (TypedText()) {
        if (text.startsWith(IntegerTag))
            throw ESettingsTypeError(name);
        if (text.startsWith(StringTag))
            text = text.mid(StringTag.size());
    }
    return text.toStdString();
}

void TQtSettingsStore::WriteInteger(const std::string &name, int32_t value)
{
    if (!FSettings)
        return;
    if (TypedText())
        FSettings->setValue(Key(name), IntegerTag + QString::number(value));
    else
        FSettings->setValue(Key(name), static_cast<int>(value));
}

void TQtSettingsStore::WriteString(const std::string &name, const std::string &value)
{
    if (!FSettings)
        return;
    const QString text = QString::fromStdString(value);
    FSettings->setValue(Key(name), TypedText() ? StringTag + text : text);
}
