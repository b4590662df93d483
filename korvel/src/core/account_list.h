// Operator accounts and the operator logged in to the library. Names are
// compared byte for byte (letter case counts); passwords are kept and compared
// as MD5 hex digests. The list checks only that somebody is logged in; what
// each user type may do is the desktop program's business. Safe to call from
// any thread: each member runs under one mutex.
//
// Arguments are checked by the caller (non-null, non-empty where required),
// except for Login, whose first check is that nobody is logged in; the members
// return the codes of their checks in the order the exports give them.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "korvel.h"

namespace korvel {

constexpr char kSuperAdminName[] = "admin";
constexpr size_t kUserNameSize = sizeof(UserAccount{}.User_Name);

class AccountList {
public:
    // ---- the current operator ----
    // The account's type (>= 0); ZR_QM_ERR_ALREADY_LOGGED_IN, ZR_QM_ERR_PARAM
    // (an empty text), ZR_QM_ERR_USER_NOT_FOUND, ZR_QM_ERR_PASSWORD.
    int Login(const char *user, const char *password);
    int Logout();                                  // 0, ZR_QM_ERR_NOT_LOGGED_IN
    bool LoggedIn() const;
    int CurrentType() const;                       // the type, ZR_QM_ERR_NOT_LOGGED_IN
    int CurrentName(char (&name)[kUserNameSize]) const; // 0, ZR_QM_ERR_NOT_LOGGED_IN

    // ---- the accounts ----
    std::vector<UserAccount> All() const;
    bool Contains(const char *user) const;
    // Appends an account with a stored digest: 0, ZR_QM_ERR_USER_EXISTS,
    // ZR_QM_ERR_PARAM (the name does not fit), ZR_QM_ERR_NO_MEMORY.
    int Add(const char *user, const char *password_md5, int type);
    // ZR_QM_ERR_NOT_LOGGED_IN, ZR_QM_ERR_USER_NOT_FOUND, ZR_QM_ERR_SUPER_ADMIN.
    int Remove(const char *user);
    // ZR_QM_ERR_NOT_LOGGED_IN, ZR_QM_ERR_USER_NOT_FOUND, ZR_QM_ERR_PASSWORD.
    int ChangePassword(const char *user, const char *current, const char *password);
    // Stores any type (no range check): ZR_QM_ERR_NOT_LOGGED_IN, ZR_QM_ERR_USER_NOT_FOUND.
    int ChangeType(const char *user, int type);
    // Empties the list and logs the operator out.
    void Clear();

private:
    struct Operator {
        bool logged_in = false;
        int type = -1;
        char name[kUserNameSize] = {0};
    };

    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t IndexLocked(const char *user) const;
    UserAccount *FindLocked(const char *user);
    static bool PasswordMatches(const UserAccount &account, const char *password);

    mutable std::mutex mutex_;
    std::vector<UserAccount> accounts_;
    Operator current_;
};

} // namespace korvel
