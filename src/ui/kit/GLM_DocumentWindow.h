#pragma once
// A document window (BM, CMP, MAT, SFT, and the GOB container): what it is to the main
// window, and the life cycle every kind shares, written once here: file identity, the
// modified flag, the "Untitled" name, opening, Save with its backup, Save As with the replace
// question, the close question and the report to the main window after each of them. The window
// knows nothing of the main window: it says what it is and what state it is in, and emits signals;
// the main window connects them when it creates the window, places it, tells it whether it is the
// active one, routes its commands here and pulls caption, status texts and command states from the
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
//      PreviousFrame, NextFrame, ZoomIn, ZoomOut, ChangeCellColor, and the container's
//      OpenMember, ExtractMembers, AddFiles, DeleteMembers, RenameMember. A missing one, or one
//      your kind does not have, stops the build. They run from the main window's menu and toolbar
//      and from the popup menu, which is built and enabled for you.
//   3. Implement the hooks (NewDocument, ReadDocument, WriteDocument, DocumentBytes,
//      ShowFrame), Facts and StatusTexts; BeforeWrite and WindowCaption where the kind
//      differs.
//   4. Call UpdateMainWindow after every change the main window shows (name, zoom, frames,
//      current frame or level, bit depth, palette). Every change of the document is a step
//      (core/documents/GLM_EditSteps.h): make it before the change, change the document, then
//      PushStep; implement ShowStepView to show the view an undo or redo hands back. The
//      stack decides Modified; view state (zoom, frame shown, display palette) is no step.
//   5. Register the window's factory in app/ (TDocumentFactory).
// File errors leave the operations as exceptions; the main window shows them.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QWidget>

#include "core/GLM_CommandTable.h"
#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"
#include "ui/kit/GLM_WindowContext.h"

class QMenu;
class QUndoStack;
class TEditStep;
class TMessageBoxes;
struct TStepView;
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
    // The colormap chosen for the kind's light view; none for CMP.
    std::string TSettings::*ColormapPath = nullptr;
    int MaxFrames = 0; // 50 for BM, 16 for MAT, 1 for SFT
};

// Where a document is read from: a file, or bytes already in memory (a container's member).
struct TDocumentSource
{
    std::string Path;
    const std::vector<uint8_t> *Bytes = nullptr;

    // Loads a game file object (TBM, TCMP, TMAT, TSFT) from here.
    template <class T> void LoadInto(T &document) const
    {
        if (Bytes)
            document.LoadFromBytes(*Bytes);
        else
            document.LoadFromFile(Path);
    }
};

class TDocumentWindow : public QWidget
{
    Q_OBJECT
public:
    ~TDocumentWindow() override;

    TDocumentKind Kind() const { return FDescription.Kind; }
    const TDocumentDescription &Description() const { return FDescription; }

    // The name in the caption: "Untitled0.mat" for a new document, else the file's name.
    std::string FileName;
    // The file on disk; empty for a document never saved.
    std::string FilePath;
    // Unsaved changes: the undo stack away from its clean state. False after creation,
    // opening, every successful save and an undo or redo back to the last save. Reads and
    // writes the stack; no flag of its own (true leaves a clean state no step can reach).
    class TModified
    {
    public:
        explicit TModified(const TDocumentWindow &window) : FWindow(window) {}
        operator bool() const;
        TModified &operator=(bool modified);

    private:
        const TDocumentWindow &FWindow;
    } Modified{*this};
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
    // Edit > Undo and Redo: the stack's step, then the view it touched.
    void Undo();
    void Redo();
    // One per window, its limit the UndoLimit setting when the window was made.
    QUndoStack *UndoStack() const { return FUndoStack; }
    // Stops cycling, then the "Save changes to" question of a modified document: Yes saves
    // (a Save As given up, or a failed write, keeps the window open with its changes), No
    // lets it close, Cancel keeps it. False keeps the window open.
    bool QueryClose();
    // True once the window has agreed to close; it is about to be destroyed.
    bool IsClosed() const { return FClosed; }

    // ---- A member of a container, shown in its ordinary window. Save hands the document's
    // bytes to `store` (the container window keeps them until the container is saved); Save
    // As writes a loose file, which the window shows from then on.
    using TMemberStore = std::function<void(std::vector<uint8_t>)>;
    // `path` is the member's full path ("/games/Res2.gob::mat/a.mat", the Reopen entry),
    // `caption` its name in the caption ("Res2.gob::mat/a.mat"); raises as LoadFile does.
    void LoadMember(const std::string &path, const std::string &caption, std::vector<uint8_t> bytes,
                    TMemberStore store);
    // The member was renamed, or its container saved under another name.
    void RenameMember(const std::string &path, const std::string &caption);
    bool IsMember() const { return static_cast<bool>(FStore); }
    // A container window opens its member `name` in a window of its own; no other kind has
    // members.
    virtual void OpenMemberNamed(const std::string &name) { (void)name; }
    // The colormap (a path) of the container this member was opened from: the light view
    // starts from it rather than from the kind's remembered choice. Only the image kinds look.
    virtual void UseColormap(const std::string &path) { (void)path; }
    // The full paths of the members of `kind` (a container window's; none for the others).
    virtual std::vector<std::string> MemberPaths(TDocumentKind kind) const
    {
        (void)kind;
        return {};
    }
    // How a window makes another document window (the main window makes and places it).
    using TWindowMaker = std::function<TDocumentWindow *(TDocumentKind)>;
    void SetWindowMaker(TWindowMaker maker) { FWindowMaker = std::move(maker); }

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
    // Shows the frames at light `level` (0 to 63, or PaletteViewLevel): View > Light Level and
    // the toolbar's level box. The image windows do; the others have no light view.
    virtual void SetLightLevel(int) {}
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
    // Reads the whole file or member; raises EInOutError and changes nothing when it fails.
    virtual void ReadDocument(const TDocumentSource &source) = 0;
    // Writes the whole document; raises EInOutError when it fails.
    virtual void WriteDocument(const std::string &path) const = 0;
    // The bytes WriteDocument writes, for a member saved into its container.
    virtual std::vector<uint8_t> DocumentBytes() const = 0;
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
    // The backup's extension for the document's file (".~bm").
    virtual std::string BackupExtension() const { return FDescription.BackupExtension; }
    // After Save or Save As has put the written document at `path`.
    virtual void Written(const std::string &path) { (void)path; }
    // Before the close question: the windows that depend on this one close first (a
    // container's members); false keeps this window open.
    virtual bool CloseDependents() { return true; }
    // A new window of `kind` from the main window; nullptr when none could be made.
    TDocumentWindow *MakeWindow(TDocumentKind kind) const
    {
        return FWindowMaker ? FWindowMaker(kind) : nullptr;
    }

    // Pushes a step already done on the document: `before` is the view when the edit began,
    // the view now is the one redo shows. A step that changed nothing is dropped unless
    // `always` (every OK of a properties dialog is a step).
    void PushStep(std::unique_ptr<TEditStep> step, const TStepView &before, bool always = false);
    // The view a step keeps (frame, MAT level) and showing it again after an undo or redo,
    // clamped to the frames there are.
    virtual TStepView CurrentStepView() const;
    virtual void ShowStepView(const TStepView &view);
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
    QUndoStack *FUndoStack = nullptr;
    TMemberStore FStore;
    TWindowMaker FWindowMaker;
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
