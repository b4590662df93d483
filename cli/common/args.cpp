#include "common/args.h"

#include <algorithm>

#include "common/failure.h"

namespace talvoctl {
namespace {

const OptionDef *FindLong(const std::vector<OptionDef> &options, const std::string &name) {
    auto found = std::find_if(options.begin(), options.end(), [&](const OptionDef &o) { return o.name == name; });
    return found == options.end() ? nullptr : &*found;
}

const OptionDef *FindShort(const std::vector<OptionDef> &options, char letter) {
    auto found =
        std::find_if(options.begin(), options.end(), [&](const OptionDef &o) { return o.letter == letter; });
    return found == options.end() ? nullptr : &*found;
}

bool IsOption(const std::string &arg) { return arg.size() > 1 && arg[0] == '-'; }

// Takes the option at `args[at]` (and its value), moving `at` past it.
void TakeOption(const std::vector<std::string> &args, std::size_t &at, const std::vector<OptionDef> &options,
                ParsedArgs &parsed) {
    const std::string &arg = args[at++];
    const OptionDef *definition = nullptr;
    std::optional<std::string> inline_value;
    if (arg.rfind("--", 0) == 0) {
        std::string name = arg.substr(2);
        std::size_t equals = name.find('=');
        if (equals != std::string::npos) {
            inline_value = name.substr(equals + 1);
            name.resize(equals);
        }
        definition = FindLong(options, name);
    } else {
        definition = arg.size() == 2 ? FindShort(options, arg[1]) : nullptr;
    }
    if (definition == nullptr) throw UsageFailure("unknown option " + arg + " (talvoctl help lists the options)");
    if (definition->value_name.empty()) {
        if (inline_value) throw UsageFailure("--" + definition->name + " takes no value");
        parsed.SetFlag(definition->name);
        return;
    }
    if (!inline_value) {
        if (at >= args.size()) throw UsageFailure(arg + " needs a value (" + definition->value_name + ")");
        inline_value = args[at++];
    }
    parsed.SetValue(definition->name, *inline_value);
}

std::string CountText(std::size_t count) { return count == 1 ? "one argument" : std::to_string(count) + " arguments"; }

} // namespace

std::optional<std::string> ParsedArgs::Value(const std::string &name) const {
    auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::vector<std::string> ParsedArgs::Exactly(std::size_t skip, std::size_t count,
                                             const std::string &synopsis) const {
    if (words_.size() != skip + count) {
        throw UsageFailure("expected " + CountText(count) + ": talvoctl " + synopsis);
    }
    return {words_.begin() + static_cast<long>(skip), words_.end()};
}

std::vector<std::string> ParsedArgs::AtLeast(std::size_t skip, std::size_t count,
                                             const std::string &synopsis) const {
    if (words_.size() < skip + count) {
        throw UsageFailure("expected at least " + CountText(count) + ": talvoctl " + synopsis);
    }
    return {words_.begin() + static_cast<long>(skip), words_.end()};
}

std::vector<std::string> TakeGlobalOptions(const std::vector<std::string> &args,
                                           const std::vector<OptionDef> &global, ParsedArgs &before) {
    std::size_t at = 0;
    while (at < args.size() && IsOption(args[at]) && args[at] != "--") TakeOption(args, at, global, before);
    if (at < args.size() && args[at] == "--") ++at;
    return {args.begin() + static_cast<long>(at), args.end()};
}

void ParseArguments(const std::vector<std::string> &args, const std::vector<OptionDef> &options,
                    ParsedArgs &parsed) {
    bool options_ended = false;
    for (std::size_t at = 0; at < args.size();) {
        if (!options_ended && args[at] == "--") {
            options_ended = true;
            ++at;
        } else if (!options_ended && IsOption(args[at])) {
            TakeOption(args, at, options, parsed);
        } else {
            parsed.AddWord(args[at++]);
        }
    }
}

std::string OptionsHelp(const std::vector<OptionDef> &options) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t width = 0;
    for (const OptionDef &o : options) {
        std::string left = o.letter ? std::string("  -") + o.letter + ", --" + o.name : "      --" + o.name;
        if (!o.value_name.empty()) left += " " + o.value_name;
        width = std::max(width, left.size());
        lines.emplace_back(left, o.help);
    }
    std::string out;
    for (const auto &[left, help] : lines) out += left + std::string(width - left.size() + 3, ' ') + help + "\n";
    return out;
}

} // namespace talvoctl
