// The list of group names of the managed registry: names in the order they
// were added, compared byte for byte, none twice, at most 127 bytes each (they
// leave the library in 128-byte slots). Membership is not kept here: it is
// the group field of each device. Safe to call from any thread.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace korvel {

constexpr size_t kGroupNameSize = 128; // slot width, terminator included

class GroupList {
public:
    // True when `name` fits a slot (at most 127 bytes).
    static bool Fits(const char *name);

    // Appends `name`: 0, ZR_QM_ERR_GROUP when it is in the list already,
    // ZR_QM_ERR_GROUP_NAME_LONG when it does not fit.
    int Add(const char *name);
    // Removes `name`; true when it was in the list.
    bool Remove(const char *name);
    // Replaces `current` by `name` in place: 0; ZR_QM_ERR_GROUP when the list
    // is empty, `name` is in it already or `current` is not;
    // ZR_QM_ERR_GROUP_NAME_LONG when `name` does not fit.
    int Rename(const char *current, const char *name);
    bool Contains(const char *name) const;
    std::vector<std::string> Names() const;
    void Clear();

private:
    bool ContainsLocked(const std::string &name) const;

    mutable std::mutex mutex_;
    std::vector<std::string> names_;
};

} // namespace korvel
