// Simulated fleet of TALVO receivers, for tests, benchmarks and the demo.
//
// One Fleet runs one event loop on a thread of its own and serves every
// receiver added to it: each receiver answers on its own 127.x.y.z address
// (HTTP on port 80, the reboot command on TCP port 50012), and all of them
// share one UDP socket on port 50000 joined to 224.0.1.2 for discovery.
// The process must run inside scripts/testnet; Start() stops the process
// otherwise.
//
// Usage in a test:
//
//     talvo_sim::Fleet fleet;
//     fleet.Start();
//     talvo_sim::ReceiverConfig r;
//     r.mac = "02:54:56:00:00:01";
//     r.address = "127.0.10.1";
//     fleet.Add(r);
//     fleet.InjectFault(r.mac, "dev_status", {talvo_sim::FaultType::Status, 500});
//     ... drive the library against 127.0.10.1 ...
//     auto requests = fleet.Requests(r.mac);   // what the receiver received
//
// Every member function is thread-safe. Receivers are named by their MAC
// address, compared without regard to letter case; a function given a MAC
// that is not in the fleet throws std::out_of_range.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace talvo_sim {

// Settings of one section, keyed by the protocol's JSON keys
// (e.g. "wifi_ssid" -> "Room 1").
using Settings = std::map<std::string, std::string>;

// Sections held per receiver. A save of a section changes what later reads
// of it return.
inline constexpr const char *kDevStatus = "dev_status";     // network status, read only
inline constexpr const char *kNetSettings = "net_settings"; // network settings
inline constexpr const char *kVideoOut = "video_out";       // video output
inline constexpr const char *kPinCode = "pin_code";         // pin code policy
inline constexpr const char *kMultiMode = "multi_mode";     // multi-display mode

// One sender connected to a receiver in host (compere) mode.
struct HostMember {
    std::string conn_ip;
    std::string conn_type = "windows";
    std::string conn_name;
    std::string play_video = "false";
    std::string play_audio = "false";
    int media_num = 0;
};

// The six model names.
const std::vector<std::string> &ModelNames();

// Lower-case hex MD5 of a text (the protocol's password digest form).
std::string Md5Hex(const std::string &data);

// What a receiver is and holds when it is added. Empty fields take defaults.
struct ReceiverConfig {
    std::string model = "TALVO_JX";
    std::string mac;                     // required, e.g. "02:54:56:00:00:01"
    std::string address;                 // required, 127.x.y.z
    std::string version;                 // default "<model>-V2.1.0"
    std::string user = "TALVO";          // login user
    std::string password_md5;            // default Md5Hex("WQZNE847")
    std::string web_password_md5;        // default Md5Hex("admin")
    std::string state = "idle";          // "idle", "share", "upgrade", "standby" or any text
    std::uint32_t run_time = 0;          // seconds; counts up while the receiver runs
    // Settings per section (kDevStatus, kNetSettings, ...): given keys replace
    // the defaults, which are consistent with the fields above.
    std::map<std::string, Settings> settings;
    std::vector<HostMember> host_members;
    // Whether the state query (section dev_state) needs a session. By default
    // it answers without one.
    bool state_needs_session = false;
};

// How a receiver is reachable.
enum class Presence {
    Online,       // answers
    Offline,      // refuses connections, sends no discovery answers
    Unresponsive, // accepts connections and reads requests, never answers
    Rebooting,    // offline until it comes back by itself
};

// A fault injected for one kind of request of one receiver. With Delay,
// Stall, BrokenBody, OversizedBody and ForeignMac the receiver does what the
// request asks and only the answer suffers; Unauthorized, Close, Status,
// ErrCode and Silence leave the receiver unchanged. The request is logged
// either way.
enum class FaultType {
    // HTTP (also applied to discovery and the TCP command where noted)
    Unauthorized,  // 401 whatever the session
    Delay,         // answer normally after `value` milliseconds (HTTP, TCP, discovery)
    Stall,         // send the head and half of the body, then nothing
    Close,         // close the connection without answering (HTTP, TCP)
    Status,        // answer with HTTP status `value` (404, 500, 302, ...)
    BrokenBody,    // answer 200 with a body that is not JSON (HTTP, TCP, discovery)
    OversizedBody, // answer 200 with valid JSON of `value` bytes (default 5000)
    ForeignMac,    // answer as the receiver `text` (default 02:00:00:00:00:99) (HTTP, discovery)
    ErrCode,       // answer with err_code `value`; a refused save changes nothing
    // TCP command (kind "DeviceReboot")
    ForeignMsgName, // answer frame with MsgName `text` (default "DeviceReboot")
    FrameLength,    // announce a frame of `value` bytes (0, 4097, 5000, ...)
    ResultText,     // answer with Result `text` (does not reboot)
    Silence,        // read the request, never answer (also discovery)
};

struct Fault {
    Fault() = default;
    Fault(FaultType type_, int value_ = 0, std::string text_ = "", int times_ = -1)
        : type(type_), value(value_), text(std::move(text_)), times(times_) {}

    FaultType type = FaultType::Status;
    int value = 0;
    std::string text;
    int times = -1; // how many requests it applies to; -1 until cleared
};

// One request as a receiver received it.
struct RequestRecord {
    std::string protocol;  // "http" or "tcp"
    std::string method;    // "GET", "PUT", ... ("TCP" for the command)
    std::string path;      // raw request target with the query, e.g. /do?action=read&section=dev_state
    std::string action;    // decoded query value of "action" ("" when absent)
    std::string section;   // decoded query value of "section"
    bool has_section = false;
    std::map<std::string, std::string> query; // every decoded query parameter
    std::string cookie;    // the Cookie header as received (without the blank before the value)
    std::string content_type;
    // Uploads: the multipart head, the file name and the content received.
    std::string upload_head;
    std::string upload_file_name;
    std::size_t upload_size = 0;
    std::string upload_md5;
    std::string payload;   // TCP: the command's JSON text
};

// A discovery datagram the fleet received.
struct DatagramRecord {
    std::string text;
    std::string sender; // "a.b.c.d:port"
};

// A file a receiver accepted by upload.
struct ReceivedFile {
    std::string file_name;
    std::size_t size = 0;
    std::string md5;
};

// A receiver as it is now.
struct ReceiverSnapshot {
    ReceiverConfig config;         // current identity, credentials and settings
    Presence presence = Presence::Online;
    std::string reported_state;    // what the state query answers now
    std::uint32_t run_time = 0;    // what the state query answers now
    int sessions = 0;              // sessions open
    int reboots = 0;               // reboots done since it was added
    std::map<std::string, int> progress;          // progress section -> 0..100
    std::map<std::string, ReceivedFile> files;    // upload section -> last accepted file
};

struct FleetOptions {
    std::chrono::milliseconds reboot_time{1500};   // how long a reboot keeps a receiver away
    std::chrono::milliseconds install_time{8000};  // from upload to progress 100
    std::size_t request_log_limit = 500;           // per receiver (and for datagrams); oldest dropped
    bool announce_on_add = true;                   // "DeviceOnline" when a receiver is added
    bool join_group = true;                        // false: no discovery socket
    // Lively fleet for demos: every interval some idle receivers start a cast
    // (a sender joins in host mode) and some casting ones end it. Zero: off.
    std::chrono::milliseconds activity_interval{0};
};

class Fleet {
public:
    Fleet();
    explicit Fleet(FleetOptions options);
    ~Fleet(); // stops
    Fleet(const Fleet &) = delete;
    Fleet &operator=(const Fleet &) = delete;

    // Opens the discovery socket and starts the loop thread. Exits the
    // process outside the test network; throws std::runtime_error when the
    // discovery socket cannot be opened. A stopped fleet does not start again.
    void Start();
    // Closes every socket and ends the loop thread. Safe to call twice.
    void Stop();

    // Adds a receiver and opens its ports; throws std::invalid_argument for a
    // missing or duplicate MAC or address and std::runtime_error when a port
    // cannot be bound.
    void Add(const ReceiverConfig &config);
    void Remove(const std::string &mac);
    std::vector<std::string> Macs() const;
    ReceiverSnapshot Snapshot(const std::string &mac) const;

    // Run-time changes.
    void SetState(const std::string &mac, const std::string &state);
    void SetRunTime(const std::string &mac, std::uint32_t seconds);
    void SetVersion(const std::string &mac, const std::string &version);
    void SetModel(const std::string &mac, const std::string &model);
    void SetCredentials(const std::string &mac, const std::string &user, const std::string &password_md5);
    void SetSetting(const std::string &mac, const std::string &section, const std::string &key,
                    const std::string &value);
    Settings GetSettings(const std::string &mac, const std::string &section) const;
    void SetHostMembers(const std::string &mac, const std::vector<HostMember> &members);
    void SetStateNeedsSession(const std::string &mac, bool needed);
    void ExpireSessions(const std::string &mac);
    // An install that stays at `percent` (0..100) in a progress section
    // ("upgradeprogress", "kernel_progress", "filesystem_progress", or ""
    // for the boot loader); the receiver reports "upgrade" while it is below 100.
    void SetProgress(const std::string &mac, const std::string &progress_section, int percent);

    // Network presence.
    void TakeOffline(const std::string &mac);     // connections refused
    void MakeUnresponsive(const std::string &mac); // connections accepted, never answered
    void BringBack(const std::string &mac);        // online again, announces "DeviceOnline"
    void Reboot(const std::string &mac);           // away for reboot_time, back with a low run time
    void Announce(const std::string &mac);         // sends "DeviceOnline" now

    // Faults. `kind` is a section ("dev_state", "upgrade", ...), an action
    // ("login", "reboot", "upload", ...), "*" for every HTTP request,
    // "DeviceReboot" for the TCP command, or "SearchDevice" /
    // "UpdateDeviceInfo" for discovery. A section rule wins over an action
    // rule, which wins over "*".
    void InjectFault(const std::string &mac, const std::string &kind, const Fault &fault);
    void ClearFaults(const std::string &mac);

    // What a receiver received, oldest first.
    std::vector<RequestRecord> Requests(const std::string &mac) const;
    void ClearRequests(const std::string &mac);
    std::vector<DatagramRecord> Datagrams() const;

    // Requests answered by all receivers since Start (HTTP, TCP and discovery
    // answers).
    std::uint64_t AnsweredCount() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// A fleet of `count` receivers with addresses counting up from `base`
// (skipping .0 and .255), MACs 02:54:56:xx:xx:xx and models either all
// `models` or, for "mixed", the six names in turn.
std::vector<ReceiverConfig> GenerateFleet(int count, const std::string &models, const std::string &base);

// Reads a fleet description (JSON; README.md, "A simulated fleet", shows the form). Throws
// std::runtime_error with a clear message for bad input.
std::vector<ReceiverConfig> ParseFleetDescription(const std::string &json_text);

// Runs one control command line ("state MAC share", "offline MAC", ...; see
// "help") against a fleet and returns the reply text.
std::string RunControlCommand(Fleet &fleet, const std::string &line);

} // namespace talvo_sim
