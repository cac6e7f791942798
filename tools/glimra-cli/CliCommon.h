#pragma once
// What every subcommand shares: failure and warning lines on stderr, file kinds, progress on
// a terminal, and the commands' entry points.

#include "core/GLM_FileNames.h"
#include "formats/GLM_Globals.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A failure tied to one file, reported as "glimra-cli: FILE: reason" (exit code 1).
class EFileFailure : public std::runtime_error
{
public:
    EFileFailure(std::string file, const std::string &reason)
        : std::runtime_error(reason), File(std::move(file))
    {
    }
    std::string File;
};

// Runs `action`; any error it raises becomes an EFileFailure naming `file`.
void OnFile(const std::string &file, const std::function<void()> &action);

void ReportFailure(const std::string &file, const std::string &reason);
void ReportWarning(const std::string &file, const std::string &text);

// Runs `action` for each file, reporting failures and going on with the next file.
// Returns 0 when all succeeded, 1 otherwise.
int ForEachFile(const std::vector<std::string> &files,
                const std::function<void(const std::string &)> &action);

// By extension, else by the file's first four bytes; Unknown when neither tells.
TFileKind KindOfFile(const std::string &path);
// KindOfFile, raising "File not found" or "Not a BM, MAT, CMP or SFT file" for Unknown.
TFileKind RequireKind(const std::string &path);

// The editor's display palette for a new window of the kind: "Dflt" for MAT, "Uicolormap"
// otherwise.
std::string DefaultPaletteName(TFileKind kind);

// A line on stderr that rewrites itself, shown only when stderr is a terminal.
class TProgress
{
public:
    TProgress();
    ~TProgress();
    TProgress(const TProgress &) = delete;
    TProgress &operator=(const TProgress &) = delete;

    void Show(const std::string &text);
    void Clear();

private:
    bool FEnabled = false;
    bool FShown = false;
    std::string FText;
    TProgress *FOuter = nullptr; // a run's progress line around a long computation's
};

// Wipes the progress line (if any) before normal output is printed to the same terminal.
void ClearProgressLine();

// The subcommands: each takes the arguments after its name and returns the exit code.
int RunInfo(const std::vector<std::string> &args);
int RunExport(const std::vector<std::string> &args);
int RunImport(const std::vector<std::string> &args);
int RunCmp(const std::vector<std::string> &args);
int RunPalette(const std::vector<std::string> &args);
int RunResave(const std::vector<std::string> &args);
int RunMakeSamples(const std::vector<std::string> &args);
int RunGob(const std::vector<std::string> &args);

// Prints `help` to stdout; used by every subcommand for --help.
int PrintHelp(const char *help);
