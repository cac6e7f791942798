#pragma once
// A container's edits as one undo step: members put in, taken out, given new bytes or a new
// name, each recorded as it is made. The step keeps only what the edits changed: the entries
// on the other side of each change (a removed member, the bytes a member had). Undo and redo
// exchange those entries with the container's, moving the window's stable ids along.
//
// An entry the step holds may still point into the container file; before that file is
// written again, HoldBytes reads such entries into memory, so that what an undo brings back
// never depends on which file the container was last saved as.

#include <functional>
#include <string>
#include <vector>

#include "core/documents/GLM_EditSteps.h"
#include "formats/LEC_GOB.h"

class TContainerStep : public TEditStep
{
public:
    // `ids` runs beside the container's members (the window's stable ids) and moves with
    // them; a member put in gets its id from the window.
    TContainerStep(const std::string &name, TGOB &gob, std::vector<int> &ids);

    // The edits, made through the step. They raise as TGOB's do, with nothing changed.
    void Remove(size_t index);
    void Rename(size_t index, const std::string &name);
    void Replace(size_t index, std::vector<uint8_t> bytes);
    // Puts a file under a name the user gives, replacing a member of that name (TGOB::PutFile).
    size_t PutFile(const std::string &name, const std::string &path);

    // Reads the held entries' bytes that are still in the container file into memory (the
    // same member either way, so a const step may do it).
    void HoldBytes() const;

    bool Finish() override { return !FChanges.empty(); }
    size_t HeldBytes() const override;

protected:
    void Toggle(bool undo) noexcept override;

private:
    enum class TChange { Inserted, Removed, Exchanged };
    struct TRecord
    {
        TChange Change;
        size_t Index;
        mutable TGOBMember Held; // out of the container now, or the other side of a change
        bool Out;                // Held is a member out of the container (always, for an exchange)
        int Id = -1;             // the id of a member out of the container
    };
    // Makes `edit` (which gives the index it changed) and records the way back to `before`.
    size_t Record(TGOBMember before, bool exchanged, const std::function<size_t()> &edit);
    // Takes the record's member out of the container, its id out of the window's.
    void TakeOut(TRecord &record);
    TGOB &FGOB;
    std::vector<int> &FIds;
    std::vector<TRecord> FChanges;
};
