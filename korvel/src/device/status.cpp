// The state query, heartbeat of the state refresh, and the network status.
#include <cstring>

#include "core/json_schema.h"
#include "core/log.h"
#include "core/text.h"
#include "device/device.h"
#include "device/http_transport.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

using namespace schema;

struct StateResult {
    char dev_state[32];
    int32_t dev_runtime;
    char dev_mac[32];
};

struct StateAnswer {
    int32_t err_code;
    StateResult result;
};

const JsonFieldDesc kStateResultSchema[] = {
    JM_TEXT(StateResult, dev_state, "dev_state", JSONMAP_OPTIONAL),
    JM_INT(StateResult, dev_runtime, "dev_runtime", JSONMAP_OPTIONAL),
    JM_TEXT(StateResult, dev_mac, "dev_mac", JSONMAP_OPTIONAL),
    JM_END,
};

const JsonFieldDesc kStateSchema[] = {
    JM_INT(StateAnswer, err_code, "err_code", JSONMAP_REQUIRED),
    JM_OBJECT(StateAnswer, result, "result", JSONMAP_REQUIRED, kStateResultSchema),
    JM_END,
};

#define STATUS_MEMBER(field) JM_TEXT(DeviceNetStatus, field, #field, JSONMAP_OPTIONAL)
const JsonFieldDesc kNetStatusResultSchema[] = {
    STATUS_MEMBER(wifi_on_status),        STATUS_MEMBER(wifi_ssid_status),
    STATUS_MEMBER(wifi_ipaddr_status),    STATUS_MEMBER(wifi_ipmask_status),
    STATUS_MEMBER(wifi_fre_stauts),       STATUS_MEMBER(wifi_channel_status),
    STATUS_MEMBER(wifi_signal_strength_status), STATUS_MEMBER(wired_use_dhcp_status),
    STATUS_MEMBER(wifi_mac_addr_status),  STATUS_MEMBER(wired_ipaddr_status),
    STATUS_MEMBER(wired_ipmask_status),   STATUS_MEMBER(wired_gateway_status),
    STATUS_MEMBER(wired_mac_addr_status), STATUS_MEMBER(wired_pridns_status),
    STATUS_MEMBER(wired_secdns_status),   STATUS_MEMBER(wlan1_use_dhcp_status),
    STATUS_MEMBER(wlan1_mac_addr_status), STATUS_MEMBER(wlan1_ipaddr_status),
    STATUS_MEMBER(wlan1_ipmask_status),   STATUS_MEMBER(wlan1_gateway_status),
    STATUS_MEMBER(wlan1_pridns_status),   STATUS_MEMBER(wlan1_secdns_status),
    STATUS_MEMBER(dev_mac),
    JM_END,
};
#undef STATUS_MEMBER

struct NetStatusAnswer {
    int32_t err_code;
    DeviceNetStatus result;
};

const JsonFieldDesc kNetStatusSchema[] = {
    JM_INT(NetStatusAnswer, err_code, "err_code", JSONMAP_REQUIRED),
    JM_OBJECT(NetStatusAnswer, result, "result", JSONMAP_REQUIRED, kNetStatusResultSchema),
    JM_END,
};

const char kStatusParseLine[] =
    "[%s]:[%d] parse get divce status response json string failed, get device status response's json struct "
    "must changed.";

bool IsAbsence(int transport_result) {
    return transport_result == ZR_QM_ERR_CONNECT || transport_result == ZR_QM_ERR_ACCESS_DENIED ||
           transport_result == ZR_QM_ERR_TIMEOUT;
}

} // namespace

int StateNumber(const char *text) {
    if (Equals(text, "share")) return ZR_QM_STATE_SHARE;
    if (Equals(text, "upgrade")) return ZR_QM_STATE_UPGRADE;
    if (Equals(text, "standby")) return ZR_QM_STATE_STANDBY;
    return ZR_QM_STATE_IDLE; // "idle" and any text not listed
}

bool Device::NamesAnotherDevice(const char *answered_mac) const {
    std::lock_guard<std::mutex> lock(fields_);
    return !IsEmpty(answered_mac) && !IsEmpty(mac_) && !EqualsIgnoreCase(answered_mac, mac_);
}

int Device::GetState(int &state, int &run_time) {
    RequestForm form;
    form.action = "read";
    form.section = "dev_state";
    form.fresh_handle = true;
    form.needs_session = false;
    form.transport_code = true;
    HttpResponse response;
    int result = Transfer(form, response);
    if (IsAbsence(result)) {
        state = ZR_QM_STATE_OFFLINE;
        return 0;
    }
    if (result != 0) {
        KLOG("[%s]:[%d] http request faled.");
        return -1;
    }
    if (response.status_code == 401) {
        state = ZR_QM_STATE_IDLE;
        return ZR_QM_ERR_HTTP_401;
    }
    if (response.status_code == 404) {
        state = ZR_QM_STATE_OFFLINE;
        return 0;
    }
    StateAnswer answer{};
    result = Judge(response, {"[%s]:[%d] login device failed.", kStatusParseLine, nullptr}, kStateSchema, &answer);
    if (result == ZR_QM_ERR_JSON) state = ZR_QM_STATE_IDLE;
    if (result != 0) return result;
    if (answer.err_code != 0) {
        KLOG("[%s]:[%d] get device's state failed.");
        state = ZR_QM_STATE_IDLE;
        return 0;
    }
    if (NamesAnotherDevice(answer.result.dev_mac)) {
        state = ZR_QM_STATE_OFFLINE;
        run_time = 0;
        return 0;
    }
    state = StateNumber(answer.result.dev_state);
    run_time = answer.result.dev_runtime;
    return 0;
}

int Device::GetNetStatus(DeviceNetStatus &status) {
    RequestForm form;
    form.action = "read";
    form.section = "dev_status";
    NetStatusAnswer answer{};
    int result = Ask(form, {"[%s]:[%d] login device failed.", kStatusParseLine, nullptr}, kNetStatusSchema, &answer);
    if (result != 0) return result;
    if (answer.err_code != 0) {
        KLOG("[%s]:[%d] get device's status failed.");
        return -1;
    }
    if (NamesAnotherDevice(answer.result.dev_mac)) return -1;
    status = answer.result;
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(name_, answer.result.wifi_ssid_status);
    return 0;
}

} // namespace korvel
