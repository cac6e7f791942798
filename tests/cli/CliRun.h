#pragma once
// Runs the built glimra-cli and collects what it printed and its exit code.

#include "GameFiles.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace clitest {

struct TRun
{
    int Code = -1; // -1: it hung (killed after a minute); -2: it crashed
    std::string Out;
    std::string Err;
};

inline TRun RunCli(const std::vector<std::string> &args)
{
    QStringList list;
    for (const std::string &a : args)
        list << QString::fromStdString(a);
    QProcess process;
    process.start(QStringLiteral(GLIMRA_CLI_PATH), list);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// The exit code alone, for steps that only have to succeed.
inline int Exit(const std::vector<std::string> &args) { return RunCli(args).Code; }

inline std::string Sample(const std::string &name)
{
    return std::string(GLIMRA_SAMPLES_DIR) + "/" + name;
}

// The names of the files in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::filesystem::path &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace clitest
