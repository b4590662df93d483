#include "core/account_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/digest.h"
#include "core/text.h"

namespace korvel {

size_t AccountList::IndexLocked(const char *user) const {
    for (size_t i = 0; i < accounts_.size(); ++i)
        if (Equals(accounts_[i].User_Name, user)) return i;
    return kNone;
}

UserAccount *AccountList::FindLocked(const char *user) {
    size_t index = IndexLocked(user);
    return index == kNone ? nullptr : &accounts_[index];
}

bool AccountList::PasswordMatches(const UserAccount &account, const char *password) {
    char digest[kDigestSize];
    TextDigest(password, digest);
    return Equals(account.User_Pwd, digest);
}

int AccountList::Login(const char *user, const char *password) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_.logged_in) return ZR_QM_ERR_ALREADY_LOGGED_IN;
    if (IsEmpty(user) || IsEmpty(password)) return ZR_QM_ERR_PARAM;
    const UserAccount *account = FindLocked(user);
    if (account == nullptr) return ZR_QM_ERR_USER_NOT_FOUND;
    if (!PasswordMatches(*account, password)) return ZR_QM_ERR_PASSWORD;
    current_.logged_in = true;
    current_.type = account->User_Type;
    CopyText(current_.name, user);
    return account->User_Type;
}

int AccountList::Logout() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_.logged_in) return ZR_QM_ERR_NOT_LOGGED_IN;
    current_ = Operator{};
    return 0;
}

bool AccountList::LoggedIn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_.logged_in;
}

int AccountList::CurrentType() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_.logged_in ? current_.type : ZR_QM_ERR_NOT_LOGGED_IN;
}

int AccountList::CurrentName(char (&name)[kUserNameSize]) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_.logged_in) return ZR_QM_ERR_NOT_LOGGED_IN;
    std::memcpy(name, current_.name, sizeof name);
    return 0;
}

std::vector<UserAccount> AccountList::All() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return accounts_;
}

bool AccountList::Contains(const char *user) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return IndexLocked(user) != kNone;
}

int AccountList::Add(const char *user, const char *password_md5, int type) {
    if (user == nullptr || std::strlen(user) >= kUserNameSize) return ZR_QM_ERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindLocked(user) != nullptr) return ZR_QM_ERR_USER_EXISTS;
    UserAccount account{};
    CopyText(account.User_Name, user);
    CopyText(account.User_Pwd, password_md5);
    account.User_Type = type;
    try {
        accounts_.push_back(account);
    } catch (const std::bad_alloc &) {
        std::fputs("add user acount malloc failed.\n", stderr);
        return ZR_QM_ERR_NO_MEMORY;
    }
    return 0;
}

int AccountList::Remove(const char *user) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_.logged_in) return ZR_QM_ERR_NOT_LOGGED_IN;
    size_t index = IndexLocked(user);
    if (index == kNone) return ZR_QM_ERR_USER_NOT_FOUND;
    if (Equals(user, kSuperAdminName)) return ZR_QM_ERR_SUPER_ADMIN;
    accounts_.erase(accounts_.begin() + static_cast<std::ptrdiff_t>(index));
    return 0;
}

int AccountList::ChangePassword(const char *user, const char *current, const char *password) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_.logged_in) return ZR_QM_ERR_NOT_LOGGED_IN;
    UserAccount *account = FindLocked(user);
    if (account == nullptr) return ZR_QM_ERR_USER_NOT_FOUND;
    if (!PasswordMatches(*account, current)) return ZR_QM_ERR_PASSWORD;
    TextDigest(password, account->User_Pwd);
    return 0;
}

int AccountList::ChangeType(const char *user, int type) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_.logged_in) return ZR_QM_ERR_NOT_LOGGED_IN;
    UserAccount *account = FindLocked(user);
    if (account == nullptr) return ZR_QM_ERR_USER_NOT_FOUND;
    account->User_Type = type;
    return 0;
}

void AccountList::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    accounts_.clear();
    current_ = Operator{};
}

} // namespace korvel
