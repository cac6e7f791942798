#include "CliCommon.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_FileIO.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <unistd.h>

namespace {

std::string OneLine(std::string text)
{
    // The editor's import messages put a carriage return between size and reason.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            text.replace(i, 1, ": ");
            ++i;
        }
    }
    return text;
}

TProgress *ActiveProgress = nullptr;

} // namespace

void OnFile(const std::string &file, const std::function<void()> &action)
{
    try {
        action();
    } catch (const EFileFailure &) {
        throw;
    } catch (const std::bad_alloc &) {
        throw EFileFailure(file, "Out of memory");
    } catch (const std::filesystem::filesystem_error &e) {
        // The standard texts, not the library's "filesystem error: ..." wording.
        throw EFileFailure(file, EInOutError::FromErrno(e.code().value()).what());
    } catch (const std::exception &e) {
        throw EFileFailure(file, e.what());
    }
}

void ClearProgressLine()
{
    if (ActiveProgress)
        ActiveProgress->Clear();
}

void ReportFailure(const std::string &file, const std::string &reason)
{
    ClearProgressLine();
    std::fprintf(stderr, "glimra-cli: %s: %s\n", file.c_str(), OneLine(reason).c_str());
}

void ReportWarning(const std::string &file, const std::string &text)
{
    ClearProgressLine();
    std::fprintf(stderr, "glimra-cli: %s: warning: %s\n", file.c_str(), OneLine(text).c_str());
}

int ForEachFile(const std::vector<std::string> &files,
                const std::function<void(const std::string &)> &action)
{
    TProgress progress;
    int result = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        if (files.size() > 1)
            progress.Show("[" + std::to_string(i + 1) + "/" + std::to_string(files.size()) +
                          "] " + files[i]);
        try {
            OnFile(files[i], [&] { action(files[i]); });
        } catch (const EFileFailure &failure) {
            ReportFailure(failure.File, failure.what());
            result = 1;
        }
    }
    return result;
}

TFileKind KindOfFile(const std::string &path)
{
    const TFileKind byName = FileKindOf(path);
    if (byName != TFileKind::Unknown)
        return byName;
    char magic[4] = {};
    try {
        TFileReader in(path); // a file, or a container's member
        in.Read(magic, 4);
    } catch (const EInOutError &) {
        return TFileKind::Unknown;
    }
    if (std::memcmp(magic, "BM  ", 4) == 0)
        return TFileKind::BM;
    if (std::memcmp(magic, "MAT ", 4) == 0)
        return TFileKind::MAT;
    if (std::memcmp(magic, "CMP ", 4) == 0)
        return TFileKind::CMP;
    if (std::memcmp(magic, "SFNT", 4) == 0)
        return TFileKind::SFT;
    return TFileKind::Unknown;
}

TFileKind RequireKind(const std::string &path)
{
    const TFileKind kind = KindOfFile(path);
    if (kind != TFileKind::Unknown)
        return kind;
    std::error_code ec;
    if (!std::filesystem::exists(Utf8Path(path), ec))
        TFileReader whyNot(path); // "File not found", or why a container's member is not there
    throw EInOutError(EInOutError::Other, "Not a BM, MAT, CMP or SFT file");
}

std::string DefaultPaletteName(TFileKind kind)
{
    return kind == TFileKind::MAT ? "Dflt" : "Uicolormap";
}

TProgress::TProgress() : FEnabled(isatty(STDERR_FILENO) != 0), FOuter(ActiveProgress)
{
    ActiveProgress = this;
}

TProgress::~TProgress()
{
    Clear();
    ActiveProgress = FOuter;
}

void TProgress::Show(const std::string &text)
{
    if (!FEnabled || (FShown && text == FText))
        return;
    FText = text;
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    FShown = true;
}

void TProgress::Clear()
{
    if (FOuter)
        FOuter->Clear();
    if (!FShown)
        return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    FShown = false;
}

int PrintHelp(const char *help)
{
    std::fputs(help, stdout);
    return 0;
}
