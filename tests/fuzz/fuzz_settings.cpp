// The settings store's value parsing: any bytes as the settings file. Every value reads as an
// integer or a string or is refused as of the wrong type, and what was read writes back and
// reads again the same.
#include "FuzzCommon.h"
#include "platform/GLM_QtPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

namespace {

struct TValue
{
    bool IsInteger = false;
    int32_t Integer = 0;
    bool IsString = false;
    std::string String;
};

// An integer when it reads as one (untagged text of digits reads as both), else a string.
TValue ReadValue(TSettingsStore &store, const std::string &name)
{
    TValue v;
    try {
        v.Integer = store.ReadInteger(name);
        v.IsInteger = true;
        return v;
    } catch (const ESettingsTypeError &) {
    }
    try {
        v.String = store.ReadString(name);
        v.IsString = true;
    } catch (const ESettingsTypeError &) {
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each run gets names of its own: the settings layer caches files by name.
    static int run = 0;
    const std::string tag = "-" + std::to_string(++run) + ".ini";
    const std::string input = fuzz::WriteInput(data, size, tag);
    const std::string output = fuzz::WriteInput(nullptr, 0, tag, 1);
    QStringList keys;
    {
        QSettings raw(QString::fromStdString(input), QSettings::IniFormat);
        keys = raw.allKeys();
    }
    keys << "CycleRate"
         << "HelpFilePath";
    std::vector<std::pair<std::string, TValue>> values;
    {
        TQtSettingsStore store(input), copy(output);
        if (store.OpenKey(false) && copy.OpenKey(true)) {
            for (const QString &key : keys) {
                const std::string name = key.toStdString();
                if (!store.ValueExists(name))
                    continue;
                const TValue v = ReadValue(store, name);
                if (v.IsInteger)
                    copy.WriteInteger(name, v.Integer);
                else if (v.IsString)
                    copy.WriteString(name, v.String);
                else
                    continue;
                values.emplace_back(name, v);
            }
            copy.CloseKey();
            store.CloseKey();
        }
    }
    TQtSettingsStore back(output);
    if (!values.empty() && !back.OpenKey(false))
        fuzz::Fail("the values read could not be written back");
    for (const auto &[name, v] : values) {
        const TValue again = ReadValue(back, name);
        if (again.IsInteger != v.IsInteger || again.Integer != v.Integer ||
            again.String != v.String)
            fuzz::Fail("a value did not read back as it was written");
    }
    back.CloseKey();
    QFile::remove(QString::fromStdString(input));
    QFile::remove(QString::fromStdString(output));
    return 0;
}
