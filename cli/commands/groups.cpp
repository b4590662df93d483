// Groups and aliases. The desktop program keeps the default group "默认分组"
// in the library's group list (devices of a deleted group move there), so
// talvoctl adds it the same way when it is missing, and refuses to rename or
// delete it.
#include <korvel.h>

#include <algorithm>

#include "common/command.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"
#include "common/targets.h"

namespace talvoctl {
namespace {

constexpr std::size_t kGroupBytes = sizeof(ZR_QM_GroupName) - 1;
constexpr std::size_t kAliasBytes = sizeof(DeviceInfo::Device_Alias) - 1;

void EnsureDefaultGroup() {
    std::vector<std::string> groups = GroupNames();
    if (std::find(groups.begin(), groups.end(), kDefaultGroup) == groups.end()) ZR_QM_AddDevGroup(kDefaultGroup);
}

// The group list as the desktop's tree shows it: the default group first.
std::vector<std::string> OrderedGroups() {
    std::vector<std::string> ordered{kDefaultGroup};
    for (const std::string &name : GroupNames()) {
        if (name != kDefaultGroup) ordered.push_back(name);
    }
    return ordered;
}

std::string NewGroupName(const std::string &utf8) {
    std::string name = ArgumentToCp936(utf8, "the group name", kGroupBytes);
    if (name.empty()) throw ParameterFailure("the group name is empty");
    return name;
}

// An existing group other than the default one, for renames and deletions.
std::string ChangeableGroup(const std::string &utf8) {
    std::string name = GroupArgument(utf8);
    if (name == kDefaultGroup) throw Refusal(ZR_QM_ERR_GROUP, "the default group cannot be renamed or deleted");
    return name;
}

void RunGroups(Context &context) {
    context.args.Exactly(0, 0, "groups");
    EnsureDefaultGroup();
    Table table({{"group", "GROUP"}, {"devices", "DEVICES"}});
    for (const std::string &name : OrderedGroups()) {
        table.Add({Cp936ToUtf8(name), Value(static_cast<long long>(GroupDevices(name).size()))});
    }
    context.out.Show(table);
}

Table GroupResult(const std::string &name, long long devices) {
    Table table({{"group", "GROUP"}, {"devices", "DEVICES"}});
    table.Add({Cp936ToUtf8(name), Value(devices)});
    return table;
}

void RunGroupAdd(Context &context) {
    std::string utf8 = context.args.Exactly(0, 1, "group add NAME")[0];
    EnsureDefaultGroup();
    std::string name = NewGroupName(utf8);
    Check(ZR_QM_AddDevGroup(name.c_str()), "group \"" + utf8 + "\"");
    context.out.Show(GroupResult(name, 0));
}

void RunGroupRename(Context &context) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "group rename OLD NEW");
    EnsureDefaultGroup();
    std::string old_name = ChangeableGroup(words[0]), new_name = NewGroupName(words[1]);
    Check(ZR_QM_ChangeGroupName(old_name.c_str(), new_name.c_str()), "rename to \"" + words[1] + "\"");
    context.out.Show(GroupResult(new_name, static_cast<long long>(GroupDevices(new_name).size())));
}

void RunGroupDelete(Context &context) {
    std::string utf8 = context.args.Exactly(0, 1, "group delete NAME")[0];
    EnsureDefaultGroup();
    std::string name = ChangeableGroup(utf8);
    long long moved = static_cast<long long>(GroupDevices(name).size());
    Check(ZR_QM_DelDevGroup(name.c_str()), "delete group \"" + utf8 + "\"");
    context.out.Show(GroupResult(name, moved));
    if (moved > 0) context.out.Note(std::to_string(moved) + " device(s) moved to " + Cp936ToUtf8(kDefaultGroup));
}

void RunGroupMove(Context &context) {
    std::vector<std::string> words = context.args.AtLeast(0, 2, "group move GROUP MAC...");
    EnsureDefaultGroup();
    std::string group = GroupArgument(words[0]);
    std::vector<DeviceInfo> devices = SelectDevices(context, {words.begin() + 1, words.end()});
    Table table({{"mac", "MAC"}, {"group", "GROUP"}, {"moved", "MOVED"}});
    for (const DeviceInfo &info : devices) {
        int moved = Check(ZR_QM_MoveDevToNewGroup(info.Wired_MacAddr, group.c_str()),
                          std::string("move ") + info.Wired_MacAddr);
        table.Add({FieldToUtf8(info.Wired_MacAddr), Cp936ToUtf8(group), Value(moved == 1)});
    }
    context.out.Show(table);
}

void RunAlias(Context &context) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "alias MAC TEXT");
    DeviceInfo info = SelectDevices(context, {words[0]}).front();
    std::string alias = ArgumentToCp936(words[1], "the alias", kAliasBytes);
    Check(ZR_QM_SaveDevAlias(info.Wired_MacAddr, alias.c_str()), std::string("alias of ") + info.Wired_MacAddr);
    Table table({{"mac", "MAC"}, {"alias", "ALIAS"}});
    table.Add({FieldToUtf8(info.Wired_MacAddr), Cp936ToUtf8(alias)});
    context.out.Show(table);
}

} // namespace

std::vector<Command> GroupCommands() {
    return {
        {"groups", "", "the groups with their numbers of devices", {}, Right::Anyone, RunGroups},
        {"group add", "NAME", "create a group", {}, Right::Administrator, RunGroupAdd},
        {"group rename", "OLD NEW", "rename a group; its devices follow", {}, Right::Administrator,
         RunGroupRename},
        {"group delete", "NAME", "delete a group; its devices move to the default group", {},
         Right::Administrator, RunGroupDelete},
        {"group move", "GROUP MAC...", "move devices into a group", {}, Right::Administrator, RunGroupMove},
        {"alias", "MAC TEXT", "give a device an alias (an empty TEXT clears it)", {}, Right::Administrator,
         RunAlias},
    };
}

} // namespace talvoctl
