#pragma once
// A full disk for the duration of a scope: the process's file-size limit makes every write
// that would grow a file past `bytes` fail (EFBIG, with SIGXFSZ ignored), the way the real
// writer meets a full disk, without any hook in the writer itself.

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
