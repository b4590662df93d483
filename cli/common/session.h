// One run's hold on the library: ZR_QM_Init and the operator's login at the
// start, logout and ZR_QM_DeInit at the end. talvoctl keeps nothing of its
// own; the library's three store files in the current directory are the
// whole state.
#pragma once

#include <string>

namespace talvoctl {

class Output;

// What each operator type may do, as in the desktop program: ordinary users
// look at devices and change their own password; administrators do all
// device work; only the super administrator administers accounts and the
// device communication password.
enum class Right { Anyone, Administrator, SuperAdministrator };

struct Credentials {
    std::string user;     // UTF-8
    std::string password; // UTF-8
};

class Session {
public:
    // Starts the library and logs the operator in; throws a Failure.
    Session(const Credentials &credentials, const Output &out);
    ~Session(); // logs out and stops the library (waits for its threads)
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    int UserType() const { return user_type_; }
    // The login password as the library takes it (CP936).
    const std::string &Password() const { return password_; }
    // Throws a "not_permitted" failure unless the operator holds `right`.
    void Require(Right right) const;

private:
    int user_type_ = -1;
    std::string password_;
};

// The name of a user type: "super-admin", "admin" or "ordinary".
std::string UserTypeName(int type);

} // namespace talvoctl
