#include "CliArgs.h"

#include <charconv>

TCliArgs::TCliArgs(const std::vector<std::string> &args, const std::vector<TOptionDef> &options)
{
    auto find = [&](const std::string &name) -> const TOptionDef * {
        for (const TOptionDef &option : options)
            if (option.Name == name || (!option.ShortName.empty() && option.ShortName == name))
                return &option;
        return nullptr;
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            Positionals.push_back(arg);
            InOrder.emplace_back("", arg);
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
        const TOptionDef *option = find(name);
        if (!option)
            throw EUsageError("unknown option '" + name + "'");
        if (!option->TakesValue) {
            if (inlineValue)
                throw EUsageError("option '" + option->Name + "' takes no value");
            FValues[option->Name] = "";
        } else if (inlineValue) {
            FValues[option->Name] = arg.substr(eq + 1);
        } else {
            if (i + 1 >= args.size())
                throw EUsageError("option '" + option->Name + "' needs a value");
            FValues[option->Name] = args[++i];
        }
        InOrder.emplace_back(option->Name, FValues[option->Name]);
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
