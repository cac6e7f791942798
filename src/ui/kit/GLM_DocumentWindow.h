#pragma once
// What a document window (BM, CMP, MAT, SFT) is to the main window. The window knows
// nothing of the main window: it says what it is and what state it is in, and emits signals;
// the main window connects them when it creates the window, routes its commands here and
// pulls caption, status texts and command states from the active window only.
//
// Writing a document window:
//   1. Derive from TDocumentWindowOf<TYourForm> and declare the kind:
//          static constexpr TDocumentKind DocumentKind = TDocumentKind::MAT;
//   2. Implement, public and without arguments, exactly the operations the command table
//      (core/GLM_CommandTable.h, column Kinds) gives your kind: SaveFile, SaveFileAs,
//      SaveBitmap, SaveAllBitmaps, AddFrames, AddMipmap, DeleteFrame, ShiftToPreviousFrame,
//      ShiftToNextFrame, SelectPalette, EditProperties, PreviousFrame, NextFrame, ZoomIn,
//      ZoomOut, ChangeCellColor. A missing one, or one your kind does not have, stops the
//      build. They run from the main window's menu and toolbar and from the popup menu,
//      which is built and enabled for you.
//   3. Implement LoadFile, Facts and StatusTexts; keep FileName and FilePath up to date.
//      Override FormCreate (runs once the window is in the main window, so the count of
//      document windows includes it), CloseQuery (the "Save changes to" question) and
//      FormClose (the real close) as you need them.
//   4. Emit StateChanged after every change the main window shows (name, zoom, frames,
//      current frame or level, bit depth, palette); AddToReopenListRequested after a Save
//      As; StopCyclingRequested when cycling must end. Closing stops cycling already.
//   5. Register the window in app/main.cpp: RegisterDocumentWindow<TYourForm>().
// File errors leave LoadFile and the operations as exceptions; the main window shows them.

#include <array>
#include <functional>
#include <string>
#include <utility>

#include <QWidget>

#include "core/GLM_CommandTable.h"

class QMenu;

constexpr int StatusPanelCount = 8;
using TStatusTexts = std::array<std::string, StatusPanelCount>;

class TDocumentWindow : public QWidget
{
    Q_OBJECT
public:
    TDocumentKind Kind() const { return FKind; }

    // The name in the caption: "Untitled0.mat" for a new document, else the file's name.
    std::string FileName;
    // The file on disk; empty for a document never saved.
    std::string FilePath;
    // "Glimra - " and the path, or the name while there is no path.
    std::string MainCaption() const;

    // Runs once the window sits in the main window (name, position, settings, palette).
    virtual void FormCreate() {}
    // Loads a file into a freshly created window.
    virtual void LoadFile(const std::string &path) = 0;
    // What decides the command states (Kind is filled in by DocumentFacts).
    virtual TDocumentFacts Facts() const = 0;
    TDocumentFacts DocumentFacts() const;
    // The main window's eight status panels, left to right.
    virtual TStatusTexts StatusTexts() const = 0;

    // The "Save changes to" question; false keeps the window open.
    virtual bool CloseQuery() { return true; }
    // What the window does when it really closes; it is destroyed afterwards.
    virtual void FormClose() {}
    // Stops cycling, then asks CloseQuery: the window's own close and the program's use it.
    bool QueryClose();
    // True once the window has agreed to close; it is about to be destroyed.
    bool IsClosed() const { return FClosed; }

    // The operation behind `command`: present exactly when the kind has the command.
    bool HasOperation(TCommand command) const;
    void RunOperation(TCommand command);

    // The right-click menu, built from the kind's popup items; its states are brought up
    // to date each time it opens (UpdatePopupMenu).
    QMenu *PopupMenu() const { return FPopupMenu; }
    void UpdatePopupMenu();

signals:
    void StateChanged();
    void StopCyclingRequested();
    void ToggleCyclingRequested();
    void AddToReopenListRequested(const std::string &path);
    void Closing(TDocumentWindow *window);

protected:
    // The "Save changes to" question of a modified document. Yes runs `save`, whose false (a
    // Save As given up) or error keeps the window open with its changes; No lets it close;
    // Cancel keeps it open.
    bool AskSaveChanges(const std::function<bool()> &save);

    using TOperation = void (*)(TDocumentWindow &);
    using TOperations = std::array<TOperation, CommandCount>;

    TDocumentWindow(TDocumentKind kind, const TOperations &operations, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    TDocumentKind FKind;
    TOperations FOperations;
    QMenu *FPopupMenu = nullptr;
    bool FClosed = false;
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
    return (Of<W>(command) != nullptr) == HasRoute(command, W::DocumentKind);
}

// The first command whose operation W lacks or has against the table; CommandCount when
// W implements exactly its kind's operations.
template <class W> constexpr size_t FirstMismatch()
{
    for (size_t i = 0; i < CommandCount; ++i)
        if (!Matches<W>(static_cast<TCommand>(i)))
            return i;
    return CommandCount;
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
// Windows that share more than the contract name their common base (itself derived from
// TDocumentWindow, with the same protected constructor) as Base.
template <class W, class Base = TDocumentWindow> class TDocumentWindowOf : public Base
{
protected:
    explicit TDocumentWindowOf(QWidget *parent = nullptr)
        : Base(W::DocumentKind, Operations(), parent)
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
