// One-shot commands over one device or many: reboot, factory reset, the
// receivers' passwords, Wi-Fi and the control commands.
#include <korvel.h>

#include "common/command.h"
#include "common/device_jobs.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"

namespace talvoctl {
namespace {

std::string Synopsis(const std::string &words) { return words + " " + kTargetsSynopsis; }

void RequireYes(const Context &context, const std::string &what) {
    if (!context.args.Has("yes")) {
        throw UsageFailure(what + " erases the receivers' settings; add --yes to go ahead");
    }
}

const OptionDef kYesOption{"yes", 'y', "", "confirm the factory reset"};

// As the desktop program reboots: over HTTP first, then once over the TCP
// command when that failed; --tcp uses the TCP command alone.
void RunReboot(Context &context) {
    bool tcp_only = context.args.Has("tcp");
    RunOnTargets(context, context.args.Words(), "reboot", "rebooting", [tcp_only](const DeviceInfo &d, JobProgress &) {
        if (tcp_only) return ZR_QM_DeviceReboot_Ex(d.Wired_MacAddr); // needs no session
        int result = ZR_QM_LoginDevice(d.Wired_MacAddr, nullptr, nullptr);
        if (result == 0) result = ZR_QM_DeviceReboot(d.Wired_MacAddr);
        return result == 0 ? 0 : ZR_QM_DeviceReboot_Ex(d.Wired_MacAddr);
    });
}

void RunReset(Context &context) {
    RequireYes(context, "a factory reset");
    RunOnTargets(context, context.args.Words(), "reset", "reset to factory settings",
                 AfterDeviceLogin([](const DeviceInfo &d, JobProgress &) {
                     return ZR_QM_DeviceFactoryReset(d.Wired_MacAddr);
                 }));
}

// The current and the new password options, the new one checked for its
// length; both in CP936. `current_required`: the current one may not be
// empty (a receiver's web password may be).
std::pair<std::string, std::string> PasswordOptions(const Context &context, std::size_t shortest,
                                                    std::size_t longest, bool current_required) {
    std::optional<std::string> current = context.args.Value("current"), next = context.args.Value("new");
    if (!current || !next || (current_required && current->empty()) || next->empty()) {
        throw UsageFailure("give the receivers' --current password and the --new one");
    }
    std::string old_bytes = ArgumentToCp936(*current, "the current password", 64);
    std::string new_bytes = ArgumentToCp936(*next, "the new password", longest);
    if (new_bytes.size() < shortest) {
        throw ParameterFailure("the new password needs " + std::to_string(shortest) + " to " +
                               std::to_string(longest) + " characters");
    }
    return {old_bytes, new_bytes};
}

const std::vector<OptionDef> kPasswordOptions = {{"current", 0, "PASSWORD", "the receivers' password now"},
                                                   {"new", 0, "PASSWORD", "the new password"}};

// The password the library logs in with, on the receivers (6 to 16
// characters, as the desktop program asks). The library changes it over its
// batch export, one device per call here so each result is known.
void RunPassword(Context &context) {
    auto [current, next] = PasswordOptions(context, 6, 16, true);
    RunOnTargets(context, context.args.Words(), "password", "password changed",
                 AfterDeviceLogin([current = current, next = next](const DeviceInfo &d, JobProgress &) {
                     MacSlots slot({d.Wired_MacAddr});
                     return ZR_QM_BatchSetDeviceLoginPWD(slot.Data(), 1, current.c_str(), next.c_str());
                 }));
    context.out.Note("the library logs in with its device communication password; change it to match with "
                     "talvoctl users operate-password");
}

// The password of the receivers' own web page (8 to 16 characters; the
// current one may be empty, --current '').
void RunWebPassword(Context &context) {
    auto [current, next] = PasswordOptions(context, 8, 16, false);
    RunOnTargets(context, context.args.Words(), "web-password", "web password changed",
                 AfterDeviceLogin([current = current, next = next](const DeviceInfo &d, JobProgress &) {
                     return ZR_QM_SetDeviceWebLoginPWD(d.Wired_MacAddr, current.c_str(), next.c_str());
                 }));
}

void RunWifi(Context &context) {
    std::vector<std::string> words = context.args.AtLeast(0, 1, Synopsis("wifi on|off"));
    if (words[0] != "on" && words[0] != "off") throw UsageFailure("wifi takes on or off");
    int open = words[0] == "on" ? 1 : 0;
    RunOnTargets(context, {words.begin() + 1, words.end()}, "wifi " + words[0],
                 open ? "Wi-Fi on" : "Wi-Fi off",
                 AfterDeviceLogin([open](const DeviceInfo &d, JobProgress &) {
                     return ZR_QM_SetDeviceWifi(d.Wired_MacAddr, open);
                 }));
}

struct ControlWord {
    const char *word;
    int command;
    const char *done;
};

constexpr ControlWord kControlWords[] = {
    {"sleep", 0, "asleep"},       {"wakeup", 1, "awake"},   {"reboot", 2, "rebooting"},
    {"shutdown", 3, "shut down"}, {"reset", 4, "reset to factory settings"},
    {"wifi-on", 5, "Wi-Fi on"},   {"wifi-off", 6, "Wi-Fi off"},
};

void RunControl(Context &context) {
    std::vector<std::string> words =
        context.args.AtLeast(0, 1, Synopsis("control sleep|wakeup|reboot|shutdown|reset|wifi-on|wifi-off"));
    const ControlWord *control = nullptr;
    for (const ControlWord &candidate : kControlWords) {
        if (words[0] == candidate.word) control = &candidate;
    }
    if (control == nullptr) {
        throw UsageFailure("control takes sleep, wakeup, reboot, shutdown, reset, wifi-on or wifi-off");
    }
    if (control->command == 4) RequireYes(context, "control reset");
    int command = control->command;
    RunOnTargets(context, {words.begin() + 1, words.end()}, "control " + words[0], control->done,
                 AfterDeviceLogin([command](const DeviceInfo &d, JobProgress &) {
                     return ZR_QM_DeviceContol(d.Wired_MacAddr, command);
                 }));
}

} // namespace

std::vector<Command> MaintenanceCommands() {
    return {
        {"reboot", Synopsis("[--tcp]"), "reboot receivers (over HTTP, then over the TCP command if that fails)",
         WithTargetOptions({{"tcp", 0, "", "use the TCP reboot command only"}}), Right::Administrator, RunReboot},
        {"reset", Synopsis("--yes"), "reset receivers to their factory settings", WithTargetOptions({kYesOption}),
         Right::Administrator, RunReset},
        {"password", Synopsis("--current OLD --new NEW"),
         "change the password the library logs in to the receivers with, on the receivers",
         WithTargetOptions(kPasswordOptions), Right::Administrator, RunPassword},
        {"web-password", Synopsis("--current OLD --new NEW"), "change the password of the receivers' web page",
         WithTargetOptions(kPasswordOptions), Right::Administrator, RunWebPassword},
        {"wifi", Synopsis("on|off"), "switch the receivers' Wi-Fi hotspot on or off", WithTargetOptions({}),
         Right::Administrator, RunWifi},
        {"control", Synopsis("sleep|wakeup|reboot|shutdown|reset|wifi-on|wifi-off"),
         "send a control command to receivers (reset needs --yes)", WithTargetOptions({kYesOption}),
         Right::Administrator, RunControl},
    };
}

} // namespace talvoctl
