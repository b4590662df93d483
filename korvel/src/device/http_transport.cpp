// The HTTP transport of a device: query building, GET on fresh or persistent
// handles, and multipart uploads sent as PUT.
#include "device/http_transport.h"

#include <curl/curl.h>

#include <filesystem>
#include <memory>
#include <new>

#include "core/log.h"
#include "device/device.h"
#include "device/upload_source.h"
#include "korvel.h"
#include "platform/debug_output.h"
#include "platform/sockets.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

constexpr long kConnectTimeoutSeconds = 3;
constexpr long kUploadTimeoutSeconds = 500;
constexpr long kKeepIdleSeconds = 120;
constexpr long kKeepIntervalSeconds = 60;
constexpr long kMaxRedirections = 1;

bool IsPlainByte(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

void AppendEscaped(std::string &query, const std::string &value) {
    static const char kHex[] = "0123456789abcdef";
    for (unsigned char byte : value) {
        if (IsPlainByte(byte)) {
            query.push_back(static_cast<char>(byte));
        } else {
            query.push_back('%');
            query.push_back(kHex[byte >> 4]);
            query.push_back(kHex[byte & 0x0F]);
        }
    }
}

// Collects the body into the response, keeping at most kMaxResponseBody bytes.
size_t WriteBody(char *piece, size_t size, size_t count, void *target) {
    auto *response = static_cast<HttpResponse *>(target);
    if (piece == nullptr || response == nullptr) {
        KLOG("[%s]:[%d] response has no data.");
        return 0;
    }
    size_t bytes = size * count;
    size_t room = kMaxResponseBody - std::min(kMaxResponseBody, response->body.size());
    response->body.append(piece, std::min(bytes, room));
    return bytes;
}

size_t ReadUpload(char *buffer, size_t size, size_t count, void *source) {
    std::optional<size_t> placed = static_cast<UploadSource *>(source)->Read(buffer, size * count);
    return placed ? *placed : CURL_READFUNC_ABORT;
}

// The transfer's trace goes where the library's log goes.
int TraceTransfer(CURL *, curl_infotype type, char *data, size_t size, void *) {
    if (type == CURLINFO_TEXT || type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT) {
        platform::DebugOutput(std::string(data, size).c_str());
    }
    return 0;
}

// Opens the socket of a connection unless it would go to the unspecified
// address (a device that handed its address over holds "0.0.0.0", which
// Linux would take for this machine): the transfer then fails to connect.
curl_socket_t OpenSocketUnlessUnspecified(void *, curlsocktype, curl_sockaddr *address) {
    if (platform::IsUnspecifiedAddress(&address->addr)) return CURL_SOCKET_BAD;
    return ::socket(address->family, address->socktype, address->protocol);
}

// Options every new handle gets. No environment proxy applies: receivers sit
// on the local network. No signals: handles run on many threads. Plain HTTP
// only, so an address text read from a record can never make the transfer
// read a local file or speak another protocol.
CURL *NewHandle() {
    CURL *handle = curl_easy_init();
    if (handle == nullptr) return nullptr;
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle, CURLOPT_DEFAULT_PROTOCOL, "http");
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPIDLE, kKeepIdleSeconds);
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPINTVL, kKeepIntervalSeconds);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirections);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, OpenSocketUnlessUnspecified);
    return handle;
}

struct HandleDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using HandlePtr = std::unique_ptr<CURL, HandleDeleter>;

struct HeaderListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using HeaderListPtr = std::unique_ptr<curl_slist, HeaderListDeleter>;

void SetTarget(CURL *handle, const std::string &url, const char *cookie, HttpResponse &response) {
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    if (cookie != nullptr) curl_easy_setopt(handle, CURLOPT_COOKIE, cookie);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &response);
}

// Status code and HTTP version of the finished transfer; 0 or -1.
int TakeStatus(CURL *handle, HttpResponse &response) {
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) {
        KLOG("[%s]:[%d] curl_easy_getinfo CURLINFO_RESPONSE_CODE failed");
        return -1;
    }
    long version = 0;
    curl_easy_getinfo(handle, CURLINFO_HTTP_VERSION, &version);
    response.status_code = static_cast<int32_t>(status);
    response.http_version = static_cast<int32_t>(version);
    return 0;
}

int PerformGet(CURL *handle, const std::string &url, const char *cookie, HttpResponse &response, long timeout) {
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, timeout);
    SetTarget(handle, url, cookie, response);
    CURLcode result = curl_easy_perform(handle);
    if (result != CURLE_OK) return MapTransferError(result);
    return TakeStatus(handle, response);
}

// Content of an upload: the memory given, or the file at `path`. 0 or an error.
int OpenContent(const void *data, size_t size, const char *path, std::FILE *&file, uint64_t &content_size) {
    if (data != nullptr) {
        content_size = size;
        return 0;
    }
    file = path == nullptr ? nullptr : std::fopen(path, "rb");
    if (file == nullptr) {
        KLOG("[%s]:[%d] open file failed.");
        return ZR_QM_ERR_FILE_OPEN;
    }
    std::error_code error;
    content_size = std::filesystem::file_size(path, error);
    if (error) {
        KLOG("[%s]:[%d] get file stat failed.");
        std::fclose(file);
        file = nullptr;
        return -1;
    }
    return 0;
}

} // namespace

int MapTransferError(int transfer_result) {
    switch (transfer_result) {
    case CURLE_COULDNT_CONNECT: return ZR_QM_ERR_CONNECT;
    case CURLE_REMOTE_ACCESS_DENIED: return ZR_QM_ERR_ACCESS_DENIED;
    case CURLE_OPERATION_TIMEDOUT: return ZR_QM_ERR_TIMEOUT;
    default: return -1;
    }
}

int MapHttpStatus(int status) {
    switch (status) {
    case 400: return ZR_QM_ERR_HTTP_400;
    case 401: return ZR_QM_ERR_HTTP_401;
    case 403: return ZR_QM_ERR_HTTP_403;
    case 404: return ZR_QM_ERR_HTTP_404;
    case 408: return ZR_QM_ERR_TIMEOUT;
    case 411: return ZR_QM_ERR_HTTP_411;
    case 417: return ZR_QM_ERR_HTTP_417;
    case 500: return ZR_QM_ERR_HTTP_500;
    case 501: return ZR_QM_ERR_HTTP_501;
    case 502: return ZR_QM_ERR_HTTP_502;
    case 503: return ZR_QM_ERR_HTTP_503;
    case 505: return ZR_QM_ERR_HTTP_505;
    default: return ZR_QM_ERR_HTTP;
    }
}

std::string UploadFileName(const char *path) {
    if (path == nullptr) return "";
    std::string text(path);
    size_t separator = text.find_last_of("\\/");
    return separator == std::string::npos ? text : text.substr(separator + 1);
}

std::string UploadHead(const std::string &file_name) {
    return std::string("--") + kUploadBoundary + "\r\n" +
           "Content-Disposition: form-data; name=\"file\"; filename=\"" + file_name + "\"\r\n" +
           "Content-Type: application/octet-stream\r\n" + "\r\n";
}

std::string UploadTail() { return std::string("\r\n--") + kUploadBoundary + "--\r\n"; }

std::string Device::BuildQuery(const char *action, const char *section, const QueryParam *params, int count) {
    std::string query = "/do?";
    if (action != nullptr) query += std::string("action=") + action;
    if (section != nullptr) query += std::string("&section=") + section;
    for (int i = 0; params != nullptr && i < count; ++i) {
        query += "&" + params[i].key + "=";
        AppendEscaped(query, params[i].value);
    }
    return query;
}

int Device::HttpGet(const std::string &host, const std::string &path, const char *cookie, HttpResponse &response,
                    bool fresh_handle, long timeout_seconds) {
    const std::string url = host + path;
    if (fresh_handle) {
        HandlePtr handle(NewHandle());
        if (!handle) {
            KLOG("[%s]:[%d] curl_easy_init failed");
            return -1;
        }
        return PerformGet(handle.get(), url, cookie, response, timeout_seconds);
    }
    std::lock_guard<std::mutex> lock(requests_);
    if (persistent_ == nullptr) {
        persistent_ = NewHandle();
        if (persistent_ == nullptr) {
            KLOG("[%s]:[%d] curl_easy_init failed");
            return -1;
        }
    }
    return PerformGet(persistent_, url, cookie, response, timeout_seconds);
}

int Device::HttpUpload(const std::string &host, const std::string &path, const char *cookie, const void *data,
                       size_t size, const char *file_path, HttpResponse &response) {
    std::FILE *file = nullptr;
    uint64_t content_size = 0;
    int opened = OpenContent(data, size, file_path, file, content_size);
    if (opened != 0) return opened;
    std::unique_ptr<UploadSource> source;
    if (file != nullptr) {
        source.reset(new (std::nothrow) UploadSource(UploadHead(UploadFileName(file_path)), UploadTail(), file,
                                                     content_size));
        if (!source) std::fclose(file);
    } else {
        source.reset(new (std::nothrow) UploadSource(UploadHead(UploadFileName(file_path)), UploadTail(), data,
                                                     content_size));
    }
    if (!source) {
        KLOG("[%s]:[%d] malloc failed.");
        return ZR_QM_ERR_NO_MEMORY;
    }
    HandlePtr handle(NewHandle());
    if (!handle) return -1;
    CURL *h = handle.get();
    SetTarget(h, host + path, cookie, response);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(h, CURLOPT_READDATA, source.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source->TotalSize()));
    HeaderListPtr headers(
        curl_slist_append(nullptr, (std::string("Content-Type: multipart/form-data; boundary=") + kUploadBoundary).c_str()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, TraceTransfer);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, kUploadTimeoutSeconds);
    CURLcode result = curl_easy_perform(h);
    if (result != CURLE_OK) {
        KLOG("[%s]:[%d] curl_easy_perform() failed: %s.", curl_easy_strerror(result));
        return MapTransferError(result);
    }
    curl_off_t speed = 0;
    curl_off_t total = 0;
    if (curl_easy_getinfo(h, CURLINFO_SPEED_UPLOAD_T, &speed) != CURLE_OK ||
        curl_easy_getinfo(h, CURLINFO_TOTAL_TIME_T, &total) != CURLE_OK) {
        KLOG("[%s]:[%d] curl_easy_getinfo CURLINFO_SPEED_UPLOAD or CURLINFO_TOTAL_TIME failed");
    }
    TakeStatus(h, response);
    return 0;
}

} // namespace korvel
