#pragma once
// A document window (BM, CMP, MAT, SFT): what it is to the main window, and the life cycle
// every kind shares, written once here: file identity, the modified flag, the "Untitled" name,
// opening, Save with its backup, Save As with the replace question, the close question and
// the report to the main window after each of them. The window knows nothing of the main
// window: it says what it is and what state it is in, and emits signals; the main window
// connects them when it creates the window, places it, tells it whether it is the active one,
// routes its commands here and pulls caption, status texts and command states from the
// active window only.
//
// Writing a document window:
//   1. Derive from TDocumentWindowOf<TYourForm> (or TDocumentWindowOf<TYourForm, TBase> for a
//      shared base such as the image windows') and declare the kind's description:
//          static constexpr TDocumentDescription Description{.Kind = TDocumentKind::MAT, ...};
//   2. Implement, public and without arguments, exactly the operations the command table
//      (core/GLM_CommandTable.h, column Kinds) gives your kind besides SaveFile and
//      SaveFileAs, which are here: SaveBitmap, SaveAllBitmaps, AddFrames, AddMipmap,
//      DeleteFrame, ShiftToPreviousFrame, ShiftToNextFrame, SelectPalette, EditProperties,
//      PreviousFrame, NextFrame, ZoomIn, ZoomOut, ChangeCellColor. A missing one, or one your
//      kind does not have, stops the build. They run from the main window's menu and toolbar
//      and from the popup menu, which is built and enabled for you.
//   3. Implement the hooks (NewDocument, ReadDocument, WriteDocument, ShowFrame), Facts and
//      StatusTexts; BeforeWrite and WindowCaption where the kind differs.
//   4. Call UpdateMainWindow after every change the main window shows (name, zoom, frames,
//      current frame or level, bit depth, palette) and set Modified when the document changed.
//   5. Register the window's factory in app/ (TDocumentFactory).
// File errors leave the operations as exceptions; the main window shows them.

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QWidget>

#include "core/GLM_CommandTable.h"
#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"
#include "ui/kit/GLM_WindowContext.h"

class QMenu;
class TMessageBoxes;
struct TFileDialogRequest;

constexpr int StatusPanelCount = 8;
using TStatusTexts = std::array<std::string, StatusPanelCount>;

// What tells one kind of document window from another.
struct TDocumentDescription
{
    TDocumentKind Kind = TDocumentKind::BM;
    const char *Extension = "";           // ".bm"
    const char *BackupExtension = "";     // ".~bm"
    const char *SaveTitle = "";           // "Save As BM Graphic"
    const char *SaveFilter = "";          // "BM Textures (*.bm)|*.bm|All Files (*.*)|*.*"
    const char *DefaultExt = "";          // "bm"
    TFileType FileType = TFileType::None; // whose last directory the dialogs use under "File Type"
    // The display palette when the setting names none that can be read, and that setting;
    // none for a document that shows its own palette (CMP).
    const char *BuiltInPalette = nullptr;
    std::string TSettings::*PalettePath = nullptr;
    int MaxFrames = 0; // 50 for BM, 16 for MAT, 1 for SFT
};

class TDocumentWindow : public QWidget
{
    Q_OBJECT
public:
    TDocumentKind Kind() const { return FDescription.Kind; }
    const TDocumentDescription &Description() const { return FDescription; }

    // The name in the caption: "Untitled0.mat" for a new document, else the file's name.
    std::string FileName;
    // The file on disk; empty for a document never saved.
    std::string FilePath;
    // Unsaved changes: false after creation, opening and every successful save.
    bool Modified = false;
    // "Glimra - " and the path, or the name while there is no path.
    std::string MainCaption() const;

    // ---- The life cycle.
    // Runs once the window sits in the main window: a new, empty document named "Untitled",
    // the number and the extension.
    void FormCreate(int untitledNumber);
    // Loads a file into a freshly created window; raises EInOutError, taking nothing of the
    // file, when it cannot be read.
    void LoadFile(const std::string &path);
    // File > Save and File > Save As.
    void SaveFile() { Save(); }
    void SaveFileAs() { SaveAs(); }
    // Stops cycling, then the "Save changes to" question of a modified document: Yes saves
    // (a Save As given up, or a failed write, keeps the window open with its changes), No
    // lets it close, Cancel keeps it. False keeps the window open.
    bool QueryClose();
    // True once the window has agreed to close; it is about to be destroyed.
    bool IsClosed() const { return FClosed; }

    // Whether the main window describes this window; the main window says so.
    bool IsActive() const { return FActive; }
    void SetActive(bool active) { FActive = active; }

    // ---- What the main window asks.
    // What decides the command states (Kind is filled in by DocumentFacts).
    virtual TDocumentFacts Facts() const = 0;
    TDocumentFacts DocumentFacts() const;
    // The main window's eight status panels, left to right.
    virtual TStatusTexts StatusTexts() const = 0;
    // The operation behind `command`: present exactly when the kind has the command.
    bool HasOperation(TCommand command) const;
    void RunOperation(TCommand command);
    // The right-click menu, built from the kind's popup items; its states are brought up
    // to date each time it opens (UpdatePopupMenu).
    QMenu *PopupMenu() const { return FPopupMenu; }
    void UpdatePopupMenu();

    // The window caption, then the report to the main window.
    void UpdateMainWindow();
    // After the Options dialog's OK: a window drawn by a setting draws again at once (CMP:
    // the cell size).
    virtual void SettingsChanged() {}

signals:
    void StateChanged();
    void StopCyclingRequested();
    void ToggleCyclingRequested();
    void AddToReopenListRequested(const std::string &path);
    void Closing(TDocumentWindow *window);

protected:
    using TOperation = void (*)(TDocumentWindow &);
    using TOperations = std::array<TOperation, CommandCount>;

    TDocumentWindow(TWindowContext &context, const TDocumentDescription &description,
                    const TOperations &operations, QWidget *parent);

    TWindowContext &Context() const { return FContext; }
    TSettings &Settings() const { return FContext.Settings; }
    TMessageBoxes &Messages() const;

    // ---- Hooks every kind implements.
    // The empty document of a new window with the kind's new-document settings, and the view
    // at its start.
    virtual void NewDocument() = 0;
    // Reads the whole file; raises EInOutError and changes nothing when it fails.
    virtual void ReadDocument(const std::string &path) = 0;
    // Writes the whole document; raises EInOutError when it fails.
    virtual void WriteDocument(const std::string &path) const = 0;
    // Draws the current view and fits the window to it.
    virtual void ShowFrame() = 0;
    // ---- Hooks with a behaviour of their own.
    // Asked before Save and Save As write anything; false gives the save up (SFT: a font
    // without its picture is saved only when the user says so).
    virtual bool MayWrite() { return true; }
    // Runs before every write of the document (CMP: the transparency tables).
    virtual void BeforeWrite() {}
    // The window's caption: the name (the image windows add the zoom).
    virtual std::string WindowCaption() const { return FileName; }
    // The client width the sub-window needs to show the whole caption with its buttons.
    int CaptionWidth() const;

    // Save and Save As that say whether the document was written (false: cancelled). A failed
    // write raises EInOutError naming the file.
    bool Save();
    bool SaveAs();
    // Runs a write of `path`; its error names the file, so that among several windows (or
    // the pictures of Save All Bitmaps) the user can tell which one failed.
    template <class F> static void NamingFile(const std::string &path, F &&write)
    {
        try {
            write();
        } catch (const EInOutError &e) {
            throw EInOutError(e.Code, FileMessage(path, e.what()));
        }
    }
    // Shows the file dialog of `request` in the folder the directory rule gives this kind;
    // the chosen paths in the dialog's order (none when cancelled), whose folder is kept.
    std::vector<std::string> ChooseFiles(TFileDialogRequest request);
    // The replace confirmation's answer for an existing file (Cancel without the dialog).
    int ConfirmReplace(const std::string &path, bool multipleFiles);

    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    TWindowContext &FContext;
    const TDocumentDescription &FDescription;
    TOperations FOperations;
    QMenu *FPopupMenu = nullptr;
    bool FClosed = false;
    bool FActive = false;
};

// ---------------------------------------------------------------------------------------------
// Which operations a window class has, found at compile time from its public members.

namespace DocumentOperations {

// The operation of `command` as W implements it; nullptr when W has no such member.
template <class W> constexpr void (*Of(TCommand command))(TDocumentWindow &)
{
#define GLM_OPERATION(command, operation, ...)                                                     \
    case TCommand::command:                                                                        \
        if constexpr (requires(W & w) { w.operation(); })                                          \
            return [](TDocumentWindow &w) { static_cast<W &>(w).operation(); };                    \
        else                                                                                       \
            return nullptr;
    // The main window's own commands name NoOperation, which no window has.
    switch (command) {
        GLM_COMMANDS(GLM_OPERATION)
    }
    return nullptr;
#undef GLM_OPERATION
}

// True when W implements the operation of `command` exactly when its kind has it.
template <class W> constexpr bool Matches(TCommand command)
{
    return (Of<W>(command) != nullptr) == HasRoute(command, W::Description.Kind);
}

// Fails with the command in the compiler's message (see the template arguments).
template <class W, TCommand command> constexpr void Check()
{
    static_assert(Matches<W>(command),
                  "the window does not implement exactly the operations its kind has in the "
                  "command table (core/GLM_CommandTable.h)");
}

template <class W, size_t... I> constexpr void CheckAll(std::index_sequence<I...>)
{
    (Check<W, static_cast<TCommand>(I)>(), ...);
}

} // namespace DocumentOperations

// The base a window class derives from: TYourForm : public TDocumentWindowOf<TYourForm>.
// Windows that share more than the life cycle name their common base (itself derived from
// TDocumentWindow, with the same protected constructor) as Base.
template <class W, class Base = TDocumentWindow> class TDocumentWindowOf : public Base
{
protected:
    explicit TDocumentWindowOf(TWindowContext &context, QWidget *parent = nullptr)
        : Base(context, W::Description, Operations(), parent)
    {
        DocumentOperations::CheckAll<W>(std::make_index_sequence<CommandCount>());
    }

private:
    using TOperations = typename Base::TOperations;
    static TOperations Operations()
    {
        TOperations table{};
        for (size_t i = 0; i < CommandCount; ++i)
            table[i] = DocumentOperations::Of<W>(static_cast<TCommand>(i));
        return table;
    }
};
