#include "common/device_jobs.h"

#include <pthread.h>

#include <cjson/cJSON.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "common/encoding.h"
#include "common/failure.h"
#include "common/progress.h"

namespace talvoctl {
namespace {

// Per-device threads keep small stacks: a fleet of a thousand receivers
// starts a thousand of them. Sanitizer builds need larger frames.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t kJobStackBytes = 4u << 20;
#else
constexpr std::size_t kJobStackBytes = 512u << 10;
#endif

struct JobSlot {
    const DeviceInfo *device = nullptr;
    const DeviceJob *job = nullptr;
    JobProgress progress;
    std::atomic<bool> finished{false};
    int code = 0;
};

void *RunSlot(void *argument) {
    auto *slot = static_cast<JobSlot *>(argument);
    slot->code = (*slot->job)(*slot->device, slot->progress);
    slot->finished.store(true, std::memory_order_release);
    return nullptr;
}

bool StartThread(pthread_t &thread, JobSlot &slot) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_attr_setstacksize(&attributes, kJobStackBytes);
    bool started = pthread_create(&thread, &attributes, RunSlot, &slot) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

// Fraction of the whole and "k/n done" for the bar.
void ShowProgress(ProgressBar &bar, const std::vector<std::unique_ptr<JobSlot>> &slots) {
    long sum = 0;
    std::size_t done = 0, failed = 0;
    for (const auto &slot : slots) {
        if (slot->finished.load(std::memory_order_acquire)) {
            ++done;
            if (slot->code != 0) ++failed;
            sum += 100;
        } else {
            sum += std::clamp(slot->progress.percent.load(), 0, 99);
        }
    }
    std::string detail = std::to_string(done) + "/" + std::to_string(slots.size()) + " done";
    if (failed > 0) detail += ", " + std::to_string(failed) + " failed";
    bar.Update(static_cast<double>(sum) / (100.0 * static_cast<double>(slots.size())), detail);
}

bool AllFinished(const std::vector<std::unique_ptr<JobSlot>> &slots) {
    for (const auto &slot : slots) {
        if (!slot->finished.load(std::memory_order_acquire)) return false;
    }
    return true;
}

Table ResultTable() {
    return Table({{"mac", "MAC"}, {"alias", "ALIAS"}, {"address", "ADDRESS"}, {"ok", "OK"},
                  {"result", "RESULT"}, {"message", "MESSAGE"}});
}

void AddResultRow(Table &table, const DeviceInfo &device, int code, const std::string &result,
                  const std::string &message) {
    table.Add({FieldToUtf8(device.Wired_MacAddr), FieldToUtf8(device.Device_Alias),
               FieldToUtf8(device.Wired_IpAddr), Value(code == 0), result, message});
}

} // namespace

DeviceJob AfterDeviceLogin(DeviceJob job) {
    return [job = std::move(job)](const DeviceInfo &device, JobProgress &progress) {
        int login = ZR_QM_LoginDevice(device.Wired_MacAddr, nullptr, nullptr);
        return login == 0 ? job(device, progress) : login;
    };
}

std::vector<DeviceResult> RunJobs(const std::vector<DeviceInfo> &devices, const std::string &label,
                                  const DeviceJob &job) {
    if (devices.empty()) return {};
    std::vector<std::unique_ptr<JobSlot>> slots;
    std::vector<pthread_t> threads(devices.size());
    std::vector<bool> started(devices.size(), false);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        slots.push_back(std::make_unique<JobSlot>());
        slots[i]->device = &devices[i];
        slots[i]->job = &job;
        started[i] = StartThread(threads[i], *slots[i]);
        if (!started[i]) {
            slots[i]->code = ZR_QM_ERR_NO_MEMORY; // no thread could be started for it
            slots[i]->finished = true;
        }
    }
    {
        ProgressBar bar(label, ProgressWanted());
        while (!AllFinished(slots)) {
            ShowProgress(bar, slots);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ShowProgress(bar, slots);
    }
    std::vector<DeviceResult> results;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (started[i]) pthread_join(threads[i], nullptr);
        results.push_back({devices[i], slots[i]->code});
    }
    return results;
}

void ReportResults(const Context &context, const std::string &operation, const Targets &targets,
                   const std::vector<DeviceResult> &results, const std::string &done) {
    Table table = ResultTable();
    std::size_t succeeded = 0, failed = 0;
    int single_code = 0;
    for (const DeviceResult &r : results) {
        AddResultRow(table, r.device, r.code, r.code == 0 ? "ok" : ErrorName(r.code),
                     r.code == 0 ? done : ErrorExplanation(r.code));
        (r.code == 0 ? succeeded : failed) += 1;
        if (r.code != 0) single_code = r.code;
    }
    for (const DeviceInfo &device : targets.refused) {
        AddResultRow(table, device, ZR_QM_ERR_DEV_OFFLINE, ErrorName(ZR_QM_ERR_DEV_OFFLINE),
                     ErrorExplanation(ZR_QM_ERR_DEV_OFFLINE) + "; nothing sent");
        ++failed;
        single_code = ZR_QM_ERR_DEV_OFFLINE;
    }
    for (const DeviceInfo &device : targets.skipped) {
        AddResultRow(table, device, 1, "skipped", "not online; left out");
    }
    int outcome = 0;
    if (succeeded + failed == 0) {
        outcome = ZR_QM_ERR_DEV_OFFLINE;
    } else if (failed > 0) {
        outcome = succeeded + failed == 1 ? single_code : succeeded > 0 ? ZR_QM_ERR_BATCH_PARTIAL
                                                                         : ZR_QM_ERR_BATCH_FAILED;
    }
    if (context.out.Json()) {
        cJSON *document = cJSON_CreateObject();
        cJSON_AddStringToObject(document, "operation", operation.c_str());
        cJSON_AddStringToObject(document, "result", outcome == 0 ? "ok" : ErrorName(outcome).c_str());
        cJSON_AddNumberToObject(document, "succeeded", static_cast<double>(succeeded));
        cJSON_AddNumberToObject(document, "failed", static_cast<double>(failed));
        cJSON_AddNumberToObject(document, "skipped", static_cast<double>(targets.skipped.size()));
        cJSON_AddItemToObject(document, "devices", table.Json());
        context.out.ShowJson(document);
    } else {
        context.out.Show(table);
    }
    if (!targets.skipped.empty()) {
        context.out.Note("left out " + std::to_string(targets.skipped.size()) + " device(s) that are not online");
    }
    if (outcome == 0) return;
    std::string detail = succeeded + failed == 0 ? "no device of the selection is online"
                         : succeeded + failed == 1
                             ? operation
                             : operation + ": " + std::to_string(failed) + " of " +
                                   std::to_string(succeeded + failed) + " devices failed";
    throw Failure(outcome, detail).MarkInDocument();
}

void RunOnTargets(const Context &context, const std::vector<std::string> &macs, const std::string &operation,
                  const std::string &done, const DeviceJob &job) {
    Targets targets = ResolveTargets(context, macs);
    std::vector<DeviceResult> results = RunJobs(targets.online, operation, job);
    ReportResults(context, operation, targets, results, done);
}

} // namespace talvoctl
