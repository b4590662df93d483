// The HTTP service of one receiver on its address, port 80 (evhttp).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "decisions.h"
#include "event_loop.h"

struct evhttp;
struct evhttp_request;
struct evhttp_connection;

namespace talvo_sim {

class HttpServer {
public:
    HttpServer(EventLoop &loop, RequestHandler &handler, std::string mac);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Listens on address:port; throws std::runtime_error when it cannot.
    void Open(const std::string &address, std::uint16_t port);
    // Stops listening and closes every connection.
    void Close();
    // Closes the connections of requests held without an answer.
    void DropHeld();
    bool IsOpen() const { return http_ != nullptr; }

private:
    // A request answered later (delay), never (hold, stall) or by closing.
    struct Pending {
        HttpServer *server;
        std::uint64_t id;
        evhttp_request *request;
        evhttp_connection *connection;
        HttpDecision decision;
        EventLoop::TimerId timer = 0;
    };

    static void OnRequest(evhttp_request *request, void *self);
    static void OnConnectionClosed(evhttp_connection *connection, void *self);
    void Execute(evhttp_request *request, HttpDecision decision);
    void Reply(evhttp_request *request, const HttpDecision &decision);
    void StartStall(evhttp_request *request, const HttpDecision &decision);
    std::uint64_t Keep(evhttp_request *request, HttpDecision decision);
    void Fire(std::uint64_t id);
    void CloseConnection(evhttp_connection *connection);

    EventLoop &loop_;
    RequestHandler &handler_;
    std::string mac_;
    evhttp *http_ = nullptr;
    std::map<std::uint64_t, Pending> pending_;
    std::uint64_t next_pending_ = 1;
};

} // namespace talvo_sim
