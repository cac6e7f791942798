#pragma once
// Whole-file binary reading and crash-safe writing shared by the game file formats.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// The one exception type for file failures. Windows show What() as it stands.
class EInOutError : public std::runtime_error
{
public:
    // Codes of the classic run-time input/output errors; Other carries a plain message.
    enum TCode { FileNotFound = 2, AccessDenied = 5, ReadBeyondEnd = 100, DiskFull = 101,
                 Other = -1 };

    explicit EInOutError(TCode code);
    EInOutError(TCode code, const std::string &message);

    TCode Code;

    static std::string StandardText(TCode code);
    // Maps an errno value to the matching standard error (plain strerror text otherwise).
    static EInOutError FromErrno(int err);
};

// Paths travel as UTF-8 strings through the whole program.
std::filesystem::path Utf8Path(const std::string &path);

// Opens a file for reading in binary mode; raises EInOutError (a folder is "File access
// denied"). Read access is all it asks, so read-only game files (from a CD, say) open too.
std::FILE *OpenForReading(const std::string &path);
// The size of an open file; false for one that has none to tell (a pipe, a device).
bool OpenFileSize(std::FILE *file, uint64_t &size);
// Reads n bytes at `offset`, or from where the last read stopped; raises "Read beyond end of
// file" when the file ends before.
void ReadAt(std::FILE *file, uint64_t offset, void *dest, size_t n);
void ReadOn(std::FILE *file, void *dest, size_t n);

// Reads a file front to back with every read bounds-checked against the file's size, so no
// count or size from the file can make us read or allocate past its end. Only what is asked
// for is held in memory: a large file is never copied whole.
class TFileReader
{
public:
    // The file, or the member of a container when `path` is CONTAINER::NAME.
    explicit TFileReader(const std::string &path);
    explicit TFileReader(std::vector<uint8_t> bytes); // for parsing bytes already in memory
    ~TFileReader();
    TFileReader(const TFileReader &) = delete;
    TFileReader &operator=(const TFileReader &) = delete;

    size_t Size() const { return FSize; }
    size_t Remaining() const { return FSize - FPos; }

    // Throws "Read beyond end of file" unless n more bytes are there.
    void Require(uint64_t n) const;
    void Read(void *dest, size_t n);
    // Pointer to the next n bytes, then skips them; valid until the next read.
    const uint8_t *Take(size_t n);
    uint16_t ReadUInt16();
    int32_t ReadInt32();

private:
    // Makes the bytes FPos..FPos + n (all there, by Require) present in FWindow.
    void Fill(size_t n);

    std::FILE *FFile = nullptr; // null: every byte is in FWindow
    size_t FSize = 0;
    size_t FPos = 0;
    std::vector<uint8_t> FWindow; // the bytes from FWindowStart on
    size_t FWindowStart = 0;
};

// Collects a file's bytes in memory, then replaces the target in one step: the bytes go to a
// temporary file in the target's folder, are flushed, and only then renamed over the target.
// A failed write leaves the old file untouched and raises EInOutError.
class TFileWriter
{
public:
    void Write(const void *src, size_t n);
    void WriteByte(uint8_t v);
    void WriteUInt16(uint16_t v);
    void WriteInt32(int32_t v);
    // For a document's pixels: the bytes are written from where they are when the file is
    // saved, not copied, so they must stay alive and unchanged until SaveTo.
    void WriteInPlace(const void *src, size_t n);

    std::vector<uint8_t> Bytes() const; // all of them in one piece
    void SaveTo(const std::string &path) const;

private:
    // Small writes gather in a block of their own, so the bytes of a big file are never
    // copied again as the collection grows.
    struct TBlock
    {
        std::vector<uint8_t> Own;
        const uint8_t *InPlace = nullptr; // else Own
        size_t Size = 0;
    };
    std::vector<TBlock> FBlocks;
};

// Replaces `path` with `bytes` as TFileWriter::SaveTo does.
void SaveBytesAtomically(const std::string &path, const std::vector<uint8_t> &bytes);

// Where a file too large to hold in memory is written, piece by piece, as it is made.
class TByteSink
{
public:
    // Raises EInOutError when the bytes cannot be written.
    virtual void Write(const void *src, size_t n) = 0;

protected:
    ~TByteSink() = default;
};

// Replaces `path` as SaveBytesAtomically does, with the bytes `produce` writes to the sink.
// Whatever `produce` raises leaves the old file untouched and is raised again.
void SaveStreamAtomically(const std::string &path, const std::function<void(TByteSink &)> &produce);

// Byte count of a width x height picture, rejecting negative sizes; never overflows.
uint64_t PictureBytes(int32_t width, int32_t height, uint32_t bytesPerPixel);

// Rejects a count above what a table can hold, naming the count and the limit.
void CheckCount(const char *what, int32_t count, int32_t limit);

// Little-endian helpers for fixed headers kept as raw bytes.
int32_t GetInt32LE(const uint8_t *p);
void PutInt32LE(uint8_t *p, int32_t v);
