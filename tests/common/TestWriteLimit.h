#pragma once
// A full disk for the duration of a scope: the process's file-size limit makes every write
// that would grow a file past `bytes` fail (EFBIG, with SIGXFSZ ignored), the way the real
// writer meets a full disk, without any hook in the writer itself.

#ifdef _WIN32

// Windows has no file-size limit: the save hooks' writer plays the full disk there (ENOSPC).
#include "formats/LEC_SaveHooks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace testutil {

class TScopedWriteLimit
{
public:
    explicit TScopedWriteLimit(size_t bytes) : FOld(SaveHooks())
    {
        Room() = bytes;
        SaveHooks().Write = [](const void *data, size_t n, std::FILE *f) -> size_t {
            const size_t done = std::fwrite(data, 1, std::min(n, Room()), f);
            if (done < n)
                errno = ENOSPC;
            return done;
        };
    }
    ~TScopedWriteLimit() { SaveHooks() = FOld; }
    TScopedWriteLimit(const TScopedWriteLimit &) = delete;
    TScopedWriteLimit &operator=(const TScopedWriteLimit &) = delete;

private:
    static size_t &Room()
    {
        static size_t room = 0;
        return room;
    }
    TSaveHooks FOld;
};

} // namespace testutil

#else

#include <csignal>

#include <sys/resource.h>

namespace testutil {

class TScopedWriteLimit
{
public:
    explicit TScopedWriteLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, FOld.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TScopedWriteLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TScopedWriteLimit(const TScopedWriteLimit &) = delete;
    TScopedWriteLimit &operator=(const TScopedWriteLimit &) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = SIG_DFL;
};

} // namespace testutil

#endif
