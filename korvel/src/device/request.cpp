// The outcome rules of a request, shared by every request family.
#include "device/request.h"

#include <cstring>

#include "core/json_schema.h"
#include "core/log.h"
#include "device/device.h"
#include "device/http_transport.h"
#include "korvel.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {

using namespace schema;

namespace {
// Before the first login there is no cookie to send.
const char *CookieOrNone(const std::string &cookie) { return cookie.empty() ? nullptr : cookie.c_str(); }
} // namespace

const JsonFieldDesc kCodeAnswerSchema[] = {
    JM_INT(CodeAnswer, err_code, "err_code", JSONMAP_REQUIRED),
    JM_END,
};

int RefusalOf(int32_t err_code, const FailureLines &lines) {
    if (err_code == 0) return 0;
    if (lines.refused != nullptr) KLOG(lines.refused);
    return ZR_QM_ERR_DEV_REFUSED;
}

int Device::TransportFailure(const RequestForm &form, int code) {
    if (form.transport_code) return code;
    KLOG("[%s]:[%d] http request faled.");
    return -1;
}

int Device::Transfer(const RequestForm &form, HttpResponse &response) {
    if (form.needs_session && !LoggedIn()) return ZR_QM_ERR_DEV_NO_SESSION;
    const std::string path = BuildQuery(form.action, form.section, form.params.data(),
                                        static_cast<int>(form.params.size()));
    // Copied: fresh-handle requests never hold a lock while they run.
    const std::string cookie = form.send_cookie ? Cookie() : std::string();
    int result = HttpGet(HostText(), path, CookieOrNone(cookie), response, form.fresh_handle, form.timeout);
    return result == 0 ? 0 : TransportFailure(form, result);
}

int Device::TransferUpload(const RequestForm &form, const void *data, size_t size, const char *file_path,
                           HttpResponse &response) {
    if (form.needs_session && !LoggedIn()) return ZR_QM_ERR_DEV_NO_SESSION;
    const std::string path = BuildQuery(form.action, form.section, form.params.data(),
                                        static_cast<int>(form.params.size()));
    const std::string cookie = Cookie();
    int result = HttpUpload(HostText(), path, CookieOrNone(cookie), data, size, file_path, response);
    // A file that cannot be opened or memory that runs out are no transport
    // failures: their own codes tell the caller more.
    if (result == 0 || result == ZR_QM_ERR_FILE_OPEN || result == ZR_QM_ERR_NO_MEMORY) return result;
    return TransportFailure(form, result);
}

int Device::Judge(const HttpResponse &response, const FailureLines &lines, const JsonFieldDesc *schema,
                  void *answer) {
    if (response.status_code != 200) {
        if (lines.status != nullptr) KLOG(lines.status);
        return MapHttpStatus(response.status_code);
    }
    std::memset(answer, 0, schema[0].record_size);
    if (JsonString2Obj(schema, response.body.c_str(), answer) != 0) {
        if (lines.parse != nullptr) KLOG(lines.parse);
        return ZR_QM_ERR_JSON;
    }
    return 0;
}

int Device::Ask(const RequestForm &form, const FailureLines &lines, const JsonFieldDesc *schema, void *answer) {
    HttpResponse response;
    int result = Transfer(form, response);
    return result != 0 ? result : Judge(response, lines, schema, answer);
}

int Device::Command(const RequestForm &form, const FailureLines &lines) {
    CodeAnswer answer{};
    int result = Ask(form, lines, kCodeAnswerSchema, &answer);
    return result != 0 ? result : RefusalOf(answer.err_code, lines);
}

} // namespace korvel
