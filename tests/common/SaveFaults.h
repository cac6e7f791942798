#pragma once
// The faults a save meets: a disk that fills part-way (TScopedFullDisk), a folder the user may
// not write to (TScopedReadOnlyFolder), a folder in the target's place and a folder that
// vanished; ExpectSaveFaultsHarmless runs one save against all of them.

#include "TestFiles.h"
#include "formats/LEC_SaveHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

namespace testutil {

// While alive, temporary names take these tags in turn (then "random"). The hook is a plain
// function: it finds the tags here.
class TTemporaryTags
{
public:
    explicit TTemporaryTags(std::deque<std::string> tags) : FPrevious(SaveHooks())
    {
        Tags() = std::move(tags);
        SaveHooks().TemporaryTag = [] {
            const std::string tag = Tags().empty() ? "random" : Tags().front();
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
// Writers outside the saves (the settings store) meet it as a file-size limit of `room`.
class TScopedFullDisk
{
public:
    explicit TScopedFullDisk(size_t room) : FPrevious(SaveHooks())
    {
        Disk() = {room, 0};
        SaveHooks().Write = [](const void *data, size_t n, std::FILE *file) -> size_t {
            TDisk &disk = Disk();
            const size_t fits = std::min(n, disk.Room - disk.Written);
            const size_t done = fits > 0 ? std::fwrite(data, 1, fits, file) : 0;
            disk.Written += done;
            if (done < n)
                errno = ENOSPC;
            return done;
        };
#ifndef _WIN32
        getrlimit(RLIMIT_FSIZE, &FOldLimit);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{room, FOldLimit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
#endif
    }
    ~TScopedFullDisk()
    {
        SaveHooks() = FPrevious;
#ifndef _WIN32
        setrlimit(RLIMIT_FSIZE, &FOldLimit);
        std::signal(SIGXFSZ, FOldHandler);
#endif
    }
    TScopedFullDisk(const TScopedFullDisk &) = delete;
    TScopedFullDisk &operator=(const TScopedFullDisk &) = delete;

private:
    struct TDisk
    {
        size_t Room, Written;
    };
    static TDisk &Disk() // the hook is a plain function: it finds the disk here
    {
        static TDisk disk{};
        return disk;
    }
    TSaveHooks FPrevious;
#ifndef _WIN32
    rlimit FOldLimit{};
    void (*FOldHandler)(int) = SIG_DFL;
#endif
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
        __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
        for (unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        if (FHaveCaps)
            ::syscall(SYS_capset, &header, reduced);
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

// Runs `save` (which writes the file at the path it is given) against every fault: the user
// sees the standard message, an old file stays byte-identical and no stray file is left.
// "One short" gives the disk one byte less than the file needs.
inline void ExpectSaveFaultsHarmless(const std::function<void(const std::string &)> &save,
                                     const std::string &name = "target")
{
    const std::vector<uint8_t> old(333, 0x5A);
    enum TFault { FullAtOnce, FullPartWay, FullOneShort, ReadOnlyFolder, Folder, Vanished };
    for (TFault fault : {FullAtOnce, FullPartWay, FullOneShort, ReadOnlyFolder, Folder, Vanished}) {
        SCOPED_TRACE(name + " fault " + std::to_string(fault));
        TempDir dir;
        const std::filesystem::path target = dir.Path / (fault == Vanished ? "gone/" : "") / name;
        if (fault == Folder)
            std::filesystem::create_directory(target);
        else if (fault != Vanished)
            WriteFile(target.string(), old);
        save(dir.File("probe"));
        const size_t room = fault == FullAtOnce     ? 0
                            : fault == FullOneShort ? ReadFile(dir.File("probe")).size() - 1
                                                    : 7;
        std::filesystem::remove(dir.File("probe"));
        std::optional<TScopedFullDisk> disk;
        if (fault <= FullOneShort)
            disk.emplace(room);
#ifndef _WIN32
        std::optional<TScopedReadOnlyFolder> readOnly;
        if (fault == ReadOnlyFolder && !readOnly.emplace(dir.Path).Holds())
            continue;
#else
        if (fault == ReadOnlyFolder)
            continue;
#endif
        const char *message = fault <= FullOneShort ? "Disk full"
                              : fault == Vanished   ? "File not found"
                                                    : "File access denied";
        EXPECT_EQ(MessageOf([&] { save(target.string()); }), message);
        disk.reset();
        if (fault != Vanished) {
            EXPECT_TRUE(fault == Folder ? std::filesystem::is_empty(target)
                                        : ReadFile(target.string()) == old);
        }
        EXPECT_EQ(FolderNames(dir.Path),
                  fault == Vanished ? std::set<std::string>{} : std::set<std::string>{name});
    }
}

} // namespace testutil
