// What a receiver answers to one HTTP request, and what it does afterwards.
// Pure logic over the receiver's state: no sockets here.
#pragma once

#include <cstdint>
#include <string>

#include "receiver.h"

namespace talvo_sim {

// Done after the answer went out.
enum class Effect { None, Reboot, Shutdown };

struct HttpAnswer {
    int status = 200;
    std::string body;
    Effect effect = Effect::None;
};

struct AnswerContext {
    Clock::time_point now;
    std::uint64_t random = 0;      // for session ids
    std::string answer_mac;        // the MAC the answers name (the receiver's own, or a foreign one)
    Clock::duration install_time{};
    bool upload_well_formed = false; // the PUT body was a multipart form
};

// Answers a request of a receiver that is online. Changes the receiver as the
// request asks (saves, sessions, installs).
HttpAnswer AnswerRequest(Receiver &receiver, const RequestRecord &request, const AnswerContext &context);

// True for requests that only read (their refusal keeps the data members).
bool IsRead(const RequestRecord &request);

} // namespace talvo_sim
