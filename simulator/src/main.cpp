// talvo-receiver-sim: a fleet of simulated TALVO receivers in one process.
// Runs only inside scripts/testnet. Reads control commands on standard input
// and stops cleanly on SIGINT or SIGTERM.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "talvo_sim/fleet.h"
#include "testnet_guard.h"

namespace {

constexpr const char *kUsage =
    "usage: talvo-receiver-sim [--fleet FILE] [--count N] [--models mixed|MODEL] [--base 127.x.y.z]\n"
    "                          [--reboot-ms N] [--install-ms N] [--log-limit N] [--lively] [--quiet]\n"
    "Serves simulated receivers, each on its own address (HTTP :80, command :50012), with\n"
    "discovery on 224.0.1.2:50000. Control commands on standard input ('help' lists them).\n"
    "--lively lets receivers start and end casts by themselves, with senders in host mode.\n"
    "Run it inside the private test network: scripts/testnet talvo-receiver-sim ...\n";

struct Options {
    std::string fleet_file;
    int count = -1;
    std::string models = "mixed";
    std::string base = "127.1.0.1";
    talvo_sim::FleetOptions fleet;
    bool quiet = false;
    Options() { fleet.request_log_limit = 50; } // a long-running fleet keeps only recent requests
};

bool ParseOptions(int argc, char **argv, Options &options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--fleet") options.fleet_file = value();
        else if (arg == "--count") options.count = std::stoi(value());
        else if (arg == "--models") options.models = value();
        else if (arg == "--base") options.base = value();
        else if (arg == "--reboot-ms") options.fleet.reboot_time = std::chrono::milliseconds(std::stoi(value()));
        else if (arg == "--install-ms") options.fleet.install_time = std::chrono::milliseconds(std::stoi(value()));
        else if (arg == "--log-limit") options.fleet.request_log_limit = static_cast<std::size_t>(std::stoul(value()));
        else if (arg == "--lively") options.fleet.activity_interval = std::chrono::seconds(7);
        else if (arg == "--quiet") options.quiet = true;
        else if (arg == "--help" || arg == "-h") return false;
        else throw std::invalid_argument("unknown option " + arg);
    }
    if (options.fleet_file.empty() && options.count < 0) throw std::invalid_argument("give --fleet FILE or --count N");
    return true;
}

std::vector<talvo_sim::ReceiverConfig> LoadFleet(const Options &options) {
    std::vector<talvo_sim::ReceiverConfig> receivers;
    if (!options.fleet_file.empty()) {
        std::ifstream file(options.fleet_file, std::ios::binary);
        if (!file) throw std::runtime_error("cannot read " + options.fleet_file);
        std::stringstream text;
        text << file.rdbuf();
        receivers = talvo_sim::ParseFleetDescription(text.str());
    }
    if (options.count >= 0) {
        auto generated = talvo_sim::GenerateFleet(options.count, options.models, options.base);
        receivers.insert(receivers.end(), generated.begin(), generated.end());
    }
    return receivers;
}

// Blocks SIGINT and SIGTERM in every thread and hands them out as a descriptor.
int SignalDescriptor() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

void Serve(talvo_sim::Fleet &fleet, int signals) {
    pollfd watched[2] = {{signals, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    std::string pending;
    for (;;) {
        int count = watched[1].fd >= 0 ? 2 : 1;
        if (poll(watched, static_cast<nfds_t>(count), -1) < 0) continue;
        if (watched[0].revents & POLLIN) return;
        if (count < 2 || !(watched[1].revents & (POLLIN | POLLHUP))) continue;
        char buffer[4096];
        ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            watched[1].fd = -1; // input ended: serve on until a signal
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string reply = talvo_sim::RunControlCommand(fleet, pending.substr(0, end));
            pending.erase(0, end + 1);
            if (!reply.empty()) std::cout << reply << std::endl;
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork("talvo-receiver-sim");
    Options options;
    try {
        if (!ParseOptions(argc, argv, options)) {
            std::cout << kUsage;
            return 0;
        }
        int signals = SignalDescriptor();
        auto receivers = LoadFleet(options);
        talvo_sim::Fleet fleet(options.fleet);
        fleet.Start();
        for (const auto &receiver : receivers) {
            fleet.Add(receiver);
            if (!options.quiet) {
                std::cout << receiver.mac << ' ' << receiver.model << ' ' << receiver.address << '\n';
            }
        }
        std::cout << "talvo-receiver-sim: serving " << receivers.size()
                  << " receivers (HTTP port 80, command port 50012, discovery 224.0.1.2:50000); "
                     "commands on standard input, 'help' lists them"
                  << std::endl;
        Serve(fleet, signals);
        fleet.Stop();
        std::cout << "talvo-receiver-sim: stopped" << std::endl;
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "talvo-receiver-sim: %s\n%s", error.what(), kUsage);
        return 2;
    }
}
