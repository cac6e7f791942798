#pragma once
// Undo and redo: every change to a document is one step on its window's QUndoStack. The steps
// are QUndoCommands here in the core (Qt Gui, where Qt 6 keeps the undo classes), so that what
// a step records and how it goes back and forth is tested on the real stack without a window;
// the window only pushes them and shows the view a step hands back.
//
// A step keeps what its edit changed, not a copy of the document: the document's small fields
// (headers, palette, records, character table) as they were on the other side of the step, and
// of the frames only those the edit touched (the deleted one, the replaced one, the added ones
// while undone). Undo and redo move and swap what the step holds with the document, so they
// allocate nothing and cannot fail half-way; whatever can fail (the copies) happens when the
// step is made, before the document changes, and then nothing is pushed.
//
// Recording an edit:
//     auto step = MakeStep(doc, "Delete Frame", TFrameEdit::Removed, frame); // may throw
//     DeleteBMFrame(doc, frame);                                             // the edit
//     step->Before = ...; step->After = ...;                                // views to show
//     if (step->Finish()) stack.push(step.release()); // pushed already done
// Another kind of document (a container) derives from TEditStep and implements Toggle the
// same way: what the document has now and what the step holds change places.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QUndoCommand>

#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

// What the window shows after an undo or redo: the frame the step touched (1-based, 0 for
// none) and, in a MAT, the level.
struct TStepView
{
    int Frame = 0;
    int Mipmap = 0;
};

class TEditStep : public QUndoCommand
{
public:
    // `name` is what the Edit menu shows after "Undo " and "Redo ".
    explicit TEditStep(const std::string &name);

    TStepView Before; // shown after undo
    TStepView After;  // shown after redo
    // Told after every undo and redo (not the push) which view to show.
    std::function<void(const TStepView &)> Shown;

    // Called once the edit is done. False when the edit changed nothing: such a step is not
    // pushed (unless the window pushes every OK of a dialog).
    virtual bool Finish() { return true; }
    // The bytes the step holds of the document, besides its own object (the memory bound).
    virtual size_t HeldBytes() const = 0;

    void undo() final;
    void redo() final;

protected:
    // The document and the step exchange what the step holds; `undo` says which way.
    virtual void Toggle(bool undo) noexcept = 0;

private:
    bool FPushed = false; // the push's redo finds the edit done already
};

// What an edit does to the frames besides the small fields.
enum class TFrameEdit {
    None,     // the small fields only
    Added,    // frames appended at the end (Add Frames)
    Removed,  // frame A taken out, the later ones moved down
    Swapped,  // frames A and B change places
    Replaced, // frame A's pixels changed in place (a mipmap added, transparency converted)
};

// Begin a step on `doc` before the edit. The overloads pick what each kind's small fields and
// frames are; a CMP's "frame" is its tables (TFrameEdit::Replaced when the edit recomputes
// them); an SFT's one frame is its strip, whatever `a` says.
std::unique_ptr<TEditStep> MakeStep(TBM &doc, const std::string &name, TFrameEdit edit = {},
                                    int a = 0, int b = 0);
std::unique_ptr<TEditStep> MakeStep(TMAT &doc, const std::string &name, TFrameEdit edit = {},
                                    int a = 0, int b = 0);
std::unique_ptr<TEditStep> MakeStep(TSFT &doc, const std::string &name, TFrameEdit edit = {},
                                    int a = 0, int b = 0);
std::unique_ptr<TEditStep> MakeStep(TCMP &doc, const std::string &name, TFrameEdit edit = {},
                                    int a = 0, int b = 0);
