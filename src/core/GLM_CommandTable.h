#pragma once
// The main window's commands: names, captions, hints, which of them stop frame cycling,
// which document kinds each is routed to, and the table of their enabled states that the
// document windows apply in UpdateMainWindow.

#include <array>
#include <cstddef>

#include "ui/shell/GLM_DocumentWindow.h"

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
};
constexpr size_t CommandCount = static_cast<size_t>(TCommand::About) + 1;

struct TCommandInfo
{
    TCommand Command;
    const char *MenuName;   // "Save1"
    const char *Caption;    // "&Save"
    const char *ButtonName; // "SaveButton"; nullptr: no toolbar button
    const char *Hint;       // "Save"
    bool StopsCycling;
    // The document window's operation of the same name; nullptr for the commands the main
    // window carries out itself.
    void (TDocumentWindow::*Operation)();
    // Kinds the operation is passed to, in the order BM, CMP, MAT, SFT.
    std::array<bool, 4> Routes;
};

const TCommandInfo &CommandInfo(TCommand command);
bool HasRoute(TCommand command, TDocumentKind kind);

// The commands whose enabled state follows the active document (all but New, Open, Reopen,
// Options, Exit, Contents and About).
const std::array<TCommand, 18> &DocumentCommands();
bool IsDocumentCommand(TCommand command);

// What a document window knows about itself that decides its command states.
struct TDocumentFacts
{
    TDocumentKind Kind = TDocumentKind::BM;
    int Frames = 0;          // BM images, MAT textures, SFT bitmaps (0 or 1); unused for CMP
    int Zoom = 1;            // 1 to 10
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

// Every document command off (the state with no document window).
TCommandStates NoDocumentStates();
// The states a document window with these facts gives every document command.
TCommandStates DocumentStates(const TDocumentFacts &facts);

constexpr int MaxBMFrames = 50;
constexpr int MaxMATFrames = 16;
constexpr int MaxZoom = 10;
