// A plain libcurl client for the simulator's tests: one request, one fresh
// connection, no proxy.
#pragma once

#include <cjson/cJSON.h>
#include <curl/curl.h>

#include <memory>
#include <string>

namespace sim_test {

struct HttpResult {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string location;
};

// GET http://ADDRESS:80PATH with an optional cookie.
HttpResult Get(const std::string &address, const std::string &path, const std::string &cookie = "",
               long timeout_ms = 20000);

// PUT of a multipart body (the form the library sends) with file name and content.
HttpResult Upload(const std::string &address, const std::string &path, const std::string &cookie,
                  const std::string &file_name, const std::string &content);
// PUT of raw bytes.
HttpResult PutRaw(const std::string &address, const std::string &path, const std::string &cookie,
                  const std::string &body);

// Logs in with the default credentials; returns the cookie text or "".
std::string LoginCookie(const std::string &address, const std::string &user = "TALVO",
                        const std::string &password = "WQZNE847");

struct JsonDeleter {
    void operator()(cJSON *json) const { cJSON_Delete(json); }
};
using Json = std::unique_ptr<cJSON, JsonDeleter>;
Json Parse(const std::string &text);
// A member by path "result.dev_state"; "" when absent; numbers as decimal text.
std::string Member(const cJSON *json, const std::string &path);

} // namespace sim_test
