// Exports of the operator accounts and the library login.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/api_frame.h"
#include "core/digest.h"
#include "core/export_args.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Manager;

int ZR_QM_Login(const char *user, const char *password) {
    return korvel::WithManager([&](Manager &manager) { return manager.Accounts().Login(user, password); });
}

int ZR_QM_Logout(void) {
    return korvel::WithManager([&](Manager &manager) { return manager.Accounts().Logout(); });
}

int ZR_QM_GetCurUserType(void) {
    return korvel::WithManager([&](Manager &manager) { return manager.Accounts().CurrentType(); });
}

int ZR_QM_GetCurUserName(char *name) {
    return korvel::WithManager([&](Manager &manager) {
        if (name == nullptr) return KORVEL_PARAM_ERROR();
        char current[korvel::kUserNameSize];
        int result = manager.Accounts().CurrentName(current);
        if (result == 0) std::memcpy(name, current, sizeof current);
        return result;
    });
}

int ZR_QM_GetAllUserAccountInfo(UserAccount **accounts) {
    return korvel::WithManager([&](Manager &manager) {
        if (accounts == nullptr) return KORVEL_PARAM_ERROR();
        std::vector<UserAccount> all = manager.Accounts().All();
        if (all.empty()) return 0;
        auto *copy = static_cast<UserAccount *>(std::malloc(all.size() * sizeof(UserAccount)));
        if (copy == nullptr) {
            KLOG("[%s]:[%d] malloc failed.");
            return ZR_QM_ERR_NO_MEMORY;
        }
        std::memcpy(copy, all.data(), all.size() * sizeof(UserAccount));
        *accounts = copy;
        return static_cast<int>(all.size());
    });
}

int ZR_QM_AddUser(const char *user, const char *password, int type) {
    return korvel::WithManager([&](Manager &manager) {
        int result = ZR_QM_ERR_PARAM;
        if (!korvel::AnyEmpty(user, password) && type >= ZR_QM_USER_SUPER_ADMIN && type <= ZR_QM_USER_ORDINARY) {
            char digest[korvel::kDigestSize];
            korvel::TextDigest(password, digest);
            result = manager.Accounts().Add(user, digest, type);
        }
        if (result != 0) {
            KLOG("[%s]:[%d] add user account failed");
            return result;
        }
        manager.Store().SaveAccounts();
        return 0;
    });
}

int ZR_QM_DelUser(const char *user) {
    return korvel::WithManager([&](Manager &manager) {
        int result = korvel::IsEmpty(user) ? ZR_QM_ERR_PARAM : manager.Accounts().Remove(user);
        if (result != 0) {
            KLOG("[%s]:[%d] delete user account failed");
            return result;
        }
        manager.Store().SaveAccounts();
        return 0;
    });
}

int ZR_QM_ModifyUserPwd(const char *user, const char *current, const char *password) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyEmpty(user, current, password)) return KORVEL_PARAM_ERROR();
        int result = manager.Accounts().ChangePassword(user, current, password);
        if (result == 0) manager.Store().SaveAccounts();
        return result;
    });
}

int ZR_QM_ModifyUserType(const char *user, int type) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::IsEmpty(user)) return KORVEL_PARAM_ERROR();
        int result = manager.Accounts().ChangeType(user, type);
        if (result == 0) manager.Store().SaveAccounts();
        return result;
    });
}
