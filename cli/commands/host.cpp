// Host (compere) mode: the senders connected to a receiver, and starting,
// stopping, singling out or sharing the sound of one of them.
#include <arpa/inet.h>

#include <korvel.h>

#include <algorithm>

#include "common/command.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/targets.h"

namespace talvoctl {
namespace {

void ShowMembers(const Context &context, const DeviceInfo &device) {
    CompereList list{};
    Check(ZR_QM_GetCompereList(device.Wired_MacAddr, &list), std::string("host list of ") + device.Wired_MacAddr);
    Table table({{"ip", "SENDER"}, {"type", "TYPE"}, {"name", "NAME"}, {"video", "VIDEO"}, {"audio", "AUDIO"},
                 {"media", "MEDIA"}});
    int count = std::clamp(list.num, 0, ZR_QM_COMPERE_MAX);
    for (int i = 0; i < count; ++i) {
        const CompereMember &m = list.devs[i];
        table.Add({FieldToUtf8(m.conn_ip), FieldToUtf8(m.conn_type), FieldToUtf8(m.conn_name),
                   FieldToUtf8(m.play_video), FieldToUtf8(m.play_audio), Value(m.media_num)});
    }
    context.out.Show(table);
    if (table.Empty() && !context.out.Json()) context.out.Note("no sender is connected");
}

void RunHostList(Context &context) {
    std::string mac = context.args.Exactly(0, 1, "host list MAC")[0];
    ShowMembers(context, OnlineDevice(context, mac));
}

// Sets one sender's part: the library's operation numbers 0 to 4.
void SetMember(Context &context, int operation, const std::string &word) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "host " + word + " MAC IP");
    in_addr parsed{};
    if (words[1].size() >= sizeof(CompereMember::conn_ip) || inet_pton(AF_INET, words[1].c_str(), &parsed) != 1) {
        throw ParameterFailure("\"" + words[1] + "\" is no dotted IPv4 address");
    }
    DeviceInfo device = OnlineDevice(context, words[0]);
    CompereMember member{};
    ArgumentToField(member.conn_ip, words[1], "the sender's address");
    Check(ZR_QM_SetCompereMember(device.Wired_MacAddr, operation, &member), "host " + word + " " + words[1]);
    ShowMembers(context, device);
}

void RunHostStart(Context &context) { SetMember(context, 0, "start"); }
void RunHostStop(Context &context) { SetMember(context, 1, "stop"); }
void RunHostSingle(Context &context) { SetMember(context, 2, "single"); }
void RunHostSound(Context &context) { SetMember(context, 3, "sound"); }
void RunHostMute(Context &context) { SetMember(context, 4, "mute"); }

} // namespace

std::vector<Command> HostCommands() {
    return {
        {"host list", "MAC", "the senders connected to a receiver in host mode", {}, Right::Administrator,
         RunHostList},
        {"host start", "MAC IP", "show the sender's picture", {}, Right::Administrator, RunHostStart},
        {"host stop", "MAC IP", "stop showing the sender's picture", {}, Right::Administrator, RunHostStop},
        {"host single", "MAC IP", "show the sender alone, on the whole screen", {}, Right::Administrator,
         RunHostSingle},
        {"host sound", "MAC IP", "play the sender's sound", {}, Right::Administrator, RunHostSound},
        {"host mute", "MAC IP", "stop playing the sender's sound", {}, Right::Administrator, RunHostMute},
    };
}

} // namespace talvoctl
