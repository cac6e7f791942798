#pragma once
// Runs glimra-cli in a child process set up by the test (file size limit, another user) and
// measures the processor time it took, so that a hang is told from a slow machine.

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {

struct TLimitedRun
{
    int Code = -1;         // exit code; -2 when killed by a signal, -3 when it hung
    std::string Err;       // what it wrote to stderr
    double CpuSeconds = 0; // user and system time
};

inline TLimitedRun RunLimited(const std::vector<std::string> &args,
                              const std::function<void()> &setup = {})
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 2);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::close(pipeFds[0]);
        if (setup)
            setup();
        std::vector<char *> argv{const_cast<char *>(GLIMRA_CLI_PATH)};
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(GLIMRA_CLI_PATH, argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    TLimitedRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    rusage usage{};
    for (;;) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            run.Err.append(buffer, static_cast<size_t>(n));
        if (::wait4(pid, &status, WNOHANG, &usage) == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            run.Code = -3;
            ::close(pipeFds[0]);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        run.Err.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    run.CpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

} // namespace clitest
