// The main window at fleet size: 1,000 simulated receivers, all managed and
// online, fill the list; the benchmarks time the display refresh of timer 2
// (rows, state column, counters), a page fill and a sort. Run it with
//   scripts/testnet build/bench/controller_bench
#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/qm_dlg.h"
#include "korvel.h"
#include "talvo_sim/fleet.h"
#include "testnet_guard.h"

namespace {

constexpr int kDevices = 1000;

// The fleet, the library's store in a fresh folder, and one logged-in main
// window, set up once for all benchmarks.
struct Desk {
    std::filesystem::path folder;
    talvo_sim::Fleet fleet;
    std::unique_ptr<talvo::CQMDlg> window;

    Desk() {
        std::string pattern = (std::filesystem::temp_directory_path() / "controller-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        std::filesystem::current_path(folder);
        fleet.Start();
        std::string store = "{\"DevOperateUserName\":\"TALVO\",\"DevOperatePwdMd5\":\"" +
                            talvo_sim::Md5Hex("WQZNE847") + "\",\"Dev_Num\":" + std::to_string(kDevices) +
                            ",\"Devices\":[";
        auto receivers = talvo_sim::GenerateFleet(kDevices, "mixed", "127.30.0.1");
        for (std::size_t i = 0; i < receivers.size(); ++i) {
            if (i % 4 == 0) receivers[i].state = "share";
            receivers[i].run_time = static_cast<std::uint32_t>(600 + i * 7919);
            fleet.Add(receivers[i]);
            store += std::string(i ? "," : "") + "{\"Wired_IpAddr\":\"" + receivers[i].address +
                     "\",\"Device_Type\":\"" + receivers[i].model + "\",\"Wired_MacAddr\":\"" + receivers[i].mac +
                     "\",\"Device_Ver\":\"" + receivers[i].model + "-V2.1.0\"}";
        }
        FILE *file = std::fopen("DevsInfo.ini", "w");
        std::fputs((store + "]}").c_str(), file);
        std::fclose(file);
        ZR_QM_Init();
        ZR_QM_Login("admin", "pelun");
        WaitUntilOnline(receivers);
        window = std::make_unique<talvo::CQMDlg>();
        window->StateTimer().stop();
        window->DisplayTimer().stop();
    }

    ~Desk() {
        window.reset();
        ZR_QM_DeInit();
        fleet.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    static void WaitUntilOnline(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        for (;;) {
            ZR_QM_UpdateAllDeviceState();
            DeviceStatistics statistics{};
            ZR_QM_GetDevStatistics(&statistics);
            if (statistics.online_num + statistics.share_num == receivers.size()) return;
            if (std::chrono::steady_clock::now() > deadline) {
                std::fprintf(stderr, "controller_bench: the fleet did not come online\n");
                std::exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
};

// Made in main and gone before the application object goes.
std::unique_ptr<Desk> desk;

Desk &TheDesk() { return *desk; }

// Timer 2's display refresh over 1,000 rows.
void BM_DisplayRefresh(benchmark::State &state) {
    talvo::CQMDlg &window = *TheDesk().window;
    for (auto _ : state) window.RefreshDisplay();
    state.counters["rows"] = window.DeviceList().rowCount();
}
BENCHMARK(BM_DisplayRefresh)->Unit(benchmark::kMillisecond);

// The same refresh when every state cell has to be written (right after a fill).
void BM_DisplayRefreshOfNewRows(benchmark::State &state) {
    talvo::CQMDlg &window = *TheDesk().window;
    for (auto _ : state) {
        state.PauseTiming();
        window.FillPage(talvo::CQMDlg::Page::First);
        state.ResumeTiming();
        window.RefreshDisplay();
    }
}
BENCHMARK(BM_DisplayRefreshOfNewRows)->Unit(benchmark::kMillisecond);

// Selecting a tree node: a page fill of 1,000 rows and their state column.
void BM_PageFill(benchmark::State &state) {
    talvo::CQMDlg &window = *TheDesk().window;
    for (auto _ : state) {
        window.FillPage(talvo::CQMDlg::Page::First);
        window.RefreshStateColumn();
    }
}
BENCHMARK(BM_PageFill)->Unit(benchmark::kMillisecond);

// A click on the "IP地址" header, which reverses the order each time.
void BM_SortByAddress(benchmark::State &state) {
    talvo::CQMDlg &window = *TheDesk().window;
    for (auto _ : state) window.OnHeaderClicked(talvo::DeviceListModel::kIpColumn);
}
BENCHMARK(BM_SortByAddress)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    desk = std::make_unique<Desk>();
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    desk.reset();
    return 0;
}
