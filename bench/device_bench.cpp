// The device client against one simulated receiver:
//   - a 15 MB system image uploaded by the library, and by `curl -T` to the
//     same receiver in the same run (the library should stay within 1.5x);
//   - GetNetConfig-sized requests on the kept-alive persistent handle against
//     fresh handles, which connect anew each time.
// Run: scripts/testnet build/bench/device_bench
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "core/digest.h"
#include "core/text.h"
#include "device/device.h"
#include "device/models.h"
#include "platform/http_library.h"
#include "talvo_sim/fleet.h"

namespace {

constexpr const char *kMac = "02:54:56:00:20:01";
constexpr const char *kAddress = "127.0.20.1";
constexpr size_t kImageSize = 15 << 20;

// One receiver, one logged-in device and a 15 MB image for the whole run.
struct Bench {
    Bench() {
        korvel::platform::StartHttpLibrary();
        talvo_sim::FleetOptions options;
        options.announce_on_add = false;
        options.join_group = false;
        fleet = std::make_unique<talvo_sim::Fleet>(options);
        fleet->Start();
        talvo_sim::ReceiverConfig receiver;
        receiver.mac = kMac;
        receiver.address = kAddress;
        fleet->Add(receiver);

        DeviceInfo info{};
        korvel::CopyText(info.Wired_MacAddr, kMac);
        korvel::CopyText(info.Wired_IpAddr, kAddress);
        korvel::CopyText(info.Device_Type, receiver.model.c_str());
        password = talvo_sim::Md5Hex("WQZNE847");
        device = std::make_unique<korvel::Device>(korvel::ModelIndex(info.Device_Type), info, "TALVO",
                                                  password.c_str());
        if (device->Login("TALVO", password.c_str()) != 0) std::abort();

        folder = std::filesystem::temp_directory_path() / ("korvel-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        image = (folder / "upgrade-JX-TALVO.tar.lzma").string();
        std::string content(kImageSize, '\0');
        std::mt19937 generator(7);
        for (auto &byte : content) byte = static_cast<char>(generator());
        std::ofstream(image, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        md5 = talvo_sim::Md5Hex(content);
    }
    ~Bench() {
        device.reset();
        fleet->Stop();
        std::filesystem::remove_all(folder);
    }

    std::unique_ptr<talvo_sim::Fleet> fleet;
    std::unique_ptr<korvel::Device> device;
    std::string password;
    std::filesystem::path folder;
    std::string image;
    std::string md5;
};

Bench &Shared() {
    static Bench bench;
    return bench;
}

void UploadWithLibrary(benchmark::State &state) {
    Bench &b = Shared();
    for (auto _ : state) {
        if (b.device->SystemUpdate(nullptr, 0, 2, b.image.c_str(), b.md5.c_str()) != 0) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}

// The same file to the same receiver by the curl program: a PUT of the raw
// file with the session cookie (the receiver then refuses the body as no
// form, after it has received all of it).
void UploadWithCurlTool(benchmark::State &state) {
    Bench &b = Shared();
    const std::string url = std::string("http://") + kAddress + "/do?action=upload&section=filesystem_update&md5=" + b.md5;
    const std::string cookie = b.device->Cookie();
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            execlp("curl", "curl", "-s", "-o", "/dev/null", "--noproxy", "*", "-b", cookie.c_str(), "-T",
                   b.image.c_str(), url.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}

void NetConfigRead(benchmark::State &state, bool fresh) {
    Bench &b = Shared();
    const std::string host = b.device->HostText();
    const std::string path = "/do?action=read&section=net_settings";
    const std::string cookie = b.device->Cookie();
    for (auto _ : state) {
        korvel::HttpResponse response;
        if (b.device->HttpGet(host, path, cookie.c_str(), response, fresh, 20) != 0 || response.status_code != 200) {
            state.SkipWithError("request failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void NetConfigPersistentHandle(benchmark::State &state) { NetConfigRead(state, false); }
void NetConfigFreshHandles(benchmark::State &state) { NetConfigRead(state, true); }

// The whole request family on the persistent handle: query, answer, record.
void GetNetConfig(benchmark::State &state) {
    Bench &b = Shared();
    for (auto _ : state) {
        NetConfig config{};
        if (b.device->GetNetConfig(config) != 0) {
            state.SkipWithError("GetNetConfig failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

} // namespace

BENCHMARK(UploadWithLibrary)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(UploadWithCurlTool)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(NetConfigPersistentHandle)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(NetConfigFreshHandles)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(GetNetConfig)->Unit(benchmark::kMicrosecond)->UseRealTime();
