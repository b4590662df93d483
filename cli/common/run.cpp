#include "common/run.h"

#include <cstdio>
#include <cstdlib>

#include "common/command.h"
#include "common/device_states.h"
#include "common/failure.h"

namespace talvoctl {
namespace {

std::vector<OptionDef> GlobalOptions() {
    return {
        {"user", 'u', "NAME", "operator to log in as (or TALVOCTL_USER)"},
        {"password", 'p', "PASSWORD", "the operator's password (or TALVOCTL_PASSWORD)"},
        {"json", 'j', "", "print results as JSON"},
        {"wait", 'w', "SECONDS", "longest wait for device states before device work (or TALVOCTL_WAIT; 5)"},
        {"help", 'h', "", "show help (of a command: talvoctl COMMAND --help)"},
        {"version", 0, "", "show the version"},
    };
}

std::vector<Command> AllCommands() {
    std::vector<Command> all;
    for (auto family : {DiscoveryCommands, DeviceViewCommands, GroupCommands, ConfigCommands, HostCommands,
                        MaintenanceCommands, FileCommands, UserCommands}) {
        for (Command &command : family()) all.push_back(std::move(command));
    }
    return all;
}

std::size_t NameWords(const Command &command) { return command.name.find(' ') == std::string::npos ? 1 : 2; }

// The command named by the first words of `words`, or null.
const Command *FindCommand(const std::vector<Command> &commands, const std::vector<std::string> &words) {
    for (const Command &command : commands) {
        std::size_t n = NameWords(command);
        if (words.size() < n) continue;
        std::string name = n == 1 ? words[0] : words[0] + " " + words[1];
        if (name == command.name) return &command;
    }
    return nullptr;
}

std::string CommandLine(const Command &command) {
    return command.synopsis.empty() ? command.name : command.name + " " + command.synopsis;
}

std::string OverviewHelp(const std::vector<Command> &commands, const std::string &family) {
    std::string out;
    if (family.empty()) {
        out += "usage: talvoctl [OPTION...] COMMAND [ARGUMENT...]\n\n"
               "Manages a fleet of TALVO receivers through the KORVEL library. The library keeps its\n"
               "store files (DevsInfo.ini, GroupsInfo.ini, AccountInfo.ini) in the current directory.\n\n"
               "Options:\n" +
               OptionsHelp(GlobalOptions()) + "\nCommands:\n";
    } else {
        out += "talvoctl " + family + " commands:\n";
    }
    std::size_t width = 0;
    for (const Command &c : commands) width = std::max(width, CommandLine(c).size());
    width = std::min<std::size_t>(width, 44);
    for (const Command &c : commands) {
        if (!family.empty() && c.name.rfind(family + " ", 0) != 0) continue;
        std::string line = "  " + CommandLine(c);
        line += line.size() < width + 4 ? std::string(width + 4 - line.size(), ' ') : "\n" + std::string(width + 4, ' ');
        out += line + c.summary + "\n";
    }
    if (family.empty()) {
        out += "\nDevices are named by their MAC address; device commands take MAC... | --group NAME | --all\n"
               "(--group and --all leave out devices that are not online). Texts are UTF-8.\n"
               "Exit status: 0 done, 1 refused or failed (the library's error name is printed), 2 wrong\n"
               "command line. talvoctl COMMAND --help shows a command's own options.\n";
    }
    return out;
}

std::string CommandHelp(const Command &command) {
    std::string out = "usage: talvoctl " + CommandLine(command) + "\n\n" + command.summary + "\n";
    if (!command.options.empty()) out += "\nOptions:\n" + OptionsHelp(command.options);
    return out;
}

bool IsFamily(const std::vector<Command> &commands, const std::string &word) {
    for (const Command &c : commands) {
        if (c.name.rfind(word + " ", 0) == 0) return true;
    }
    return false;
}

std::string FromOptionOrEnvironment(const ParsedArgs &args, const char *option, const char *variable) {
    if (std::optional<std::string> value = args.Value(option)) return *value;
    const char *value = std::getenv(variable);
    return value ? value : "";
}

std::chrono::milliseconds WaitOption(const ParsedArgs &args) {
    std::string text = FromOptionOrEnvironment(args, "wait", "TALVOCTL_WAIT");
    if (text.empty()) return kDefaultStateWait;
    char *end = nullptr;
    double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(seconds >= 0 && seconds <= 600)) {
        throw UsageFailure("--wait (or TALVOCTL_WAIT) takes a number of seconds from 0 to 600");
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

Credentials ReadCredentials(const ParsedArgs &args) {
    Credentials credentials{FromOptionOrEnvironment(args, "user", "TALVOCTL_USER"),
                            FromOptionOrEnvironment(args, "password", "TALVOCTL_PASSWORD")};
    if (credentials.user.empty() || credentials.password.empty()) {
        throw UsageFailure("log in with --user NAME --password PASSWORD, or set TALVOCTL_USER and "
                           "TALVOCTL_PASSWORD");
    }
    return credentials;
}

// The global options among a command's own, so they may follow its words.
std::vector<OptionDef> WithGlobalOptions(const Command &command) {
    std::vector<OptionDef> options = GlobalOptions();
    options.insert(options.end(), command.options.begin(), command.options.end());
    return options;
}

int RunCommand(const std::vector<Command> &commands, const std::vector<std::string> &args, Output &out) {
    ParsedArgs global;
    std::vector<std::string> rest = TakeGlobalOptions(args, GlobalOptions(), global);
    if (global.Has("version")) {
        std::printf("talvoctl 1.0 (KORVEL)\n");
        return kExitOk;
    }
    if (rest.empty() || rest[0] == "help") {
        std::vector<std::string> topic(rest.empty() ? rest.begin() : rest.begin() + 1, rest.end());
        const Command *command = FindCommand(commands, topic);
        if (command) {
            std::fputs(CommandHelp(*command).c_str(), stdout);
        } else {
            std::fputs(OverviewHelp(commands, topic.empty() || !IsFamily(commands, topic[0]) ? "" : topic[0]).c_str(),
                       stdout);
        }
        return rest.empty() && !global.Has("help") ? kExitUsage : kExitOk;
    }
    const Command *command = FindCommand(commands, rest);
    if (command == nullptr) {
        if (IsFamily(commands, rest[0])) {
            std::fputs(OverviewHelp(commands, rest[0]).c_str(), stderr);
            throw UsageFailure("talvoctl " + rest[0] + " needs one of the words above");
        }
        throw UsageFailure("unknown command \"" + rest[0] + "\" (talvoctl help lists the commands)");
    }
    ParsedArgs parsed = global;
    ParseArguments({rest.begin() + static_cast<long>(NameWords(*command)), rest.end()},
                   WithGlobalOptions(*command), parsed);
    out = Output(parsed.Has("json"));
    if (parsed.Has("help")) {
        std::fputs(CommandHelp(*command).c_str(), stdout);
        return kExitOk;
    }
    std::chrono::milliseconds wait = WaitOption(parsed);
    Session session(ReadCredentials(parsed), out);
    session.Require(command->right);
    Context context{out, session, parsed, wait};
    command->run(context);
    return kExitOk;
}

// Whether the command line asks for JSON, also when it is wrong in another
// way: a script then reads its failure as JSON too.
bool JsonWanted(const std::vector<std::string> &args) {
    for (const std::string &arg : args) {
        if (arg == "--") return false;
        if (arg == "--json" || arg == "-j") return true;
    }
    return false;
}

} // namespace

int Run(const std::vector<std::string> &args) {
    std::vector<Command> commands = AllCommands();
    Output out(false);
    try {
        int status = RunCommand(commands, args, out);
        std::fflush(stdout);
        return status;
    } catch (const Failure &failure) {
        if (JsonWanted(args)) out = Output(true);
        out.ShowFailure(failure);
        return failure.ExitStatus();
    } catch (const std::exception &error) {
        if (JsonWanted(args)) out = Output(true);
        out.ShowFailure(Failure(-1, "failed", error.what(), kExitFailed));
        return kExitFailed;
    }
}

} // namespace talvoctl
