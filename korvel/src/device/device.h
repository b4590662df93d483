// The library's client of one receiver: its identity, the credentials the
// library logs in with, the session, the persistent transfer handle, the state
// the refresh keeps, and every request family (one file per family).
//
// Locking: `fields_` guards identity, session and state fields, so a snapshot
// never sees a half-written record; `requests_` serialises every request that
// uses the persistent transfer handle (a libcurl handle serves one transfer at
// a time). Requests on fresh handles (login, the state query, the host-member
// list, uploads) copy the cookie under `fields_` and never take `requests_`,
// so the state query never waits behind a long upload or a slow request.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device/http_types.h"
#include "jsonmap.h"
#include "korvel.h"
#include "platform/worker_thread.h"

typedef void CURL;

namespace korvel {

struct RequestForm;
struct FailureLines;
struct RebootCommand;
struct SessionAnswer;
// An err_code a request family answers with a code of its own.
struct OwnVerdict {
    int32_t err_code;
    int result;
};

// The refresh state of a device (state machine of the state refresh).
struct RefreshRecord {
    int state = ZR_QM_STATE_OFFLINE;
    int64_t online_since = 0;
    int64_t offline_since = 0;
    uint32_t run_time = 0;          // receiver's run time as last recorded
    uint32_t online_duration = 0;   // whole seconds
    uint32_t offline_duration = 0;  // whole seconds
    uint32_t missed = 0;            // consecutive refreshes that found an online device not online
    uint32_t reboots = 0;
};

// State number of a receiver's `dev_state` text (exact compare): "share" 1,
// "upgrade" 2, "standby" 3, "idle" and anything else 0.
int StateNumber(const char *text);

// The parameters of a network settings write (configuration.cpp).
std::vector<QueryParam> NetConfigParams(const NetConfig &config);

class Device {
public:
    static constexpr uint16_t kHttpPort = 80;

    // A registry entry: model, address, MAC, name and version from the record;
    // the login credentials are the registry's operate credentials.
    Device(uint32_t model_index, const DeviceInfo &info, const char *user, const char *password_md5);
    // A temporary device for an address alone (manual add): model 0, no name,
    // MAC or version.
    Device(const char *address, const char *user, const char *password_md5);
    ~Device();
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;

    // ---- identity and records (device.cpp) ----
    bool MacMatches(const char *mac) const;
    bool IsOnline() const;
    void FillInfo(DeviceInfo &info) const;       // into a cleared record
    int UpdateFromInfo(const DeviceInfo &info);  // 1 changed, 0 not, or an error code
    int SetAlias(const char *alias);             // 1 changed, 0 unchanged
    int SetGroup(const char *group);             // 1, 0, ZR_QM_ERR_GROUP_NAME_LONG
    void SetAddress(const char *address);
    void SetLoginCredentials(const char *user, const char *password_md5);

    std::string Mac() const;
    std::string Address() const;
    std::string Name() const;
    std::string Version() const;
    std::string Group() const;
    std::string Alias() const;
    std::string UserName() const;
    std::string PasswordMd5() const;
    uint32_t Model() const;
    int State() const;

    // ---- session (session.cpp) ----
    int Login(const char *user, const char *password_md5);
    int LoginWith(const char *user, const char *password_md5);
    int Logout();
    bool LoggedIn() const;
    std::string Cookie() const;

    // ---- status queries (status.cpp) ----
    // Out-parameters are written only where the state is decided: the run
    // time only from an answer of this receiver or a foreign MAC address.
    int GetState(int &state, int &run_time);
    int GetNetStatus(DeviceNetStatus &status);

    // ---- configuration (configuration.cpp) ----
    int GetNetConfig(NetConfig &config);
    int SetNetConfig(const NetConfig &config);
    int GetVideoOut(VideoOutConfig &config);
    int SetVideoOut(const VideoOutConfig &config);
    int GetPinCode(PinCodeConfig &config);
    int SetPinCode(const char *use_input_code);
    int ChangeLoginPassword(const char *old_md5, const char *new_md5);
    int ChangeWebPassword(const char *old_md5, const char *new_md5);

    // ---- maintenance commands (maintenance.cpp, reboot_tcp.cpp) ----
    int FactoryReset();
    int Reboot();
    int SetWifi(bool on);
    int Control(int command);
    int RebootViaTcp();

    // ---- uploads and progress (uploads.cpp) ----
    // `md5`: the content's digest when the caller has it (a batch computes it
    // once for all its devices); otherwise the digest of the file at `path`.
    int Upgrade(const void *data, size_t size, const char *path, const char *md5 = nullptr);
    int GetUpgradeProgress();
    int SetScreen(int kind, const void *data, size_t size, const char *path);
    int SystemUpdate(const void *data, size_t size, int kind, const char *path, const char *md5);
    int GetUpdateProgress(int kind);

    // ---- host mode and multi-display (display_modes.cpp) ----
    int GetCompereList(CompereList &list);
    int SetCompereMember(int operation, const char *conn_ip);
    int GetMulticastMode(MulticastModeConfig &config);
    int SetMulticastMode(const MulticastModeConfig &config);

    // ---- transport (http_transport.cpp) ----
    // Builds "/do?action=...&section=...&key=value..." with escaped values.
    static std::string BuildQuery(const char *action, const char *section, const QueryParam *params, int count);
    int HttpGet(const std::string &host, const std::string &path, const char *cookie, HttpResponse &response,
                bool fresh_handle, long timeout_seconds);
    int HttpUpload(const std::string &host, const std::string &path, const char *cookie, const void *data,
                   size_t size, const char *file_path, HttpResponse &response);
    std::string HostText() const; // "address:port"

    // ---- state refresh ----
    RefreshRecord Refresh() const;
    void SetRefresh(const RefreshRecord &record);
    // Starts `work` on the device's refresh thread unless the previous one is
    // still running; true when started.
    bool StartRefresh(std::function<void()> work);
    // Waits without limit for a running refresh thread.
    void WaitForRefresh();
    // True while a refresh started by StartRefresh has not ended.
    bool RefreshRunning() const;

private:
    void Construct();

    // ---- outcome rules (request.cpp) ----
    // Session check, then the GET; 0 when an HTTP answer arrived.
    int Transfer(const RequestForm &form, HttpResponse &response);
    int TransferUpload(const RequestForm &form, const void *data, size_t size, const char *file_path,
                       HttpResponse &response);
    int TransportFailure(const RequestForm &form, int code);
    // Status 200 and an answer that converts into `answer` (cleared first), or the error.
    int Judge(const HttpResponse &response, const FailureLines &lines, const JsonFieldDesc *schema, void *answer);
    int Ask(const RequestForm &form, const FailureLines &lines, const JsonFieldDesc *schema, void *answer);
    // Ask for data: `out` takes the answer's `result` when `err_code` is 0;
    // ZR_QM_ERR_DEV_REFUSED otherwise, `out` untouched.
    template <class Record>
    int Read(const RequestForm &form, const FailureLines &lines, const JsonFieldDesc *schema, Record &out);
    // Ask for a bare verdict: ZR_QM_ERR_DEV_REFUSED for an err_code other
    // than 0, or `own.result` for `own.err_code`.
    int Command(const RequestForm &form, const FailureLines &lines, OwnVerdict own = {0, 0});
    int Upload(const RequestForm &form, const FailureLines &lines, const void *data, size_t size, const char *path);
    // Session fields after a login answer.
    void OpenSession(const char *user, const char *password_md5, const char *session_id, bool store_credentials);
    void DropSession();
    int LoginAs(const char *user, const char *password_md5, bool store_credentials);
    int AskSession(const RequestForm &form, const JsonFieldDesc *schema, SessionAnswer &answer);
    RebootCommand RebootCommandFields() const;
    int ChangePassword(const char *section, const char *old_md5, const char *new_md5);
    // True when an answer names a MAC address and it is not this device's.
    bool NamesAnotherDevice(const char *answered_mac) const;

    mutable std::mutex fields_;
    uint32_t model_index_ = 0;
    std::string cookie_;
    char name_[64] = {0};
    char address_[16] = {0};
    uint16_t port_ = kHttpPort;
    char user_[32] = {0};
    char password_md5_[33] = {0};
    char session_id_[40] = {0};
    char mac_[18] = {0};
    char version_[32] = {0};
    char alias_[128] = {0};
    char group_[128] = {0};
    bool logged_in_ = false;
    RefreshRecord refresh_;

    std::mutex requests_;        // held around every use of persistent_
    CURL *persistent_ = nullptr; // created by the first request that uses it

    std::mutex refresh_thread_mutex_;
    platform::WorkerThread refresh_thread_;
    std::atomic<bool> refresh_running_{false};
};

} // namespace korvel
