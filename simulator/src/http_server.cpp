#include "http_server.h"

#include <event2/buffer.h>
#include <event2/http.h>
#include <event2/keyvalq_struct.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>

#include "multipart.h"

namespace talvo_sim {

namespace {

constexpr const char *kDefaultBoundary = "----WebKitFormBoundaryRVr";
constexpr ev_ssize_t kMaxBody = 256 * 1024 * 1024;

std::string MethodName(evhttp_cmd_type command) {
    switch (command) {
    case EVHTTP_REQ_GET: return "GET";
    case EVHTTP_REQ_PUT: return "PUT";
    case EVHTTP_REQ_POST: return "POST";
    case EVHTTP_REQ_HEAD: return "HEAD";
    default: return "OTHER";
    }
}

std::string Decoded(const std::string &text) {
    size_t size = 0;
    char *decoded = evhttp_uridecode(text.c_str(), 1, &size);
    if (decoded == nullptr) return text;
    std::string value(decoded, size);
    std::free(decoded);
    return value;
}

std::map<std::string, std::string> QueryOf(const std::string &target) {
    std::map<std::string, std::string> query;
    std::size_t mark = target.find('?');
    if (mark == std::string::npos) return query;
    std::size_t at = mark + 1;
    while (at <= target.size()) {
        std::size_t end = target.find('&', at);
        if (end == std::string::npos) end = target.size();
        std::string item = target.substr(at, end - at);
        std::size_t equals = item.find('=');
        if (!item.empty()) {
            query[Decoded(item.substr(0, equals))] =
                equals == std::string::npos ? "" : Decoded(item.substr(equals + 1));
        }
        at = end + 1;
    }
    return query;
}

std::string Header(evhttp_request *request, const char *name) {
    const char *value = evhttp_find_header(evhttp_request_get_input_headers(request), name);
    return value == nullptr ? "" : value;
}

// Fills the request record from what evhttp read; returns whether an
// upload body was a well-formed multipart form.
bool ReadRequest(evhttp_request *request, RequestRecord &record) {
    record.protocol = "http";
    record.method = MethodName(evhttp_request_get_command(request));
    record.path = evhttp_request_get_uri(request);
    record.query = QueryOf(record.path);
    auto action = record.query.find("action");
    if (action != record.query.end()) record.action = action->second;
    auto section = record.query.find("section");
    record.has_section = section != record.query.end();
    if (record.has_section) record.section = section->second;
    record.cookie = Header(request, "Cookie");
    record.content_type = Header(request, "Content-Type");
    if (record.action != "upload") return false;

    evbuffer *input = evhttp_request_get_input_buffer(request);
    std::size_t length = evbuffer_get_length(input);
    const char *bytes = reinterpret_cast<const char *>(evbuffer_pullup(input, -1));
    std::string boundary = BoundaryOf(record.content_type);
    UploadPart part;
    if (!ParseUpload(std::string_view(bytes == nullptr ? "" : bytes, length),
                     boundary.empty() ? kDefaultBoundary : boundary, part)) {
        return false;
    }
    record.upload_head = part.head;
    record.upload_file_name = part.file_name;
    record.upload_size = part.content.size();
    record.upload_md5 = Md5Hex(std::string(part.content));
    return true;
}

void AddAnswerHeaders(evhttp_request *request, const HttpDecision &decision) {
    evkeyvalq *headers = evhttp_request_get_output_headers(request);
    evhttp_add_header(headers, "Content-Type", "application/json");
    if (!decision.location.empty()) evhttp_add_header(headers, "Location", decision.location.c_str());
}

} // namespace

HttpServer::HttpServer(EventLoop &loop, RequestHandler &handler, std::string mac)
    : loop_(loop), handler_(handler), mac_(std::move(mac)) {}

HttpServer::~HttpServer() { Close(); }

void HttpServer::Open(const std::string &address, std::uint16_t port) {
    if (http_ != nullptr) return;
    http_ = evhttp_new(loop_.Base());
    evhttp_set_allowed_methods(http_, EVHTTP_REQ_GET | EVHTTP_REQ_PUT | EVHTTP_REQ_POST | EVHTTP_REQ_HEAD);
    evhttp_set_max_body_size(http_, kMaxBody);
    evhttp_set_gencb(http_, &HttpServer::OnRequest, this);
    if (evhttp_bind_socket(http_, address.c_str(), port) != 0) {
        int error = errno;
        evhttp_free(http_);
        http_ = nullptr;
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + ": " +
                                 std::strerror(error));
    }
}

void HttpServer::Close() {
    if (http_ != nullptr) {
        evhttp_free(http_); // frees every connection; OnConnectionClosed drops their pending answers
        http_ = nullptr;
    }
    for (auto &[id, pending] : pending_) loop_.Cancel(pending.timer);
    pending_.clear();
}

void HttpServer::DropHeld() {
    std::set<evhttp_connection *> held;
    for (const auto &[id, pending] : pending_) {
        if (pending.decision.action == HttpDecision::Action::Hold ||
            pending.decision.action == HttpDecision::Action::Stall) {
            held.insert(pending.connection);
        }
    }
    for (evhttp_connection *connection : held) CloseConnection(connection);
}

void HttpServer::OnRequest(evhttp_request *request, void *self) {
    auto *server = static_cast<HttpServer *>(self);
    RequestRecord record;
    bool well_formed = ReadRequest(request, record);
    server->Execute(request, server->handler_.OnHttp(server->mac_, std::move(record), well_formed));
}

void HttpServer::Execute(evhttp_request *request, HttpDecision decision) {
    using Action = HttpDecision::Action;
    switch (decision.action) {
    case Action::Hold:
        Keep(request, std::move(decision));
        return;
    case Action::Stall:
        StartStall(request, decision);
        Keep(request, std::move(decision));
        return;
    case Action::Close: {
        std::uint64_t id = Keep(request, std::move(decision));
        pending_[id].timer = loop_.After(std::chrono::milliseconds(0), [this, id] { Fire(id); });
        return;
    }
    case Action::Reply:
        if (decision.delay.count() > 0) {
            auto delay = decision.delay;
            std::uint64_t id = Keep(request, std::move(decision));
            pending_[id].timer = loop_.After(delay, [this, id] { Fire(id); });
            return;
        }
        Reply(request, decision);
        if (decision.effect != Effect::None) handler_.OnEffect(mac_, decision.effect);
        return;
    }
}

void HttpServer::Reply(evhttp_request *request, const HttpDecision &decision) {
    AddAnswerHeaders(request, decision);
    evbuffer *body = evbuffer_new();
    evbuffer_add(body, decision.body.data(), decision.body.size());
    evhttp_send_reply(request, decision.status, nullptr, body);
    evbuffer_free(body);
}

// Announces the whole body but sends only its first half.
void HttpServer::StartStall(evhttp_request *request, const HttpDecision &decision) {
    AddAnswerHeaders(request, decision);
    evhttp_add_header(evhttp_request_get_output_headers(request), "Content-Length",
                      std::to_string(decision.body.size()).c_str());
    evhttp_send_reply_start(request, decision.status, nullptr);
    evbuffer *part = evbuffer_new();
    evbuffer_add(part, decision.body.data(), decision.body.size() / 2);
    evhttp_send_reply_chunk(request, part);
    evbuffer_free(part);
}

std::uint64_t HttpServer::Keep(evhttp_request *request, HttpDecision decision) {
    std::uint64_t id = next_pending_++;
    evhttp_connection *connection = evhttp_request_get_connection(request);
    evhttp_connection_set_closecb(connection, &HttpServer::OnConnectionClosed, this);
    pending_[id] = Pending{this, id, request, connection, std::move(decision), 0};
    return id;
}

void HttpServer::Fire(std::uint64_t id) {
    auto found = pending_.find(id);
    if (found == pending_.end()) return;
    Pending pending = std::move(found->second);
    pending_.erase(found);
    if (pending.decision.action == HttpDecision::Action::Close) {
        CloseConnection(pending.connection);
        return;
    }
    Reply(pending.request, pending.decision);
    if (pending.decision.effect != Effect::None) handler_.OnEffect(mac_, pending.decision.effect);
}

void HttpServer::CloseConnection(evhttp_connection *connection) { evhttp_connection_free(connection); }

// evhttp frees the requests still on the connection; a request it already
// detached (the peer went away first) is ours to free.
void HttpServer::OnConnectionClosed(evhttp_connection *connection, void *self) {
    auto *server = static_cast<HttpServer *>(self);
    for (auto it = server->pending_.begin(); it != server->pending_.end();) {
        if (it->second.connection != connection) {
            ++it;
            continue;
        }
        server->loop_.Cancel(it->second.timer);
        if (evhttp_request_get_connection(it->second.request) == nullptr) evhttp_request_free(it->second.request);
        Effect effect = it->second.decision.effect;
        it = server->pending_.erase(it);
        if (effect != Effect::None) server->handler_.OnEffect(server->mac_, effect);
    }
}

} // namespace talvo_sim
