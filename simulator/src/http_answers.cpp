#include "http_answers.h"

#include <functional>
#include <map>

#include "json_text.h"
#include "settings_rules.h"

namespace talvo_sim {

namespace {

constexpr int kRefused = 1;

HttpAnswer Json(std::string body) { return HttpAnswer{200, std::move(body), Effect::None}; }
HttpAnswer NotFound() { return HttpAnswer{404, "", Effect::None}; }
HttpAnswer Unauthorized() { return HttpAnswer{401, "", Effect::None}; }

std::string Param(const RequestRecord &request, const std::string &key) {
    auto value = request.query.find(key);
    return value == request.query.end() ? "" : value->second;
}

HttpAnswer Login(Receiver &r, const RequestRecord &q, const AnswerContext &ctx) {
    bool accepted = Param(q, "username") == r.config.user &&
                    SameText(Param(q, "password"), r.config.password_md5) &&
                    Param(q, "devicetype") == "DeviceManagerSoftware" && Param(q, "odmname") == "TALVO" &&
                    Param(q, "productid") == "KARVEN";
    JsonPtr answer(cJSON_CreateObject());
    cJSON_AddNumberToObject(answer.get(), "err_code", 0);
    cJSON_AddNumberToObject(answer.get(), "result", accepted ? 1 : 0);
    cJSON_AddStringToObject(answer.get(), "sessionId", accepted ? r.OpenSession(ctx.random).c_str() : "");
    return Json(JsonText(answer.get()));
}

HttpAnswer Logout(Receiver &r, const RequestRecord &q) {
    r.CloseSession(q.cookie);
    JsonPtr answer(cJSON_CreateObject());
    cJSON_AddNumberToObject(answer.get(), "err_code", 0);
    cJSON_AddNumberToObject(answer.get(), "result", 1);
    return Json(JsonText(answer.get()));
}

cJSON *StateResult(const Receiver &r, const AnswerContext &ctx) {
    cJSON *result = cJSON_CreateObject();
    cJSON_AddStringToObject(result, "dev_state", r.ReportedState(ctx.now).c_str());
    cJSON_AddNumberToObject(result, "dev_runtime", r.RunTime(ctx.now));
    cJSON_AddStringToObject(result, "dev_mac", ctx.answer_mac.c_str());
    return result;
}

cJSON *HostMembersResult(const Receiver &r) {
    cJSON *result = cJSON_CreateObject();
    cJSON_AddNumberToObject(result, "num", static_cast<double>(r.config.host_members.size()));
    cJSON *devs = cJSON_AddArrayToObject(result, "devs");
    for (const HostMember &m : r.config.host_members) {
        cJSON *member = cJSON_CreateObject();
        cJSON_AddStringToObject(member, "conn_ip", m.conn_ip.c_str());
        cJSON_AddStringToObject(member, "conn_type", m.conn_type.c_str());
        cJSON_AddStringToObject(member, "conn_name", m.conn_name.c_str());
        cJSON_AddStringToObject(member, "play_video", m.play_video.c_str());
        cJSON_AddStringToObject(member, "play_audio", m.play_audio.c_str());
        cJSON_AddNumberToObject(member, "media_num", m.media_num);
        cJSON_AddItemToArray(devs, member);
    }
    return result;
}

cJSON *ProgressResult(const Receiver &r, const std::string &section, const AnswerContext &ctx) {
    cJSON *result = cJSON_CreateObject();
    const char *member = section == "upgradeprogress" ? "upgradeprogress" : "update_progress";
    cJSON_AddNumberToObject(result, member, r.Progress(section, ctx.now));
    return result;
}

HttpAnswer Read(Receiver &r, const RequestRecord &q, const AnswerContext &ctx) {
    const std::string &s = q.section;
    if (s == "dev_state") return Json(ResultAnswer(0, StateResult(r, ctx)));
    if (s == kDevStatus || s == kNetSettings || s == kVideoOut || s == kPinCode || s == kMultiMode) {
        return Json(ResultAnswer(0, SettingsObject(SectionForRead(r, s, ctx.answer_mac))));
    }
    if (s == "compere_mode") return Json(ResultAnswer(0, HostMembersResult(r)));
    if (IsProgressSection(s) && q.has_section) return Json(ResultAnswer(0, ProgressResult(r, s, ctx)));
    return NotFound();
}

HttpAnswer Save(Receiver &r, const RequestRecord &q) {
    const std::string &s = q.section;
    if (s == "compere_mode") return Json(ErrCodeAnswer(SaveHostMember(r, q.query)));
    if (s == kNetSettings || s == kVideoOut || s == kPinCode || s == kMultiMode) {
        return Json(ErrCodeAnswer(SaveSection(r, s, q.query)));
    }
    return NotFound();
}

HttpAnswer Update(Receiver &r, const RequestRecord &q) {
    std::string *digest = q.section == "QM_login_pwd" ? &r.config.password_md5
                          : q.section == "login_pwd"  ? &r.config.web_password_md5
                                                      : nullptr;
    if (digest == nullptr) return NotFound();
    std::string old_digest = Param(q, "admin_pwd_old");
    std::string new_digest = Param(q, "admin_pwd_new");
    if (!SameText(old_digest, *digest) || new_digest.empty()) return Json(ErrCodeAnswer(kRefused));
    *digest = LowerCase(new_digest);
    return Json(ErrCodeAnswer(0));
}

HttpAnswer Command(Effect effect) { return HttpAnswer{200, ErrCodeAnswer(0), effect}; }

HttpAnswer Reset(Receiver &r, const RequestRecord &q) {
    if (q.section != "dev_reset") return NotFound();
    r.config = r.factory;
    r.installs.clear();
    return Command(Effect::Reboot);
}

HttpAnswer Wifi(Receiver &r, const RequestRecord &q, bool on) {
    if (q.section != "dev_wifi") return NotFound();
    r.config.settings[kNetSettings]["wifi_on"] = on ? "true" : "false";
    r.config.settings[kDevStatus]["wifi_on_status"] = on ? "true" : "false";
    return Command(Effect::None);
}

HttpAnswer Control(Receiver &r, const RequestRecord &q) {
    if (q.section == "dev_reboot" && q.action == "reboot") return Command(Effect::Reboot);
    if (q.section != "dev_control") return NotFound();
    if (q.action == "sleep") r.config.state = "standby";
    else if (q.action == "wakeup") r.config.state = "idle";
    else if (q.action == "reboot") return Command(Effect::Reboot);
    else if (q.action == "shutdown") return Command(Effect::Shutdown);
    else return NotFound();
    return Command(Effect::None);
}

HttpAnswer Upload(Receiver &r, const RequestRecord &q, const AnswerContext &ctx) {
    UploadTarget target;
    if (!FindUploadTarget(q.section, target)) return NotFound();
    if (!ctx.upload_well_formed) return HttpAnswer{400, "", Effect::None};
    if (target.checks_md5 && !SameText(Param(q, "md5"), q.upload_md5)) return Json(ErrCodeAnswer(kRefused));
    r.files[q.section] = ReceivedFile{q.upload_file_name, q.upload_size, q.upload_md5};
    if (target.installs) r.installs[target.progress_section] = Install{ctx.now, ctx.install_time};
    return Json(ErrCodeAnswer(0));
}

bool NeedsSession(const Receiver &r, const RequestRecord &q) {
    if (q.action == "login" || q.action == "logout") return false;
    if (q.action == "read" && q.section == "dev_state") return r.config.state_needs_session;
    return true;
}

} // namespace

bool IsRead(const RequestRecord &request) { return request.action == "read"; }

HttpAnswer AnswerRequest(Receiver &r, const RequestRecord &q, const AnswerContext &ctx) {
    if (NeedsSession(r, q) && !r.HasSession(q.cookie)) return Unauthorized();
    const std::string &a = q.action;
    if (a == "login") return Login(r, q, ctx);
    if (a == "logout") return Logout(r, q);
    if (a == "read") return Read(r, q, ctx);
    if (a == "save") return Save(r, q);
    if (a == "update") return Update(r, q);
    if (a == "reset") return Reset(r, q);
    if (a == "open" || a == "close") return Wifi(r, q, a == "open");
    if (a == "reboot" || a == "sleep" || a == "wakeup" || a == "shutdown") return Control(r, q);
    if (a == "upload") return Upload(r, q, ctx);
    return NotFound();
}

} // namespace talvo_sim
