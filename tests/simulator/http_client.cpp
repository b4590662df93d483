#include "http_client.h"

#include <cstdio>
#include <cstring>

#include "talvo_sim/fleet.h"

namespace sim_test {

namespace {

size_t Collect(char *data, size_t size, size_t count, void *target) {
    static_cast<std::string *>(target)->append(data, size * count);
    return size * count;
}

struct Source {
    std::string body;
    size_t sent = 0;
};

size_t Feed(char *buffer, size_t size, size_t count, void *arg) {
    auto *source = static_cast<Source *>(arg);
    size_t n = std::min(size * count, source->body.size() - source->sent);
    std::memcpy(buffer, source->body.data() + source->sent, n);
    source->sent += n;
    return n;
}

HttpResult Perform(CURL *curl, const std::string &address, const std::string &path, const std::string &cookie,
                   long timeout_ms) {
    HttpResult result;
    std::string url = "http://" + address + ":80" + path;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 3000L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout_ms);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
    if (!cookie.empty()) curl_easy_setopt(curl, CURLOPT_COOKIE, cookie.c_str());
    result.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    char *location = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location != nullptr) {
        result.location = location;
    }
    curl_easy_cleanup(curl);
    return result;
}

HttpResult Put(const std::string &address, const std::string &path, const std::string &cookie, Source source,
               bool multipart) {
    CURL *curl = curl_easy_init();
    curl_slist *headers = nullptr;
    if (multipart) {
        headers = curl_slist_append(headers, "Content-Type: multipart/form-data; boundary=----WebKitFormBoundaryRVr");
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Feed);
    curl_easy_setopt(curl, CURLOPT_READDATA, &source);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source.body.size()));
    HttpResult result = Perform(curl, address, path, cookie, 60000);
    curl_slist_free_all(headers);
    return result;
}

} // namespace

HttpResult Get(const std::string &address, const std::string &path, const std::string &cookie, long timeout_ms) {
    return Perform(curl_easy_init(), address, path, cookie, timeout_ms);
}

HttpResult Upload(const std::string &address, const std::string &path, const std::string &cookie,
                  const std::string &file_name, const std::string &content) {
    std::string body = "------WebKitFormBoundaryRVr\r\n"
                       "Content-Disposition: form-data; name=\"file\"; filename=\"" +
                       file_name +
                       "\"\r\n"
                       "Content-Type: application/octet-stream\r\n\r\n" +
                       content + "\r\n------WebKitFormBoundaryRVr--\r\n";
    return Put(address, path, cookie, Source{body}, true);
}

HttpResult PutRaw(const std::string &address, const std::string &path, const std::string &cookie,
                  const std::string &body) {
    return Put(address, path, cookie, Source{body}, true);
}

std::string LoginCookie(const std::string &address, const std::string &user, const std::string &password) {
    HttpResult login = Get(address, "/do?action=login&username=" + user + "&password=" +
                                        talvo_sim::Md5Hex(password) +
                                        "&devicetype=DeviceManagerSoftware&odmname=TALVO&productid=KARVEN");
    Json answer = Parse(login.body);
    if (Member(answer.get(), "result") != "1") return "";
    return " sessionid=" + Member(answer.get(), "sessionId") + "; username=" + user + ";";
}

Json Parse(const std::string &text) { return Json(cJSON_Parse(text.c_str())); }

std::string Member(const cJSON *json, const std::string &path) {
    const cJSON *at = json;
    std::size_t start = 0;
    while (at != nullptr && start <= path.size()) {
        std::size_t dot = path.find('.', start);
        std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        at = cJSON_GetObjectItemCaseSensitive(at, name.c_str());
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (at == nullptr) return "";
    if (cJSON_IsString(at)) return at->valuestring;
    if (cJSON_IsNumber(at)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", at->valuedouble);
        return text;
    }
    return "";
}

} // namespace sim_test
