#include "core/documents/GLM_ContainerStep.h"

#include <algorithm>
#include <utility>

TContainerStep::TContainerStep(const std::string &name, TGOB &gob, std::vector<int> &ids)
    : TEditStep(name), FGOB(gob), FIds(ids)
{
}

void TContainerStep::Remove(size_t index)
{
    FChanges.reserve(FChanges.size() + 1);
    TRecord record{TChange::Removed, index, {}, false};
    TakeOut(record);
    FChanges.push_back(std::move(record));
}

void TContainerStep::TakeOut(TRecord &r)
{
    r.Held = FGOB.TakeEntry(r.Index);
    if (r.Index < FIds.size()) {
        r.Id = FIds[r.Index];
        FIds.erase(FIds.begin() + static_cast<ptrdiff_t>(r.Index));
    }
    r.Out = true;
}

size_t TContainerStep::Record(TGOBMember before, bool exchanged,
                              const std::function<size_t()> &edit)
{
    FChanges.reserve(FChanges.size() + 1); // so that recording cannot fail after the edit
    const size_t index = edit();
    FChanges.push_back(
        {exchanged ? TChange::Exchanged : TChange::Inserted, index, std::move(before), exchanged});
    return index;
}

void TContainerStep::Rename(size_t index, const std::string &name)
{
    Record(FGOB.Members().at(index), true, [&] {
        FGOB.Rename(index, name);
        return index;
    });
}

void TContainerStep::Replace(size_t index, std::vector<uint8_t> bytes)
{
    Record(FGOB.Members().at(index), true, [&] {
        FGOB.Replace(index, std::move(bytes));
        return index;
    });
}

size_t TContainerStep::PutFile(const std::string &name, const std::string &path)
{
    // Replaces the member of that name, or adds one: which it was decides the way back.
    const int existing = FGOB.Find(GOBStoredName(name));
    return Record(existing >= 0 ? FGOB.Members()[size_t(existing)] : TGOBMember(), existing >= 0,
                  [&] { return FGOB.PutFile(name, path); });
}

void TContainerStep::HoldBytes() const
{
    for (const TRecord &r : FChanges)
        if (r.Out)
            FGOB.HoldBytes(r.Held);
}

size_t TContainerStep::HeldBytes() const
{
    size_t bytes = 0;
    for (const TRecord &r : FChanges)
        bytes += r.Held.Data ? r.Held.Data->size() : 0;
    return bytes;
}

void TContainerStep::Toggle(bool undo) noexcept
{
    // Each change is its own way back; undo goes through them from the last.
    const auto toggle = [this](TRecord &r) {
        if (r.Change == TChange::Exchanged) {
            FGOB.SwapEntry(r.Index, r.Held);
        } else if (r.Out) { // the member goes back in
            FGOB.InsertEntry(r.Index, std::move(r.Held));
            FIds.insert(FIds.begin() + static_cast<ptrdiff_t>(std::min(r.Index, FIds.size())),
                        r.Id);
            r.Out = false;
        } else { // and out again
            TakeOut(r);
        }
    };
    if (undo)
        for (auto r = FChanges.rbegin(); r != FChanges.rend(); ++r)
            toggle(*r);
    else
        for (TRecord &r : FChanges)
            toggle(r);
}
