// Runs talvoctl as a child process, in a folder of its own (where the library
// keeps its store files), against simulated receivers served by this test
// process in the same test network.
#pragma once

#include <gtest/gtest.h>

#include <cjson/cJSON.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "talvo_sim/fleet.h"
#include "temp_dir.h"

namespace talvoctl_test {

struct RunResult {
    int status = -1;   // exit status; -1 when it did not exit normally in time
    std::string out;   // standard output
    std::string err;   // standard error
};

using JsonPtr = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

// The JSON document of `text`; a test failure and null when it is none.
JsonPtr ParseJson(const std::string &text);
// The text of `object`'s member, "" when missing.
std::string Text(const cJSON *object, const char *key);

class TalvoctlTest : public ::testing::Test {
protected:
    TalvoctlTest();
    ~TalvoctlTest() override;

    // Adds a receiver at 127.0.60.<index> with MAC 02:54:56:00:60:<index>.
    talvo_sim::ReceiverConfig AddReceiver(int index, const std::string &model = "TALVO_JX",
                                          const std::string &state = "idle", std::uint32_t run_time = 3600);
    // Writes the device store listing these receivers as managed (the
    // library's operate credentials), as if they had been adopted.
    void Manage(const std::vector<talvo_sim::ReceiverConfig> &receivers);

    // talvoctl with these arguments, logged in as admin unless `env` says
    // otherwise (TALVOCTL_USER and TALVOCTL_PASSWORD; an empty value removes it).
    RunResult Run(const std::vector<std::string> &args, const std::map<std::string, std::string> &env = {});
    // The same on a terminal (a pseudo-terminal): standard output and error
    // together in `out`.
    RunResult RunOnTerminal(const std::vector<std::string> &args);

    std::string StoreFile(const std::string &name) const { return folder_.Read(name); }
    const korvel::testing::TempDir &Folder() const { return folder_; }

    talvo_sim::Fleet fleet_;
    korvel::testing::TempDir folder_;
};

// Explains a run in a failed expectation.
std::string Describe(const RunResult &run);

} // namespace talvoctl_test
