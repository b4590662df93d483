// How the fleet answers each request: the receiver's presence first, then
// an injected fault, then the receiver's own answer.
#include <algorithm>

#include "announcement.h"
#include "fleet_impl.h"
#include "json_text.h"

namespace talvo_sim {

namespace {

constexpr const char *kDefaultForeignMac = "02:00:00:00:00:99";

std::string ForeignMac(const Fault &fault) { return fault.text.empty() ? kDefaultForeignMac : fault.text; }

// A text that starts like the answer but is no JSON.
std::string Broken(const std::string &body) {
    std::string start = body.size() >= 8 ? body.substr(0, body.size() / 2) : std::string("{\"err_code\":");
    return start;
}

std::string WithErrCode(const std::string &body, int err_code) {
    JsonPtr answer(cJSON_Parse(body.c_str()));
    if (!cJSON_IsObject(answer.get())) return ErrCodeAnswer(err_code);
    cJSON_ReplaceItemInObjectCaseSensitive(answer.get(), "err_code", cJSON_CreateNumber(err_code));
    return JsonText(answer.get());
}

// Valid JSON of at least `size` bytes: the answer with a long last member.
std::string Oversized(const std::string &body, int size) {
    std::size_t wanted = size > 0 ? static_cast<std::size_t>(size) : 5000;
    JsonPtr answer(cJSON_Parse(body.c_str()));
    if (!cJSON_IsObject(answer.get())) answer.reset(cJSON_CreateObject());
    std::size_t current = JsonText(answer.get()).size();
    std::size_t padding = wanted > current + 13 ? wanted - current - 13 : 1;
    cJSON_AddStringToObject(answer.get(), "padding", std::string(padding, 'x').c_str());
    return JsonText(answer.get());
}

std::vector<std::string> FaultKeys(const RequestRecord &request) {
    std::vector<std::string> keys;
    if (request.has_section && !request.section.empty()) keys.push_back(request.section);
    if (!request.action.empty()) keys.push_back(request.action);
    keys.push_back("*");
    return keys;
}

HttpDecision FromAnswer(const HttpAnswer &answer) {
    HttpDecision decision;
    decision.status = answer.status;
    decision.body = answer.body;
    decision.effect = answer.effect;
    return decision;
}

} // namespace

HttpDecision Fleet::Impl::OnHttp(const std::string &mac, RequestRecord record, bool upload_well_formed) {
    std::lock_guard<std::mutex> lock(mutex);
    Receiver &r = Find(mac).receiver;
    r.Record(record, options.request_log_limit);
    HttpDecision decision;
    if (r.presence != Presence::Online) {
        decision.action = r.presence == Presence::Unresponsive ? HttpDecision::Action::Hold
                                                                : HttpDecision::Action::Close;
        return decision;
    }
    AnswerContext context{Clock::now(), random(), r.config.mac, options.install_time, upload_well_formed};
    Fault fault;
    if (!r.faults.Take(FaultKeys(record), fault)) {
        ++answered;
        return FromAnswer(AnswerRequest(r, record, context));
    }
    switch (fault.type) {
    case FaultType::Unauthorized:
        decision.status = 401;
        break;
    case FaultType::Close:
        decision.action = HttpDecision::Action::Close;
        break;
    case FaultType::Status:
        decision.status = fault.value;
        if (fault.value >= 300 && fault.value < 400) decision.location = "http://" + r.config.address + "/index.html";
        break;
    case FaultType::ErrCode: {
        Receiver scratch = r; // a refused request changes nothing
        decision = FromAnswer(AnswerRequest(scratch, record, context));
        decision.body = WithErrCode(decision.body, fault.value);
        decision.effect = Effect::None;
        break;
    }
    case FaultType::Silence:
        decision.action = HttpDecision::Action::Hold;
        break;
    case FaultType::ForeignMac:
        context.answer_mac = ForeignMac(fault);
        decision = FromAnswer(AnswerRequest(r, record, context));
        break;
    default: // the receiver does what is asked; the fault spoils the answer
        decision = FromAnswer(AnswerRequest(r, record, context));
        if (fault.type == FaultType::Delay) decision.delay = std::chrono::milliseconds(fault.value);
        if (fault.type == FaultType::Stall) decision.action = HttpDecision::Action::Stall;
        if (fault.type == FaultType::BrokenBody) decision.body = Broken(decision.body);
        if (fault.type == FaultType::OversizedBody) decision.body = Oversized(decision.body, fault.value);
        if (decision.body.empty()) decision.body = ErrCodeAnswer(0);
        break;
    }
    ++answered;
    return decision;
}

namespace {

std::string RebootResult(const Receiver &r, const cJSON *command) {
    if (!SameText(StringMember(command, "Wired_MacAddr"), r.config.mac)) return "MacNotMatch";
    if (StringMember(command, "UserName") != r.config.user ||
        !SameText(StringMember(command, "PasswordMd5"), r.config.password_md5)) {
        return "UserNameOrPasswordNotMatch";
    }
    return "Success";
}

std::string RebootAnswer(const Receiver &r, const std::string &message_name, const std::string &result) {
    JsonPtr answer(cJSON_CreateObject());
    cJSON_AddStringToObject(answer.get(), "MsgName", message_name.c_str());
    cJSON_AddStringToObject(answer.get(), "Wired_MacAddr", r.config.mac.c_str());
    cJSON_AddStringToObject(answer.get(), "Device_Type", r.config.model.c_str());
    cJSON_AddStringToObject(answer.get(), "Result", result.c_str());
    cJSON_AddStringToObject(answer.get(), "ProductId", "KARVEN");
    cJSON_AddStringToObject(answer.get(), "Odm_Name", "TALVO");
    return JsonText(answer.get());
}

std::string FrameOfLength(int length) {
    std::uint32_t announced = static_cast<std::uint32_t>(std::clamp(length, 0, 1 << 20));
    return FrameHeader(announced) + std::string(std::min<std::uint32_t>(announced, 8192), 'x');
}

} // namespace

TcpDecision Fleet::Impl::OnTcp(const std::string &mac, const std::string &payload) {
    std::lock_guard<std::mutex> lock(mutex);
    Receiver &r = Find(mac).receiver;
    RequestRecord record;
    record.protocol = "tcp";
    record.method = "TCP";
    record.payload = payload;
    r.Record(record, options.request_log_limit);
    TcpDecision decision;
    if (r.presence != Presence::Online) {
        decision.action = TcpDecision::Action::Silence;
        return decision;
    }
    JsonPtr command(cJSON_Parse(payload.c_str()));
    if (!cJSON_IsObject(command.get()) || StringMember(command.get(), "MsgName") != "DeviceReboot") {
        decision.action = TcpDecision::Action::Close; // not a command this receiver knows
        return decision;
    }
    std::string result = RebootResult(r, command.get());
    std::string message_name = "DeviceRebootAck";
    Fault fault;
    bool faulty = r.faults.Take({"DeviceReboot"}, fault);
    if (faulty) {
        switch (fault.type) {
        case FaultType::Silence: decision.action = TcpDecision::Action::Silence; return decision;
        case FaultType::Close: decision.action = TcpDecision::Action::Close; return decision;
        case FaultType::FrameLength: decision.frame = FrameOfLength(fault.value); return decision;
        case FaultType::BrokenBody: decision.frame = Frame(Broken(RebootAnswer(r, message_name, result))); return decision;
        case FaultType::ForeignMsgName: message_name = fault.text.empty() ? "DeviceReboot" : fault.text; break;
        case FaultType::ResultText: result = fault.text; break;
        case FaultType::Delay: decision.delay = std::chrono::milliseconds(fault.value); break;
        default: break;
        }
    }
    decision.frame = Frame(RebootAnswer(r, message_name, result));
    bool reboots = result == "Success" && (!faulty || fault.type == FaultType::Delay);
    if (reboots) decision.effect = Effect::Reboot;
    ++answered;
    return decision;
}

void Fleet::Impl::OnDatagram(const std::string &text, const std::string &sender) {
    std::vector<std::pair<std::string, std::chrono::milliseconds>> answers;
    {
        std::lock_guard<std::mutex> lock(mutex);
        datagrams.push_back(DatagramRecord{text, sender});
        while (datagrams.size() > options.request_log_limit) datagrams.pop_front();
        std::string request;
        if (!IsDiscoveryRequest(text, request)) return;
        auto now = Clock::now();
        for (auto &[key, node] : nodes) {
            Receiver &r = node->receiver;
            if (r.presence != Presence::Online) continue;
            Fault fault;
            std::string mac = r.config.mac;
            std::string answer_name = request + "Ack";
            std::chrono::milliseconds delay{0};
            if (r.faults.Take({request}, fault)) {
                if (fault.type == FaultType::Silence) continue;
                if (fault.type == FaultType::ForeignMac) mac = ForeignMac(fault);
                if (fault.type == FaultType::Delay) delay = std::chrono::milliseconds(fault.value);
                if (fault.type == FaultType::BrokenBody) {
                    answers.emplace_back(Broken(Announcement(r, answer_name, mac, now)), delay);
                    continue;
                }
            }
            answers.emplace_back(Announcement(r, answer_name, mac, now), delay);
        }
        answered += answers.size();
    }
    for (auto &answer : answers) {
        if (answer.second.count() > 0) {
            loop.After(answer.second, [this, text = answer.first] { discovery->Send(text); });
        } else {
            discovery->Send(answer.first);
        }
    }
}

} // namespace talvo_sim
