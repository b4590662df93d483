#include "talvoctl_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "quick_fleet.h"

extern char **environ;

namespace talvoctl_test {
namespace {

constexpr auto kRunLimit = std::chrono::seconds(120);

std::vector<std::string> Environment(const std::map<std::string, std::string> &changes) {
    std::map<std::string, std::string> variables;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        std::size_t equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    variables.erase("KORVEL_DEBUG_OUTPUT");
    variables["TALVOCTL_USER"] = "admin";
    variables["TALVOCTL_PASSWORD"] = "pelun";
    variables["TALVOCTL_WAIT"] = "30"; // device states settle long before on a quiet machine
    for (const auto &[name, value] : changes) {
        if (value.empty()) {
            variables.erase(name);
        } else {
            variables[name] = value;
        }
    }
    std::vector<std::string> list;
    for (const auto &[name, value] : variables) list.push_back(name + "=" + value);
    return list;
}

std::vector<char *> Pointers(std::vector<std::string> &texts) {
    std::vector<char *> pointers;
    for (std::string &text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads the descriptors until both end or the deadline passes.
void Drain(int out_fd, int err_fd, RunResult &run, std::chrono::steady_clock::time_point deadline) {
    pollfd watched[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string *targets[2] = {&run.out, &run.err};
    int open = err_fd >= 0 ? 2 : 1;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(watched, 2, 200) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd < 0 || !(watched[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            ssize_t got = read(watched[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(got));
            } else {
                watched[i].fd = -1;
                --open;
            }
        }
    }
}

int Reap(pid_t pid, std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

JsonPtr ParseJson(const std::string &text) {
    JsonPtr document(cJSON_Parse(text.c_str()), cJSON_Delete);
    EXPECT_NE(document, nullptr) << "no JSON: " << text;
    return document;
}

std::string Text(const cJSON *object, const char *key) {
    const cJSON *item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsString(item) ? item->valuestring : "";
}

std::string Describe(const RunResult &run) {
    return "exit status " + std::to_string(run.status) + "\n--- stdout\n" + run.out + "--- stderr\n" + run.err;
}

TalvoctlTest::TalvoctlTest() : fleet_(korvel::testing::QuickFleetOptions(true)) { fleet_.Start(); }

TalvoctlTest::~TalvoctlTest() { fleet_.Stop(); }

talvo_sim::ReceiverConfig TalvoctlTest::AddReceiver(int index, const std::string &model, const std::string &state,
                                                     std::uint32_t run_time) {
    char mac[32], address[32];
    std::snprintf(mac, sizeof mac, "02:54:56:00:60:%02X", index);
    std::snprintf(address, sizeof address, "127.0.60.%d", index);
    talvo_sim::ReceiverConfig receiver;
    receiver.mac = mac;
    receiver.address = address;
    receiver.model = model;
    receiver.state = state;
    receiver.run_time = run_time;
    receiver.settings[talvo_sim::kNetSettings]["wifi_ssid"] = "Room " + std::to_string(index);
    fleet_.Add(receiver);
    return receiver;
}

void TalvoctlTest::Manage(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    std::string devices;
    for (const auto &r : receivers) {
        if (!devices.empty()) devices += ",";
        devices += R"({"Wifi_SSID":"","Wired_IpAddr":")" + r.address + R"(","Device_Type":")" + r.model +
                   R"(","Device_Ver":"","Wired_MacAddr":")" + r.mac +
                   R"(","Device_UserName":"TALVO","Device_PwdMd5":"","Device_Alias":"","Device_Group":""})";
    }
    folder_.Write("DevsInfo.ini", R"({"DevOperateUserName":"TALVO","DevOperatePwdMd5":")" +
                                      talvo_sim::Md5Hex("WQZNE847") + R"(","Dev_Num":)" +
                                      std::to_string(receivers.size()) + R"(,"Devices":[)" + devices + "]}");
}

RunResult TalvoctlTest::Run(const std::vector<std::string> &args, const std::map<std::string, std::string> &env) {
    std::vector<std::string> argv_texts{TALVOCTL_PROGRAM};
    argv_texts.insert(argv_texts.end(), args.begin(), args.end());
    std::vector<std::string> env_texts = Environment(env);
    int out[2], err[2];
    RunResult run;
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.Path().c_str());
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, TALVOCTL_PROGRAM, &actions, nullptr, Pointers(argv_texts).data(),
                              Pointers(env_texts).data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (spawned == 0) {
        auto deadline = std::chrono::steady_clock::now() + kRunLimit;
        Drain(out[0], err[0], run, deadline);
        run.status = Reap(pid, deadline);
    }
    close(out[0]);
    close(err[0]);
    return run;
}

RunResult TalvoctlTest::RunOnTerminal(const std::vector<std::string> &args) {
    std::vector<std::string> argv_texts{TALVOCTL_PROGRAM};
    argv_texts.insert(argv_texts.end(), args.begin(), args.end());
    std::vector<std::string> env_texts = Environment({{"TERM", "xterm"}});
    std::vector<char *> argv = Pointers(argv_texts), envp = Pointers(env_texts);
    std::string folder = folder_.Path().string();
    RunResult run;
    int terminal = -1;
    winsize size{};
    size.ws_col = 120;
    size.ws_row = 40;
    pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid < 0) return run;
    if (pid == 0) {
        if (chdir(folder.c_str()) == 0) execve(TALVOCTL_PROGRAM, argv.data(), envp.data());
        _exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    Drain(terminal, -1, run, deadline); // a pseudo-terminal's end reads as an error
    run.status = Reap(pid, deadline);
    close(terminal);
    return run;
}

} // namespace talvoctl_test
