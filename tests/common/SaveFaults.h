#pragma once
// Faults for the save paths: a disk that fills part-way (TScopedWriteLimit for one file,
// TScopedFullDisk across files), a folder the user may not write to (TScopedReadOnlyFolder),
// a target that is a folder and a folder that vanished before the write. Each case checks
// that the old file is byte-identical, the user sees the standard message and nothing
// half-written is left in the folder.

#include "TestFiles.h"
#include "TestWriteLimit.h"
#include "formats/LEC_SaveHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

namespace testutil {

// While alive, temporary names take these tags in turn (then random ones again).
class TTemporaryTags
{
public:
    explicit TTemporaryTags(std::deque<std::string> tags) : FPrevious(SaveHooks())
    {
        Tags() = std::move(tags);
        SaveHooks().TemporaryTag = [] {
            std::string tag = Tags().empty() ? "random" : Tags().front();
            if (!Tags().empty())
                Tags().pop_front();
            return tag;
        };
    }
    ~TTemporaryTags() { SaveHooks() = FPrevious; }

private:
    static std::deque<std::string> &Tags()
    {
        static std::deque<std::string> tags;
        return tags;
    }
    TSaveHooks FPrevious;
};

// A disk with `room` bytes free while alive: the saves' writes take what fits, across every
// file written, then fail with "no space left" part-way through the file that overflows.
class TScopedFullDisk
{
public:
    explicit TScopedFullDisk(size_t room) : FPrevious(SaveHooks())
    {
        Disk() = {room, 0, 0};
        SaveHooks().Write = [](const void *data, size_t n, std::FILE *file) -> size_t {
            TDisk &disk = Disk();
            const size_t fits = std::min(n, disk.Room - disk.Written);
            const size_t done = fits > 0 ? std::fwrite(data, 1, fits, file) : 0;
            disk.Written += done;
            disk.Asked += n;
            if (done < n)
                errno = ENOSPC;
            return done;
        };
    }
    ~TScopedFullDisk() { SaveHooks() = FPrevious; }
    TScopedFullDisk(const TScopedFullDisk &) = delete;
    TScopedFullDisk &operator=(const TScopedFullDisk &) = delete;

    // Bytes the saves tried to write, and bytes that went in.
    size_t Asked() const { return Disk().Asked; }
    size_t Written() const { return Disk().Written; }

private:
    struct TDisk
    {
        size_t Room, Written, Asked;
    };
    static TDisk &Disk()
    {
        static TDisk disk{};
        return disk;
    }
    TSaveHooks FPrevious;
};

#ifndef _WIN32
// A folder nobody may write to while alive. Root writes there all the same, so this thread
// also gives up the capabilities that let it pass over file permissions (capabilities belong
// to a thread on Linux); they and the folder's mode come back at the end. Holds() says whether
// the folder really refuses a new file.
class TScopedReadOnlyFolder
{
public:
    explicit TScopedReadOnlyFolder(std::filesystem::path folder) : FFolder(std::move(folder))
    {
        using std::filesystem::perms;
        std::filesystem::permissions(FFolder, perms::owner_read | perms::owner_exec |
                                                  perms::group_read | perms::group_exec |
                                                  perms::others_read | perms::others_exec);
#ifdef __linux__
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        FHaveCaps = ::syscall(SYS_capget, &header, FSaved) == 0;
        if (FHaveCaps) {
            __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
            for (unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                reduced[cap / 32].effective &= ~(1u << (cap % 32));
            ::syscall(SYS_capset, &header, reduced);
        }
#endif
    }
    ~TScopedReadOnlyFolder()
    {
#ifdef __linux__
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (FHaveCaps)
            ::syscall(SYS_capset, &header, FSaved);
#endif
        std::error_code ec;
        std::filesystem::permissions(FFolder, std::filesystem::perms::owner_all, ec);
    }
    TScopedReadOnlyFolder(const TScopedReadOnlyFolder &) = delete;
    TScopedReadOnlyFolder &operator=(const TScopedReadOnlyFolder &) = delete;

    bool Holds() const
    {
        const std::string probe = (FFolder / ".write-probe").string();
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.c_str());
        return false;
    }

private:
    std::filesystem::path FFolder;
#ifdef __linux__
    __user_cap_data_struct FSaved[2]{};
    bool FHaveCaps = false;
#endif
};
#endif

inline std::set<std::string> FolderNames(const std::filesystem::path &dir)
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

#ifndef _WIN32
// Runs `f` in a child process as an ordinary user, so that folder permissions hold even when
// the tests run as root; gives f's result (0..255), or -1 when the child did not exit.
inline int AsOrdinaryUser(const std::function<int()> &f)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

// Runs `save` (which writes the file at the path it is given) against every fault and checks
// the promises. The message of each case is the standard one the user sees.
inline void ExpectSaveFaultsHarmless(const std::function<void(const std::string &)> &save,
                                     const std::string &name = "target")
{
    const std::vector<uint8_t> old(333, 0x5A);
    // Disk full before the first byte, part-way, and one byte short.
    for (size_t room : {size_t(0), size_t(7), size_t(1) << 30}) {
        TempDir dir;
        const std::string path = dir.File(name);
        WriteFile(path, old);
        std::string probe = dir.File("probe");
        save(probe); // the size of this output
        const size_t full = ReadFile(probe).size();
        std::filesystem::remove(probe);
        if (room > full)
            room = full - 1;
        TScopedWriteLimit disk(room);
        EXPECT_EQ(MessageOf([&] { save(path); }), "Disk full") << name << " room " << room;
        EXPECT_EQ(ReadFile(path), old) << name;
        EXPECT_EQ(FolderNames(dir.Path), std::set<std::string>{name}) << name;
    }
    {
        // The target is a folder: it stays, empty.
        TempDir dir;
        std::filesystem::create_directory(dir.Path / name);
        EXPECT_EQ(MessageOf([&] { save(dir.File(name)); }), "File access denied") << name;
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path / name)) << name;
        EXPECT_EQ(FolderNames(dir.Path), std::set<std::string>{name}) << name;
    }
    {
        // The folder was there when the name was chosen and is gone at the write.
        TempDir dir;
        const std::filesystem::path gone = dir.Path / "gone";
        std::filesystem::create_directory(gone);
        std::filesystem::remove(gone);
        EXPECT_EQ(MessageOf([&] { save((gone / name).string()); }), "File not found") << name;
        EXPECT_FALSE(std::filesystem::exists(gone)) << name;
    }
#ifndef _WIN32
    {
        // A folder the user may not write to: the old file inside it stays as it is.
        TempDir dir;
        const std::string path = dir.File(name);
        WriteFile(path, old);
        using std::filesystem::perms;
        std::filesystem::permissions(path, perms::all);
        std::filesystem::permissions(dir.Path, perms::owner_read | perms::owner_exec |
                                                   perms::others_read | perms::others_exec);
        const int result = AsOrdinaryUser(
            [&] { return MessageOf([&] { save(path); }) == "File access denied" ? 0 : 1; });
        EXPECT_EQ(result, 0) << name << ": refused with another message, or written";
        EXPECT_EQ(ReadFile(path), old) << name;
        EXPECT_EQ(FolderNames(dir.Path), std::set<std::string>{name}) << name;
        std::filesystem::permissions(dir.Path, perms::owner_all);
    }
#endif
}

} // namespace testutil
