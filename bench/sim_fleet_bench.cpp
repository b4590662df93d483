// Scale of talvo-receiver-sim: one process serving N receivers (default
// 1,000) answers one "SearchDevice" from all of them, then state queries at
// one per receiver every 5 s (each on a fresh connection, as the library's
// state refresh makes them), then as many state queries as 64 clients at a
// time can get. Prints requests per second served, latency, the simulator's
// CPU share and memory.
//
//   scripts/testnet build/bench/sim_fleet_bench [--count N] [--seconds S]
#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "sim_process.h"
#include "talvo_sim/fleet.h"
#include "testnet_guard.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;

struct Settings {
    int count = 1000;
    int seconds = 30;
};

// Sends one "SearchDevice" and counts distinct answering receivers.
void MeasureSearch(int count) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int on = 1, buffer_size = 8 * 1024 * 1024;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer_size, sizeof buffer_size);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(50000);
    bind(fd, reinterpret_cast<sockaddr *>(&any), sizeof any);
    ip_mreq membership{};
    inet_pton(AF_INET, "224.0.1.2", &membership.imr_multiaddr);
    setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership);
    sockaddr_in group = any;
    group.sin_addr = membership.imr_multiaddr;
    const std::string request =
        R"({"MsgName":"SearchDevice","Device_Type":"DeviceManagerSoftware","Odm_Name":"TALVO","Product_Id":"KARVEN"})";
    auto start = Clock::now();
    sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group);
    std::set<std::string> answered;
    while (static_cast<int>(answered.size()) < count && Clock::now() - start < std::chrono::seconds(10)) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        char text[2048];
        ssize_t n = recv(fd, text, sizeof text - 1, 0);
        if (n <= 0) continue;
        text[n] = '\0';
        if (std::strstr(text, "\"SearchDeviceAck\"") == nullptr) continue;
        const char *mac = std::strstr(text, "\"Wired_MacAddr\":\"");
        if (mac != nullptr) answered.insert(std::string(mac + 17, 17));
    }
    double seconds = duration<double>(Clock::now() - start).count();
    std::printf("search:  %zu of %d receivers answered one SearchDevice within %.2f s\n", answered.size(), count,
                seconds);
    close(fd);
}

size_t Discard(char *, size_t size, size_t count, void *) { return size * count; }

struct QueryStats {
    long ok = 0, failed = 0;
    std::vector<double> latencies_ms;
};

CURL *StateQuery(const std::string &address) {
    CURL *curl = curl_easy_init();
    std::string url = "http://" + address + "/do?action=read&section=dev_state";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 3L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Discard);
    return curl;
}

// Runs state queries: `next_due` gives, for a finished or first query of slot
// i, when its next one starts (or a time after `end` for none).
template <typename NextDue>
QueryStats RunQueries(const std::vector<std::string> &addresses, std::size_t slots, Clock::time_point end,
                      NextDue next_due) {
    QueryStats stats;
    CURLM *multi = curl_multi_init();
    struct Slot {
        CURL *curl = nullptr;
        Clock::time_point due, started;
        std::size_t target = 0;
    };
    std::vector<Slot> slot(slots);
    for (std::size_t i = 0; i < slots; ++i) slot[i].due = next_due(i, Clock::now(), true, slot[i].target);
    for (;;) {
        auto now = Clock::now();
        bool busy = false;
        for (std::size_t i = 0; i < slots; ++i) {
            if (slot[i].curl == nullptr && now >= slot[i].due && now < end) {
                slot[i].curl = StateQuery(addresses[slot[i].target % addresses.size()]);
                curl_easy_setopt(slot[i].curl, CURLOPT_PRIVATE, reinterpret_cast<void *>(i));
                slot[i].started = now;
                curl_multi_add_handle(multi, slot[i].curl);
            }
            busy |= slot[i].curl != nullptr;
        }
        if (!busy && now >= end) break;
        int running = 0;
        curl_multi_perform(multi, &running);
        CURLMsg *message;
        int left;
        while ((message = curl_multi_info_read(multi, &left)) != nullptr) {
            if (message->msg != CURLMSG_DONE) continue;
            void *index = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &index);
            Slot &s = slot[reinterpret_cast<std::size_t>(index)];
            long status = 0;
            curl_easy_getinfo(message->easy_handle, CURLINFO_RESPONSE_CODE, &status);
            (message->data.result == CURLE_OK && status == 200 ? stats.ok : stats.failed)++;
            stats.latencies_ms.push_back(duration<double, std::milli>(Clock::now() - s.started).count());
            curl_multi_remove_handle(multi, s.curl);
            curl_easy_cleanup(s.curl);
            s.curl = nullptr;
            s.due = next_due(reinterpret_cast<std::size_t>(index), Clock::now(), false, s.target);
        }
        curl_multi_poll(multi, nullptr, 0, 5, nullptr);
    }
    curl_multi_cleanup(multi);
    return stats;
}

void Report(const char *phase, const QueryStats &stats, double seconds, double cpu_seconds) {
    std::vector<double> l = stats.latencies_ms;
    std::sort(l.begin(), l.end());
    auto at = [&](double q) { return l.empty() ? 0.0 : l[static_cast<std::size_t>(q * (l.size() - 1))]; };
    std::printf("%s %ld answered, %ld failed in %.1f s: %.0f requests/s; latency p50 %.2f ms, p99 %.2f ms, "
                "max %.2f ms; simulator CPU %.0f%% of one core\n",
                phase, stats.ok, stats.failed, seconds, stats.ok / seconds, at(0.5), at(0.99), at(1.0),
                100.0 * cpu_seconds / seconds);
}

} // namespace

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    korvel::bench::RaiseOpenFileLimit();
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0) settings.count = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--seconds") == 0) settings.seconds = std::atoi(argv[i + 1]);
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::vector<std::string> addresses;
    for (const auto &r : talvo_sim::GenerateFleet(settings.count, "mixed", "127.1.0.1")) addresses.push_back(r.address);

    auto start = Clock::now();
    korvel::bench::SimulatorProcess simulator(
        {"--count", std::to_string(settings.count), "--base", "127.1.0.1", "--quiet"});
    if (!simulator.WaitReady()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    std::printf("start:   %d receivers serving after %.2f s; memory %ld KiB resident\n", settings.count,
                duration<double>(Clock::now() - start).count(), simulator.StatusKb("VmRSS"));

    MeasureSearch(settings.count);

    // One query per receiver every 5 s, spread evenly over the period.
    const auto period = std::chrono::seconds(5);
    double cpu = simulator.CpuSeconds();
    auto phase_start = Clock::now();
    QueryStats steady = RunQueries(addresses, addresses.size(), phase_start + std::chrono::seconds(settings.seconds),
                                   [&](std::size_t i, Clock::time_point now, bool first,
                                       std::size_t &target) -> Clock::time_point {
                                       target = i;
                                       if (!first) return now + period;
                                       return now + std::chrono::duration_cast<Clock::duration>(
                                                        period * static_cast<double>(i) / addresses.size());
                                   });
    double steady_seconds = duration<double>(Clock::now() - phase_start).count();
    Report("steady: ", steady, steady_seconds, simulator.CpuSeconds() - cpu);

    // As fast as 64 clients at a time get answers, round the fleet.
    std::size_t next_target = 0;
    cpu = simulator.CpuSeconds();
    phase_start = Clock::now();
    QueryStats burst = RunQueries(addresses, 64, phase_start + std::chrono::seconds(10),
                                  [&](std::size_t, Clock::time_point now, bool, std::size_t &target) {
                                      target = next_target++;
                                      return now;
                                  });
    double burst_seconds = duration<double>(Clock::now() - phase_start).count();
    Report("burst:  ", burst, burst_seconds, simulator.CpuSeconds() - cpu);

    std::printf("memory:  %ld KiB resident now, %ld KiB at most (%.1f KiB per receiver)\n",
                simulator.StatusKb("VmRSS"), simulator.StatusKb("VmHWM"),
                static_cast<double>(simulator.StatusKb("VmHWM")) / settings.count);
    int status = simulator.Stop();
    std::printf("stop:    exit status %d\n", status);
    curl_global_cleanup();
    return status == 0 && steady.failed == 0 ? 0 : 1;
}
