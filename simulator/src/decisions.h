// What the servers of a receiver do with a request, as the fleet decides it
// (answer, faults, presence), and the interface the servers ask through.
#pragma once

#include <chrono>
#include <string>

#include "http_answers.h"

namespace talvo_sim {

struct HttpDecision {
    enum class Action { Reply, Hold, Close, Stall };
    Action action = Action::Reply;
    int status = 200;
    std::string body;
    std::string location;            // for redirections
    std::chrono::milliseconds delay{0};
    Effect effect = Effect::None;
};

struct TcpDecision {
    enum class Action { Reply, Silence, Close };
    Action action = Action::Reply;
    std::string frame;               // length prefix and payload, as sent
    std::chrono::milliseconds delay{0};
    Effect effect = Effect::None;
};

// Called by the servers on the loop thread.
class RequestHandler {
public:
    virtual ~RequestHandler() = default;
    virtual HttpDecision OnHttp(const std::string &mac, RequestRecord record, bool upload_well_formed) = 0;
    virtual TcpDecision OnTcp(const std::string &mac, const std::string &payload) = 0;
    // After an answer went out (or was given up).
    virtual void OnEffect(const std::string &mac, Effect effect) = 0;
    virtual void OnDatagram(const std::string &text, const std::string &sender) = 0;
};

} // namespace talvo_sim
