// A talvoctl command: its words ("reboot", "group add"), what it takes, who
// may run it and the function that does it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output.h"
#include "common/session.h"

namespace talvoctl {

// What a running command has at hand.
struct Context {
    const Output &out;
    Session &session;
    ParsedArgs args;                  // the words after the command's own words, and the options
    std::chrono::milliseconds wait;   // how long device states may take to settle
};

struct Command {
    std::string name;     // one or two words
    std::string synopsis; // arguments after the name
    std::string summary;  // one line
    std::vector<OptionDef> options;
    Right right = Right::Administrator;
    void (*run)(Context &context) = nullptr;
};

// Every command of talvoctl, by family.
std::vector<Command> DiscoveryCommands();
std::vector<Command> DeviceViewCommands();
std::vector<Command> GroupCommands();
std::vector<Command> ConfigCommands();
std::vector<Command> HostCommands();
std::vector<Command> MaintenanceCommands();
std::vector<Command> FileCommands();
std::vector<Command> UserCommands();

} // namespace talvoctl
