#pragma once
// GOB container: the game's .gob files and the .goo files of Mysteries of the Sith levels
// (one format). All integers little-endian:
//   header, 12 bytes: "GOB ", version 20, offset of the entry table;
//   entry table: a count, then 136 bytes per member: offset and size of its bytes, and a
//   128-byte NUL-terminated name with backslashes between folders ("mat\00abb3.mat");
//   the members' bytes, stored whole.
// The game finds a member by its name lower-cased with '/' turned into '\', compared exactly
// with the stored name; the first of several equal names is the one it finds.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TGOBMember
{
    std::string Name;   // as stored; at most 127 bytes unless the stored one had no end
    int64_t Offset = 0; // where the bytes are in the container file, as its table says
    int64_t Size = 0;   // as the table says (negative in a broken container)
    // Why the member cannot be opened or extracted; empty when it can.
    std::string Problem;
    // Set for a member whose new bytes are not saved into the container yet: held in memory
    // (edited in place, or added from memory) or, for a file added, in that whole file.
    std::shared_ptr<const std::vector<uint8_t>> Data;
    std::string File;
    // As read: the index of an earlier member whose bytes this one's overlap; -1 for none.
    int Overlaps = -1;
    // Why the bytes are in no file any more: the member was held apart from its container
    // (by an undo step) when they could not be read. Such a member is never saved.
    std::string Lost;

    bool InContainer() const { return !Data && File.empty(); }
};

class TGOB
{
public:
    static constexpr int32_t Version = 20;
    static constexpr size_t HeaderSize = 12;
    static constexpr size_t EntrySize = 136;
    static constexpr size_t NameSize = 128;

    // Reads the header and the entry table; the members' bytes stay in the file until asked
    // for. Every count, offset and size is bounded by the file's size before anything is
    // allocated. A member that cannot be read or whose name is unsafe is kept, with its
    // Problem; a file that is no container raises EInOutError and leaves this object as it was.
    void LoadFromFile(const std::string &path);

    // Writes the container through the atomic save: the header, the table right after it,
    // then the members' bytes in table order. An unchanged container read in that layout
    // comes out byte-identical; any other reads back with the same members. Raises (before
    // the old file is touched) for a member whose bytes cannot be read.
    void WriteToFile(const std::string &path) const;
    // After WriteToFile, once the written file is at `path` (a save with a backup writes it
    // under another name first): members are read from there and nothing is modified.
    void Saved(const std::string &path);
    void SaveToFile(const std::string &path)
    {
        WriteToFile(path);
        Saved(path);
    }

    const std::string &FileName() const { return FFileName; }
    const std::vector<TGOBMember> &Members() const { return FMembers; }
    bool Modified() const { return FModified; }

    // The first member of that name, compared without regard to case, '/' and '\' alike;
    // -1 for none.
    int Find(const std::string &name) const;
    // A member's bytes, read on demand; raises its Problem for a bad member.
    std::vector<uint8_t> ReadMember(size_t index) const;

    // Gives a member new bytes, held in memory until the container is saved.
    void Replace(size_t index, std::vector<uint8_t> bytes);
    // Adds a member named by the user (stored as GOBStoredName gives it), or replaces the
    // bytes of the first one of that name; returns its index.
    size_t Put(const std::string &name, std::vector<uint8_t> bytes);
    // As Put, with the bytes of a whole file, read when the container is saved.
    size_t PutFile(const std::string &name, const std::string &path);
    void Remove(size_t index);
    void Rename(size_t index, const std::string &name);

    // Whole entries, for undo. An entry taken out keeps its place in the container file only
    // until the container is saved: HoldBytes first reads its bytes into memory (or marks
    // them Lost when they cannot be read). Inserting, taking and swapping move entries as
    // they are (after a removal the room is there to put it back).
    void HoldBytes(TGOBMember &member) const;
    void InsertEntry(size_t index, TGOBMember &&member);
    TGOBMember TakeEntry(size_t index);
    void SwapEntry(size_t index, TGOBMember &member);

    // Where Extract writes a member under `folder` (its folders made there); raises the
    // member's Problem for a bad one.
    std::string ExtractPath(size_t index, const std::string &folder) const;
    // Writes the member's bytes there through the atomic save. Never writes outside `folder`,
    // nor through a symbolic link inside it.
    void Extract(size_t index, const std::string &folder) const;

private:
    // Why the bytes of a member still in the container cannot be read; empty when they can.
    std::string BytesProblem(const TGOBMember &member) const;
    std::vector<uint8_t> MemberBytes(const TGOBMember &member) const;
    void SetProblem(TGOBMember &member) const;
    // The parts of the member's path under an extraction folder.
    std::vector<std::string> ExtractParts(size_t index) const;

    std::string FFileName;
    uint64_t FFileSize = 0;
    std::vector<TGOBMember> FMembers;
    bool FModified = false;
};

// A name the user gives, as a container stores it: lower case, '\' between folders, no empty
// or "." parts. Raises EInOutError for a name that is unsafe or longer than 127 bytes.
std::string GOBStoredName(const std::string &name);
// A name as the game and Find compare it: lower case in A..Z, '\' between folders.
std::string GOBNameKey(const std::string &name);
// A stored name as shown: '/' between folders.
std::string GOBShownName(const std::string &stored);
// Why a name cannot be a file under a folder ("'..' in the name", ...); empty when it can.
std::string GOBUnsafeReason(const std::string &name);
// Why the game never finds a member stored under this name ("capital letters", ...); empty
// when it does.
std::string GOBUnfindableReason(const std::string &name);

// A container member where a file name is expected: "CONTAINER::NAME" ("Res2.gob::mat/a.mat").
// A path that names a file itself is never split.
bool SplitMemberPath(const std::string &path, std::string &container, std::string &name);
// The bytes of the member `path` names; false, and `bytes` untouched, when it names none.
// Raises the container's or the member's error, or "No member named 'NAME'".
bool ReadMemberPath(const std::string &path, std::vector<uint8_t> &bytes);
// True when `path` names a member of a container that can be read.
bool MemberPathExists(const std::string &path);
