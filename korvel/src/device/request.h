// The request form and the outcome rules every request family applies to an
// answer: session check, transport failure, status, JSON conversion, err_code.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "device/http_types.h"
#include "jsonmap.h"

namespace korvel {

constexpr long kRequestTimeoutSeconds = 20;
constexpr long kProgressTimeoutSeconds = 3;

// One GET of /do.
struct RequestForm {
    const char *action = nullptr;
    const char *section = nullptr;
    std::vector<QueryParam> params;
    bool fresh_handle = false;          // a handle of its own instead of the persistent one
    long timeout = kRequestTimeoutSeconds;
    bool needs_session = true;          // refused with ZR_QM_ERR_DEV_NO_SESSION without one
    bool send_cookie = true;            // the session cookie, when there is one
    bool transport_code = false;        // a transport failure returns its code, not -1, unlogged
};

// The log lines of one request family; null where a family logs nothing.
struct FailureLines {
    const char *status;  // a status other than 200
    const char *parse;   // an answer that does not convert
    const char *refused; // an err_code other than 0
};

// The answer of a command: only its verdict.
struct CodeAnswer {
    int32_t err_code;
};
extern const JsonFieldDesc kCodeAnswerSchema[];

// Appends `key` = the field's text when the field is not empty.
template <size_t N>
void AddIfSet(std::vector<QueryParam> &params, const char *key, const char (&field)[N]) {
    size_t length = strnlen(field, N);
    if (length > 0) params.push_back({key, std::string(field, length)});
}

// The text of a fixed-width field, which may lack its terminator.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// ZR_QM_ERR_DEV_REFUSED (logged with `lines.refused`) for an err_code other than 0.
int RefusalOf(int32_t err_code, const FailureLines &lines);

} // namespace korvel
