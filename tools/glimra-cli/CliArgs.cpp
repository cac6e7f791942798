#include "CliArgs.h"

#include <charconv>

TCliArgs::TCliArgs(const std::vector<std::string> &args, const std::vector<TOptionSpec> &specs)
{
    auto find = [&](const std::string &name) -> const TOptionSpec * {
        for (const TOptionSpec &spec : specs)
            if (spec.Name == name || (!spec.ShortName.empty() && spec.ShortName == name))
                return &spec;
        return nullptr;
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            Positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            Help = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const bool inlineValue = arg.starts_with("--") && eq != std::string::npos;
        const std::string name = inlineValue ? arg.substr(0, eq) : arg;
        const TOptionSpec *spec = find(name);
        if (!spec)
            throw EUsageError("unknown option '" + name + "'");
        if (!spec->TakesValue) {
            if (inlineValue)
                throw EUsageError("option '" + spec->Name + "' takes no value");
            FValues[spec->Name] = "";
        } else if (inlineValue) {
            FValues[spec->Name] = arg.substr(eq + 1);
        } else {
            if (i + 1 >= args.size())
                throw EUsageError("option '" + spec->Name + "' needs a value");
            FValues[spec->Name] = args[++i];
        }
    }
}

std::string TCliArgs::Value(const std::string &name, const std::string &fallback) const
{
    const auto it = FValues.find(name);
    return it == FValues.end() ? fallback : it->second;
}

long long TCliArgs::Int(const std::string &name, long long fallback, long long min,
                        long long max) const
{
    if (!Has(name))
        return fallback;
    return ParseInteger(Value(name), "value of " + name, min, max);
}

int TCliArgs::Choice(const std::string &name, int fallback,
                     std::initializer_list<int> allowed) const
{
    if (!Has(name))
        return fallback;
    std::string list;
    for (const int v : allowed) {
        if (Value(name) == std::to_string(v))
            return v;
        list += (list.empty() ? "" : " or ") + std::to_string(v);
    }
    throw EUsageError("value of " + name + " must be " + list + ", not '" + Value(name) + "'");
}

bool TCliArgs::OnOff(const std::string &name, bool fallback) const
{
    if (!Has(name))
        return fallback;
    const std::string v = Value(name);
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    throw EUsageError("value of " + name + " must be 'on' or 'off', not '" + v + "'");
}

long long ParseInteger(const std::string &text, const std::string &what, long long min,
                       long long max)
{
    long long v = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw EUsageError(what + " must be a whole number, not '" + text + "'");
    if (v < min || v > max)
        throw EUsageError(what + " must be from " + std::to_string(min) + " to " +
                          std::to_string(max));
    return v;
}
