#pragma once
// The rules every image document window (BM, MAT, SFT) follows, as plain objects: the view's
// zoom and current frame with stepping, deleting and shifting; captions and window sizes;
// the display palette a new window starts with; and saving with a backup. No widgets, so
// each rule is tested without a QApplication.

#include <functional>
#include <optional>
#include <string>

#include "core/GLM_CommandTable.h"
#include "formats/GLM_Globals.h"

// Zoom and current frame of a document's view. Frames are numbered from 1; CurrentFrame is
// 0 exactly while the document has no frame.
class TImageViewState
{
public:
    int Zoom = 1;         // 1 to MaxZoom
    int CurrentFrame = 0; // 1-based; 0 with no frame

    void ZoomIn();  // one step, never above MaxZoom
    void ZoomOut(); // one step, never below 1
    // One frame back or on among `count` frames, wrapping between the first and the last.
    void PreviousFrame(int count);
    void NextFrame(int count);
    // The frame count is now `count` after the current frame was removed: the number stays
    // unless it is past the end; with no frame left the view is empty and the zoom 1.
    void FrameDeleted(int count);
    // The frame the current one changes places with when shifted back or on among `count`
    // frames (the first and the last trade places); 0 when there are fewer than 2.
    int ShiftPartner(bool toPrevious, int count) const;

    // The light level the frame is seen at: 0 (darkest) to 63 (full light), then
    // PaletteViewLevel, the palette view. A view setting only, never part of the document.
    int LightLevel = PaletteViewLevel;
    void Brighter(); // one level up, never past the palette view
    void Darker();   // one level down, never below 0
};

// The colormap a frame is seen through: the display palette itself when it is a colormap (a
// .cmp file or container member), else the one chosen for the kind; empty when neither.
std::string ColormapSource(const std::string &paletteName, const std::string &chosen);
// The status text of the view through a colormap: "Light: 20 (dflt.cmp)", "Light: Full
// (dflt.cmp)" at the palette view's level.
std::string LightStatusText(int level, const std::string &colormap);

// ".bm" gives "Untitled3.bm" for untitled number 3.
std::string UntitledName(int number, const std::string &extension);
// "walk.bm [3:1]".
std::string WindowCaption(const std::string &fileName, int zoom);
// "Glimra - " and the path, or the name while there is no path.
std::string MainWindowCaption(const std::string &filePath, const std::string &fileName);

struct TClientSize
{
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TClientSize &, const TClientSize &) = default;
};

// A window never gets narrower than this, whatever its picture.
constexpr int MinClientWidth = 150;
// Nor lower than this: a 4 x 2 texture still gives a window that can be seen and grabbed.
constexpr int MinClientHeight = 64;
// The outer size of a window without a frame, and its first client size.
constexpr int EmptyWindowSide = 200;

// The client area that fits a width x height frame at the zoom, but never smaller than the
// least above nor narrower than `captionWidth`, the client width its whole caption needs.
// The picture stays at the top left; the rest is workspace.
TClientSize FrameClientSize(int width, int height, int zoom, int captionWidth = 0);

// The main window's size at first run: room for the toolbar and every status panel, within
// the screen's available area.
TClientSize FirstRunWindowSize(int availableWidth, int availableHeight);

// The path with its extension (from the last "." of the file name) replaced by `extension`;
// appended when the name has none.
std::string ChangeFileExt(const std::string &path, const std::string &extension);

// Writes a document over `path`, keeping the old file until the new one is complete. Without
// a backup extension the write replaces the file in one step. With one, and when `path`
// exists, the new bytes are written and flushed beside it first; then the old file becomes
// the backup (an older backup replaced) and the new file takes the name. `write` writes the
// whole document to the path it is given and raises EInOutError on failure; a failure at any
// step leaves the document file and the backup as they were.
void SaveWithBackup(const std::string &path, const std::string &backupExtension,
                    const std::function<void(const std::string &)> &write);

// The palette a new window displays with.
struct TDisplayPalette
{
    std::string Name; // "Dflt", "Uicolormap" or a palette file path
    TPalette Palette{};
    // Set when the wanted palette could not be read and the built-in one stands in for it.
    std::optional<std::string> Problem;
};

// The palette named by a window's palette-path setting, or the built-in `fallback` ("Dflt"
// or "Uicolormap") when the setting names none that can be read. An empty name and the name
// "Internal" (a BM file's own palette, which no new window has) fall back without a problem.
TDisplayPalette ResolveDisplayPalette(const std::string &wanted, const std::string &fallback);
