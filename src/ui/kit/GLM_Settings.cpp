#include "ui/kit/GLM_Settings.h"

#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <variant>

#include "core/GLM_HelpFile.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"

namespace {

using TSettingRef = std::variant<int TSettings::*, bool TSettings::*, std::string TSettings::*>;

struct TSetting
{
    const char *Name;
    TSettingRef Ref;
};

// Every stored setting except the window placement, in load order.
const TSetting Stored[] = {
    {"LastCommonDirectory", &TSettings::LastCommonDirectory},
    {"LastOpenDirectory", &TSettings::LastOpenDirectory},
    {"LastSaveDirectory", &TSettings::LastSaveDirectory},
    {"HelpFilePath", &TSettings::HelpFilePath},
    {"LastDirectoryIndex", &TSettings::LastDirectoryIndex},
    {"LastOpenFilterIndex", &TSettings::LastOpenFilterIndex},
    {"LastFileIndex", &TSettings::LastFileIndex},
    {"CycleRate", &TSettings::CycleRate},
    {"SaveBitmapFormat", &TSettings::SaveBitmapFormat},
    {"BackupFile", &TSettings::BackupFile},
    {"UndoLimit", &TSettings::UndoLimit},
    {"BMPalettePath", &TSettings::BMPalettePath},
    {"BMLastDirectory", &TSettings::BMLastDirectory},
    {"BMXOffset", &TSettings::BMXOffset},
    {"BMYOffset", &TSettings::BMYOffset},
    {"BMTransIndex", &TSettings::BMTransIndex},
    {"BMTransColor", &TSettings::BMTransColor},
    {"BMIs16Bit", &TSettings::BMIs16Bit},
    {"BMUseInternalPalette", &TSettings::BMUseInternalPalette},
    {"CMPLastDirectory", &TSettings::CMPLastDirectory},
    {"CMPCellSize", &TSettings::CMPCellSize},
    {"CMPFillColor", &TSettings::CMPFillColor},
    {"CMPTransTables", &TSettings::CMPTransTables},
    {"MATPalettePath", &TSettings::MATPalettePath},
    {"MATLastDirectory", &TSettings::MATLastDirectory},
    {"MATIs16Bit", &TSettings::MATIs16Bit},
    {"MATIsColor", &TSettings::MATIsColor},
    {"MATAutoMipmaps", &TSettings::MATAutoMipmaps},
    {"MATNumberMipmaps", &TSettings::MATNumberMipmaps},
    {"MATAverageFill", &TSettings::MATAverageFill},
    {"MATFillIndex", &TSettings::MATFillIndex},
    {"MATFillColor", &TSettings::MATFillColor},
    {"MATNewTrans", &TSettings::MATNewTrans},
    {"MATFrameTrans", &TSettings::MATFrameTrans},
    {"SFTPalettePath", &TSettings::SFTPalettePath},
    {"SFTLastDirectory", &TSettings::SFTLastDirectory},
    {"SFTCharacterGap", &TSettings::SFTCharacterGap},
    {"SFTSpaceLength", &TSettings::SFTSpaceLength},
    {"SFTTransIndex", &TSettings::SFTTransIndex},
    {"SFTTransColor", &TSettings::SFTTransColor},
    {"SFTIs16Bit", &TSettings::SFTIs16Bit},
    {"BMColormapPath", &TSettings::BMColormapPath},
    {"MATColormapPath", &TSettings::MATColormapPath},
    {"SFTColormapPath", &TSettings::SFTColormapPath},
};

// The save order differs from the load order in a few places; kept as stored by older runs.
const char *const SaveOrder[] = {
    "LastCommonDirectory",  "LastOpenDirectory",  "LastSaveDirectory",
    "HelpFilePath",         "LastDirectoryIndex", "LastOpenFilterIndex",
    "LastFileIndex",        "CMPCellSize",        "CycleRate",
    "SaveBitmapFormat",     "BackupFile",         "BMPalettePath",
    "BMLastDirectory",      "BMXOffset",          "BMYOffset",
    "BMTransIndex",         "BMTransColor",       "BMIs16Bit",
    "BMUseInternalPalette", "CMPLastDirectory",   "CMPFillColor",
    "CMPTransTables",       "MATPalettePath",     "MATLastDirectory",
    "MATIs16Bit",           "MATIsColor",         "MATFillIndex",
    "MATFillColor",         "MATNumberMipmaps",   "MATAverageFill",
    "MATAutoMipmaps",       "MATNewTrans",        "MATFrameTrans",
    "SFTPalettePath",       "SFTLastDirectory",   "SFTCharacterGap",
    "SFTSpaceLength",       "SFTTransIndex",      "SFTTransColor",
    "SFTIs16Bit",           "BMColormapPath",     "MATColormapPath",
    "SFTColormapPath",      "UndoLimit",
};

const TSetting &Find(const std::string &name)
{
    for (const TSetting &s : Stored)
        if (name == s.Name)
            return s;
    throw std::logic_error("unknown setting " + name);
}

// The type of the field a member pointer names.
template <class P>
using TField = std::remove_reference_t<decltype(std::declval<TSettings &>().*std::declval<P>())>;

void Read(TSettingsStore &store, const TSetting &s, TSettings &settings)
{
    std::visit(
        [&](auto field) {
            using T = TField<decltype(field)>;
            if constexpr (std::is_same_v<T, std::string>)
                settings.*field = store.ReadString(s.Name);
            else if constexpr (std::is_same_v<T, bool>)
                settings.*field = store.ReadBool(s.Name);
            else
                settings.*field = store.ReadInteger(s.Name);
        },
        s.Ref);
}

void Write(TSettingsStore &store, const TSetting &s, const TSettings &settings)
{
    std::visit(
        [&](auto field) {
            using T = TField<decltype(field)>;
            if constexpr (std::is_same_v<T, std::string>)
                store.WriteString(s.Name, settings.*field);
            else if constexpr (std::is_same_v<T, bool>)
                store.WriteBool(s.Name, settings.*field);
            else
                store.WriteInteger(s.Name, settings.*field);
        },
        s.Ref);
}

std::string CurrentDirectory()
{
    std::error_code ec;
    const std::u8string dir = std::filesystem::current_path(ec).u8string();
    return {reinterpret_cast<const char *>(dir.data()), dir.size()};
}

// Every setting at its first-run value (the directories empty: validation sets them).
TSettings FirstRun()
{
    TSettings s;
    s.HelpFilePath = DefaultHelpFile;
    s.CycleRate = 5;
    s.SaveBitmapFormat = 24;
    s.BMPalettePath = "Uicolormap";
    s.CMPCellSize = 20;
    s.MATPalettePath = "Dflt";
    s.MATNumberMipmaps = 1;
    s.MATAverageFill = true;
    s.SFTPalettePath = "Uicolormap";
    return s;
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

void AtLeast(int &value, int low, int fallback)
{
    if (value < low)
        value = fallback;
}

} // namespace

int ValidUndoLimit(int steps)
{
    return steps >= 1 && steps <= 1000 ? steps : DefaultUndoLimit;
}

namespace {

void Validate(TSettings &s)
{
    const std::string cwd = CurrentDirectory();
    OrDefault(s.LastCommonDirectory, cwd);
    OrDefault(s.LastOpenDirectory, cwd);
    OrDefault(s.LastSaveDirectory, cwd);
    OrDefault(s.HelpFilePath, DefaultHelpFile);
    InRange(s.LastDirectoryIndex, 0, 2, 0);
    InRange(s.LastOpenFilterIndex, 0, 6, 0);
    InRange(s.LastFileIndex, 0, 4, 0);
    AtLeast(s.CycleRate, 1, 5);
    s.UndoLimit = ValidUndoLimit(s.UndoLimit);
    if (s.SaveBitmapFormat != 8 && s.SaveBitmapFormat != 24)
        s.SaveBitmapFormat = 24;
    OrDefault(s.BMPalettePath, "Uicolormap");
    OrDefault(s.BMLastDirectory, cwd);
    InRange(s.BMTransIndex, 0, 255, 0);
    AtLeast(s.BMTransColor, 0, 0);
    OrDefault(s.CMPLastDirectory, cwd);
    AtLeast(s.CMPCellSize, 1, 20);
    AtLeast(s.CMPFillColor, 0, 0);
    OrDefault(s.MATPalettePath, "Dflt");
    OrDefault(s.MATLastDirectory, cwd);
    InRange(s.MATNumberMipmaps, 1, 4, 1);
    InRange(s.MATFillIndex, 0, 255, 0);
    OrDefault(s.SFTPalettePath, "Uicolormap");
    OrDefault(s.SFTLastDirectory, cwd);
    InRange(s.SFTTransIndex, 0, 255, 0);
    AtLeast(s.SFTTransColor, 0, 0);
}

// Reads one value, collecting a type error instead of giving up on the rest.
template <typename F> bool Guarded(std::vector<std::string> &errors, F read)
{
    try {
        read();
        return true;
    } catch (const ESettingsTypeError &e) {
        errors.push_back(e.what());
        return false;
    }
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

TWindowState TSettings::Load(TSettingsStore &store, TMessageBoxes &messages,
                             const TWindowBounds &current)
{
    TWindowState window;
    std::vector<std::string> errors;
    bool damaged = false;
    bool boundsRead = false;
    TWindowBounds bounds = current;

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
        const TSettings firstRun = FirstRun();
        for (const TSetting &s : Stored) {
            const bool read = store.ValueExists(s.Name)
                                  ? Guarded(errors, [&] { Read(store, s, *this); })
                                  : !damaged;
            if (!read)
                std::visit([&](auto field) { this->*field = firstRun.*field; }, s.Ref);
            // Maximized sits between LastFileIndex and CycleRate in the stored order.
            if (std::string(s.Name) == "LastFileIndex" && store.ValueExists("Maximized"))
                Guarded(errors, [&] { window.Maximized = store.ReadBool("Maximized"); });
        }

        for (int i = MaxReopenEntries - 1; i >= 0; --i) {
            const std::string name = ReopenValueName(i);
            if (store.ValueExists(name))
                Guarded(errors, [&] { window.Reopen.push_back(store.ReadString(name)); });
        }
        store.CloseKey();
    } else {
        *this = FirstRun();
    }

    TWindowBounds valid = bounds;
    valid.Left = std::max(valid.Left, 0);
    valid.Top = std::max(valid.Top, 0);
    valid.Width = std::max(valid.Width, MinWindowWidth);
    valid.Height = std::max(valid.Height, MinWindowHeight);
    // Untouched bounds are left alone so the desktop may place a first-run window.
    if (boundsRead || !(valid == bounds))
        window.Bounds = valid;
    Validate(*this);

    if (!errors.empty() || damaged) {
        // Said once, naming the store, whatever went wrong.
        std::string text = "Some settings could not be read from " + StoreName(store) +
                           "; Glimra uses their defaults.";
        for (const std::string &e : errors)
            text += "\n" + e;
        messages.Error(text);
    }
    return window;
}

void TSettings::Save(TSettingsStore &store, TMessageBoxes &messages,
                     const TWindowState *window) const
{
    if (!store.OpenKey(true))
        return;
    if (window) {
        if (window->Bounds && !window->Maximized) {
            const TWindowBounds &b = *window->Bounds;
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
        Write(store, Find(name), *this);
    if (window) {
        const std::vector<std::string> &captions = window->Reopen;
        for (size_t i = 0; i < captions.size() && i < MaxReopenEntries; ++i)
            store.WriteString(ReopenValueName(static_cast<int>(i)), captions[i]);
    }
    store.CloseKey();
    if (store.SaveFailed())
        messages.Error("The settings could not be saved to " + StoreName(store) + ".");
}

std::string &TSettings::DialogDirectory(TDialogKind kind, TFileType type)
{
    switch (LastDirectoryIndex) {
    case 1:
        return kind == TDialogKind::Open ? LastOpenDirectory : LastSaveDirectory;
    case 2:
        switch (type) {
        case TFileType::BM:
            return BMLastDirectory;
        case TFileType::CMP:
            return CMPLastDirectory;
        case TFileType::MAT:
            return MATLastDirectory;
        case TFileType::SFT:
            return SFTLastDirectory;
        case TFileType::None:
            break;
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

void TSettings::RememberDirectory(TDialogKind kind, TFileType type, const std::string &chosenPath)
{
    const std::string dir = DirectoryOf(chosenPath);
    if (!dir.empty())
        DialogDirectory(kind, type) = dir;
}
