#pragma once
// Command-line parsing for the subcommands: options, their values and the positional
// arguments, with usage errors raised as EUsageError.

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A mistake in the command line: reported with a hint to --help, exit code 2.
class EUsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct TOptionDef
{
    std::string Name;      // "--palette"
    std::string ShortName; // "-o", or empty
    bool TakesValue = false;
};

class TCliArgs
{
public:
    // Accepts "--name value", "--name=value" and "-o value"; "--" ends the options.
    // --help and -h are always known.
    TCliArgs(const std::vector<std::string> &args, const std::vector<TOptionDef> &options);

    std::vector<std::string> Positionals;
    bool Help = false;
    // Every option (by its long name, with its value) and positional (with no name) in the
    // order given, for options that repeat or that belong to the argument before them.
    std::vector<std::pair<std::string, std::string>> InOrder;

    bool Has(const std::string &name) const { return FValues.count(name) != 0; }
    std::string Value(const std::string &name, const std::string &fallback = {}) const;
    // The option's value as a decimal integer in [min, max]; fallback when absent.
    long long Int(const std::string &name, long long fallback, long long min,
                  long long max) const;
    // One of `allowed` (as a decimal integer); fallback when absent.
    int Choice(const std::string &name, int fallback, std::initializer_list<int> allowed) const;
    // "on" or "off".
    bool OnOff(const std::string &name, bool fallback) const;

private:
    std::map<std::string, std::string> FValues;
};

// Strict decimal integer in [min, max]; `what` names the value in the message.
long long ParseInteger(const std::string &text, const std::string &what, long long min,
                       long long max);
