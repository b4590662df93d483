// One-shot HTTP commands: factory reset, reboot, Wi-Fi, control commands.
#include "device/device.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

RequestForm CommandForm(const char *action, const char *section) {
    RequestForm form;
    form.action = action;
    form.section = section;
    return form;
}

struct ControlCommand {
    const char *action;
    const char *section;
};

// By the export's command number.
constexpr ControlCommand kControlCommands[] = {
    {"sleep", "dev_control"}, {"wakeup", "dev_control"}, {"reboot", "dev_control"}, {"shutdown", "dev_control"},
    {"reset", "dev_reset"},   {"open", "dev_wifi"},      {"close", "dev_wifi"},
};

} // namespace

int Device::FactoryReset() {
    return Command(CommandForm("reset", "dev_reset"),
                   {"[%s]:[%d] login device failed.",
                    "[%s]:[%d] parse restore factory settings response json string failed, get device status "
                    "response's json struct must changed.",
                    "[%s]:[%d] restore device's factory setting failed."});
}

int Device::Reboot() {
    return Command(CommandForm("reboot", "dev_reboot"),
                   {"[%s]:[%d] reboot device failed.",
                    "[%s]:[%d] parse reboot response json string failed, get device status response's json struct "
                    "must changed.",
                    "[%s]:[%d] reboot device failed."});
}

int Device::SetWifi(bool on) {
    return Command(CommandForm(on ? "open" : "close", "dev_wifi"),
                   {"[%s]:[%d] set device wifi failed",
                    "[%s]:[%d] parse set device wifi response json string failed, get device status response's "
                    "json struct must changed.",
                    "[%s]:[%d] set device wifi failed."});
}

// A command outside the table goes out with an empty action and section; the
// receiver's answer decides.
int Device::Control(int command) {
    const bool known = command >= 0 && command < static_cast<int>(std::size(kControlCommands));
    const ControlCommand chosen = known ? kControlCommands[command] : ControlCommand{"", ""};
    return Command(CommandForm(chosen.action, chosen.section),
                   {"[%s]:[%d] control device failed",
                    "[%s]:[%d] parse control device response json string failed, get device status response's "
                    "json struct must changed.",
                    "[%s]:[%d] control device failed."});
}

} // namespace korvel
