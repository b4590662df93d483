#include "sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace korvel::bench {

void RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

SimulatorProcess::SimulatorProcess(const std::vector<std::string> &arguments) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<const char *> argv{SIM_PROGRAM};
    for (const std::string &argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    int spawned = posix_spawn(&pid_, SIM_PROGRAM, &actions, nullptr, const_cast<char **>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " SIM_PROGRAM);
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) Stop();
    close(input_);
    close(output_);
}

bool SimulatorProcess::ReadLine(std::string &line) {
    for (;;) {
        size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        char buffer[4096];
        ssize_t got = read(output_, buffer, sizeof buffer);
        if (got <= 0) return false;
        pending_.append(buffer, static_cast<size_t>(got));
    }
}

bool SimulatorProcess::WaitReady() {
    std::string line;
    while (ReadLine(line))
        if (line.find("serving") != std::string::npos) return true;
    return false;
}

int SimulatorProcess::Commands(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    for (size_t written = 0; written < text.size();) {
        ssize_t n = write(input_, text.data() + written, text.size() - written);
        if (n <= 0) return 0;
        written += static_cast<size_t>(n);
    }
    int ok = 0;
    std::string reply;
    for (size_t answered = 0; answered < lines.size() && ReadLine(reply);) {
        if (reply == "ok") ++ok;
        if (reply == "ok" || reply.rfind("error", 0) == 0) ++answered;
    }
    return ok;
}

long SimulatorProcess::StatusKb(const std::string &field) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

double SimulatorProcess::CpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) fields >> skip;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int SimulatorProcess::Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace korvel::bench
