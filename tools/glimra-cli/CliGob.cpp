// gob: list, extract, create and update GOB and GOO containers.

#include "CliArgs.h"
#include "CliCommon.h"
#include "CliJson.h"

#include "formats/LEC_FileIO.h"
#include "formats/LEC_GOB.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

const char *Help =
    "Usage: glimra-cli gob list CONTAINER... [--json]\n"
    "       glimra-cli gob extract CONTAINER [NAME...] [-o DIR]\n"
    "       glimra-cli gob create OUT.gob DIR|FILE... [--as NAME]...\n"
    "       glimra-cli gob update CONTAINER [--add NAME=FILE]... [--remove NAME]... [-o OUT]\n"
    "\n"
    "Works on GOB containers: the game's .gob files and the .goo files of Mysteries of the\n"
    "Sith levels. Run 'glimra-cli gob COMMAND --help' for each command.\n";

const char *ListHelp =
    "Usage: glimra-cli gob list CONTAINER... [--json]\n"
    "\n"
    "Lists each container's members: index, size, offset and name (folders shown with '/'),\n"
    "then their count. Marked are members that cannot be opened or extracted (bad: why),\n"
    "names the game never finds (capital letters or '/' stored) and members sharing bytes.\n"
    "With --json, prints one JSON object per container, each on its own line; the keys are\n"
    "listed in the README.\n";

const char *ExtractHelp =
    "Usage: glimra-cli gob extract CONTAINER [NAME...] [-o DIR]\n"
    "\n"
    "Writes the members named (matched without regard to case, '/' and '\\' alike), or all\n"
    "of them, as files in folders under DIR. Nothing is written outside DIR nor through a\n"
    "symbolic link inside it. Of several members of one name, the first (the one the game\n"
    "finds) is written.\n"
    "\n"
    "  -o, --output DIR  folder for the files (made if missing; default: current folder)\n";

const char *CreateHelp =
    "Usage: glimra-cli gob create OUT.gob DIR|FILE... [--as NAME]...\n"
    "\n"
    "Makes a container of every file under each DIR, named by its path relative to DIR,\n"
    "and of each FILE, named by its file name or by the --as NAME after it. Names are\n"
    "stored as the game looks them up: lower case, '\\' between folders. Nothing is\n"
    "written when a file cannot be read or two files get the same name.\n";

const char *UpdateHelp =
    "Usage: glimra-cli gob update CONTAINER [--add NAME=FILE]... [--remove NAME]... [-o OUT]\n"
    "\n"
    "Changes a container in the order given and saves it over itself, or to OUT.\n"
    "\n"
    "  --add NAME=FILE   the FILE's bytes as member NAME; replaces a member of that name\n"
    "  --remove NAME     removes every member of that name\n"
    "  -o, --output OUT  writes the result to OUT and leaves CONTAINER as it was\n";

// Names on a terminal: a control character in a hostile name must not steer it.
std::string Printable(const std::string &name)
{
    std::string shown = GOBShownName(name);
    for (char &c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return shown;
}

void List(const std::string &path, bool asJson)
{
    TGOB gob;
    gob.LoadFromFile(path);
    const std::vector<TGOBMember> &members = gob.Members();
    const auto bad = std::count_if(members.begin(), members.end(),
                                   [](const TGOBMember &m) { return !m.Problem.empty(); });
    TJsonWriter json;
    json.BeginObject().Key("file").Value(path).Key("kind").Value("GOB");
    json.Key("count").Value(static_cast<int64_t>(members.size())).Key("members").BeginArray();
    std::string text = path + ": " + std::to_string(members.size()) + " member(s)" +
                       (bad > 0 ? ", " + std::to_string(bad) + " bad" : "") + "\n";
    for (size_t i = 0; i < members.size(); ++i) {
        const TGOBMember &m = members[i];
        const std::string unfindable = GOBUnfindableReason(m.Name);
        json.BeginObject().Key("index").Value(static_cast<int64_t>(i + 1));
        json.Key("name").Value(GOBShownName(m.Name));
        json.Key("size").Value(m.Size).Key("offset").Value(m.Offset);
        char line[64];
        std::snprintf(line, sizeof line, "%6zu %11lld %11lld  ", i + 1,
                      static_cast<long long>(m.Size), static_cast<long long>(m.Offset));
        text += line + Printable(m.Name);
        if (!m.Problem.empty()) {
            json.Key("bad").Value(m.Problem);
            text += "  [bad: " + m.Problem + "]";
        }
        if (!unfindable.empty()) {
            json.Key("unfindable").Value(unfindable);
            text += "  [the game cannot find it: " + unfindable + "]";
        }
        if (m.Overlaps >= 0) {
            json.Key("overlaps").Value(static_cast<int64_t>(m.Overlaps + 1));
            text += "  [shares bytes with member " + std::to_string(m.Overlaps + 1) + "]";
        }
        json.EndObject();
        text += "\n";
    }
    json.EndArray().EndObject();
    ClearProgressLine();
    std::fputs((asJson ? json.Text() + "\n" : text).c_str(), stdout);
    std::fflush(stdout);
}

int RunList(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--json", "", false}});
    if (cli.Help)
        return PrintHelp(ListHelp);
    if (cli.Positionals.empty())
        throw EUsageError("gob list needs at least one CONTAINER");
    return ForEachFile(cli.Positionals,
                       [&](const std::string &path) { List(path, cli.Has("--json")); });
}

int RunExtract(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--output", "-o", true}});
    if (cli.Help)
        return PrintHelp(ExtractHelp);
    if (cli.Positionals.empty())
        throw EUsageError("gob extract needs a CONTAINER");
    const std::string &path = cli.Positionals[0];
    const std::string folder = cli.Value("--output", ".");
    TGOB gob;
    OnFile(path, [&] { gob.LoadFromFile(path); });
    OnFile(folder, [&] { fs::create_directories(Utf8Path(folder)); });
    int result = 0;
    std::vector<size_t> chosen;
    if (cli.Positionals.size() == 1) {
        std::set<std::string> seen;
        for (size_t i = 0; i < gob.Members().size(); ++i) {
            const std::string &name = gob.Members()[i].Name;
            if (seen.insert(GOBNameKey(name)).second)
                chosen.push_back(i);
            else
                ReportWarning(path + "::" + Printable(name),
                              "not written: member " + std::to_string(gob.Find(name) + 1) +
                                  " has that name");
        }
    }
    for (size_t k = 1; k < cli.Positionals.size(); ++k) {
        const int index = gob.Find(cli.Positionals[k]);
        if (index >= 0) {
            chosen.push_back(static_cast<size_t>(index));
        } else {
            ReportFailure(path, "No member named '" + cli.Positionals[k] + "'");
            result = 1;
        }
    }
    TProgress progress;
    for (size_t k = 0; k < chosen.size(); ++k) {
        const std::string shown = Printable(gob.Members()[chosen[k]].Name);
        progress.Show("[" + std::to_string(k + 1) + "/" + std::to_string(chosen.size()) + "] " +
                      shown);
        try {
            OnFile(path + "::" + shown, [&] { gob.Extract(chosen[k], folder); });
        } catch (const EFileFailure &failure) {
            ReportFailure(failure.File, failure.what());
            result = 1;
        }
    }
    return result;
}

// Adds a file under a name the user gave; a second file under one name is refused.
void AddFile(TGOB &gob, const std::string &name, const std::string &file,
             std::vector<std::string> &from)
{
    OnFile(file, [&] {
        const int there = gob.Find(GOBStoredName(name));
        if (there >= 0)
            throw EInOutError(EInOutError::Other, "Member name '" + name + "' is taken by " +
                                                      from[static_cast<size_t>(there)]);
        gob.PutFile(name, file);
        from.push_back(file);
    });
}

int RunCreate(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--as", "", true}});
    if (cli.Help)
        return PrintHelp(CreateHelp);
    if (cli.Positionals.size() < 2)
        throw EUsageError("gob create needs OUT and at least one DIR or FILE");
    const std::string &out = cli.Positionals[0];
    // Each source with the name --as gives it (empty: its own).
    std::vector<std::pair<std::string, std::string>> sources;
    bool outSeen = false;
    for (const auto &[option, value] : cli.InOrder) {
        if (option.empty()) {
            if (outSeen)
                sources.emplace_back(value, "");
            outSeen = true;
            continue;
        }
        std::error_code ec;
        if (sources.empty() || !sources.back().second.empty() ||
            fs::is_directory(Utf8Path(sources.back().first), ec))
            throw EUsageError("--as names the FILE before it, once");
        sources.back().second = value;
    }
    TGOB gob;
    std::vector<std::string> from; // the file each member came from
    int result = 0;
    for (const auto &[source, as] : sources) {
        try {
            std::error_code ec;
            if (!fs::is_directory(Utf8Path(source), ec)) {
                AddFile(gob, as.empty() ? ExtractFileName(source) : as, source, from);
                continue;
            }
            // Each file by its name relative to the folder, in the order of the names stored.
            std::vector<std::pair<std::string, std::string>> files;
            OnFile(source, [&] {
                for (const auto &entry : fs::recursive_directory_iterator(Utf8Path(source))) {
                    if (!entry.is_regular_file() || fs::equivalent(entry.path(), Utf8Path(out), ec))
                        continue;
                    const std::u8string name =
                        entry.path().lexically_relative(Utf8Path(source)).generic_u8string();
                    const std::u8string full = entry.path().u8string();
                    files.emplace_back(std::string(name.begin(), name.end()),
                                       std::string(full.begin(), full.end()));
                }
            });
            std::sort(files.begin(), files.end(), [](const auto &a, const auto &b) {
                return GOBNameKey(a.first) < GOBNameKey(b.first);
            });
            for (const auto &[name, file] : files)
                AddFile(gob, name, file, from);
        } catch (const EFileFailure &failure) {
            ReportFailure(failure.File, failure.what());
            result = 1;
        }
    }
    if (result == 0)
        OnFile(out, [&] { gob.WriteToFile(out); });
    return result;
}

int RunUpdate(const std::vector<std::string> &args)
{
    const TCliArgs cli(args,
                       {{"--add", "", true}, {"--remove", "", true}, {"--output", "-o", true}});
    if (cli.Help)
        return PrintHelp(UpdateHelp);
    if (cli.Positionals.size() != 1)
        throw EUsageError("gob update needs one CONTAINER");
    for (const auto &[option, value] : cli.InOrder)
        if (option == "--add" &&
            (value.find('=') == std::string::npos || value[0] == '=' || value.back() == '='))
            throw EUsageError("--add needs NAME=FILE, not '" + value + "'");
    const std::string &path = cli.Positionals[0];
    TGOB gob;
    OnFile(path, [&] { gob.LoadFromFile(path); });
    int result = 0;
    for (const auto &[option, value] : cli.InOrder) {
        try {
            if (option == "--add") {
                const size_t eq = value.find('=');
                const std::string file = value.substr(eq + 1);
                OnFile(file, [&] { gob.PutFile(value.substr(0, eq), file); });
            } else if (option == "--remove") {
                if (gob.Find(value) < 0)
                    throw EFileFailure(path, "No member named '" + value + "'");
                for (int i; (i = gob.Find(value)) >= 0;)
                    gob.Remove(static_cast<size_t>(i));
            }
        } catch (const EFileFailure &failure) {
            ReportFailure(failure.File, failure.what());
            result = 1;
        }
    }
    const std::string out = cli.Value("--output", path);
    if (result == 0)
        OnFile(out, [&] { gob.WriteToFile(out); });
    return result;
}

} // namespace

int RunGob(const std::vector<std::string> &args)
{
    if (args.empty())
        throw EUsageError("gob needs list, extract, create or update");
    const std::string &command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h")
        return PrintHelp(Help);
    if (command == "list")
        return RunList(rest);
    if (command == "extract")
        return RunExtract(rest);
    if (command == "create")
        return RunCreate(rest);
    if (command == "update")
        return RunUpdate(rest);
    throw EUsageError("unknown gob command '" + command + "'");
}
