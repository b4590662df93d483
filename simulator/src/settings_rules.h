// How a receiver reads out and saves its settings sections, host mode
// members and uploads.
#pragma once

#include <map>
#include <string>

#include "receiver.h"

namespace talvo_sim {

// The settings of a section as a read answers them, with the read-only
// members (version, model, MAC) filled from the receiver.
Settings SectionForRead(const Receiver &receiver, const std::string &section, const std::string &answer_mac);

// Saves the writable keys of a section given in the query; returns the
// err_code: 0 saved, -2 refused (nine-picture display and multicast exclude
// each other), 1 refused otherwise. A refused save changes nothing.
int SaveSection(Receiver &receiver, const std::string &section, const std::map<std::string, std::string> &query);

// Host mode member operation (conn_ip with vstart, single_display or astart);
// returns the err_code.
int SaveHostMember(Receiver &receiver, const std::map<std::string, std::string> &query);

bool IsProgressSection(const std::string &section);

struct UploadTarget {
    bool checks_md5 = false;       // the md5 parameter must match the content
    bool installs = false;         // an install with rising progress follows
    std::string progress_section;  // where the progress is read
};
bool FindUploadTarget(const std::string &section, UploadTarget &target);

} // namespace talvo_sim
