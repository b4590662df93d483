// Records of the HTTP request form shared by every request family.
#pragma once

#include <cstdint>

namespace korvel {

// One request parameter; the value is escaped when the query is built.
struct QueryParam {
    char key[64];
    char value[64];
};

// What a transfer brought back. The caller clears it before the request.
struct HttpResponse {
    int32_t http_version;
    int32_t status_code;
    char body[4096]; // zero-terminated, cut at 4095 characters
};

} // namespace korvel
