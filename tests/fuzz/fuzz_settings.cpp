// The settings store's value parsing: any bytes as the settings file. Every value reads as an
// integer or a string or is refused as of the wrong type, and what was read writes back and
// reads again the same.
#include "FuzzCommon.h"
#include "platform/GLM_QtPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <optional>

namespace {

// An integer when it reads as one (untagged text of digits reads as both), else a string,
// else nothing.
std::optional<std::pair<int32_t, std::string>> ReadValue(TSettingsStore &store,
                                                         const std::string &name, bool &integer)
{
    integer = true;
    try {
        return std::make_pair(store.ReadInteger(name), std::string());
    } catch (const ESettingsTypeError &) {
    }
    integer = false;
    try {
        return std::make_pair(0, store.ReadString(name));
    } catch (const ESettingsTypeError &) {
    }
    return std::nullopt;
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
    keys << "CycleRate"
         << "HelpFilePath";
    std::vector<std::tuple<std::string, bool, std::pair<int32_t, std::string>>> values;
    {
        TQtSettingsStore store(input), copy(output);
        if (store.OpenKey(false) && copy.OpenKey(true)) {
            for (const QString &key : keys) {
                const std::string name = key.toStdString();
                bool integer = false;
                const auto v =
                    store.ValueExists(name) ? ReadValue(store, name, integer) : std::nullopt;
                if (!v)
                    continue;
                integer ? copy.WriteInteger(name, v->first) : copy.WriteString(name, v->second);
                values.emplace_back(name, integer, *v);
            }
            copy.CloseKey();
            store.CloseKey();
        }
    }
    TQtSettingsStore back(output);
    if (!values.empty() && !back.OpenKey(false))
        fuzz::Fail("the values read could not be written back");
    for (const auto &[name, integer, value] : values) {
        bool again = false;
        if (ReadValue(back, name, again) != value || again != integer)
            fuzz::Fail("a value did not read back as it was written");
    }
    back.CloseKey();
    QFile::remove(QString::fromStdString(input));
    QFile::remove(QString::fromStdString(output));
    return 0;
}
