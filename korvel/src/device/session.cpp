// Logging in to a receiver and out again.
#include <cstring>

#include "core/json_schema.h"
#include "core/log.h"
#include "core/text.h"
#include "device/device.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

using namespace schema;

struct LoginAnswer {
    int32_t result;
    char sessionId[40];
};

const JsonFieldDesc kLoginSchema[] = {
    JM_INT(LoginAnswer, result, "result", JSONMAP_REQUIRED),
    JM_TEXT(LoginAnswer, sessionId, "sessionId", JSONMAP_REQUIRED),
    JM_END,
};

struct LogoutAnswer {
    int32_t result;
};

const JsonFieldDesc kLogoutSchema[] = {
    JM_INT(LogoutAnswer, result, "result", JSONMAP_REQUIRED),
    JM_END,
};

const FailureLines kSessionLines{
    "[%s]:[%d] login device failed.",
    "[%s]:[%d] parse login response json string failed, login response's json struct must changed.",
    "[%s]:[%d] login device failed, usename or password wrong!",
};

bool Given(const char *text) { return text != nullptr && text[0] != '\0'; }

} // namespace

bool Device::LoggedIn() const {
    std::lock_guard<std::mutex> lock(fields_);
    return logged_in_;
}

std::string Device::Cookie() const {
    std::lock_guard<std::mutex> lock(fields_);
    return cookie_;
}

void Device::OpenSession(const char *user, const char *password_md5, const char *session_id,
                         bool store_credentials) {
    std::lock_guard<std::mutex> lock(fields_);
    if (store_credentials) {
        CopyText(user_, user);
        CopyText(password_md5_, password_md5);
    }
    CopyText(session_id_, session_id);
    cookie_ = std::string(" sessionid=") + session_id_ + ";" + " username=" + (user ? user : "") + ";";
    logged_in_ = true;
}

void Device::DropSession() {
    std::lock_guard<std::mutex> lock(fields_);
    cookie_.clear();
    logged_in_ = false;
}

int Device::Login(const char *user, const char *password_md5) {
    return LoginAs(user, password_md5, false);
}

int Device::LoginWith(const char *user, const char *password_md5) {
    if (Given(user) && Given(password_md5)) return LoginAs(user, password_md5, true);
    return LoginAs(UserName().c_str(), PasswordMd5().c_str(), false);
}

int Device::LoginAs(const char *user, const char *password_md5, bool store_credentials) {
    RequestForm form;
    form.action = "login";
    form.params = {{"username", user ? user : ""},
                   {"password", password_md5 ? password_md5 : ""},
                   {"devicetype", "DeviceManagerSoftware"},
                   {"odmname", "TALVO"},
                   {"productid", "KARVEN"}};
    form.fresh_handle = true;
    form.needs_session = false;
    form.send_cookie = false;
    form.transport_code = true;
    HttpResponse response;
    int result = Transfer(form, response);
    if (result != 0) {
        KLOG("[%s]:[%d] http request faled.");
        return result;
    }
    LoginAnswer answer{};
    result = Judge(response, kSessionLines, kLoginSchema, &answer);
    if (result != 0) return result;
    if (answer.result == 0) {
        KLOG(kSessionLines.refused);
        DropSession();
        return ZR_QM_ERR_DEV_LOGIN;
    }
    OpenSession(user, password_md5, answer.sessionId, store_credentials);
    return 0;
}

// Sends the session cookie of the device, so the receiver ends this session
// even when no other request has used the persistent handle since the login.
int Device::Logout() {
    RequestForm form;
    form.action = "logout";
    form.section = "logout";
    form.needs_session = false;
    form.transport_code = true;
    HttpResponse response;
    int result = Transfer(form, response);
    if (result != 0) {
        KLOG("[%s]:[%d] http request faled.");
        return result;
    }
    LogoutAnswer answer{};
    result = Judge(response, kSessionLines, kLogoutSchema, &answer);
    if (result != 0) return result;
    if (answer.result == 0) {
        KLOG(kSessionLines.refused);
        return ZR_QM_ERR_DEV_LOGIN;
    }
    std::lock_guard<std::mutex> lock(fields_);
    logged_in_ = false;
    return 0;
}

} // namespace korvel
