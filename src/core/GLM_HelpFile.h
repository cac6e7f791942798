#pragma once
// Where Help finds its file. A program started from a desktop launcher runs in the home
// folder, so a relative help path is also looked for in the program's data folder, and the
// default one, when no such file exists anywhere, gives way to the manual shipped there.

#include <string>

// The HelpFilePath a fresh settings store starts with.
inline constexpr const char *DefaultHelpFile = "Glimra.chm";

// The program's data folder for the executable at `programPath`: the source tree's docs/
// for the editor in its build folder, otherwise the installed share/glimra beside the
// program's bin folder. Absolute; it need not exist.
std::string ProgramDataFolder(const std::string &programPath);

// The file Help opens for `helpFilePath`, searched in this order:
// 1. the path itself (a relative one against the working directory);
// 2. a relative path against `dataFolder`;
// 3. for the default path only, `dataFolder`/manual/index.html.
// Empty when none exists: then the not-found question runs. An absolute path is only ever
// taken as it stands.
std::string FindHelpFile(const std::string &helpFilePath, const std::string &dataFolder);
