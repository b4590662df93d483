// Host (compere) mode and multi-display mode: passed through uninterpreted.
#include <algorithm>

#include "core/json_schema.h"
#include "core/text.h"
#include "device/device.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

using namespace schema;

const JsonFieldDesc kMemberSchema[] = {
    JM_TEXT(CompereMember, conn_ip, "conn_ip", JSONMAP_OPTIONAL),
    JM_TEXT(CompereMember, conn_type, "conn_type", JSONMAP_OPTIONAL),
    JM_TEXT(CompereMember, conn_name, "conn_name", JSONMAP_OPTIONAL),
    JM_TEXT(CompereMember, play_video, "play_video", JSONMAP_OPTIONAL),
    JM_TEXT(CompereMember, play_audio, "play_audio", JSONMAP_OPTIONAL),
    JM_INT(CompereMember, media_num, "media_num", JSONMAP_OPTIONAL),
    JM_END,
};

const JsonFieldDesc kCompereListResultSchema[] = {
    JM_INT(CompereList, num, "num", JSONMAP_OPTIONAL),
    JM_ARRAY(CompereList, devs, CompereMember, "devs", JSONMAP_OPTIONAL, kMemberSchema, ZR_QM_COMPERE_MAX),
    JM_END,
};

struct CompereAnswer {
    int32_t err_code;
    CompereList result;
};

const JsonFieldDesc kCompereSchema[] = {
    JM_INT(CompereAnswer, err_code, "err_code", JSONMAP_REQUIRED),
    JM_OBJECT(CompereAnswer, result, "result", JSONMAP_REQUIRED, kCompereListResultSchema),
    JM_END,
};

#define MULTI_MEMBER(field) JM_TEXT(MulticastModeConfig, field, #field, JSONMAP_OPTIONAL)
const JsonFieldDesc kMultiModeResultSchema[] = {
    MULTI_MEMBER(multi_display_enable),    MULTI_MEMBER(multi_display_mode),
    MULTI_MEMBER(multi_display_type),      MULTI_MEMBER(multi_display_audio),
    MULTI_MEMBER(multi_display_ip_enable), MULTI_MEMBER(multi_display_multi_ip),
    MULTI_MEMBER(multi_display_uni_ip),    MULTI_MEMBER(multi_display_rtsp_addr),
    MULTI_MEMBER(multi_display_rtsp_srv_addr),
    JM_END,
};
#undef MULTI_MEMBER

struct MultiModeAnswer {
    int32_t err_code;
    MulticastModeConfig result;
};

const JsonFieldDesc kMultiModeSchema[] = {
    JM_INT(MultiModeAnswer, err_code, "err_code", JSONMAP_REQUIRED),
    JM_OBJECT(MultiModeAnswer, result, "result", JSONMAP_REQUIRED, kMultiModeResultSchema),
    JM_END,
};

const FailureLines kModeLines{"[%s]:[%d] login device failed.", nullptr, nullptr};

RequestForm ModeForm(const char *action, const char *section, std::vector<QueryParam> params = {}) {
    RequestForm form;
    form.action = action;
    form.section = section;
    form.params = std::move(params);
    return form;
}

struct MemberOperation {
    const char *key;
    const char *value;
};
// By operation: start and stop the cast, show alone, share and stop the sound.
constexpr MemberOperation kMemberOperations[] = {
    {"vstart", "true"}, {"vstart", "false"}, {"single_display", "true"}, {"astart", "true"}, {"astart", "false"}};

} // namespace

// The list is read on a handle of its own, like the state query.
int Device::GetCompereList(CompereList &list) {
    RequestForm form = ModeForm("read", "compere_mode");
    form.fresh_handle = true;
    CompereAnswer answer{};
    int result = Ask(form, kModeLines, kCompereSchema, &answer);
    if (result != 0) return result;
    if (int refused = RefusalOf(answer.err_code, kModeLines); refused != 0) return refused;
    // A count beyond the entries the record holds would send readers past its end.
    answer.result.num = std::clamp(answer.result.num, 0, ZR_QM_COMPERE_MAX);
    list = answer.result;
    return 0;
}

int Device::SetCompereMember(int operation, const char *conn_ip) {
    std::vector<QueryParam> params{{"conn_ip", conn_ip ? conn_ip : ""}};
    if (operation >= 0 && operation < static_cast<int>(std::size(kMemberOperations))) {
        params.push_back({kMemberOperations[operation].key, kMemberOperations[operation].value});
    }
    return Command(ModeForm("save", "compere_mode", std::move(params)), kModeLines);
}

int Device::GetMulticastMode(MulticastModeConfig &config) {
    MultiModeAnswer answer{};
    int result = Ask(ModeForm("read", "multi_mode"), kModeLines, kMultiModeSchema, &answer);
    if (result != 0) return result;
    if (int refused = RefusalOf(answer.err_code, kModeLines); refused != 0) return refused;
    config = answer.result;
    return 0;
}

// Sends every non-empty field but the receiver's own RTSP address, each whole.
int Device::SetMulticastMode(const MulticastModeConfig &config) {
    std::vector<QueryParam> params;
    AddIfSet(params, "multi_display_enable", config.multi_display_enable);
    AddIfSet(params, "multi_display_mode", config.multi_display_mode);
    AddIfSet(params, "multi_display_type", config.multi_display_type);
    AddIfSet(params, "multi_display_audio", config.multi_display_audio);
    AddIfSet(params, "multi_display_ip_enable", config.multi_display_ip_enable);
    AddIfSet(params, "multi_display_rtsp_addr", config.multi_display_rtsp_addr);
    AddIfSet(params, "multi_display_uni_ip", config.multi_display_uni_ip);
    AddIfSet(params, "multi_display_multi_ip", config.multi_display_multi_ip);
    CodeAnswer answer{};
    int result = Ask(ModeForm("save", "multi_mode", std::move(params)), kModeLines, kCodeAnswerSchema, &answer);
    if (result != 0) return result;
    if (answer.err_code == -2) return ZR_QM_ERR_MULTICAST_IN_NINE; // the output shows nine pictures
    return RefusalOf(answer.err_code, kModeLines);
}

} // namespace korvel
