#include "common/failure.h"

#include <korvel.h>

#include <iterator>

namespace talvoctl {
namespace {

struct ErrorText {
    int code;
    const char *name;
    const char *explanation;
};

constexpr ErrorText kErrors[] = {
    {ZR_QM_ERR_NOT_INIT, "ZR_QM_ERR_NOT_INIT", "the library is not initialised"},
    {ZR_QM_ERR_PARAM, "ZR_QM_ERR_PARAM", "an argument is missing, empty or out of range"},
    {ZR_QM_ERR_FILE_OPEN, "ZR_QM_ERR_FILE_OPEN", "the file could not be opened for reading"},
    {ZR_QM_ERR_NO_MEMORY, "ZR_QM_ERR_NO_MEMORY", "out of memory"},
    {ZR_QM_ERR_DEV_NOT_FOUND, "ZR_QM_ERR_DEV_NOT_FOUND", "no managed device has this MAC address"},
    {ZR_QM_ERR_DEV_NO_SESSION, "ZR_QM_ERR_DEV_NO_SESSION", "the device holds no session: it is not logged in"},
    {ZR_QM_ERR_DEV_EXISTS, "ZR_QM_ERR_DEV_EXISTS", "a device with this MAC address is managed already"},
    {ZR_QM_ERR_DEV_TYPE, "ZR_QM_ERR_DEV_TYPE", "the model is none of the six known models"},
    {ZR_QM_ERR_FILE_READ, "ZR_QM_ERR_FILE_READ", "the file could not be read to its end"},
    {ZR_QM_ERR_MAC_MISMATCH, "ZR_QM_ERR_MAC_MISMATCH", "another receiver answers at the device's address"},
    {ZR_QM_ERR_CONNECT, "ZR_QM_ERR_CONNECT", "the receiver could not be reached"},
    {ZR_QM_ERR_ACCESS_DENIED, "ZR_QM_ERR_ACCESS_DENIED", "the transfer was denied access by the receiver"},
    {ZR_QM_ERR_JSON, "ZR_QM_ERR_JSON", "the receiver's answer could not be read"},
    {ZR_QM_ERR_DEV_REFUSED, "ZR_QM_ERR_DEV_REFUSED", "the receiver refused the request"},
    {ZR_QM_ERR_DEV_AUTH, "ZR_QM_ERR_DEV_AUTH", "the receiver rejected the user name or password"},
    {ZR_QM_ERR_BATCH_PARTIAL, "ZR_QM_ERR_BATCH_PARTIAL", "some devices succeeded and some failed"},
    {ZR_QM_ERR_BATCH_FAILED, "ZR_QM_ERR_BATCH_FAILED", "no device succeeded"},
    {ZR_QM_ERR_GROUP, "ZR_QM_ERR_GROUP", "the group exists already, or there is no such group"},
    {ZR_QM_ERR_GROUP_NAME_LONG, "ZR_QM_ERR_GROUP_NAME_LONG", "the group name is 128 bytes or longer"},
    {ZR_QM_ERR_USER_EXISTS, "ZR_QM_ERR_USER_EXISTS", "an account with this user name exists already"},
    {ZR_QM_ERR_USER_NOT_FOUND, "ZR_QM_ERR_USER_NOT_FOUND", "there is no account with this user name"},
    {ZR_QM_ERR_PASSWORD, "ZR_QM_ERR_PASSWORD", "the password is wrong"},
    {ZR_QM_ERR_NOT_LOGGED_IN, "ZR_QM_ERR_NOT_LOGGED_IN", "no operator is logged in"},
    {ZR_QM_ERR_ALREADY_LOGGED_IN, "ZR_QM_ERR_ALREADY_LOGGED_IN", "an operator is logged in already"},
    {ZR_QM_ERR_SUPER_ADMIN, "ZR_QM_ERR_SUPER_ADMIN", "the built-in super administrator cannot be deleted"},
    {ZR_QM_ERR_MULTICAST_IN_NINE, "ZR_QM_ERR_MULTICAST_IN_NINE",
     "the receiver shows nine pictures, which excludes multicast mode"},
    {ZR_QM_ERR_NINE_IN_MULTICAST, "ZR_QM_ERR_NINE_IN_MULTICAST",
     "the receiver is in multicast mode, which excludes the nine-picture display"},
    {ZR_QM_ERR_DEV_OFFLINE, "ZR_QM_ERR_DEV_OFFLINE", "the device is not online (idle, casting or upgrading)"},
    {ZR_QM_ERR_HTTP, "ZR_QM_ERR_HTTP", "the receiver answered with an HTTP failure status"},
    {ZR_QM_ERR_HTTP_401, "ZR_QM_ERR_HTTP_401", "the receiver no longer accepts the session (HTTP 401)"},
    {ZR_QM_ERR_DEV_LOGIN, "ZR_QM_ERR_DEV_LOGIN", "the receiver refused the login: user name or password wrong"},
    {ZR_QM_ERR_HTTP_400, "ZR_QM_ERR_HTTP_400", "the receiver answered HTTP 400 (bad request)"},
    {ZR_QM_ERR_HTTP_403, "ZR_QM_ERR_HTTP_403", "the receiver answered HTTP 403 (forbidden)"},
    {ZR_QM_ERR_HTTP_404, "ZR_QM_ERR_HTTP_404", "the receiver answered HTTP 404 (not found)"},
    {ZR_QM_ERR_HTTP_500, "ZR_QM_ERR_HTTP_500", "the receiver answered HTTP 500 (internal error)"},
    {ZR_QM_ERR_HTTP_501, "ZR_QM_ERR_HTTP_501", "the receiver answered HTTP 501 (not implemented)"},
    {ZR_QM_ERR_HTTP_502, "ZR_QM_ERR_HTTP_502", "the receiver answered HTTP 502 (bad gateway)"},
    {ZR_QM_ERR_HTTP_503, "ZR_QM_ERR_HTTP_503", "the receiver answered HTTP 503 (unavailable)"},
    {ZR_QM_ERR_HTTP_411, "ZR_QM_ERR_HTTP_411", "the receiver answered HTTP 411 (length required)"},
    {ZR_QM_ERR_HTTP_417, "ZR_QM_ERR_HTTP_417", "the receiver answered HTTP 417 (expectation failed)"},
    {ZR_QM_ERR_HTTP_505, "ZR_QM_ERR_HTTP_505", "the receiver answered HTTP 505 (version not supported)"},
    {ZR_QM_ERR_TIMEOUT, "ZR_QM_ERR_TIMEOUT", "the receiver did not answer in time"},
};

const ErrorText *Find(int code) {
    for (const ErrorText &error : kErrors) {
        if (error.code == code) return &error;
    }
    return nullptr;
}

std::string Describe(int code, const std::string &detail) {
    std::string text = ErrorExplanation(code);
    return detail.empty() ? text : detail + ": " + text;
}

} // namespace

Failure::Failure(int code, const std::string &detail)
    : std::runtime_error(Describe(code, detail)), code_(code), name_(ErrorName(code)),
      exit_status_(code == ZR_QM_ERR_PARAM ? kExitUsage : kExitFailed) {}

Failure::Failure(int code, std::string name, const std::string &message, int exit_status)
    : std::runtime_error(message), code_(code), name_(std::move(name)), exit_status_(exit_status) {}

Failure Refusal(int code, const std::string &message) {
    return Failure(code, ErrorName(code), message, code == ZR_QM_ERR_PARAM ? kExitUsage : kExitFailed);
}

Failure UsageFailure(const std::string &detail) { return Failure(0, "usage", detail, kExitUsage); }

Failure ParameterFailure(const std::string &detail) { return Refusal(ZR_QM_ERR_PARAM, detail); }

std::string ErrorName(int code) {
    if (const ErrorText *error = Find(code)) return error->name;
    return std::to_string(code);
}

std::string ErrorExplanation(int code) {
    if (const ErrorText *error = Find(code)) return error->explanation;
    if (code == -1) return "the operation failed (set KORVEL_DEBUG_OUTPUT=1 to see the library's log)";
    return "the operation failed with an unlisted result code";
}

int Check(int result, const std::string &detail) {
    if (result < 0) throw Failure(result, detail);
    return result;
}

} // namespace talvoctl
