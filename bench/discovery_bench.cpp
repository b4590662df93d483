// One search over a fleet of 1,000 simulated receivers: the search list is
// cleared, ZR_QM_SearchDevice sends one request, and every receiver answers.
// Reported per search: the receivers listed after 500 ms (found_500ms, goal:
// all 1,000) and after 2 s (found_2s), and the time from the request to the
// last answer handled (the manual time, last_answer_ms).
//
// The simulator paces its answers (50 every 5 ms). Real receivers answer all
// at once, so a second benchmark sends the 1,000 answers in one burst from a
// socket of its own. Each runs with the channel's raised receive buffer and
// with the system's usual one, to show what the raised buffer is for.
//
//   scripts/testnet build/bench/discovery_bench
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <vector>

#include "core/api_frame.h"
#include "korvel.h"
#include "platform/sockets.h"
#include "talvo_sim/fleet.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kReceivers = 1000;
constexpr int kUsualReceiveBuffer = 212992;     // net.core.rmem_default on a stock Linux
constexpr int kRaisedReceiveBuffer = 4 * 1024 * 1024; // what the channel asks for

// The fleet and a started library in a scratch folder, shared by both runs.
class SearchBench {
public:
    SearchBench() {
        std::string pattern = (fs::temp_directory_path() / "korvel-discovery-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern;
        fs::current_path(folder_);
        talvo_sim::FleetOptions options;
        options.announce_on_add = false;
        fleet_ = std::make_unique<talvo_sim::Fleet>(options);
        fleet_->Start();
        receivers_ = talvo_sim::GenerateFleet(kReceivers, "mixed", "127.1.0.1");
        for (const auto &receiver : receivers_) fleet_->Add(receiver);
        if (ZR_QM_Init() != 0) std::abort();
    }
    ~SearchBench() {
        ZR_QM_DeInit();
        fleet_.reset();
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(folder_);
    }

    static size_t Found() { return korvel::CurrentManagerUnlocked()->Search().Count(); }

    static void UseReceiveBuffer(bool raised) {
        int socket = korvel::CurrentManagerUnlocked()->Channel().channel.Socket();
        if (raised) {
            korvel::platform::RaiseReceiveBuffer(socket, kRaisedReceiveBuffer);
        } else {
            int bytes = kUsualReceiveBuffer;
            setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
        }
    }

    const std::vector<talvo_sim::ReceiverConfig> &Receivers() const { return receivers_; }

private:
    fs::path folder_;
    std::vector<talvo_sim::ReceiverConfig> receivers_;
    std::unique_ptr<talvo_sim::Fleet> fleet_;
};

SearchBench &Bench() {
    static SearchBench bench;
    return bench;
}

struct SearchResult {
    size_t found_500ms = 0;
    size_t found_2s = 0;
    double last_answer_seconds = 0;
};

// Polls the search list for 2 s after `start`.
SearchResult Watch(Clock::time_point start) {
    SearchResult result;
    size_t seen = 0;
    Clock::time_point last = start;
    while (Clock::now() - start < std::chrono::seconds(2)) {
        size_t found = SearchBench::Found();
        if (found != seen) {
            seen = found;
            last = Clock::now();
        }
        if (Clock::now() - start < std::chrono::milliseconds(500)) result.found_500ms = found;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    result.found_2s = SearchBench::Found();
    result.last_answer_seconds = std::chrono::duration<double>(last - start).count();
    return result;
}

SearchResult SearchOnce() {
    ZR_QM_ClearSearchDeviceList();
    const Clock::time_point start = Clock::now();
    if (ZR_QM_SearchDevice() != 0) std::abort();
    return Watch(start);
}

// Every receiver's answer, as the fleet would send it.
std::vector<std::string> AnswerTexts(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    std::vector<std::string> texts;
    for (const auto &r : receivers) {
        texts.push_back("{\"MsgName\":\"SearchDeviceAck\",\"Device_Type\":\"" + r.model +
                        "\",\"Odm_Name\":\"TALVO\",\"Product_Id\":\"KARVEN\",\"Wifi_SSID\":\"TALVO-" +
                        r.mac.substr(12, 2) + r.mac.substr(15, 2) + "\",\"Wired_IpAddr\":\"" + r.address +
                        "\",\"Wired_MacAddr\":\"" + r.mac + "\",\"Device_Ver\":\"" + r.model +
                        "-V2.1.0\",\"RunTime\":5000}");
    }
    return texts;
}

// The answers all at once, from one socket, as fast as the system takes them.
SearchResult BurstOnce(int socket, const std::vector<std::string> &answers) {
    ZR_QM_ClearSearchDeviceList();
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(50000);
    inet_pton(AF_INET, "224.0.1.2", &group.sin_addr);
    const Clock::time_point start = Clock::now();
    for (const std::string &text : answers)
        sendto(socket, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group);
    return Watch(start);
}

template <class Once>
void Run(benchmark::State &state, Once once) {
    Bench();
    const bool raised = state.range(0) != 0;
    SearchBench::UseReceiveBuffer(raised);
    size_t found_500ms = 0, found_2s = 0;
    double last_answer = 0;
    for (auto _ : state) {
        SearchResult result = once();
        found_500ms += result.found_500ms;
        found_2s += result.found_2s;
        last_answer += result.last_answer_seconds;
        state.SetIterationTime(result.last_answer_seconds);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["found_500ms"] = static_cast<double>(found_500ms) / runs;
    state.counters["found_2s"] = static_cast<double>(found_2s) / runs;
    state.counters["last_answer_ms"] = 1000.0 * last_answer / runs;
    state.SetLabel(raised ? "raised receive buffer" : "usual receive buffer");
    SearchBench::UseReceiveBuffer(true);
}

void BM_SearchThousandReceivers(benchmark::State &state) { Run(state, SearchOnce); }

void BM_BurstOfThousandAnswers(benchmark::State &state) {
    const std::vector<std::string> answers = AnswerTexts(Bench().Receivers());
    int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    int bytes = 8 * 1024 * 1024;
    setsockopt(socket, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    Run(state, [&] { return BurstOnce(socket, answers); });
    close(socket);
}

// With the raised receive buffer (1) and the usual one (0), five runs each.
void BufferRuns(benchmark::internal::Benchmark *runs) {
    runs->ArgName("raised_buffer")->Arg(1)->Arg(0)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_SearchThousandReceivers)->Apply(BufferRuns);
BENCHMARK(BM_BurstOfThousandAnswers)->Apply(BufferRuns);

} // namespace
