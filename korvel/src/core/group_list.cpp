#include "core/group_list.h"

#include <algorithm>
#include <cstring>

#include "korvel.h"

namespace korvel {

bool GroupList::Fits(const char *name) { return name != nullptr && std::strlen(name) < kGroupNameSize; }

bool GroupList::ContainsLocked(const std::string &name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

int GroupList::Add(const char *name) {
    if (!Fits(name)) return ZR_QM_ERR_GROUP_NAME_LONG;
    std::lock_guard<std::mutex> lock(mutex_);
    if (ContainsLocked(name)) return ZR_QM_ERR_GROUP;
    names_.emplace_back(name);
    return 0;
}

bool GroupList::Remove(const char *name) {
    if (name == nullptr) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = std::find(names_.begin(), names_.end(), name);
    if (found == names_.end()) return false;
    names_.erase(found);
    return true;
}

int GroupList::Rename(const char *current, const char *name) {
    if (!Fits(name)) return ZR_QM_ERR_GROUP_NAME_LONG;
    if (current == nullptr) return ZR_QM_ERR_GROUP;
    std::lock_guard<std::mutex> lock(mutex_);
    if (names_.empty() || ContainsLocked(name)) return ZR_QM_ERR_GROUP;
    auto found = std::find(names_.begin(), names_.end(), current);
    if (found == names_.end()) return ZR_QM_ERR_GROUP;
    *found = name;
    return 0;
}

bool GroupList::Contains(const char *name) const {
    if (name == nullptr) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    return ContainsLocked(name);
}

std::vector<std::string> GroupList::Names() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return names_;
}

void GroupList::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.clear();
}

} // namespace korvel
