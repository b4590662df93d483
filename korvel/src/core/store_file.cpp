#include "core/store_file.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/log.h"
#include "korvel.h"
#include "platform/local_time.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

bool FileExists(const char *name) {
    std::error_code error;
    return std::filesystem::exists(name, error);
}

// "<name>.bad-<date-time>", with "-2", "-3", ... when that name is taken.
std::string FreeBadCopyName(const char *name) {
    std::string base = std::string(name) + ".bad-" + platform::LocalDateTimeText(std::time(nullptr));
    std::string candidate = base;
    for (int n = 2; FileExists(candidate.c_str()); ++n) candidate = base + "-" + std::to_string(n);
    return candidate;
}

} // namespace

void StoreFile::MarkNotWhole() {
    std::lock_guard<std::mutex> lock(save_);
    keep_copy_ = true;
}

void StoreFile::MarkIfPresent() {
    if (FileExists(name_)) MarkNotWhole();
}

bool StoreFile::Marked() const {
    std::lock_guard<std::mutex> lock(save_);
    return keep_copy_;
}

bool StoreFile::KeepBadCopyLocked() {
    if (!keep_copy_) return true;
    if (!FileExists(name_)) {
        keep_copy_ = false;
        return true;
    }
    std::string copy = FreeBadCopyName(name_);
    std::error_code error;
    if (!std::filesystem::copy_file(name_, copy, error)) {
        KLOG("[%s]:[%d] keep a copy of %s as %s failed (%s), the file is not rewritten.", name_, copy.c_str(),
             error.message().c_str());
        return false;
    }
    KLOG("[%s]:[%d] %s did not load whole, its contents are kept in %s.", name_, copy.c_str());
    keep_copy_ = false;
    return true;
}

size_t StoreFile::PlausibleCount(int32_t count) {
    if (count < 1) return 0;
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(name_, error);
    if (error) return static_cast<size_t>(count);
    uintmax_t most = size / 2;
    if (static_cast<uintmax_t>(count) <= most) return static_cast<size_t>(count);
    KLOG("[%s]:[%d] %s counts %d entries, more than it can hold.", name_, count);
    MarkNotWhole();
    return static_cast<size_t>(most);
}

bool StoreFile::NoteMissingEntries(size_t missing) {
    if (missing == 0) return false;
    KLOG("[%s]:[%d] %s lacks %zu of the entries it counts.", name_, missing);
    MarkNotWhole();
    return true;
}

bool ReadStoreHead(StoreFile &file, const JsonFieldDesc *table, void *head) {
    if (JsonFile2Obj(file.Name(), table, head) == 0) return true;
    KLOG("[%s]:[%d] JsonFile2Obj failed, file not exist or file content not json.");
    file.MarkIfPresent();
    return false;
}

int ReadStoreImage(StoreFile &file, bool allocated, const JsonFieldDesc *table, void *image) {
    if (!allocated) {
        file.MarkNotWhole();
        return ZR_QM_ERR_NO_MEMORY;
    }
    if (JsonFile2Obj(file.Name(), table, image) == 0) return 0;
    KLOG("[%s]:[%d] JsonFile2Obj failed, file not exist or file content not json.");
    file.MarkNotWhole();
    return -1;
}

void LogImageAllocationFailed() { KLOG("[%s]:[%d] malloc failed."); }

int WriteStore(const char *name, const JsonFieldDesc *table, const void *record) {
    if (JsonObj2File(name, table, record) == 0) return 0;
    KLOG("[%s]:[%d] JsonObj2File failed, write %s failed.", name);
    return -1;
}

} // namespace korvel
