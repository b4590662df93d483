// Text commands that change a running fleet (the program reads them from
// standard input).
#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "talvo_sim/fleet.h"

namespace talvo_sim {

namespace {

constexpr const char *kHelp =
    "commands (MAC names a receiver):\n"
    "  list                              every receiver: MAC model address presence state\n"
    "  show MAC                          one receiver in detail\n"
    "  state MAC TEXT                    idle, share, upgrade, standby, ...\n"
    "  runtime MAC SECONDS\n"
    "  version MAC TEXT\n"
    "  set MAC SECTION KEY [VALUE]       e.g. set MAC net_settings wifi_ssid Room 1\n"
    "  credentials MAC USER PASSWORD_MD5\n"
    "  offline|unresponsive|back|reboot|announce|expire MAC\n"
    "  fault MAC KIND TYPE [VALUE|TEXT]  KIND: a section, an action, *, DeviceReboot, SearchDevice\n"
    "                                    TYPE: unauthorized delay(ms) stall close status(code) broken\n"
    "                                    oversized(bytes) foreign-mac(MAC) err-code(code)\n"
    "                                    foreign-msgname(name) frame-length(bytes) result(text) silence\n"
    "  clear MAC                         remove the receiver's faults\n"
    "  log MAC [N]                       the last N requests (default 10)\n"
    "  help";

const std::map<std::string, FaultType> &FaultNames() {
    static const std::map<std::string, FaultType> names{
        {"unauthorized", FaultType::Unauthorized},
        {"delay", FaultType::Delay},
        {"stall", FaultType::Stall},
        {"close", FaultType::Close},
        {"status", FaultType::Status},
        {"broken", FaultType::BrokenBody},
        {"oversized", FaultType::OversizedBody},
        {"foreign-mac", FaultType::ForeignMac},
        {"err-code", FaultType::ErrCode},
        {"foreign-msgname", FaultType::ForeignMsgName},
        {"frame-length", FaultType::FrameLength},
        {"result", FaultType::ResultText},
        {"silence", FaultType::Silence},
    };
    return names;
}

const char *PresenceName(Presence presence) {
    switch (presence) {
    case Presence::Online: return "online";
    case Presence::Offline: return "offline";
    case Presence::Unresponsive: return "unresponsive";
    case Presence::Rebooting: return "rebooting";
    }
    return "?";
}

std::string Rest(std::istringstream &in) {
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

int Number(const std::string &text) {
    std::size_t used = 0;
    int value = std::stoi(text, &used);
    if (used != text.size()) throw std::invalid_argument("not a number: " + text);
    return value;
}

std::string List(Fleet &fleet) {
    std::ostringstream out;
    for (const std::string &mac : fleet.Macs()) {
        ReceiverSnapshot s = fleet.Snapshot(mac);
        out << mac << ' ' << s.config.model << ' ' << s.config.address << ' ' << PresenceName(s.presence) << ' '
            << s.reported_state << '\n';
    }
    return out.str() + "ok";
}

std::string Show(Fleet &fleet, const std::string &mac) {
    ReceiverSnapshot s = fleet.Snapshot(mac);
    std::ostringstream out;
    out << s.config.mac << ' ' << s.config.model << ' ' << s.config.address << ' ' << s.config.version << '\n'
        << "presence " << PresenceName(s.presence) << ", state " << s.reported_state << ", run time " << s.run_time
        << " s, sessions " << s.sessions << ", reboots " << s.reboots << '\n';
    for (const auto &[section, settings] : s.config.settings) {
        out << section << ':';
        for (const auto &[key, value] : settings) out << ' ' << key << '=' << value;
        out << '\n';
    }
    return out.str() + "ok";
}

std::string Log(Fleet &fleet, const std::string &mac, int count) {
    std::vector<RequestRecord> requests = fleet.Requests(mac);
    std::size_t first = requests.size() > static_cast<std::size_t>(count) ? requests.size() - count : 0;
    std::ostringstream out;
    for (std::size_t i = first; i < requests.size(); ++i) {
        const RequestRecord &r = requests[i];
        out << r.method << ' ' << (r.protocol == "tcp" ? r.payload : r.path);
        if (!r.upload_file_name.empty()) out << " [" << r.upload_file_name << ", " << r.upload_size << " bytes]";
        out << '\n';
    }
    return out.str() + "ok";
}

std::string Fault(Fleet &fleet, const std::string &mac, std::istringstream &in) {
    std::string kind, type, value;
    in >> kind >> type >> value;
    auto name = FaultNames().find(type);
    if (kind.empty() || name == FaultNames().end()) throw std::invalid_argument("fault needs KIND and a known TYPE");
    talvo_sim::Fault fault(name->second);
    bool takes_text = name->second == FaultType::ForeignMac || name->second == FaultType::ForeignMsgName ||
                      name->second == FaultType::ResultText;
    if (takes_text && !value.empty() && value.find_first_not_of("-0123456789") != std::string::npos) {
        fault.text = value + (in.eof() ? "" : " " + Rest(in));
        while (!fault.text.empty() && fault.text.back() == ' ') fault.text.pop_back();
    } else {
        if (!value.empty()) fault.value = Number(value);
        fault.text = Rest(in);
    }
    fleet.InjectFault(mac, kind, fault);
    return "ok";
}

std::string Run(Fleet &fleet, std::istringstream &in, const std::string &command) {
    if (command == "help") return kHelp;
    if (command == "list") return List(fleet);
    static const std::vector<std::string> per_receiver{
        "show", "state", "runtime", "version", "set", "credentials", "offline", "unresponsive", "back",
        "reboot", "announce", "expire", "fault", "clear", "log"};
    if (std::find(per_receiver.begin(), per_receiver.end(), command) == per_receiver.end()) {
        throw std::invalid_argument("unknown command '" + command + "' (try help)");
    }
    std::string mac;
    in >> mac;
    if (mac.empty()) throw std::invalid_argument(command + " needs a MAC");
    if (command == "show") return Show(fleet, mac);
    if (command == "state") fleet.SetState(mac, Rest(in));
    else if (command == "runtime") fleet.SetRunTime(mac, static_cast<std::uint32_t>(Number(Rest(in))));
    else if (command == "version") fleet.SetVersion(mac, Rest(in));
    else if (command == "set") {
        std::string section, key;
        in >> section >> key;
        if (key.empty()) throw std::invalid_argument("set needs SECTION and KEY");
        fleet.SetSetting(mac, section, key, Rest(in));
    } else if (command == "credentials") {
        std::string user, digest;
        in >> user >> digest;
        fleet.SetCredentials(mac, user, digest);
    } else if (command == "offline") fleet.TakeOffline(mac);
    else if (command == "unresponsive") fleet.MakeUnresponsive(mac);
    else if (command == "back") fleet.BringBack(mac);
    else if (command == "reboot") fleet.Reboot(mac);
    else if (command == "announce") fleet.Announce(mac);
    else if (command == "expire") fleet.ExpireSessions(mac);
    else if (command == "fault") return Fault(fleet, mac, in);
    else if (command == "clear") fleet.ClearFaults(mac);
    else if (command == "log") {
        std::string count = Rest(in);
        return Log(fleet, mac, count.empty() ? 10 : Number(count));
    }
    return "ok";
}

} // namespace

std::string RunControlCommand(Fleet &fleet, const std::string &line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command.empty()) return "";
    try {
        return Run(fleet, in, command);
    } catch (const std::exception &error) {
        return std::string("error: ") + error.what();
    }
}

} // namespace talvo_sim
