#include "formats/LEC_GOB.h"

#include "formats/LEC_FileIO.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <numeric>

namespace {

constexpr int64_t MaxContainerSize = std::numeric_limits<int32_t>::max();
constexpr size_t Piece = 1 << 20; // bytes read or written at a time

// Closes the file when the scope ends, however it ends.
struct TOpenFile
{
    explicit TOpenFile(const std::string &path) : File(OpenForReading(path)) {}
    ~TOpenFile() { std::fclose(File); }
    TOpenFile(const TOpenFile &) = delete;
    TOpenFile &operator=(const TOpenFile &) = delete;

    // Reads go through a buffer of this size (the C library ignores a size without one).
    void Buffer(size_t size)
    {
        FBuffer.resize(size);
        std::setvbuf(File, FBuffer.data(), _IOFBF, size);
    }

    // Members one after another are read on without a seek, which would drop the buffer.
    void Read(int64_t offset, void *dest, size_t n)
    {
        if (offset == Next)
            ReadOn(File, dest, n);
        else
            ReadAt(File, static_cast<uint64_t>(offset), dest, n);
        Next = offset + static_cast<int64_t>(n);
    }

    std::FILE *File;
    int64_t Next = -1;

private:
    std::vector<char> FBuffer;
};

EInOutError Failure(const std::string &message)
{
    return EInOutError(EInOutError::Other, message);
}

// A character of a name as the game compares it.
char KeyOf(char c)
{
    if (c == '/')
        return '\\';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string GOBNameKey(const std::string &name)
{
    std::string key = name;
    for (char &c : key)
        c = KeyOf(c);
    return key;
}

namespace {

std::vector<std::string> Parts(const std::string &name)
{
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '\\' || c == '/')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The member's bytes from wherever they are now, in pieces.
void CopyMember(const TGOBMember &m, TOpenFile *container,
                const std::function<void(const uint8_t *, size_t)> &out)
{
    if (m.Data) {
        out(m.Data->data(), m.Data->size());
        return;
    }
    std::unique_ptr<TOpenFile> loose;
    TOpenFile *from = container;
    if (!m.File.empty()) {
        loose = std::make_unique<TOpenFile>(m.File);
        from = loose.get();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(m.Size, Piece)));
    for (int64_t done = 0; done < m.Size;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(m.Size - done, Piece));
        from->Read(m.Offset + done, buffer.data(), n);
        out(buffer.data(), n);
        done += static_cast<int64_t>(n);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::string GOBUnsafeReason(const std::string &name)
{
    if (name.empty())
        return "empty name";
    if (name.size() >= TGOB::NameSize)
        return "name without an end within 128 bytes";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "control characters in the name";
    if (name[0] == '\\' || name[0] == '/')
        return "name starting with a slash";
    // A drive letter, or on Windows a stream of another file.
    if (name.find(':') != std::string::npos)
        return "drive letter or ':' in the name";
    const std::vector<std::string> parts = Parts(name);
    for (const std::string &part : parts)
        if (part == "..")
            return "'..' in the name";
    if (parts.back().empty() || parts.back() == ".")
        return "name of a folder";
    return {};
}

std::string GOBUnfindableReason(const std::string &name)
{
    const bool capitals =
        std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const bool slashes = name.find('/') != std::string::npos;
    if (capitals && slashes)
        return "capital letters and '/'";
    if (capitals)
        return "capital letters";
    return slashes ? "'/' between folders" : "";
}

std::string GOBStoredName(const std::string &name)
{
    std::string stored;
    for (const std::string &part : Parts(GOBNameKey(name))) {
        if (part.empty() || part == ".")
            continue;
        stored += (stored.empty() ? "" : "\\") + part;
    }
    // The leading slash is not dropped: an absolute path is no member name.
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        stored = "\\" + stored;
    std::string reason = GOBUnsafeReason(stored);
    if (stored.size() >= TGOB::NameSize)
        reason = "longer than 127 bytes";
    if (!reason.empty())
        throw Failure("Member name '" + name + "': " + reason);
    return stored;
}

std::string GOBShownName(const std::string &stored)
{
    std::string shown = stored;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return shown;
}

// ---------------------------------------------------------------------------------------------

std::string TGOB::BytesProblem(const TGOBMember &m) const
{
    if (!m.InContainer())
        return {};
    if (!m.Lost.empty())
        return m.Lost;
    if (m.Size < 0)
        return "negative size";
    if (m.Offset < 0)
        return "negative offset";
    if (static_cast<uint64_t>(m.Offset + m.Size) > FFileSize)
        return "bytes past the end of the file";
    return {};
}

void TGOB::SetProblem(TGOBMember &m) const
{
    m.Problem = GOBUnsafeReason(m.Name);
    if (m.Problem.empty())
        m.Problem = BytesProblem(m);
}

void TGOB::LoadFromFile(const std::string &path)
{
    const TOpenFile file(path);
    uint64_t size = 0;
    uint8_t header[HeaderSize];
    if (!OpenFileSize(file.File, size) || size < HeaderSize)
        throw Failure("Not a GOB container");
    ReadAt(file.File, 0, header, HeaderSize);
    if (std::memcmp(header, "GOB ", 4) != 0)
        throw Failure("Not a GOB container");
    if (GetInt32LE(header + 4) != Version)
        throw Failure("GOB version " + std::to_string(GetInt32LE(header + 4)) +
                      " is not supported (only 20 is)");
    const int64_t table = GetInt32LE(header + 8);
    if (table < 0 || static_cast<uint64_t>(table) + 4 > size)
        throw Failure("The member table at " + std::to_string(table) +
                      " lies past the end of the file");
    uint8_t countBytes[4];
    ReadAt(file.File, static_cast<uint64_t>(table), countBytes, 4);
    const int32_t count = GetInt32LE(countBytes);
    const uint64_t room = (size - static_cast<uint64_t>(table) - 4) / EntrySize;
    if (count < 0 || static_cast<uint64_t>(count) > room)
        throw Failure("Member count " + std::to_string(count) + " exceeds what the file holds (" +
                      std::to_string(room) + ")");
    std::vector<uint8_t> entries(static_cast<size_t>(count) * EntrySize);
    ReadAt(file.File, static_cast<uint64_t>(table) + 4, entries.data(), entries.size());

    TGOB loaded;
    loaded.FFileName = path;
    loaded.FFileSize = size;
    loaded.FMembers.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < loaded.FMembers.size(); ++i) {
        TGOBMember &m = loaded.FMembers[i];
        const uint8_t *e = entries.data() + i * EntrySize;
        m.Offset = GetInt32LE(e);
        m.Size = GetInt32LE(e + 4);
        const char *name = reinterpret_cast<const char *>(e + 8);
        m.Name.assign(name, strnlen(name, NameSize));
        loaded.SetProblem(m);
    }
    // Members sharing bytes: harmless to read, but worth a word in the list. Bad members
    // have their own word already.
    std::vector<size_t> order(loaded.FMembers.size());
    std::iota(order.begin(), order.end(), 0);
    std::erase_if(order, [&](size_t i) {
        const TGOBMember &m = loaded.FMembers[i];
        return m.Size <= 0 || !m.Problem.empty();
    });
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return loaded.FMembers[a].Offset < loaded.FMembers[b].Offset;
    });
    int64_t reach = -1; // the furthest end so far, and whose it is
    size_t reacher = 0;
    for (const size_t i : order) {
        TGOBMember &m = loaded.FMembers[i];
        if (m.Offset < reach)
            m.Overlaps = static_cast<int>(reacher);
        if (m.Offset + m.Size > reach) {
            reach = m.Offset + m.Size;
            reacher = i;
        }
    }
    *this = std::move(loaded);
}

void TGOB::WriteToFile(const std::string &path) const
{
    for (size_t i = 0; i < FMembers.size(); ++i) {
        const TGOBMember &m = FMembers[i];
        // A member under an unsafe name keeps it; one whose bytes are not there cannot stay.
        const std::string problem = BytesProblem(m);
        if (!problem.empty())
            throw Failure("Member " + std::to_string(i + 1) + " (" + GOBShownName(m.Name) +
                          "): " + problem + "; remove it before saving");
    }
    int64_t end = static_cast<int64_t>(HeaderSize + 4 + EntrySize * FMembers.size());
    std::vector<uint8_t> head(static_cast<size_t>(end));
    std::memcpy(head.data(), "GOB ", 4);
    PutInt32LE(&head[4], Version);
    PutInt32LE(&head[8], static_cast<int32_t>(HeaderSize));
    PutInt32LE(&head[12], static_cast<int32_t>(FMembers.size()));
    for (size_t i = 0; i < FMembers.size(); ++i) {
        const TGOBMember &m = FMembers[i];
        if (end + m.Size > MaxContainerSize)
            throw Failure("The container would be larger than 2 GB");
        uint8_t *e = &head[HeaderSize + 4 + i * EntrySize];
        PutInt32LE(e, static_cast<int32_t>(end));
        PutInt32LE(e + 4, static_cast<int32_t>(m.Size));
        std::memcpy(e + 8, m.Name.data(), std::min(m.Name.size(), NameSize));
        end += m.Size;
    }
    SaveStreamAtomically(path, [&](TByteSink &out) {
        // Thousands of small members go out in pieces of 1 MiB, not one write each.
        std::vector<uint8_t> pending = std::move(head);
        const auto put = [&](const uint8_t *p, size_t n) {
            if (pending.size() + n > Piece) {
                out.Write(pending.data(), pending.size());
                pending.clear();
            }
            if (n >= Piece)
                out.Write(p, n);
            else
                pending.insert(pending.end(), p, p + n);
        };
        std::unique_ptr<TOpenFile> container;
        for (const TGOBMember &m : FMembers) {
            if (m.InContainer() && m.Size > 0 && !container) {
                container = std::make_unique<TOpenFile>(FFileName);
                container->Buffer(Piece);
            }
            CopyMember(m, container.get(), put);
        }
        out.Write(pending.data(), pending.size());
    });
}

void TGOB::Saved(const std::string &path)
{
    int64_t end = static_cast<int64_t>(HeaderSize + 4 + EntrySize * FMembers.size());
    FFileName = path;
    FFileSize = 0;
    for (TGOBMember &m : FMembers) {
        m.Offset = end;
        m.Data.reset();
        m.File.clear();
        m.Overlaps = -1;
        end += m.Size;
    }
    FFileSize = static_cast<uint64_t>(end);
    for (TGOBMember &m : FMembers)
        SetProblem(m);
    FModified = false;
}

int TGOB::Find(const std::string &name) const
{
    const std::string key = GOBNameKey(name);
    const auto same = [](char a, char b) { return KeyOf(a) == b; };
    for (size_t i = 0; i < FMembers.size(); ++i)
        if (std::equal(FMembers[i].Name.begin(), FMembers[i].Name.end(), key.begin(), key.end(),
                       same))
            return static_cast<int>(i);
    return -1;
}

std::vector<uint8_t> TGOB::ReadMember(size_t index) const
{
    const TGOBMember &m = FMembers.at(index);
    if (!m.Problem.empty())
        throw Failure(m.Problem);
    return MemberBytes(m);
}

std::vector<uint8_t> TGOB::MemberBytes(const TGOBMember &m) const
{
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(m.Size));
    std::unique_ptr<TOpenFile> container;
    if (m.InContainer() && m.Size > 0)
        container = std::make_unique<TOpenFile>(FFileName);
    CopyMember(m, container.get(),
               [&](const uint8_t *p, size_t n) { bytes.insert(bytes.end(), p, p + n); });
    return bytes;
}

void TGOB::Replace(size_t index, std::vector<uint8_t> bytes)
{
    TGOBMember &m = FMembers.at(index);
    m.Size = static_cast<int64_t>(bytes.size());
    m.Data = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    m.File.clear();
    m.Overlaps = -1;
    SetProblem(m);
    FModified = true;
}

size_t TGOB::Put(const std::string &name, std::vector<uint8_t> bytes)
{
    const std::string stored = GOBStoredName(name);
    int index = Find(stored);
    if (index < 0) {
        FMembers.emplace_back().Name = stored;
        index = static_cast<int>(FMembers.size() - 1);
    }
    Replace(static_cast<size_t>(index), std::move(bytes));
    return static_cast<size_t>(index);
}

size_t TGOB::PutFile(const std::string &name, const std::string &path)
{
    const std::string stored = GOBStoredName(name);
    uint64_t size = 0;
    {
        const TOpenFile file(path);
        if (!OpenFileSize(file.File, size))
            throw Failure("Not a file");
    }
    if (size > static_cast<uint64_t>(MaxContainerSize))
        throw Failure("Too large for a container");
    const size_t index = Put(stored, {});
    TGOBMember &m = FMembers[index];
    m.Data.reset();
    m.File = path;
    m.Offset = 0;
    m.Size = static_cast<int64_t>(size);
    return index;
}

void TGOB::Remove(size_t index)
{
    FMembers.erase(FMembers.begin() + static_cast<ptrdiff_t>(index));
    FModified = true;
}

void TGOB::Rename(size_t index, const std::string &name)
{
    TGOBMember &m = FMembers.at(index);
    m.Name = GOBStoredName(name);
    SetProblem(m);
    FModified = true;
}

void TGOB::HoldBytes(TGOBMember &m) const
{
    if (!m.InContainer() || !m.Lost.empty())
        return;
    if (const std::string problem = BytesProblem(m); !problem.empty()) {
        m.Lost = problem;
        return;
    }
    m.Data = std::make_shared<const std::vector<uint8_t>>(MemberBytes(m));
}

void TGOB::InsertEntry(size_t index, TGOBMember &&member)
{
    FMembers.insert(FMembers.begin() + static_cast<ptrdiff_t>(std::min(index, FMembers.size())),
                    std::move(member));
    FModified = true;
}

TGOBMember TGOB::TakeEntry(size_t index)
{
    TGOBMember taken = std::move(FMembers.at(index));
    FMembers.erase(FMembers.begin() + static_cast<ptrdiff_t>(index));
    FModified = true;
    return taken;
}

void TGOB::SwapEntry(size_t index, TGOBMember &member)
{
    std::swap(FMembers.at(index), member);
    FModified = true;
}

std::vector<std::string> TGOB::ExtractParts(size_t index) const
{
    const TGOBMember &m = FMembers.at(index);
    if (!m.Problem.empty())
        throw Failure(m.Problem);
    std::vector<std::string> parts = Parts(m.Name);
    std::erase_if(parts, [](const std::string &part) { return part.empty() || part == "."; });
    return parts;
}

std::string TGOB::ExtractPath(size_t index, const std::string &folder) const
{
    std::filesystem::path target = Utf8Path(folder);
    for (const std::string &part : ExtractParts(index))
        target /= Utf8Path(part);
    const std::u8string text = target.u8string();
    return std::string(text.begin(), text.end());
}

void TGOB::Extract(size_t index, const std::string &folder) const
{
    namespace fs = std::filesystem;
    const std::vector<std::string> parts = ExtractParts(index);
    // Each folder on the way is made, or must be a real folder: a link inside `folder`
    // could lead anywhere.
    fs::path at = Utf8Path(folder);
    for (size_t i = 0; i < parts.size(); ++i) {
        at /= Utf8Path(parts[i]);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(at, ec);
        if (fs::is_symlink(status))
            throw Failure("Will not write through the symbolic link " + at.string());
        if (i + 1 == parts.size())
            break;
        if (!fs::exists(status) && !fs::create_directory(at, ec) && ec)
            throw EInOutError::FromErrno(ec.value());
        if (!fs::is_directory(at, ec))
            throw Failure(at.string() + " is a file, not a folder");
    }
    SaveBytesAtomically(ExtractPath(index, folder), ReadMember(index));
}

// ---------------------------------------------------------------------------------------------

bool SplitMemberPath(const std::string &path, std::string &container, std::string &name)
{
    const size_t at = path.find("::");
    if (at == std::string::npos || at == 0 || at + 2 >= path.size())
        return false;
    std::error_code ec;
    if (std::filesystem::exists(Utf8Path(path), ec))
        return false;
    container = path.substr(0, at);
    name = path.substr(at + 2);
    return true;
}

bool ReadMemberPath(const std::string &path, std::vector<uint8_t> &bytes)
{
    std::string container, name;
    if (!SplitMemberPath(path, container, name))
        return false;
    TGOB gob;
    gob.LoadFromFile(container);
    const int index = gob.Find(name);
    if (index < 0)
        throw EInOutError(EInOutError::FileNotFound, "No member named '" + name + "'");
    bytes = gob.ReadMember(static_cast<size_t>(index));
    return true;
}

bool MemberPathExists(const std::string &path)
{
    std::string container, name;
    if (!SplitMemberPath(path, container, name))
        return false;
    try {
        TGOB gob;
        gob.LoadFromFile(container);
        return gob.Find(name) >= 0;
    } catch (const std::exception &) {
        return false;
    }
}
