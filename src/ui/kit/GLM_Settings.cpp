#include "ui/kit/GLM_Settings.h"

#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <variant>

#include "core/GLM_HelpFile.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"

TSettings Settings;
int UntitledCount = 0;

namespace {

using TSettingRef = std::variant<int *, bool *, std::string *>;

struct TSetting
{
    const char *Name;
    TSettingRef Ref;
};

// Every stored setting except the window placement, in load order.
const TSetting Stored[] = {
    {"LastCommonDirectory", &Settings.LastCommonDirectory},
    {"LastOpenDirectory", &Settings.LastOpenDirectory},
    {"LastSaveDirectory", &Settings.LastSaveDirectory},
    {"HelpFilePath", &Settings.HelpFilePath},
    {"LastDirectoryIndex", &Settings.LastDirectoryIndex},
    {"LastOpenFilterIndex", &Settings.LastOpenFilterIndex},
    {"LastFileIndex", &Settings.LastFileIndex},
    {"CycleRate", &Settings.CycleRate},
    {"SaveBitmapFormat", &Settings.SaveBitmapFormat},
    {"BackupFile", &Settings.BackupFile},
    {"BMPalettePath", &Settings.BMPalettePath},
    {"BMLastDirectory", &Settings.BMLastDirectory},
    {"BMXOffset", &Settings.BMXOffset},
    {"BMYOffset", &Settings.BMYOffset},
    {"BMTransIndex", &Settings.BMTransIndex},
    {"BMTransColor", &Settings.BMTransColor},
    {"BMIs16Bit", &Settings.BMIs16Bit},
    {"BMUseInternalPalette", &Settings.BMUseInternalPalette},
    {"CMPLastDirectory", &Settings.CMPLastDirectory},
    {"CMPCellSize", &Settings.CMPCellSize},
    {"CMPFillColor", &Settings.CMPFillColor},
    {"CMPTransTables", &Settings.CMPTransTables},
    {"MATPalettePath", &Settings.MATPalettePath},
    {"MATLastDirectory", &Settings.MATLastDirectory},
    {"MATIs16Bit", &Settings.MATIs16Bit},
    {"MATIsColor", &Settings.MATIsColor},
    {"MATAutoMipmaps", &Settings.MATAutoMipmaps},
    {"MATNumberMipmaps", &Settings.MATNumberMipmaps},
    {"MATAverageFill", &Settings.MATAverageFill},
    {"MATFillIndex", &Settings.MATFillIndex},
    {"MATFillColor", &Settings.MATFillColor},
    {"MATNewTrans", &Settings.MATNewTrans},
    {"MATFrameTrans", &Settings.MATFrameTrans},
    {"SFTPalettePath", &Settings.SFTPalettePath},
    {"SFTLastDirectory", &Settings.SFTLastDirectory},
    {"SFTCharacterGap", &Settings.SFTCharacterGap},
    {"SFTSpaceLength", &Settings.SFTSpaceLength},
    {"SFTTransIndex", &Settings.SFTTransIndex},
    {"SFTTransColor", &Settings.SFTTransColor},
    {"SFTIs16Bit", &Settings.SFTIs16Bit},
};

// The save order differs from the load order in a few places; kept as stored by older runs.
const char *const SaveOrder[] = {
    "LastCommonDirectory", "LastOpenDirectory", "LastSaveDirectory", "HelpFilePath",
    "LastDirectoryIndex", "LastOpenFilterIndex", "LastFileIndex", "CMPCellSize", "CycleRate",
    "SaveBitmapFormat", "BackupFile", "BMPalettePath", "BMLastDirectory", "BMXOffset",
    "BMYOffset", "BMTransIndex", "BMTransColor", "BMIs16Bit", "BMUseInternalPalette",
    "CMPLastDirectory", "CMPFillColor", "CMPTransTables", "MATPalettePath", "MATLastDirectory",
    "MATIs16Bit", "MATIsColor", "MATFillIndex", "MATFillColor", "MATNumberMipmaps",
    "MATAverageFill", "MATAutoMipmaps", "MATNewTrans", "MATFrameTrans", "SFTPalettePath",
    "SFTLastDirectory", "SFTCharacterGap", "SFTSpaceLength", "SFTTransIndex", "SFTTransColor",
    "SFTIs16Bit",
};

const TSetting &Find(const std::string &name)
{
    for (const TSetting &s : Stored)
        if (name == s.Name)
            return s;
    throw std::logic_error("unknown setting " + name);
}

void Read(TSettingsStore &store, const TSetting &s)
{
    std::visit(
        [&](auto *p) {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, std::string>)
                *p = store.ReadString(s.Name);
            else if constexpr (std::is_same_v<T, bool>)
                *p = store.ReadBool(s.Name);
            else
                *p = store.ReadInteger(s.Name);
        },
        s.Ref);
}

void Write(TSettingsStore &store, const TSetting &s)
{
    std::visit(
        [&](auto *p) {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, std::string>)
                store.WriteString(s.Name, *p);
            else if constexpr (std::is_same_v<T, bool>)
                store.WriteBool(s.Name, *p);
            else
                store.WriteInteger(s.Name, *p);
        },
        s.Ref);
}

std::string CurrentDirectory()
{
    std::error_code ec;
    const std::u8string dir = std::filesystem::current_path(ec).u8string();
    return {reinterpret_cast<const char *>(dir.data()), dir.size()};
}

void SetDefaults()
{
    Settings.LastCommonDirectory.clear();
    Settings.LastOpenDirectory.clear();
    Settings.LastSaveDirectory.clear();
    Settings.HelpFilePath = DefaultHelpFile;
    Settings.LastDirectoryIndex = 0;
    Settings.LastOpenFilterIndex = 0;
    Settings.LastFileIndex = 0;
    Settings.CycleRate = 5;
    Settings.SaveBitmapFormat = 24;
    Settings.BackupFile = false;
    Settings.BMPalettePath = "Uicolormap";
    Settings.BMLastDirectory.clear();
    Settings.BMXOffset = 0;
    Settings.BMYOffset = 0;
    Settings.BMTransIndex = 0;
    Settings.BMTransColor = 0;
    Settings.BMIs16Bit = false;
    Settings.BMUseInternalPalette = false;
    Settings.CMPLastDirectory.clear();
    Settings.CMPCellSize = 20;
    Settings.CMPFillColor = 0;
    Settings.CMPTransTables = false;
    Settings.MATPalettePath = "Dflt";
    Settings.MATLastDirectory.clear();
    Settings.MATIs16Bit = false;
    Settings.MATIsColor = false;
    Settings.MATAutoMipmaps = false;
    Settings.MATNumberMipmaps = 1;
    Settings.MATAverageFill = true;
    Settings.MATFillIndex = 0;
    Settings.MATFillColor = 0;
    Settings.MATNewTrans = false;
    Settings.MATFrameTrans = false;
    Settings.SFTPalettePath = "Uicolormap";
    Settings.SFTLastDirectory.clear();
    Settings.SFTCharacterGap = 0;
    Settings.SFTSpaceLength = 0;
    Settings.SFTTransIndex = 0;
    Settings.SFTTransColor = 0;
    Settings.SFTIs16Bit = false;
}

void OrDefault(std::string &value, const std::string &fallback)
{
    if (value.empty())
        value = fallback;
}

void InRange(int &value, int low, int high, int fallback)
{
    if (value < low || value > high)
        value = fallback;
}

void ValidateSettings()
{
    const std::string cwd = CurrentDirectory();
    OrDefault(Settings.LastCommonDirectory, cwd);
    OrDefault(Settings.LastOpenDirectory, cwd);
    OrDefault(Settings.LastSaveDirectory, cwd);
    OrDefault(Settings.HelpFilePath, DefaultHelpFile);
    InRange(Settings.LastDirectoryIndex, 0, 2, 0);
    InRange(Settings.LastOpenFilterIndex, 0, 6, 0);
    InRange(Settings.LastFileIndex, 0, 3, 0);
    if (Settings.CycleRate < 1)
        Settings.CycleRate = 5;
    if (Settings.SaveBitmapFormat != 8 && Settings.SaveBitmapFormat != 24)
        Settings.SaveBitmapFormat = 24;
    OrDefault(Settings.BMPalettePath, "Uicolormap");
    OrDefault(Settings.BMLastDirectory, cwd);
    InRange(Settings.BMTransIndex, 0, 255, 0);
    if (Settings.BMTransColor < 0)
        Settings.BMTransColor = 0;
    OrDefault(Settings.CMPLastDirectory, cwd);
    if (Settings.CMPCellSize < 1)
        Settings.CMPCellSize = 20;
    if (Settings.CMPFillColor < 0)
        Settings.CMPFillColor = 0;
    OrDefault(Settings.MATPalettePath, "Dflt");
    OrDefault(Settings.MATLastDirectory, cwd);
    InRange(Settings.MATNumberMipmaps, 1, 4, 1);
    InRange(Settings.MATFillIndex, 0, 255, 0);
    OrDefault(Settings.SFTPalettePath, "Uicolormap");
    OrDefault(Settings.SFTLastDirectory, cwd);
    InRange(Settings.SFTTransIndex, 0, 255, 0);
    if (Settings.SFTTransColor < 0)
        Settings.SFTTransColor = 0;
}

// Reads one value, collecting a type error instead of giving up on the rest.
template <typename F>
bool Guarded(std::vector<std::string> &errors, F read)
{
    try {
        read();
        return true;
    } catch (const ESettingsTypeError &e) {
        errors.push_back(e.what());
        return false;
    }
}

using TSettingValue = std::variant<int, bool, std::string>;

std::vector<TSettingValue> CurrentValues()
{
    std::vector<TSettingValue> values;
    for (const TSetting &s : Stored)
        std::visit([&](auto *p) { values.emplace_back(*p); }, s.Ref);
    return values;
}

// The first-run value of setting k, without touching the others.
TSettingValue DefaultValue(size_t k)
{
    const std::vector<TSettingValue> kept = CurrentValues();
    SetDefaults();
    const std::vector<TSettingValue> defaults = CurrentValues();
    for (size_t i = 0; i < kept.size(); ++i)
        std::visit([&](auto *p) { *p = std::get<std::remove_pointer_t<decltype(p)>>(kept[i]); },
                   Stored[i].Ref);
    return defaults[k];
}

void SetValue(size_t k, const TSettingValue &value)
{
    std::visit([&](auto *p) { *p = std::get<std::remove_pointer_t<decltype(p)>>(value); },
               Stored[k].Ref);
}

std::string StoreName(const TSettingsStore &store)
{
    const std::string where = store.Location();
    return where.empty() ? "the settings store" : "\"" + where + "\"";
}

} // namespace

std::string ReopenValueName(int position)
{
    return "Reopen" + std::to_string(position);
}

void ClearSettings()
{
    for (const TSetting &s : Stored)
        std::visit([](auto *p) { *p = {}; }, s.Ref);
}

void LoadSettings(TSettingsWindow *window)
{
    TSettingsStore &store = Platform().Settings();
    std::vector<std::string> errors;
    bool damaged = false;
    bool boundsRead = false;
    bool maximized = false;
    TWindowBounds bounds = window ? window->Bounds() : TWindowBounds{};

    if (store.OpenKey(false)) {
        const std::pair<const char *, int TWindowBounds::*> placement[] = {
            {"Left", &TWindowBounds::Left},
            {"Top", &TWindowBounds::Top},
            {"Width", &TWindowBounds::Width},
            {"Height", &TWindowBounds::Height},
        };
        for (const auto &[name, field] : placement)
            if (store.ValueExists(name))
                Guarded(errors, [&] {
                    bounds.*field = store.ReadInteger(name);
                    boundsRead = true;
                });

        // What cannot be read (a value of the wrong type, anything in a damaged store) takes
        // its first-run value.
        damaged = store.Damaged();
        for (size_t k = 0; k < std::size(Stored); ++k) {
            const TSetting &s = Stored[k];
            const bool read = store.ValueExists(s.Name)
                                  ? Guarded(errors, [&] { Read(store, s); })
                                  : !damaged;
            if (!read)
                SetValue(k, DefaultValue(k));
            // Maximized sits between LastFileIndex and CycleRate in the stored order.
            if (std::string(s.Name) == "LastFileIndex" && store.ValueExists("Maximized"))
                Guarded(errors, [&] { maximized = store.ReadBool("Maximized"); });
        }

        for (int i = MaxReopenEntries - 1; i >= 0; --i) {
            const std::string name = ReopenValueName(i);
            if (store.ValueExists(name))
                Guarded(errors, [&] {
                    const std::string entry = store.ReadString(name);
                    if (window)
                        window->AddToReopenList(entry);
                });
        }
        store.CloseKey();
    } else {
        SetDefaults();
    }

    if (window) {
        TWindowBounds valid = bounds;
        valid.Left = std::max(valid.Left, 0);
        valid.Top = std::max(valid.Top, 0);
        valid.Width = std::max(valid.Width, MinWindowWidth);
        valid.Height = std::max(valid.Height, MinWindowHeight);
        // Untouched bounds are left alone so the desktop may place a first-run window. The
        // normal bounds go first, so that a maximized window restores to them.
        if (boundsRead || !(valid == bounds))
            window->SetBounds(valid);
        window->SetMaximized(maximized || window->IsMaximized());
    }
    ValidateSettings();

    if (!errors.empty() || damaged) {
        // Said once, naming the store, whatever went wrong.
        std::string text = "Some settings could not be read from " + StoreName(store) +
                           "; Glimra uses their defaults.";
        for (const std::string &e : errors)
            text += "\n" + e;
        Platform().Messages().Error(text);
    }
}

void SaveSettings(const TSettingsWindow *window)
{
    TSettingsStore &store = Platform().Settings();
    if (!store.OpenKey(true))
        return;
    if (window) {
        if (!window->IsMaximized()) {
            const TWindowBounds b = window->Bounds();
            store.WriteInteger("Left", b.Left);
            store.WriteInteger("Top", b.Top);
            store.WriteInteger("Width", b.Width);
            store.WriteInteger("Height", b.Height);
            store.WriteBool("Maximized", false);
        } else {
            // The bounds of an earlier run stay, so restoring goes back to them next time.
            store.WriteBool("Maximized", true);
        }
    }
    for (const char *name : SaveOrder)
        Write(store, Find(name));
    if (window) {
        const std::vector<std::string> captions = window->ReopenCaptions();
        for (size_t i = 0; i < captions.size() && i < MaxReopenEntries; ++i)
            store.WriteString(ReopenValueName(static_cast<int>(i)), captions[i]);
    }
    store.CloseKey();
    if (store.SaveFailed())
        Platform().Messages().Error("The settings could not be saved to " + StoreName(store) +
                                    ".");
}

std::string &DialogDirectory(TDialogKind kind, TFileType type)
{
    switch (Settings.LastDirectoryIndex) {
    case 1:
        return kind == TDialogKind::Open ? Settings.LastOpenDirectory : Settings.LastSaveDirectory;
    case 2:
        switch (type) {
        case TFileType::BM: return Settings.BMLastDirectory;
        case TFileType::CMP: return Settings.CMPLastDirectory;
        case TFileType::MAT: return Settings.MATLastDirectory;
        case TFileType::SFT: return Settings.SFTLastDirectory;
        case TFileType::None: break;
        }
        return Settings.LastCommonDirectory;
    default:
        return Settings.LastCommonDirectory;
    }
}

std::string DirectoryOf(const std::string &path)
{
    std::filesystem::path dir = Utf8Path(path).parent_path();
    // "a/b//c" gives "a/b/"; only a root keeps its separator.
    while (!dir.empty() && dir != dir.root_path() && !dir.has_filename())
        dir = dir.parent_path();
    const std::u8string s = dir.u8string();
    return {reinterpret_cast<const char *>(s.data()), s.size()};
}

void RememberDirectory(TDialogKind kind, TFileType type, const std::string &chosenPath)
{
    const std::string dir = DirectoryOf(chosenPath);
    if (!dir.empty())
        DialogDirectory(kind, type) = dir;
}
