#pragma once
// The one face every document window (BM, CMP, MAT, SFT) shows the main window. The main
// window puts the window into its MDI area, runs FormCreate, then shows it (New) or calls
// LoadFile (Open); afterwards it routes its commands here by Kind(). A command that a kind
// does not have is never routed to it, so those operations default to doing nothing.

#include "core/GLM_FileNames.h"

#include <string>

#include <QWidget>

// BM, CMP, MAT, SFT: also the order the main window tests a document's kind.
using TDocumentKind = TFileKind;

class TDocumentWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TDocumentWindow(QWidget *parent = nullptr);

    virtual TDocumentKind Kind() const = 0;

    // Runs once the window sits in the main window's MDI area (so the MDI child count
    // includes it): name, position, new-document settings, palette, UpdateMainWindow.
    virtual void FormCreate() {}
    // Loads a file into a freshly created window. File errors leave as EInOutError.
    virtual void LoadFile(const std::string &path) = 0;

    virtual void SaveFile() = 0;
    virtual void SaveFileAs() = 0;
    virtual void PreviousFrame() {}
    virtual void NextFrame() {}
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;
    virtual void AddFrames() {}
    virtual void AddMipmap() {}
    virtual void DeleteFrame() {}
    virtual void ShiftToPreviousFrame() {}
    virtual void ShiftToNextFrame() {}
    virtual void SelectPalette() = 0;
    virtual void EditProperties() = 0;
    virtual void SaveBitmap() {}
    virtual void SaveAllBitmaps() {}

    // Sets the main window's caption, application title, status panels and command states
    // (TDocumentStates, GLM_CommandTable.h). The main window runs it whenever this window
    // becomes the active one; the window runs it after each change of its own.
    virtual void UpdateMainWindow() = 0;

    // The "Save changes to" question; false keeps the window open.
    virtual bool CloseQuery() { return true; }
    // What the window does when it really closes, after the common part (the main window
    // is reset when this is its last document). The window is destroyed afterwards.
    virtual void FormClose() {}

    // Stops frame cycling, then asks CloseQuery. Used by the window's own close and by the
    // main window when it closes.
    bool QueryClose();
    // True once the window has agreed to close; it is about to be destroyed.
    bool IsClosed() const { return FClosed; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool FClosed = false;
};
