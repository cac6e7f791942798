#pragma once
// The commands of the main window and of the document windows' popup menus: names,
// captions, hints, which of them stop frame cycling, which document kinds have each
// operation, each kind's popup menu, and the enabled states a document's facts give them.
// Pure data and functions: the windows build their menus from it and route by it.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <QKeySequence>
#include <QList>

// The document kinds: the four game files, in the order the main window tests the active
// window's kind (and the New dialog lists them), then the container (GOB or GOO), whose
// window holds members of the others.
enum class TDocumentKind { BM, CMP, MAT, SFT, GOB };
constexpr std::array<TDocumentKind, 4> DocumentKinds{TDocumentKind::BM, TDocumentKind::CMP,
                                                     TDocumentKind::MAT, TDocumentKind::SFT};
constexpr size_t DocumentKindCount = 5;

// ".bm", ".cmp", ".mat", ".sft", and ".gob" or ".goo" for a container, in any case of A..Z;
// no kind for any other extension.
std::optional<TDocumentKind> DocumentKindOf(const std::string &path);
const char *DocumentKindName(TDocumentKind kind); // "BM", "CMP", "MAT", "SFT", "GOB"

using TKinds = std::array<bool, DocumentKindCount>;
constexpr TKinds NoKinds{false, false, false, false, false};
constexpr TKinds AllKinds{true, true, true, true, true};
constexpr TKinds AllButCMP{true, false, true, true, false};
constexpr TKinds AllButGOB{true, true, true, true, false};
constexpr TKinds BMAndMAT{true, false, true, false, false};
constexpr TKinds AllButSFT{true, true, true, false, false};
constexpr TKinds MATOnly{false, false, true, false, false};
constexpr TKinds CMPOnly{false, true, false, false, false};
constexpr TKinds GOBOnly{false, false, false, false, true};

// Every command, written once: the enum, the table below and the windows' operation lookup
// (ui/kit/GLM_DocumentWindow.h) all come from this list. In order: the command (its menu
// item is the name followed by 1, "Save1"), the document-window operation behind it
// (NoOperation for the commands the main window carries out itself), the menu caption, the
// toolbar button and its hint (nullptr: no button), whether the command stops cycling, and
// the kinds whose windows have the operation, in the order BM, CMP, MAT, SFT, GOB. The main
// window has an item for each command up to About; the commands after it are popup items only.
// clang-format off
#define GLM_COMMANDS(X) \
    X(New,                  NoOperation,          "&New...",                  "NewButton",                  "New",                     true,  NoKinds)   \
    X(Open,                 NoOperation,          "&Open...",                 "OpenButton",                 "Open",                    true,  NoKinds)   \
    X(Reopen,               NoOperation,          "&Reopen",                  nullptr,                      nullptr,                   false, NoKinds)   \
    X(Save,                 SaveFile,             "&Save",                    "SaveButton",                 "Save",                    true,  AllKinds)  \
    X(SaveAs,               SaveFileAs,           "Save &As...",              nullptr,                      nullptr,                   true,  AllKinds)  \
    X(SaveBitmap,           SaveBitmap,           "Save &Bitmap...",          "SaveBitmapButton",           "Save Bitmap",             true,  AllButCMP) \
    X(SaveAllBitmaps,       SaveAllBitmaps,       "Save All Bit&maps...",     "SaveAllBitmapsButton",       "Save All Bitmaps",        true,  BMAndMAT)  \
    X(Close,                NoOperation,          "&Close",                   nullptr,                      nullptr,                   false, NoKinds)   \
    X(CloseAll,             NoOperation,          "Clos&e All",               nullptr,                      nullptr,                   false, NoKinds)   \
    X(Options,              NoOperation,          "O&ptions...",              "OptionsButton",              "Options",                 true,  NoKinds)   \
    X(Exit,                 NoOperation,          "E&xit",                    nullptr,                      nullptr,                   false, NoKinds)   \
    X(Undo,                 Undo,                 "&Undo",                    "UndoButton",                 "Undo",                    true,  AllKinds)  \
    X(Redo,                 Redo,                 "&Redo",                    "RedoButton",                 "Redo",                    true,  AllKinds)  \
    X(AddFrames,            AddFrames,            "&Add Frames...",           "AddFramesButton",            "Add Frame",               true,  AllButCMP) \
    X(AddMipmap,            AddMipmap,            "Add &Mipmap...",           "AddMipmapButton",            "Add Mipmap",              true,  MATOnly)   \
    X(DeleteFrame,          DeleteFrame,          "&Delete Frame",            "DeleteFrameButton",          "Delete Frame",            true,  AllButCMP) \
    X(ShiftToPreviousFrame, ShiftToPreviousFrame, "Shift To Pre&vious Frame", "ShiftToPreviousFrameButton", "Shift To Previous Frame", true,  BMAndMAT)  \
    X(ShiftToNextFrame,     ShiftToNextFrame,     "Shift To Ne&xt Frame",     "ShiftToNextFrameButton",     "Shift To Next Frame",     true,  BMAndMAT)  \
    X(SelectPalette,        SelectPalette,        "&Select Palette...",       "SelectPaletteButton",        "Select Palette",          true,  AllKinds)  \
    X(EditProperties,       EditProperties,       "&Edit Properties...",      "EditPropertiesButton",       "Edit Properties",         true,  AllKinds)  \
    X(PreviousFrame,        PreviousFrame,        "&Previous Frame",          "PreviousFrameButton",        "Previous Frame",          true,  AllButSFT) \
    X(NextFrame,            NextFrame,            "&Next Frame",              "NextFrameButton",            "Next Frame",              true,  AllButSFT) \
    X(CycleFrames,          NoOperation,          "&Cycle Frames",            "CycleFramesButton",          "Cycle Frames",            false, NoKinds)   \
    X(ZoomIn,               ZoomIn,               "&Zoom In",                 "ZoomInButton",               "Zoom In",                 true,  AllKinds)  \
    X(ZoomOut,              ZoomOut,              "Zoom &Out",                "ZoomOutButton",              "Zoom Out",                true,  AllKinds)  \
    X(LightBrighter,        LightBrighter,        "&Brighter\t]",             nullptr,                      "Brighter",                false, AllButCMP) \
    X(LightDarker,          LightDarker,          "&Darker\t[",               nullptr,                      "Darker",                  false, AllButCMP) \
    X(SelectColormap,       SelectColormap,       "Color&map...",             nullptr,                      "Colormap",                true,  AllButCMP) \
    X(Translucent,          ToggleTranslucent,    "&Translucent",             nullptr,                      "Translucent",             false, AllButCMP) \
    X(SelectBackdrop,       SelectBackdrop,       "Bac&kdrop...",             nullptr,                      "Backdrop",                true,  AllButCMP) \
    X(MarkFullBright,       ToggleMarkFullBright, "Mark &Full-Bright",        nullptr,                      "Mark Full-Bright",        false, AllButGOB) \
    X(Cascade,              NoOperation,          "&Cascade",                 nullptr,                      nullptr,                   true,  NoKinds)   \
    X(Tile,                 NoOperation,          "&Tile",                    nullptr,                      nullptr,                   true,  NoKinds)   \
    X(NextWindow,           NoOperation,          "&Next",                    nullptr,                      nullptr,                   true,  NoKinds)   \
    X(PreviousWindow,       NoOperation,          "&Previous",                nullptr,                      nullptr,                   true,  NoKinds)   \
    X(Contents,             NoOperation,          "&Contents",                "HelpButton",                 "Help Contents",           true,  NoKinds)   \
    X(About,                NoOperation,          "&About",                   "AboutButton",                "About Glimra",            true,  NoKinds)   \
    X(ChangeCellColor,      ChangeCellColor,      "&Change Cell Color",       nullptr,                      nullptr,                   false, CMPOnly)   \
    X(OpenMember,           OpenMember,           "&Open",                    nullptr,                      nullptr,                   true,  GOBOnly)   \
    X(ExtractMembers,       ExtractMembers,       "E&xtract...",              nullptr,                      nullptr,                   true,  GOBOnly)   \
    X(AddFiles,             AddFiles,             "&Add Files...",            nullptr,                      nullptr,                   true,  GOBOnly)   \
    X(DeleteMembers,        DeleteMembers,        "&Delete",                  nullptr,                      nullptr,                   true,  GOBOnly)   \
    X(RenameMember,         RenameMember,         "&Rename...",               nullptr,                      nullptr,                   true,  GOBOnly)
// clang-format on

enum class TCommand {
#define GLM_COMMAND_ENUM(command, ...) command,
    GLM_COMMANDS(GLM_COMMAND_ENUM)
#undef GLM_COMMAND_ENUM
};
#define GLM_COMMAND_COUNT(...) +1
constexpr size_t CommandCount = 0 GLM_COMMANDS(GLM_COMMAND_COUNT);
#undef GLM_COMMAND_COUNT
// The main window has an item for each of the first MainCommandCount commands.
constexpr size_t MainCommandCount = static_cast<size_t>(TCommand::About) + 1;

struct TCommandInfo
{
    TCommand Command;
    const char *Operation;  // "SaveFile"; nullptr for the main window's own commands
    const char *MenuName;   // "Save1"
    const char *Caption;    // "&Save"
    const char *ButtonName; // "SaveButton"; nullptr: no toolbar button
    const char *Hint;       // "Save"
    bool StopsCycling;
    // The kinds whose windows have the operation behind the command, in the order BM, CMP,
    // MAT, SFT, GOB; none for the commands the main window carries out itself. The main
    // window routes by it, and a window must implement exactly its kind's.
    TKinds Kinds;
};

namespace CommandList {
constexpr const char *Operation(std::string_view name)
{
    return name == "NoOperation" ? nullptr : name.data();
}
} // namespace CommandList

constexpr std::array<TCommandInfo, CommandCount> Commands{{
#define GLM_COMMAND_INFO(command, operation, caption, button, hint, stops, kinds)                \
    {TCommand::command, CommandList::Operation(#operation), #command "1", caption, button, hint, \
     stops, kinds},
    GLM_COMMANDS(GLM_COMMAND_INFO)
#undef GLM_COMMAND_INFO
}};

constexpr const TCommandInfo &CommandInfo(TCommand command)
{
    return Commands[static_cast<size_t>(command)];
}

// True when windows of `kind` have the operation behind `command`; the main window routes
// the command to such a window only.
constexpr bool HasRoute(TCommand command, TDocumentKind kind)
{
    return CommandInfo(command).Kinds[static_cast<size_t>(kind)];
}

// The main-window commands whose enabled state follows the active document (all but New,
// Open, Reopen, Options, Exit, Contents and About).
const std::array<TCommand, 30> &DocumentCommands();

// The command's caption as words: "&Add Frames..." gives "Add Frames". It names the undo
// step a command makes.
std::string CommandText(TCommand command);

// The keys of a command, anywhere in the main window: all the platform's standard keys where
// it has some (Ctrl+S; Ctrl+Z; Ctrl+W and Ctrl+F4; F1, ...), Page Up and Page Down to step
// frames; none for the other commands.
QList<QKeySequence> CommandShortcuts(TCommand command);

// One item of a document window's popup menu; a separator has no caption.
struct TPopupItem
{
    TCommand Command;
    const char *Caption;
    constexpr bool IsSeparator() const { return Caption == nullptr; }
};

// The popup menu of a window of `kind`, top to bottom, with that kind's own captions.
std::span<const TPopupItem> PopupItems(TDocumentKind kind);

// The light level one above full light (63): the palette view, no colormap involved.
constexpr int PaletteViewLevel = 64;

// What a document window knows about itself that decides its command states.
struct TDocumentFacts
{
    TDocumentKind Kind = TDocumentKind::BM;
    int Frames = 0;          // BM images, MAT textures, SFT bitmaps (0 or 1); unused for CMP
    int Zoom = 1;            // 1 to MaxZoom
    int BitsPerPixel = 8;    // 8 or 16
    int Mipmaps = 0;         // MAT: levels of the current frame
    bool IsTexture = false;  // MAT: texture type (not colour)
    bool MipmapsFull = true; // MAT: the current frame cannot take another level
    // The view through a colormap (BM, MAT, SFT): why the current frame cannot be seen so,
    // why the colormap cannot draw it translucent (both empty when it can), the level
    // (FullPaletteView: the palette view) and the toggles' states.
    std::string LightRefusal = "No frame";
    std::string TranslucentRefusal{};
    int LightLevel = PaletteViewLevel;
    bool Translucent = false;
    bool MarkFullBright = false;
    bool CanUndo = false;    // the window's undo stack has a step to undo
    bool CanRedo = false;    // ... and one to redo
    int Selected = 0;        // GOB: members selected (Frames: members listed)
};

class TCommandStates
{
public:
    bool operator[](TCommand command) const { return FEnabled[Index(command)]; }
    void Set(TCommand command, bool enabled) { FEnabled[Index(command)] = enabled; }
    // Why a disabled command cannot run, shown as its hint; empty: the table's own hint.
    const std::string &Reason(TCommand command) const { return FReasons[Index(command)]; }
    void Refuse(TCommand command, const std::string &reason);
    friend bool operator==(const TCommandStates &, const TCommandStates &) = default;

private:
    static size_t Index(TCommand command) { return static_cast<size_t>(command); }
    std::array<bool, CommandCount> FEnabled{};
    std::array<std::string, CommandCount> FReasons{};
};

// Every command off (the state with no document window).
TCommandStates NoDocumentStates();
// The states a document window with these facts gives every document command (and every
// item of its popup menu).
TCommandStates DocumentStates(const TDocumentFacts &facts);

// The zoom factor of every document window runs from 1 to this.
constexpr int MaxZoom = 10;
