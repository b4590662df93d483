// The state of one simulated receiver: identity, credentials, settings,
// sessions, installs, faults and the request log. Plain data; the fleet
// guards it with its mutex.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "talvo_sim/fleet.h"

namespace talvo_sim {

using Clock = std::chrono::steady_clock;

// One install running on the receiver after an upload.
struct Install {
    Clock::time_point started;
    Clock::duration duration;
};

class FaultTable {
public:
    void Add(const std::string &kind, const Fault &fault) { rules_[kind] = fault; }
    void Clear() { rules_.clear(); }
    // The fault for a request, most specific key first; each use counts
    // against the fault's `times`. Returns false when none applies.
    bool Take(const std::vector<std::string> &keys, Fault &out);

private:
    std::map<std::string, Fault> rules_;
};

struct Receiver {
    ReceiverConfig config;   // current identity, credentials, settings, members
    ReceiverConfig factory;  // as added: a factory reset returns to it
    Presence presence = Presence::Online;
    std::uint32_t run_base = 0;          // run time at run_since
    Clock::time_point run_since;
    std::deque<std::string> sessions;    // oldest first
    std::map<std::string, Install> installs; // progress section -> install
    std::map<std::string, ReceivedFile> files;
    FaultTable faults;
    std::deque<RequestRecord> log;
    int reboots = 0;

    std::uint32_t RunTime(Clock::time_point now) const;
    void SetRunTime(std::uint32_t seconds, Clock::time_point now);
    // "upgrade" while an install runs, the configured state otherwise.
    std::string ReportedState(Clock::time_point now) const;
    int Progress(const std::string &progress_section, Clock::time_point now) const;

    bool HasSession(const std::string &cookie) const;
    std::string OpenSession(std::uint64_t random);
    void CloseSession(const std::string &cookie);

    void Record(RequestRecord record, std::size_t limit);
    ReceiverSnapshot Snapshot(Clock::time_point now) const;
};

// Fills every empty field of a configuration with its default and merges
// the given settings over default settings consistent with it.
ReceiverConfig CompleteConfig(const ReceiverConfig &given);

// The session id carried by a cookie text " sessionid=<id>; username=<user>;".
std::string SessionIdOfCookie(const std::string &cookie);

// Case-insensitive text equality (MAC addresses, "true"/"false").
bool SameText(const std::string &a, const std::string &b);
std::string LowerCase(std::string text);

} // namespace talvo_sim
