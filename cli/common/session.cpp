#include "common/session.h"

#include <korvel.h>

#include "common/encoding.h"
#include "common/failure.h"
#include "common/output.h"

namespace talvoctl {
namespace {

constexpr std::size_t kNameBytes = sizeof(UserAccount::User_Name) - 1;
constexpr std::size_t kPasswordBytes = 64; // hashed by the library; any sane length

} // namespace

Session::Session(const Credentials &credentials, const Output &out) {
    std::string user = ArgumentToCp936(credentials.user, "the user name", kNameBytes);
    password_ = ArgumentToCp936(credentials.password, "the password", kPasswordBytes);
    if (ZR_QM_Init() != 0) {
        out.Note("warning: a store file in this directory did not load whole; the library works with what it "
                 "could read and keeps a copy of the file beside it (named .bad-<date-time>)");
    }
    int type = ZR_QM_Login(user.c_str(), password_.c_str());
    if (type < 0) {
        ZR_QM_DeInit();
        throw Failure(type, "login as " + credentials.user);
    }
    user_type_ = type;
}

Session::~Session() {
    ZR_QM_Logout();
    ZR_QM_DeInit();
}

void Session::Require(Right right) const {
    if (right == Right::Anyone) return;
    if (right == Right::Administrator && (user_type_ == ZR_QM_USER_SUPER_ADMIN || user_type_ == ZR_QM_USER_ADMIN)) {
        return;
    }
    if (right == Right::SuperAdministrator && user_type_ == ZR_QM_USER_SUPER_ADMIN) return;
    std::string allowed = right == Right::Administrator ? "administrators" : "the super administrator";
    throw Failure(0, "not_permitted",
                  "only " + allowed + " may do this; this operator is " + UserTypeName(user_type_), kExitFailed);
}

std::string UserTypeName(int type) {
    switch (type) {
    case ZR_QM_USER_SUPER_ADMIN: return "super-admin";
    case ZR_QM_USER_ADMIN: return "admin";
    case ZR_QM_USER_ORDINARY: return "ordinary";
    default: return std::to_string(type);
    }
}

} // namespace talvoctl
