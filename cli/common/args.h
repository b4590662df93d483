// The command line: `talvoctl [OPTION...] COMMAND [WORD...] [OPTION...]`.
// Options are GNU style: "--name VALUE", "--name=VALUE", "-n VALUE" and
// flags; "--" ends them. Global options may stand before the command word
// or among its arguments; a command's own options only after its word.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace talvoctl {

struct OptionDef {
    std::string name;       // long name without "--"
    char letter = 0;        // short name, or 0
    std::string value_name; // empty: a flag
    std::string help;
};

class ParsedArgs {
public:
    const std::vector<std::string> &Words() const { return words_; }
    bool Has(const std::string &name) const { return flags_.count(name) > 0 || values_.count(name) > 0; }
    std::optional<std::string> Value(const std::string &name) const;

    // The command's words after the first `skip` ones: exactly `count` of
    // them, or a usage failure quoting `synopsis`.
    std::vector<std::string> Exactly(std::size_t skip, std::size_t count, const std::string &synopsis) const;
    // At least `count` words after the first `skip`.
    std::vector<std::string> AtLeast(std::size_t skip, std::size_t count, const std::string &synopsis) const;

    void AddWord(std::string word) { words_.push_back(std::move(word)); }
    void SetFlag(const std::string &name) { flags_.insert(name); }
    void SetValue(const std::string &name, std::string value) { values_[name] = std::move(value); }

private:
    std::vector<std::string> words_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

// Splits `args` (without the program name) at the command word: the options
// before it, which must all be among `global`, go into `before`; the command
// word and everything after it are returned. Throws a usage failure.
std::vector<std::string> TakeGlobalOptions(const std::vector<std::string> &args,
                                           const std::vector<OptionDef> &global, ParsedArgs &before);

// Parses the arguments after the command word with the given options into
// `parsed` (words and options). Throws a usage failure for an unknown
// option or a missing value.
void ParseArguments(const std::vector<std::string> &args, const std::vector<OptionDef> &options,
                    ParsedArgs &parsed);

// "  -u, --user NAME   help" lines for a help text.
std::string OptionsHelp(const std::vector<OptionDef> &options);

} // namespace talvoctl
