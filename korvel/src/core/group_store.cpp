// The group store: a count and one object per group name in list order.
#include <new>
#include <string>
#include <vector>

#include "core/json_schema.h"
#include "core/log.h"
#include "core/stores.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

struct GroupStoreHead {
    int32_t Group_Num;
};
struct GroupSlot {
    char Group_Name[kGroupNameSize];
};
using GroupStoreImage = StoreImage<GroupStoreHead, GroupSlot>;

using namespace schema;

const JsonFieldDesc kGroupFields[] = {
    JM_TEXT(GroupSlot, Group_Name, "Group_Name", JSONMAP_OPTIONAL),
    JM_END,
};

auto GroupStoreTable(size_t count) {
    const std::array<JsonFieldDesc, 1> head = {JM_INT(GroupStoreHead, Group_Num, "Group_Num", JSONMAP_OPTIONAL)};
    return StoreTable(head, GroupStoreImage::ArrayField("Groups", kGroupFields, count), count);
}

} // namespace

int Stores::LoadGroups() {
    GroupStoreHead head{};
    if (!ReadStoreHead(group_file_, GroupStoreTable(0).data(), &head)) {
        SaveGroups();
        return 0;
    }
    if (head.Group_Num < 1) return 0;

    EntriesRead read = ReadStoreEntries<GroupStoreHead>(
        group_file_, head.Group_Num, &GroupSlot::Group_Name, GroupStoreTable, [](const GroupStoreHead &) {},
        [this](GroupSlot &slot) {
            if (groups_.Add(slot.Group_Name) == 0) return 0;
            KLOG("[%s]:[%d] add device group to list failed.");
            return ZR_QM_ERR_GROUP;
        });
    return read.result != 0 ? read.result : read.missing > 0 ? -1 : 0;
}

int Stores::SaveGroups() {
    return group_file_.Save([this](const char *name) {
        std::vector<GroupSlot> slots;
        try {
            std::vector<std::string> names = groups_.Names();
            slots.resize(names.size());
            for (size_t i = 0; i < names.size(); ++i) CopyText(slots[i].Group_Name, names[i].c_str());
        } catch (const std::bad_alloc &) {
            LogImageAllocationFailed();
            return ZR_QM_ERR_NO_MEMORY;
        }
        GroupStoreHead head{static_cast<int32_t>(slots.size())};
        return WriteStoreImage(name, head, slots, GroupStoreTable);
    });
}

} // namespace korvel
