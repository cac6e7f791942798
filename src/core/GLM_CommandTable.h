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

// The four document kinds, in the order the main window tests the active window's kind
// (and the New dialog lists them).
enum class TDocumentKind { BM, CMP, MAT, SFT };
constexpr std::array<TDocumentKind, 4> DocumentKinds{TDocumentKind::BM, TDocumentKind::CMP,
                                                     TDocumentKind::MAT, TDocumentKind::SFT};

// ".bm", ".cmp", ".mat", ".sft" in any case of A..Z; no kind for any other extension.
std::optional<TDocumentKind> DocumentKindOf(const std::string &path);
const char *DocumentKindName(TDocumentKind kind); // "BM", "CMP", "MAT", "SFT"

enum class TCommand {
    New,
    Open,
    Reopen,
    Save,
    SaveAs,
    SaveBitmap,
    SaveAllBitmaps,
    Close,
    CloseAll,
    Options,
    Exit,
    AddFrames,
    AddMipmap,
    DeleteFrame,
    ShiftToPreviousFrame,
    ShiftToNextFrame,
    SelectPalette,
    EditProperties,
    PreviousFrame,
    NextFrame,
    CycleFrames,
    ZoomIn,
    ZoomOut,
    Contents,
    About,
    // Popup menus only, after the main window's commands.
    ChangeCellColor,
};
constexpr size_t CommandCount = static_cast<size_t>(TCommand::ChangeCellColor) + 1;
// The main window has an item for each of the first MainCommandCount commands.
constexpr size_t MainCommandCount = static_cast<size_t>(TCommand::About) + 1;

struct TCommandInfo
{
    TCommand Command;
    const char *MenuName;   // "Save1"
    const char *Caption;    // "&Save"
    const char *ButtonName; // "SaveButton"; nullptr: no toolbar button
    const char *Hint;       // "Save"
    bool StopsCycling;
    // The kinds whose windows have the operation behind the command, in the order BM, CMP,
    // MAT, SFT; none for the commands the main window carries out itself. Written here
    // once: the main window routes by it, and a window must implement exactly its kind's.
    std::array<bool, 4> Kinds;
};

constexpr std::array<bool, 4> NoKinds{false, false, false, false};
constexpr std::array<bool, 4> AllKinds{true, true, true, true};
constexpr std::array<bool, 4> AllButCMP{true, false, true, true};
constexpr std::array<bool, 4> BMAndMAT{true, false, true, false};
constexpr std::array<bool, 4> AllButSFT{true, true, true, false};
constexpr std::array<bool, 4> MATOnly{false, false, true, false};
constexpr std::array<bool, 4> CMPOnly{false, true, false, false};

// In TCommand order.
// clang-format off
constexpr std::array<TCommandInfo, CommandCount> Commands{{
    {TCommand::New, "New1", "&New...", "NewButton", "New", true, NoKinds},
    {TCommand::Open, "Open1", "&Open...", "OpenButton", "Open", true, NoKinds},
    {TCommand::Reopen, "Reopen1", "&Reopen", nullptr, nullptr, false, NoKinds},
    {TCommand::Save, "Save1", "&Save", "SaveButton", "Save", true, AllKinds},
    {TCommand::SaveAs, "SaveAs1", "Save &As...", nullptr, nullptr, true, AllKinds},
    {TCommand::SaveBitmap, "SaveBitmap1", "Save &Bitmap...", "SaveBitmapButton", "Save Bitmap",
     true, AllButCMP},
    {TCommand::SaveAllBitmaps, "SaveAllBitmaps1", "Save All Bit&maps...",
     "SaveAllBitmapsButton", "Save All Bitmaps", true, BMAndMAT},
    {TCommand::Close, "Close1", "&Close", nullptr, nullptr, false, NoKinds},
    {TCommand::CloseAll, "CloseAll1", "Clos&e All", nullptr, nullptr, false, NoKinds},
    {TCommand::Options, "Options1", "O&ptions...", "OptionsButton", "Options", true,
     NoKinds},
    {TCommand::Exit, "Exit1", "E&xit", nullptr, nullptr, false, NoKinds},
    {TCommand::AddFrames, "AddFrames1", "&Add Frames...", "AddFramesButton", "Add Frame", true, AllButCMP},
    {TCommand::AddMipmap, "AddMipmap1", "Add &Mipmap...", "AddMipmapButton", "Add Mipmap", true, MATOnly},
    {TCommand::DeleteFrame, "DeleteFrame1", "&Delete Frame", "DeleteFrameButton",
     "Delete Frame", true, AllButCMP},
    {TCommand::ShiftToPreviousFrame, "ShiftToPreviousFrame1", "Shift To Pre&vious Frame",
     "ShiftToPreviousFrameButton", "Shift To Previous Frame", true,
     BMAndMAT},
    {TCommand::ShiftToNextFrame, "ShiftToNextFrame1", "Shift To Ne&xt Frame",
     "ShiftToNextFrameButton", "Shift To Next Frame", true, BMAndMAT},
    {TCommand::SelectPalette, "SelectPalette1", "&Select Palette...", "SelectPaletteButton",
     "Select Palette", true, AllKinds},
    {TCommand::EditProperties, "EditProperties1", "&Edit Properties...",
     "EditPropertiesButton", "Edit Properties", true, AllKinds},
    {TCommand::PreviousFrame, "PreviousFrame1", "&Previous Frame", "PreviousFrameButton",
     "Previous Frame", true, AllButSFT},
    {TCommand::NextFrame, "NextFrame1", "&Next Frame", "NextFrameButton", "Next Frame", true, AllButSFT},
    {TCommand::CycleFrames, "CycleFrames1", "&Cycle Frames", "CycleFramesButton",
     "Cycle Frames", false, NoKinds},
    {TCommand::ZoomIn, "ZoomIn1", "&Zoom In", "ZoomInButton", "Zoom In", true,
     AllKinds},
    {TCommand::ZoomOut, "ZoomOut1", "Zoom &Out", "ZoomOutButton", "Zoom Out", true,
     AllKinds},
    {TCommand::Contents, "Contents1", "&Contents", "HelpButton", "Help Contents", true,
     NoKinds},
    {TCommand::About, "About1", "&About", "AboutButton", "About Glimra", true,
     NoKinds},
    {TCommand::ChangeCellColor, "ChangeCellColor1", "&Change Cell Color", nullptr, nullptr, false, CMPOnly},
}};
// clang-format on

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
const std::array<TCommand, 18> &DocumentCommands();

// One item of a document window's popup menu; a separator has no caption.
struct TPopupItem
{
    TCommand Command;
    const char *Caption;
    constexpr bool IsSeparator() const { return Caption == nullptr; }
};

// The popup menu of a window of `kind`, top to bottom, with that kind's own captions.
std::span<const TPopupItem> PopupItems(TDocumentKind kind);

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
};

class TCommandStates
{
public:
    bool operator[](TCommand command) const { return FEnabled[Index(command)]; }
    void Set(TCommand command, bool enabled) { FEnabled[Index(command)] = enabled; }
    friend bool operator==(const TCommandStates &, const TCommandStates &) = default;

private:
    static size_t Index(TCommand command) { return static_cast<size_t>(command); }
    std::array<bool, CommandCount> FEnabled{};
};

// Every command off (the state with no document window).
TCommandStates NoDocumentStates();
// The states a document window with these facts gives every document command (and every
// item of its popup menu).
TCommandStates DocumentStates(const TDocumentFacts &facts);

// The zoom factor of every document window runs from 1 to this.
constexpr int MaxZoom = 10;
