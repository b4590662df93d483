// Files for receivers: start-up and standby images, firmware packages and
// system updates (kernel, file system). Each file is checked against the
// receivers' models before anything is sent; installs are followed through
// the progress exports until they finish.
#include <sys/stat.h>

#include <korvel.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "common/command.h"
#include "common/device_jobs.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/file_rules.h"

namespace talvoctl {
namespace {

constexpr std::size_t kLongestPath = 1023; // the library's file contexts hold 1024 bytes
constexpr auto kProgressPoll = std::chrono::milliseconds(500);
constexpr int kProgressFailuresInARow = 3;
constexpr std::uint64_t kKernelLargest = 4u << 20, kFileSystemLargest = 15u << 20;

// The file's size; throws when it cannot be read. The path goes to the
// library as the file system names it (it is no record text).
std::uint64_t CheckedFile(const std::string &path) {
    if (path.size() > kLongestPath) throw ParameterFailure("the file path is longer than 1023 bytes");
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        throw Failure(ZR_QM_ERR_FILE_OPEN, path);
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in && !in.eof()) throw Failure(ZR_QM_ERR_FILE_READ, path);
    return content.str();
}

std::set<std::string> ModelsOf(const Targets &targets) {
    std::set<std::string> models;
    for (const DeviceInfo &device : targets.online) models.insert(FieldToUtf8(device.Device_Type));
    return models;
}

// The one model of the devices that will receive the file, with its file
// names. Files for the system differ per model, so mixed models are refused.
ProductInfo CommonProduct(const Targets &targets) {
    std::set<std::string> models = ModelsOf(targets);
    if (models.size() > 1) {
        throw ParameterFailure("the devices are of " + std::to_string(models.size()) +
                               " models; send this file to devices of one model (--group, or MACs)");
    }
    ProductInfo product{};
    if (models.empty()) return product;
    if (ZR_QM_GetProductInfo(models.begin()->c_str(), &product) != 0) {
        throw Failure(ZR_QM_ERR_DEV_TYPE, *models.begin());
    }
    return product;
}

void RequireFileName(const std::string &path, const char *expected, const ProductInfo &product) {
    if (expected[0] != '\0' && FileNameOf(path) != expected) {
        throw ParameterFailure("the file for " + std::string(product.dev_type) + " is named " + expected + ", not " +
                               FileNameOf(path));
    }
}

// Follows an install until the receiver reports 100: the progress export's
// result is the progress, or an error; a few errors in a row end it.
int FollowInstall(const std::function<int()> &read_progress, JobProgress &progress,
                  std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    int failures = 0;
    for (;;) {
        int percent = read_progress();
        if (percent >= 100) {
            progress.percent = 100;
            return 0;
        }
        if (percent >= 0) {
            failures = 0;
            progress.percent = percent;
        } else if (++failures >= kProgressFailuresInARow) {
            return percent;
        }
        if (std::chrono::steady_clock::now() >= deadline) return ZR_QM_ERR_TIMEOUT;
        std::this_thread::sleep_for(kProgressPoll);
    }
}

std::chrono::milliseconds InstallLimit(const Context &context) {
    std::optional<std::string> text = context.args.Value("timeout");
    if (!text) return std::chrono::minutes(15);
    try {
        std::size_t used = 0;
        long seconds = std::stol(*text, &used);
        if (used == text->size() && seconds > 0 && seconds <= 86400) return std::chrono::seconds(seconds);
    } catch (const std::exception &) {
    }
    throw UsageFailure("--timeout takes seconds from 1 to 86400");
}

const OptionDef kTimeoutOption{"timeout", 't', "SECONDS", "longest wait for a receiver's install (900)"};

void RunScreen(Context &context) {
    std::vector<std::string> words = context.args.AtLeast(0, 2, "screen startup|standby FILE " +
                                                                   std::string(kTargetsSynopsis));
    if (words[0] != "startup" && words[0] != "standby") throw UsageFailure("screen takes startup or standby");
    ScreenKind kind = words[0] == "startup" ? ScreenKind::Startup : ScreenKind::Standby;
    const std::string path = words[1];
    std::uint64_t size = CheckedFile(path);
    if (ExtensionOf(path) != "jpg") throw ParameterFailure("the image must be a .jpg file");
    Targets targets = ResolveTargets(context, {words.begin() + 2, words.end()});
    std::optional<ImageSize> pixels;
    for (const std::string &model : ModelsOf(targets)) {
        std::optional<std::uint64_t> limit = ScreenSizeLimit(model, kind);
        if (!limit) continue;
        if (!pixels && size <= *limit) pixels = JpegSize(ReadFile(path));
        if (auto violation = ScreenRuleViolation(model, kind, size, pixels.value_or(ImageSize{}))) {
            throw ParameterFailure(*violation);
        }
    }
    int screen = static_cast<int>(kind);
    std::vector<DeviceResult> results =
        RunJobs(targets.online, "screen " + words[0], AfterDeviceLogin([&](const DeviceInfo &d, JobProgress &) {
            return ZR_QM_SetDeviceScreen(d.Wired_MacAddr, screen, path.c_str());
        }));
    ReportResults(context, "screen " + words[0], targets, results,
                  kind == ScreenKind::Startup ? "updated; shown after the next reboot" : "updated");
}

void RunUpgrade(Context &context) {
    std::vector<std::string> words = context.args.AtLeast(0, 1, "upgrade FILE " + std::string(kTargetsSynopsis));
    const std::string path = words[0];
    CheckedFile(path);
    std::chrono::milliseconds limit = InstallLimit(context);
    Targets targets = ResolveTargets(context, {words.begin() + 1, words.end()});
    ProductInfo product = CommonProduct(targets);
    RequireFileName(path, product.upgrade_file, product);
    std::vector<DeviceResult> results = RunJobs(targets.online, "upgrade", AfterDeviceLogin([&](const DeviceInfo &d, JobProgress &p) {
        int sent = ZR_QM_UpgradeDevice(d.Wired_MacAddr, path.c_str());
        if (sent != 0) return sent;
        return FollowInstall([&] { return ZR_QM_GetDeviceUpgradeProgress(d.Wired_MacAddr); }, p, limit);
    }));
    ReportResults(context, "upgrade", targets, results, "firmware installed");
}

void RunUpdate(Context &context) {
    std::vector<std::string> words =
        context.args.AtLeast(0, 2, "update kernel|filesystem FILE " + std::string(kTargetsSynopsis));
    if (words[0] != "kernel" && words[0] != "filesystem") throw UsageFailure("update takes kernel or filesystem");
    const bool kernel = words[0] == "kernel";
    const std::string path = words[1];
    std::uint64_t size = CheckedFile(path);
    if (ExtensionOf(path) != (kernel ? "bin" : "lzma")) {
        throw ParameterFailure(std::string("the ") + words[0] + " image must be a ." + (kernel ? "bin" : "lzma") +
                               " file");
    }
    if (size > (kernel ? kKernelLargest : kFileSystemLargest)) {
        throw ParameterFailure(std::string("the ") + words[0] + " image is larger than " + (kernel ? "4" : "15") +
                               " MB");
    }
    std::chrono::milliseconds limit = InstallLimit(context);
    Targets targets = ResolveTargets(context, {words.begin() + 2, words.end()});
    ProductInfo product = CommonProduct(targets);
    RequireFileName(path, kernel ? product.kernel_file : product.filesystem_file, product);
    const int kind = kernel ? 1 : 2;
    std::vector<DeviceResult> results =
        RunJobs(targets.online, "update " + words[0], AfterDeviceLogin([&](const DeviceInfo &d, JobProgress &p) {
            int sent = ZR_QM_DevSystemUpdate(d.Wired_MacAddr, kind, path.c_str());
            if (sent != 0) return sent;
            return FollowInstall([&] { return ZR_QM_GetDeviceSystemUpdateProgress(d.Wired_MacAddr, kind); }, p,
                                 limit);
        }));
    ReportResults(context, "update " + words[0], targets, results, words[0] + " updated");
}

} // namespace

std::vector<Command> FileCommands() {
    return {
        {"screen", std::string("startup|standby FILE ") + kTargetsSynopsis,
         "send a start-up or standby image (.jpg, within the model's size and resolution)", WithTargetOptions({}),
         Right::Administrator, RunScreen},
        {"upgrade", std::string("FILE ") + kTargetsSynopsis,
         "send a firmware package (named for the model) and follow the install", WithTargetOptions({kTimeoutOption}),
         Right::Administrator, RunUpgrade},
        {"update", std::string("kernel|filesystem FILE ") + kTargetsSynopsis,
         "send a kernel or file-system image (named for the model) and follow the install",
         WithTargetOptions({kTimeoutOption}), Right::Administrator, RunUpdate},
    };
}

} // namespace talvoctl
