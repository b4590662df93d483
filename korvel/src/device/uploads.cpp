// Uploads of firmware, system-update images and screen images, and the two
// progress queries that follow the receiver while it installs.
#include <iterator>

#include "core/digest.h"
#include "core/json_schema.h"
#include "core/log.h"
#include "core/text.h"
#include "device/device.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

using namespace schema;

// By screen kind.
constexpr const char *kScreenSections[] = {"startup_screen", "standby_screen", "load_screen", "upgrade_screen"};

struct UpdateSections {
    const char *upload;
    const char *progress;
};
// By update kind: boot loader, kernel, file system.
constexpr UpdateSections kUpdateSections[] = {
    {"uboot_update", ""}, {"kernel_update", "kernel_progress"}, {"filesystem_update", "filesystem_progress"}};

template <class Table>
bool InTable(int kind, const Table &table) {
    return kind >= 0 && kind < static_cast<int>(std::size(table));
}

struct ProgressResult {
    int32_t upgradeprogress;
    int32_t update_progress;
};

const JsonFieldDesc kUpgradeProgressResultSchema[] = {
    JM_INT(ProgressResult, upgradeprogress, "upgradeprogress", JSONMAP_OPTIONAL),
    JM_END,
};
const JsonFieldDesc kUpdateProgressResultSchema[] = {
    JM_INT(ProgressResult, update_progress, "update_progress", JSONMAP_OPTIONAL),
    JM_END,
};
KORVEL_READ_SCHEMA(kUpgradeProgressSchema, ProgressResult, kUpgradeProgressResultSchema);
KORVEL_READ_SCHEMA(kUpdateProgressSchema, ProgressResult, kUpdateProgressResultSchema);

// Progress queries wait 3 s at most, so polling stays responsive.
RequestForm ProgressForm(const char *section) {
    RequestForm form = Form("read", section);
    form.timeout = kProgressTimeoutSeconds;
    return form;
}

} // namespace

int Device::Upload(const RequestForm &form, const FailureLines &lines, const void *data, size_t size,
                   const char *path) {
    HttpResponse response;
    int result = TransferUpload(form, data, size, path, response);
    if (result != 0) return result;
    CodeAnswer answer{};
    result = Judge(response, lines, kCodeAnswerSchema, &answer);
    return result != 0 ? result : RefusalOf(answer.err_code, lines);
}

int Device::Upgrade(const void *data, size_t size, const char *path, const char *md5) {
    if (!LoggedIn()) return ZR_QM_ERR_DEV_NO_SESSION;
    char digest[kDigestSize] = {0};
    if (md5 != nullptr) {
        CopyText(digest, md5);
    } else if (FileDigest(path, digest) != 0) {
        digest[0] = '\0'; // the receiver judges an empty digest
    }
    return Upload(Form("upload", "upgrade", {{"md5", digest}}),
                  {"[%s]:[%d] upgrade device failed",
                   "[%s]:[%d] parse upgrade response json string failed, get device status response's json struct "
                   "must changed.",
                   "[%s]:[%d] upgrade device failed."},
                  data, size, path);
}

int Device::SetScreen(int kind, const void *data, size_t size, const char *path) {
    if (!InTable(kind, kScreenSections)) return ZR_QM_ERR_PARAM;
    return Upload(Form("upload", kScreenSections[kind]),
                  {"[%s]:[%d] set device screen failed.",
                   "[%s]:[%d] parse set device screen  response json string failed, get device status response's "
                   "json struct must changed.",
                   "[%s]:[%d] set device screen failed."},
                  data, size, path);
}

int Device::SystemUpdate(const void *data, size_t size, int kind, const char *path, const char *md5) {
    if (!InTable(kind, kUpdateSections)) return ZR_QM_ERR_PARAM;
    return Upload(Form("upload", kUpdateSections[kind].upload, {{"md5", md5 ? md5 : ""}}),
                  {"[%s]:[%d] device system update failed",
                   "[%s]:[%d] parse system update response json string failed, get device status response's json "
                   "struct must changed.",
                   "[%s]:[%d] device system update failed."},
                  data, size, path);
}

int Device::GetUpgradeProgress() {
    ReadAnswer<ProgressResult> answer{};
    int result = Ask(ProgressForm("upgradeprogress"), {"[%s]:[%d] login device failed.", nullptr, nullptr},
                     kUpgradeProgressSchema, &answer);
    if (result != 0) return result;
    if (answer.err_code < 0) return ZR_QM_ERR_DEV_REFUSED; // 0 and above count as success
    return answer.result.upgradeprogress;
}

int Device::GetUpdateProgress(int kind) {
    if (!InTable(kind, kUpdateSections)) return ZR_QM_ERR_PARAM;
    ReadAnswer<ProgressResult> answer{};
    int result = Ask(ProgressForm(kUpdateSections[kind].progress),
                     {"[%s]:[%d] login device failed.",
                      "[%s]:[%d] parse get device system update progress response json string failed, get device "
                      "status response's json struct must changed.",
                      nullptr},
                     kUpdateProgressSchema, &answer);
    if (result != 0) return result;
    if (answer.err_code < 0) {
        KLOG("[%s]:[%d] get device system update progress failed.");
        return ZR_QM_ERR_DEV_REFUSED;
    }
    return answer.result.update_progress;
}

} // namespace korvel
