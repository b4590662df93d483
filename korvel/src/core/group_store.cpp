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

    GroupStoreImage image(group_file_.PlausibleCount(head.Group_Num));
    if (image.Ok()) image.MarkKeysAbsent(&GroupSlot::Group_Name);
    int read = ReadStoreImage(group_file_, image.Ok(), GroupStoreTable(image.Count()).data(), image.Data());
    if (read != 0) return read;
    int result = 0;
    size_t missing = 0;
    for (size_t i = 0; i < image.Count(); ++i) {
        GroupSlot &slot = image.Elements()[i];
        if (!GroupStoreImage::KeyFound(slot, &GroupSlot::Group_Name)) {
            ++missing;
            continue;
        }
        if (groups_.Add(slot.Group_Name) != 0) {
            KLOG("[%s]:[%d] add device group to list failed.");
            group_file_.MarkNotWhole();
            result = ZR_QM_ERR_GROUP;
        }
    }
    if (group_file_.NoteMissingEntries(missing) && result == 0) result = -1;
    return result;
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
