#pragma once
// The program's persistent state: one settings object, read once when the main window is
// created (Load) and written once when it closes (Save), through the platform's settings store
// (key "Software\Orlend\Glimra"). Each field carries the name of its stored value. Integers
// and Booleans are stored as integers, the rest as strings. The object lives in the context
// every window is handed (GLM_WindowContext.h).

#include <optional>
#include <string>
#include <vector>

class TMessageBoxes;
class TSettingsStore;

enum class TDialogKind { Open, Save };
enum class TFileType { None, BM, CMP, MAT, SFT };

struct TWindowBounds
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TWindowBounds &, const TWindowBounds &) = default;
};

// What the store keeps of the main window besides the settings.
struct TWindowState
{
    // Save: the normal bounds, none while the window is maximized (the stored ones stay, so
    // a restore goes back to them). Load: the bounds to apply, corrected; none to leave the
    // window where the desktop put it.
    std::optional<TWindowBounds> Bounds;
    bool Maximized = false;
    // Save: the Reopen list's captions top down ("&0 path", ...). Load: the stored entries in
    // the order they are to be added ("&9 ..." first), which rebuilds the stored order.
    std::vector<std::string> Reopen;
};

struct TSettings
{
    // ---- General
    std::string LastCommonDirectory;
    std::string LastOpenDirectory;
    std::string LastSaveDirectory;
    std::string HelpFilePath;
    int LastDirectoryIndex = 0;  // 0 Common, 1 Dialog Type, 2 File Type
    int LastOpenFilterIndex = 0; // 0 to 6; 0 and 1 select the Open dialog's first filter
    int LastFileIndex = 0;       // New dialog: 0 BM, 1 CMP, 2 MAT, 3 SFT
    int CycleRate = 0;           // frames per second of frame cycling
    int SaveBitmapFormat = 0;    // 8 or 24 bits per pixel of exported bitmaps
    bool BackupFile = false;
    int UndoLimit = 100; // steps each document window keeps (ValidUndoLimit)

    // ---- BM documents
    std::string BMPalettePath;
    std::string BMLastDirectory;
    int BMXOffset = 0;
    int BMYOffset = 0;
    int BMTransIndex = 0;
    int BMTransColor = 0;
    bool BMIs16Bit = false;
    bool BMUseInternalPalette = false;

    // ---- CMP documents
    std::string CMPLastDirectory;
    int CMPCellSize = 0;
    int CMPFillColor = 0; // colour value: red in the low byte, then green, then blue
    bool CMPTransTables = false;

    // ---- MAT documents
    std::string MATPalettePath;
    std::string MATLastDirectory;
    bool MATIs16Bit = false;
    bool MATIsColor = false; // true Color, false Texture
    bool MATAutoMipmaps = false;
    int MATNumberMipmaps = 0;
    bool MATAverageFill = false;
    int MATFillIndex = 0;
    int MATFillColor = 0;
    bool MATNewTrans = false;
    bool MATFrameTrans = false;

    // ---- SFT documents
    std::string SFTPalettePath;
    std::string SFTLastDirectory;
    int SFTCharacterGap = 0;
    int SFTSpaceLength = 0;
    int SFTTransIndex = 0;
    int SFTTransColor = 0;
    bool SFTIs16Bit = false;

    // ---- The colormap each kind's frames are seen through when the display palette is no
    // colormap (a file or CONTAINER::NAME path; empty: none chosen yet)
    std::string BMColormapPath;
    std::string MATColormapPath;
    std::string SFTColormapPath;

    // Reads every setting from `store` and validates, and gives the window's state, its bounds
    // corrected from `current` (the window's bounds now). Values that cannot be read (the wrong
    // type, a damaged store) take their first-run values and are reported in one error box;
    // the rest still loads. A missing key gives every setting its first-run value.
    TWindowState Load(TSettingsStore &store, TMessageBoxes &messages,
                      const TWindowBounds &current = {});
    // Writes the window's state (when given), every setting and the Reopen list. Stored
    // Reopen values beyond the list's length stay. Nothing is written when the key cannot be
    // opened; a store that cannot keep what was written is reported.
    void Save(TSettingsStore &store, TMessageBoxes &messages,
              const TWindowState *window = nullptr) const;

    // ---- The directory rule.
    // The setting that holds a file dialog's start directory under LastDirectoryIndex.
    std::string &DialogDirectory(TDialogKind kind, TFileType type);
    // Stores the directory of `chosenPath` (no trailing separator; a root keeps its own) into
    // the setting DialogDirectory selects.
    void RememberDirectory(TDialogKind kind, TFileType type, const std::string &chosenPath);
};

constexpr int MaxReopenEntries = 10;
// The undo limit runs from 1 to 1000 steps per document; any other value gives 100.
constexpr int DefaultUndoLimit = 100;
int ValidUndoLimit(int steps);
constexpr int MinWindowWidth = 640;
constexpr int MinWindowHeight = 480;

// "Reopen" followed by the position in decimal.
std::string ReopenValueName(int position);

// The directory part of a full path, without trailing separator except for a root.
std::string DirectoryOf(const std::string &path);
