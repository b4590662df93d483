// Operator accounts and the device communication password, with the desktop
// program's rules: only the super administrator administers accounts; every
// operator may change his own password.
#include <korvel.h>

#include <cctype>

#include "common/command.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"

namespace talvoctl {
namespace {

constexpr std::size_t kLongestName = 30;
constexpr const char *kSuperAdministrator = "admin";
constexpr const char *kDeviceUser = "TALVO"; // the user the library logs in to receivers with

bool LettersAndDigits(const std::string &text) {
    for (char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

void CheckAccountName(const std::string &name) {
    if (name.empty() || name.size() > kLongestName || !LettersAndDigits(name)) {
        throw ParameterFailure("a user name has 1 to 30 letters and digits");
    }
}

void CheckPasswordLength(const std::string &password, std::size_t shortest, std::size_t longest,
                         const std::string &what) {
    if (password.size() < shortest || password.size() > longest) {
        throw ParameterFailure(what + " needs " + std::to_string(shortest) + " to " + std::to_string(longest) +
                               " characters");
    }
}

int TypeArgument(const std::string &word) {
    if (word == "admin") return ZR_QM_USER_ADMIN;
    if (word == "ordinary") return ZR_QM_USER_ORDINARY;
    throw UsageFailure("the account type is admin or ordinary");
}

Table AccountTable() { return Table({{"user", "USER"}, {"type", "TYPE"}, {"type_code", ""}}); }

void AddAccountRow(Table &table, const std::string &name, int type) {
    table.Add({Cp936ToUtf8(name), UserTypeName(type), Value(type)});
}

void RunUsersList(Context &context) {
    context.args.Exactly(0, 0, "users list");
    Table table = AccountTable();
    for (const UserAccount &account : Accounts()) {
        AddAccountRow(table, FieldBytes(account.User_Name), account.User_Type);
    }
    context.out.Show(table);
}

void RunUsersAdd(Context &context) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "users add NAME PASSWORD [--type admin|ordinary]");
    CheckAccountName(words[0]);
    if (!LettersAndDigits(words[1])) throw ParameterFailure("a password has letters and digits only");
    CheckPasswordLength(words[1], 8, 16, "a password");
    int type = TypeArgument(context.args.Value("type").value_or("admin"));
    Check(ZR_QM_AddUser(words[0].c_str(), words[1].c_str(), type), "add user " + words[0]);
    Table table = AccountTable();
    AddAccountRow(table, words[0], type);
    context.out.Show(table);
}

void RunUsersDelete(Context &context) {
    std::string name = ArgumentToCp936(context.args.Exactly(0, 1, "users delete NAME")[0], "the user name", 31);
    Check(ZR_QM_DelUser(name.c_str()), "delete user " + Cp936ToUtf8(name));
    Table table({{"user", "USER"}, {"deleted", "DELETED"}});
    table.Add({Cp936ToUtf8(name), Value(true)});
    context.out.Show(table);
}

void RunUsersType(Context &context) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "users type NAME admin|ordinary");
    std::string name = ArgumentToCp936(words[0], "the user name", 31);
    int type = TypeArgument(words[1]);
    if (name == kSuperAdministrator) {
        throw Refusal(ZR_QM_ERR_SUPER_ADMIN, "the built-in super administrator keeps its type");
    }
    Check(ZR_QM_ModifyUserType(name.c_str(), type), "change the type of " + words[0]);
    Table table = AccountTable();
    AddAccountRow(table, name, type);
    context.out.Show(table);
}

void RunUsersPassword(Context &context) {
    std::string next = ArgumentToCp936(context.args.Exactly(0, 1, "users password NEW")[0], "the new password", 16);
    CheckPasswordLength(next, 8, 16, "a password");
    char name[32] = {};
    Check(ZR_QM_GetCurUserName(name), "read the operator's name");
    Check(ZR_QM_ModifyUserPwd(name, context.session.Password().c_str(), next.c_str()),
          "change the password of " + FieldToUtf8(name));
    Table table({{"user", "USER"}, {"password_changed", "PASSWORD CHANGED"}});
    table.Add({FieldToUtf8(name), Value(true)});
    context.out.Show(table);
}

void RunOperatePassword(Context &context) {
    context.args.Exactly(0, 0, "users operate-password --current OLD --new NEW");
    std::optional<std::string> current = context.args.Value("current"), next = context.args.Value("new");
    if (!current || !next || current->empty() || next->empty()) {
        throw UsageFailure("give the --current device communication password and the --new one");
    }
    std::string old_bytes = ArgumentToCp936(*current, "the current password", 64);
    std::string new_bytes = ArgumentToCp936(*next, "the new password", 16);
    CheckPasswordLength(new_bytes, 5, 16, "the device communication password");
    Check(ZR_QM_ModifyDevOperatePwd(kDeviceUser, old_bytes.c_str(), new_bytes.c_str()),
          "change the device communication password");
    Table table({{"user", "DEVICE USER"}, {"password_changed", "PASSWORD CHANGED"}});
    table.Add({std::string(kDeviceUser), Value(true)});
    context.out.Show(table);
}

} // namespace

std::vector<Command> UserCommands() {
    return {
        {"users list", "", "the operator accounts", {}, Right::SuperAdministrator, RunUsersList},
        {"users add", "NAME PASSWORD [--type admin|ordinary]", "add an operator account (8 to 16 letters and digits)",
         {{"type", 't', "TYPE", "admin (default) or ordinary"}}, Right::SuperAdministrator, RunUsersAdd},
        {"users delete", "NAME", "delete an operator account", {}, Right::SuperAdministrator, RunUsersDelete},
        {"users type", "NAME admin|ordinary", "change an account's type", {}, Right::SuperAdministrator,
         RunUsersType},
        {"users password", "NEW", "change your own password (8 to 16 characters)", {}, Right::Anyone,
         RunUsersPassword},
        {"users operate-password", "--current OLD --new NEW",
         "change the password the library logs in to the receivers with (5 to 16 characters)",
         {{"current", 0, "PASSWORD", "the password now"}, {"new", 0, "PASSWORD", "the new password"}},
         Right::SuperAdministrator, RunOperatePassword},
    };
}

} // namespace talvoctl
