#include "ui/kit/GLM_Settings.h"

#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <variant>

#include "core/GLM_HelpFile.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"

std::string LastCommonDirectory;
std::string LastOpenDirectory;
std::string LastSaveDirectory;
std::string HelpFilePath;
int LastDirectoryIndex = 0;
int LastOpenFilterIndex = 0;
int LastFileIndex = 0;
int CycleRate = 0;
int SaveBitmapFormat = 0;
bool BackupFile = false;

std::string BMPalettePath;
std::string BMLastDirectory;
int BMXOffset = 0;
int BMYOffset = 0;
int BMTransIndex = 0;
int BMTransColor = 0;
bool BMIs16Bit = false;
bool BMUseInternalPalette = false;

std::string CMPLastDirectory;
int CMPCellSize = 0;
int CMPFillColor = 0;
bool CMPTransTables = false;

std::string MATPalettePath;
std::string MATLastDirectory;
bool MATIs16Bit = false;
bool MATIsColor = false;
bool MATAutoMipmaps = false;
int MATNumberMipmaps = 0;
bool MATAverageFill = false;
int MATFillIndex = 0;
int MATFillColor = 0;
bool MATNewTrans = false;
bool MATFrameTrans = false;

std::string SFTPalettePath;
std::string SFTLastDirectory;
int SFTCharacterGap = 0;
int SFTSpaceLength = 0;
int SFTTransIndex = 0;
int SFTTransColor = 0;
bool SFTIs16Bit = false;

int UntitledCount = 0;

namespace {

using TSettingRef = std::variant<int *, bool *, std::string *>;

struct TSetting
{
    const char *Name;
    TSettingRef Ref;
};

// Every stored setting except the window placement, in load order.
const TSetting Settings[] = {
    {"LastCommonDirectory", &LastCommonDirectory},
    {"LastOpenDirectory", &LastOpenDirectory},
    {"LastSaveDirectory", &LastSaveDirectory},
    {"HelpFilePath", &HelpFilePath},
    {"LastDirectoryIndex", &LastDirectoryIndex},
    {"LastOpenFilterIndex", &LastOpenFilterIndex},
    {"LastFileIndex", &LastFileIndex},
    {"CycleRate", &CycleRate},
    {"SaveBitmapFormat", &SaveBitmapFormat},
    {"BackupFile", &BackupFile},
    {"BMPalettePath", &BMPalettePath},
    {"BMLastDirectory", &BMLastDirectory},
    {"BMXOffset", &BMXOffset},
    {"BMYOffset", &BMYOffset},
    {"BMTransIndex", &BMTransIndex},
    {"BMTransColor", &BMTransColor},
    {"BMIs16Bit", &BMIs16Bit},
    {"BMUseInternalPalette", &BMUseInternalPalette},
    {"CMPLastDirectory", &CMPLastDirectory},
    {"CMPCellSize", &CMPCellSize},
    {"CMPFillColor", &CMPFillColor},
    {"CMPTransTables", &CMPTransTables},
    {"MATPalettePath", &MATPalettePath},
    {"MATLastDirectory", &MATLastDirectory},
    {"MATIs16Bit", &MATIs16Bit},
    {"MATIsColor", &MATIsColor},
    {"MATAutoMipmaps", &MATAutoMipmaps},
    {"MATNumberMipmaps", &MATNumberMipmaps},
    {"MATAverageFill", &MATAverageFill},
    {"MATFillIndex", &MATFillIndex},
    {"MATFillColor", &MATFillColor},
    {"MATNewTrans", &MATNewTrans},
    {"MATFrameTrans", &MATFrameTrans},
    {"SFTPalettePath", &SFTPalettePath},
    {"SFTLastDirectory", &SFTLastDirectory},
    {"SFTCharacterGap", &SFTCharacterGap},
    {"SFTSpaceLength", &SFTSpaceLength},
    {"SFTTransIndex", &SFTTransIndex},
    {"SFTTransColor", &SFTTransColor},
    {"SFTIs16Bit", &SFTIs16Bit},
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
    for (const TSetting &s : Settings)
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
    LastCommonDirectory.clear();
    LastOpenDirectory.clear();
    LastSaveDirectory.clear();
    HelpFilePath = DefaultHelpFile;
    LastDirectoryIndex = 0;
    LastOpenFilterIndex = 0;
    LastFileIndex = 0;
    CycleRate = 5;
    SaveBitmapFormat = 24;
    BackupFile = false;
    BMPalettePath = "Uicolormap";
    BMLastDirectory.clear();
    BMXOffset = 0;
    BMYOffset = 0;
    BMTransIndex = 0;
    BMTransColor = 0;
    BMIs16Bit = false;
    BMUseInternalPalette = false;
    CMPLastDirectory.clear();
    CMPCellSize = 20;
    CMPFillColor = 0;
    CMPTransTables = false;
    MATPalettePath = "Dflt";
    MATLastDirectory.clear();
    MATIs16Bit = false;
    MATIsColor = false;
    MATAutoMipmaps = false;
    MATNumberMipmaps = 1;
    MATAverageFill = true;
    MATFillIndex = 0;
    MATFillColor = 0;
    MATNewTrans = false;
    MATFrameTrans = false;
    SFTPalettePath = "Uicolormap";
    SFTLastDirectory.clear();
    SFTCharacterGap = 0;
    SFTSpaceLength = 0;
    SFTTransIndex = 0;
    SFTTransColor = 0;
    SFTIs16Bit = false;
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
    OrDefault(LastCommonDirectory, cwd);
    OrDefault(LastOpenDirectory, cwd);
    OrDefault(LastSaveDirectory, cwd);
    OrDefault(HelpFilePath, DefaultHelpFile);
    InRange(LastDirectoryIndex, 0, 2, 0);
    InRange(LastOpenFilterIndex, 0, 6, 0);
    InRange(LastFileIndex, 0, 3, 0);
    if (CycleRate < 1)
        CycleRate = 5;
    if (SaveBitmapFormat != 8 && SaveBitmapFormat != 24)
        SaveBitmapFormat = 24;
    OrDefault(BMPalettePath, "Uicolormap");
    OrDefault(BMLastDirectory, cwd);
    InRange(BMTransIndex, 0, 255, 0);
    if (BMTransColor < 0)
        BMTransColor = 0;
    OrDefault(CMPLastDirectory, cwd);
    if (CMPCellSize < 1)
        CMPCellSize = 20;
    if (CMPFillColor < 0)
        CMPFillColor = 0;
    OrDefault(MATPalettePath, "Dflt");
    OrDefault(MATLastDirectory, cwd);
    InRange(MATNumberMipmaps, 1, 4, 1);
    InRange(MATFillIndex, 0, 255, 0);
    OrDefault(SFTPalettePath, "Uicolormap");
    OrDefault(SFTLastDirectory, cwd);
    InRange(SFTTransIndex, 0, 255, 0);
    if (SFTTransColor < 0)
        SFTTransColor = 0;
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
    for (const TSetting &s : Settings)
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
                   Settings[i].Ref);
    return defaults[k];
}

void SetValue(size_t k, const TSettingValue &value)
{
    std::visit([&](auto *p) { *p = std::get<std::remove_pointer_t<decltype(p)>>(value); },
               Settings[k].Ref);
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
    for (const TSetting &s : Settings)
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
        for (size_t k = 0; k < std::size(Settings); ++k) {
            const TSetting &s = Settings[k];
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
    switch (LastDirectoryIndex) {
    case 1:
        return kind == TDialogKind::Open ? LastOpenDirectory : LastSaveDirectory;
    case 2:
        switch (type) {
        case TFileType::BM: return BMLastDirectory;
        case TFileType::CMP: return CMPLastDirectory;
        case TFileType::MAT: return MATLastDirectory;
        case TFileType::SFT: return SFTLastDirectory;
        case TFileType::None: break;
        }
        return LastCommonDirectory;
    default:
        return LastCommonDirectory;
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
