#pragma once
// Faults for the save paths: a disk that fills part-way (TScopedWriteLimit), a folder the
// user may not write to, a target that is a folder and a folder that vanished before the
// write. Each case checks that the old file is byte-identical, the user sees the standard
// message and nothing half-written is left in the folder.

#include "TestFiles.h"
#include "TestWriteLimit.h"
#include "formats/LEC_SaveHooks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
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
