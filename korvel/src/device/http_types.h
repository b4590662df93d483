// Records of the HTTP request form shared by every request family.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvel {

// One request parameter; the value is escaped when the query is built. Values
// are whole texts (an RTSP address may hold 255 characters), never cut.
struct QueryParam {
    std::string key;
    std::string value;
};

// Most body bytes a transfer keeps. Answers are far smaller; a longer body is
// cut and then fails its JSON conversion.
constexpr size_t kMaxResponseBody = 64 * 1024;

// What a transfer brought back. The caller starts with an empty record.
struct HttpResponse {
    int32_t http_version = 0;
    int32_t status_code = 0;
    std::string body;
};

} // namespace korvel
