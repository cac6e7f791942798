#include "formats/LEC_FileIO.h"

#include "formats/LEC_GOB.h"
#include "formats/LEC_SaveHooks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <sys/stat.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

EInOutError::EInOutError(TCode code) : std::runtime_error(StandardText(code)), Code(code) {}

EInOutError::EInOutError(TCode code, const std::string &message)
    : std::runtime_error(message), Code(code)
{
}

std::string EInOutError::StandardText(TCode code)
{
    switch (code) {
    case FileNotFound: return "File not found";
    case AccessDenied: return "File access denied";
    case ReadBeyondEnd: return "Read beyond end of file";
    case DiskFull: return "Disk full";
    case Other: break;
    }
    return "I/O error";
}

EInOutError EInOutError::FromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return EInOutError(FileNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return EInOutError(AccessDenied);
    case ENOSPC:
    case EFBIG: // a size limit reached mid-write: to the user, the disk is full
#ifdef EDQUOT
    case EDQUOT:
#endif
        return EInOutError(DiskFull);
    default: return EInOutError(Other, std::strerror(err));
    }
}

std::filesystem::path Utf8Path(const std::string &path)
{
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t *>(path.data()), path.size()));
}

// ---------------------------------------------------------------------------------------------

std::FILE *OpenForReading(const std::string &path)
{
    std::error_code ec;
    const auto fsPath = Utf8Path(path);
    if (std::filesystem::is_directory(fsPath, ec))
        throw EInOutError(EInOutError::AccessDenied);
#ifdef _WIN32
    std::FILE *f = _wfopen(fsPath.c_str(), L"rb");
#else
    std::FILE *f = std::fopen(fsPath.c_str(), "rb");
#endif
    if (!f)
        throw EInOutError::FromErrno(errno);
    return f;
}

bool OpenFileSize(std::FILE *file, uint64_t &size)
{
#ifdef _WIN32
    struct _stat64 st;
    if (::_fstat64(::_fileno(file), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)
        return false;
#else
    struct stat st;
    if (::fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
#endif
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

namespace {

// After a short read: the system's error, or the end of a file cut since it was measured.
EInOutError ShortRead(std::FILE *file)
{
    return std::ferror(file) ? EInOutError::FromErrno(errno ? errno : EIO)
                             : EInOutError(EInOutError::ReadBeyondEnd);
}

} // namespace

void ReadAt(std::FILE *file, uint64_t offset, void *dest, size_t n)
{
#ifdef _WIN32
    const int sought = ::_fseeki64(file, static_cast<__int64>(offset), SEEK_SET);
#else
    const int sought = ::fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
    if (sought != 0)
        throw EInOutError::FromErrno(errno);
    ReadOn(file, dest, n);
}

void ReadOn(std::FILE *file, void *dest, size_t n)
{
    if (n > 0 && std::fread(dest, 1, n, file) != n)
        throw ShortRead(file);
}

TFileReader::TFileReader(const std::string &path)
{
    if (ReadMemberPath(path, FWindow)) {
        FSize = FWindow.size();
        return;
    }
    FFile = OpenForReading(path);
    uint64_t size = 0;
    if (OpenFileSize(FFile, size) && size <= FWindow.max_size()) {
        FSize = static_cast<size_t>(size);
        return;
    }
    // A file with no size to tell is read whole, to its end.
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, FFile)) > 0)
        FWindow.insert(FWindow.end(), buffer, buffer + n);
    const bool failed = std::ferror(FFile) != 0;
    const int err = errno;
    std::fclose(FFile);
    FFile = nullptr;
    if (failed)
        throw EInOutError::FromErrno(err);
    FSize = FWindow.size();
}

TFileReader::TFileReader(std::vector<uint8_t> bytes)
    : FSize(bytes.size()), FWindow(std::move(bytes))
{
}

TFileReader::~TFileReader()
{
    if (FFile)
        std::fclose(FFile);
}

void TFileReader::Require(uint64_t n) const
{
    if (n > Remaining())
        throw EInOutError(EInOutError::ReadBeyondEnd);
}

void TFileReader::Fill(size_t n)
{
    if (FPos + n <= FWindowStart + FWindow.size())
        return;
    // The unread rest moves to the front and the file is read on from where it stopped, in
    // pieces of at least 64 KiB so that small reads do not each reach the system.
    FWindow.erase(FWindow.begin(), FWindow.begin() + static_cast<ptrdiff_t>(FPos - FWindowStart));
    FWindowStart = FPos;
    const size_t have = FWindow.size();
    const size_t want = std::min(std::max(n, size_t(65536)), FSize - FPos);
    FWindow.resize(want);
    if (std::fread(FWindow.data() + have, 1, want - have, FFile) != want - have) {
        FWindow.resize(have);
        throw ShortRead(FFile);
    }
}

void TFileReader::Read(void *dest, size_t n)
{
    Require(n);
    if (n == 0) // an empty file has no data pointer to copy from
        return;
    const size_t windowEnd = FWindowStart + FWindow.size();
    const size_t held = FPos < windowEnd ? std::min(n, windowEnd - FPos) : 0;
    if (!FFile || held == n || n - held < 65536) {
        std::memcpy(dest, Take(n), n);
        return;
    }
    // A large block goes straight from the file to its place.
    auto *out = static_cast<uint8_t *>(dest);
    if (held > 0)
        std::memcpy(out, FWindow.data() + (FPos - FWindowStart), held);
    if (std::fread(out + held, 1, n - held, FFile) != n - held)
        throw ShortRead(FFile);
    FPos += n;
    FWindow.clear();
    FWindowStart = FPos;
}

const uint8_t *TFileReader::Take(size_t n)
{
    Require(n);
    if (FFile)
        Fill(n);
    const uint8_t *p = FWindow.data() + (FPos - FWindowStart);
    FPos += n;
    return p;
}

uint16_t TFileReader::ReadUInt16()
{
    const uint8_t *p = Take(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int32_t TFileReader::ReadInt32()
{
    return GetInt32LE(Take(4));
}

// ---------------------------------------------------------------------------------------------

void TFileWriter::Write(const void *src, size_t n)
{
    constexpr size_t BlockSize = 65536;
    if (FBlocks.empty() || FBlocks.back().InPlace ||
        FBlocks.back().Own.capacity() - FBlocks.back().Own.size() < n) {
        FBlocks.emplace_back();
        FBlocks.back().Own.reserve(std::max(n, BlockSize));
    }
    TBlock &block = FBlocks.back();
    const auto *p = static_cast<const uint8_t *>(src);
    block.Own.insert(block.Own.end(), p, p + n);
    block.Size = block.Own.size();
}

void TFileWriter::WriteInPlace(const void *src, size_t n)
{
    if (n > 0)
        FBlocks.push_back({{}, static_cast<const uint8_t *>(src), n});
}

void TFileWriter::WriteByte(uint8_t v)
{
    Write(&v, 1);
}

void TFileWriter::WriteUInt16(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    Write(b, 2);
}

void TFileWriter::WriteInt32(int32_t v)
{
    uint8_t b[4];
    PutInt32LE(b, v);
    Write(b, 4);
}

std::vector<uint8_t> TFileWriter::Bytes() const
{
    std::vector<uint8_t> all;
    for (const TBlock &block : FBlocks) {
        const uint8_t *p = block.InPlace ? block.InPlace : block.Own.data();
        all.insert(all.end(), p, p + block.Size);
    }
    return all;
}

void TFileWriter::SaveTo(const std::string &path) const
{
    SaveStreamAtomically(path, [&](TByteSink &out) {
        for (const TBlock &block : FBlocks)
            out.Write(block.InPlace ? block.InPlace : block.Own.data(), block.Size);
    });
}

namespace {

// The temporary file of an atomic save; every failed write raises at once.
class TTemporaryFileSink final : public TByteSink
{
public:
    explicit TTemporaryFileSink(std::FILE *f) : FFile(f) {}

    void Write(const void *src, size_t n) override
    {
        errno = 0;
        const auto write = SaveHooks().Write;
        if (n > 0 && (write ? write(src, n, FFile) : std::fwrite(src, 1, n, FFile)) != n)
            throw EInOutError::FromErrno(errno ? errno : EIO);
    }

    // Makes what was written durable.
    void Flush()
    {
        if (std::fflush(FFile) != 0)
            throw EInOutError::FromErrno(errno);
#ifdef _WIN32
        if (::_commit(::_fileno(FFile)) != 0)
#else
        if (::fsync(fileno(FFile)) != 0)
#endif
            throw EInOutError::FromErrno(errno);
    }

private:
    std::FILE *FFile;
};

std::filesystem::path TemporarySibling(const std::filesystem::path &target)
{
    static std::mt19937_64 rng{std::random_device{}()};
    std::string tag;
    if (const auto hook = SaveHooks().TemporaryTag) {
        tag = hook();
    } else {
        const char digits[] = "0123456789abcdef";
        for (int i = 0; i < 8; ++i)
            tag += digits[rng() % 16];
    }
    // Built as a path, so that the target's name never passes through a narrow code page.
    std::filesystem::path name(".");
    name += target.filename();
    name += Utf8Path(".glimra-" + tag + ".tmp");
    return target.parent_path() / name;
}

// Creates the temporary file, failing when the name exists already.
std::FILE *OpenExclusive(const std::filesystem::path &temp)
{
#ifdef _WIN32
    // The C runtime's fopen ignores the "x" mode letter, so the exclusive open is asked for
    // by its flags.
    const int fd = ::_wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                            _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE *f = ::_fdopen(fd, "wb");
    if (!f) {
        const int err = errno;
        ::_close(fd);
        errno = err;
    }
    return f;
#else
    return std::fopen(temp.c_str(), "wbx");
#endif
}

bool Writable(const std::filesystem::path &target, std::filesystem::perms mode)
{
    using std::filesystem::perms;
    if ((mode & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none)
        return false;
#ifndef _WIN32
    return ::access(target.c_str(), W_OK) == 0;
#else
    (void)target;
    return true;
#endif
}

} // namespace

void SaveBytesAtomically(const std::string &path, const std::vector<uint8_t> &bytes)
{
    SaveStreamAtomically(path, [&](TByteSink &out) { out.Write(bytes.data(), bytes.size()); });
}

void SaveStreamAtomically(const std::string &path, const std::function<void(TByteSink &)> &produce)
{
    std::error_code ec;
    std::filesystem::path target = Utf8Path(path);
    // Saving through a symbolic link replaces the file it points to, not the link.
    if (std::filesystem::is_symlink(target, ec))
        target = std::filesystem::weakly_canonical(target, ec);
    if (std::filesystem::is_directory(target, ec))
        throw EInOutError(EInOutError::AccessDenied);
    if (target.parent_path().empty())
        target = std::filesystem::path(".") / target;
    // Renaming over the target would bypass its own protection: a file nobody may write (a
    // read-only file) is refused as writing into it would be.
    const auto old = std::filesystem::status(target, ec);
    const bool replacing = !ec && std::filesystem::exists(old);
    if (replacing && !Writable(target, old.permissions()))
        throw EInOutError(EInOutError::AccessDenied);

    std::filesystem::path temp;
    std::FILE *f = nullptr;
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        temp = TemporarySibling(target);
        f = OpenExclusive(temp);
        if (!f && errno != EEXIST)
            break;
    }
    if (!f)
        throw EInOutError::FromErrno(errno);

    try {
        TTemporaryFileSink sink(f);
        produce(sink);
        sink.Flush();
    } catch (...) {
        std::fclose(f);
        std::filesystem::remove(temp, ec);
        throw;
    }
    if (std::fclose(f) != 0) {
        const int err = errno;
        std::filesystem::remove(temp, ec);
        throw EInOutError::FromErrno(err ? err : EIO);
    }

    // Keep the permissions of the file being replaced; a new file has the usual ones already.
    if (replacing)
        std::filesystem::permissions(temp, old.permissions(), ec);
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw EInOutError::FromErrno(ec.value());
    }
}

uint64_t PictureBytes(int32_t width, int32_t height, uint32_t bytesPerPixel)
{
    if (width < 0 || height < 0)
        throw EInOutError(EInOutError::Other, "Invalid picture size: " + std::to_string(width) +
                                                  " x " + std::to_string(height));
    // (2^31 - 1)^2 * 4 < 2^64: cannot overflow for up to 4 bytes per pixel.
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * bytesPerPixel;
}

void CheckCount(const char *what, int32_t count, int32_t limit)
{
    if (count > limit)
        throw EInOutError(EInOutError::Other, std::string(what) + " count " +
                                                  std::to_string(count) +
                                                  " exceeds the limit of " +
                                                  std::to_string(limit));
}

int32_t GetInt32LE(const uint8_t *p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

void PutInt32LE(uint8_t *p, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}
