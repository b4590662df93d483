// The library's operations at fleet size, against talvo-receiver-sim in a
// child process (so this process's CPU time and memory are the library's):
//
//   1. state refresh of 1,000 receivers of which 250 do not answer (half of
//      them accept connections and never answer, half refuse): one round's
//      wall time, then a minute of rounds every 5 s with the library's CPU
//      share and peak memory;
//   2. ZR_QM_BatchDeviceReboot over 1,000 online receivers;
//   3. ZR_QM_BatchSetDeviceScreen of a 1 MB image to 200 receivers, beside
//      one single upload times 200.
//
//   scripts/testnet build/bench/operations_bench [--count N] [--silent N] [--minute S]
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/api_frame.h"
#include "korvel.h"
#include "sim_process.h"
#include "talvo_sim/fleet.h"
#include "testnet_guard.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::duration;

struct Settings {
    int count = 1000;
    int silent = 250;   // receivers that do not answer
    int minute = 60;    // seconds of 5-second rounds
    int screens = 200;  // receivers of the screen batch
};

constexpr auto kPeriod = std::chrono::seconds(5);

double Seconds(Clock::time_point since) { return duration<double>(Clock::now() - since).count(); }

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long OwnStatusKb(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(std::string(field) + ":", 0) == 0) return std::stol(line.substr(std::strlen(field) + 1));
    return -1;
}

// The device store the library starts with: the whole fleet, managed.
void WriteDeviceStore(const std::vector<talvo_sim::ReceiverConfig> &fleet) {
    std::string text = R"({"DevOperateUserName":"TALVO","DevOperatePwdMd5":")" + talvo_sim::Md5Hex("WQZNE847") +
                       R"(","Dev_Num":)" + std::to_string(fleet.size()) + R"(,"Devices":[)";
    for (size_t i = 0; i < fleet.size(); ++i) {
        const talvo_sim::ReceiverConfig &r = fleet[i];
        text += (i ? "," : "") + std::string(R"({"Wifi_SSID":"","Wired_IpAddr":")") + r.address +
                R"(","Device_Type":")" + r.model + R"(","Device_Ver":"","Wired_MacAddr":")" + r.mac +
                R"(","Device_UserName":"","Device_PwdMd5":"","Device_Alias":"","Device_Group":""})";
    }
    std::ofstream("DevsInfo.ini") << text << "]}";
}

std::vector<ZR_QM_MacText> MacList(const std::vector<talvo_sim::ReceiverConfig> &fleet, size_t count) {
    std::vector<ZR_QM_MacText> macs(count);
    for (size_t i = 0; i < count; ++i) std::snprintf(macs[i], sizeof macs[i], "%s", fleet[i].mac.c_str());
    return macs;
}

// Logs the devices in, 32 at a time; returns how many succeeded.
int LogIn(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    std::atomic<size_t> next{0};
    std::atomic<int> ok{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 32; ++t) {
        threads.emplace_back([&] {
            for (size_t i = next++; i < receivers.size(); i = next++)
                if (ZR_QM_LoginDevice(receivers[i].mac.c_str(), nullptr, nullptr) == 0) ++ok;
        });
    }
    for (std::thread &thread : threads) thread.join();
    return ok.load();
}

int RefreshesRunning() {
    int running = 0;
    for (const auto &device : korvel::CurrentManagerUnlocked()->Managed().Devices())
        if (device->RefreshRunning()) ++running;
    return running;
}

DeviceStatistics Statistics() {
    DeviceStatistics statistics{};
    ZR_QM_GetDevStatistics(&statistics);
    return statistics;
}

struct Round {
    int started = 0;        // refreshes this round started
    double call_ms = 0;     // ZR_QM_UpdateAllDeviceState itself
    double done_ms = 0;     // until only the hanging refreshes were left
    int hanging = 0;        // refreshes still waiting for a silent receiver then
};

// One round: starts the refreshes and waits until no more than `hanging_at_most`
// are running (the receivers that never answer), or the period is over.
Round RefreshRound(int hanging_at_most) {
    Round round;
    const int devices = static_cast<int>(korvel::CurrentManagerUnlocked()->Managed().Count());
    round.started = devices - RefreshesRunning(); // a device whose refresh still runs is left out
    auto start = Clock::now();
    ZR_QM_UpdateAllDeviceState();
    round.call_ms = Seconds(start) * 1000;
    while ((round.hanging = RefreshesRunning()) > hanging_at_most && Clock::now() - start < kPeriod)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    round.done_ms = Seconds(start) * 1000;
    return round;
}

void MeasureRefresh(const Settings &settings, korvel::bench::SimulatorProcess &simulator,
                    const std::vector<talvo_sim::ReceiverConfig> &fleet) {
    // Every fourth receiver is silent: the first half of them hang, the rest refuse.
    std::vector<std::string> commands;
    std::vector<talvo_sim::ReceiverConfig> answering;
    int silent = 0, hanging = 0;
    for (size_t i = 0; i < fleet.size(); ++i) {
        if (i % 4 == 3 && silent < settings.silent) {
            bool hang = silent++ < settings.silent / 2;
            hanging += hang ? 1 : 0;
            commands.push_back(std::string(hang ? "unresponsive " : "offline ") + fleet[i].mac);
        } else {
            answering.push_back(fleet[i]);
        }
    }
    simulator.Commands(commands);
    std::printf("refresh: %zu receivers answer, %d accept and never answer, %d refuse; %d logged in\n",
                answering.size(), hanging, silent - hanging, LogIn(answering));

    double cpu = CpuSeconds();
    Round first = RefreshRound(hanging);
    DeviceStatistics online = Statistics();
    std::printf("refresh: first round (devices come online, identity read again): %d refreshes started, call "
                "%.1f ms, all but %d done after %.0f ms; %u online, %u offline; library CPU %.2f s\n",
                first.started, first.call_ms, first.hanging, first.done_ms, online.online_num + online.share_num,
                online.offline_num, CpuSeconds() - cpu);

    std::this_thread::sleep_for(kPeriod - std::chrono::milliseconds(static_cast<long>(first.done_ms)));
    const int rounds = settings.minute / 5;
    cpu = CpuSeconds();
    auto start = Clock::now();
    double worst_ms = 0;
    int fewest = settings.count, most = 0;
    for (int r = 0; r < rounds; ++r) {
        auto due = start + kPeriod * (r + 1);
        Round round = RefreshRound(hanging);
        worst_ms = std::max(worst_ms, round.done_ms);
        fewest = std::min(fewest, round.started);
        most = std::max(most, round.started);
        std::this_thread::sleep_until(due);
    }
    double wall = Seconds(start), used = CpuSeconds() - cpu;
    std::printf("refresh: %d rounds every 5 s over %.0f s: %d to %d refreshes started per round (hanging ones "
                "are left out until theirs ends), the slowest round's answering refreshes done after %.0f ms "
                "(goal: within 5000 ms)\n",
                rounds, wall, fewest, most, worst_ms);
    std::printf("refresh: library CPU %.2f s in %.0f s = %.1f%% of one core (goal: under 25%%); peak memory "
                "%ld KiB resident, %ld KiB now\n",
                used, wall, 100 * used / wall, OwnStatusKb("VmHWM"), OwnStatusKb("VmRSS"));

    commands.clear();
    for (size_t i = 0; i < fleet.size(); ++i)
        if (i % 4 == 3) commands.push_back("back " + fleet[i].mac);
    simulator.Commands(commands);
}

void MeasureBatchReboot(const std::vector<talvo_sim::ReceiverConfig> &fleet) {
    int logged_in = LogIn(fleet);
    auto wait_start = Clock::now();
    while (Statistics().online_num + Statistics().share_num < fleet.size() && Seconds(wait_start) < 60) {
        RefreshRound(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::vector<ZR_QM_MacText> macs = MacList(fleet, fleet.size());
    double cpu = CpuSeconds();
    auto start = Clock::now();
    int result = ZR_QM_BatchDeviceReboot(macs.data(), static_cast<unsigned>(macs.size()));
    double seconds = Seconds(start);
    std::printf("reboot:  ZR_QM_BatchDeviceReboot over %zu online receivers (%d logged in): result %d in %.2f s "
                "(goal: under 2 s); library CPU %.2f s\n",
                macs.size(), logged_in, result, seconds, CpuSeconds() - cpu);
}

// The time of one single upload times the number of receivers, beside the batch.
void CompareScreenUploads(const char *receivers_kind, const std::vector<talvo_sim::ReceiverConfig> &targets) {
    constexpr int kSingles = 5;
    auto start = Clock::now();
    for (int i = 0; i < kSingles; ++i) ZR_QM_SetDeviceScreen(targets[i].mac.c_str(), 1, "screen.jpg");
    double single = Seconds(start) / kSingles;
    std::vector<ZR_QM_MacText> macs = MacList(targets, targets.size());
    double cpu = CpuSeconds();
    start = Clock::now();
    int result = ZR_QM_BatchSetDeviceScreen(macs.data(), static_cast<unsigned>(macs.size()), 1, "screen.jpg");
    double batch = Seconds(start);
    std::printf("screens: %s: one 1 MB upload %.1f ms, times %zu = %.2f s; ZR_QM_BatchSetDeviceScreen to %zu: "
                "result %d in %.2f s (%.1fx the speed); library CPU %.2f s\n",
                receivers_kind, single * 1000, targets.size(), single * targets.size(), targets.size(), result, batch,
                single * targets.size() / batch, CpuSeconds() - cpu);
}

void MeasureScreens(const Settings &settings, korvel::bench::SimulatorProcess &simulator,
                    const std::vector<talvo_sim::ReceiverConfig> &fleet) {
    std::vector<talvo_sim::ReceiverConfig> targets(fleet.begin(), fleet.begin() + settings.screens);
    // The reboot ended the sessions: wait until the receivers are back and log in again.
    auto wait_start = Clock::now();
    int logged_in = 0;
    while ((logged_in = LogIn(targets)) < settings.screens && Seconds(wait_start) < 60)
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("screens: %d of %d receivers logged in\n", logged_in, settings.screens);
    std::string image(1 << 20, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 + 7);
    std::ofstream("screen.jpg", std::ios::binary) << image;

    // All simulated receivers share one event loop on this machine, so raw
    // uploads measure the simulator's throughput more than the library's.
    CompareScreenUploads("receivers that store at once", targets);
    // Receivers of their own take their time to store an image.
    std::vector<std::string> commands;
    for (const auto &target : targets) commands.push_back("fault " + target.mac + " upload delay 100");
    simulator.Commands(commands);
    CompareScreenUploads("receivers taking 100 ms to store", targets);
}

} // namespace

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    korvel::bench::RaiseOpenFileLimit();
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0) settings.count = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--silent") == 0) settings.silent = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--minute") == 0) settings.minute = std::atoi(argv[i + 1]);
    }
    settings.screens = std::min(settings.screens, settings.count);
    const auto fleet = talvo_sim::GenerateFleet(settings.count, "mixed", "127.1.0.1");

    korvel::bench::SimulatorProcess simulator(
        {"--count", std::to_string(settings.count), "--base", "127.1.0.1", "--quiet", "--log-limit", "20"});
    if (!simulator.WaitReady()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    fs::path folder = fs::temp_directory_path() / ("operations_bench." + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    WriteDeviceStore(fleet);
    if (ZR_QM_Init() != 0) {
        std::fprintf(stderr, "the library did not start\n");
        return 1;
    }
    MeasureRefresh(settings, simulator, fleet);
    MeasureBatchReboot(fleet);
    MeasureScreens(settings, simulator, fleet);
    ZR_QM_DeInit();
    std::printf("simulator: %.1f s CPU in all, %ld KiB at most\n", simulator.CpuSeconds(),
                simulator.StatusKb("VmHWM"));
    simulator.Stop();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}
