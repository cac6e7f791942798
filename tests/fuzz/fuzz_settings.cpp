// The settings store's value parsing: any bytes as the settings file. Every value reads as an
// integer or a string or is refused as of the wrong type, and what was read writes back and
// reads again the same.
#include "FuzzCommon.h"
#include "platform/GLM_QtPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <string>

namespace {

// "i" and the number when the value reads as an integer (untagged digits read as both), "s"
// and the text when as a string, "" when it is refused as of the wrong type.
std::string ReadValue(TSettingsStore &store, const std::string &name)
{
    try {
        return "i" + std::to_string(store.ReadInteger(name));
    } catch (const ESettingsTypeError &) {
    }
    try {
        return "s" + store.ReadString(name);
    } catch (const ESettingsTypeError &) {
    }
    return "";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int run = 0; // names of its own for each run: the settings layer caches by name
    const std::string tag = "-" + std::to_string(++run) + ".ini";
    const std::string input = fuzz::WriteInput(data, size, tag);
    const std::string output = fuzz::WriteInput(nullptr, 0, tag, 1);
    QStringList keys = QSettings(QString::fromStdString(input), QSettings::IniFormat).allKeys();
    keys << "CycleRate" << "HelpFilePath";
    std::vector<std::pair<std::string, std::string>> values;
    {
        TQtSettingsStore store(input), copy(output);
        if (store.OpenKey(false) && copy.OpenKey(true)) {
            for (const QString &key : keys) {
                const std::string name = key.toStdString();
                const std::string v = store.ValueExists(name) ? ReadValue(store, name) : "";
                if (v.empty())
                    continue;
                v[0] == 'i' ? copy.WriteInteger(name, std::stoi(v.substr(1)))
                            : copy.WriteString(name, v.substr(1));
                values.emplace_back(name, v);
            }
            copy.CloseKey();
            store.CloseKey();
        }
    }
    TQtSettingsStore back(output);
    if (!values.empty() && !back.OpenKey(false))
        fuzz::Fail("the values read could not be written back");
    for (const auto &[name, v] : values)
        if (ReadValue(back, name) != v)
            fuzz::Fail("a value did not read back as it was written");
    back.CloseKey();
    QFile::remove(QString::fromStdString(input));
    QFile::remove(QString::fromStdString(output));
    return 0;
}
