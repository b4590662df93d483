// The account store: a count and one object per operator account in list order.
#include <new>
#include <vector>

#include "core/digest.h"
#include "core/json_schema.h"
#include "core/log.h"
#include "core/stores.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

constexpr char kSuperAdminPassword[] = "pelun";

struct AccountStoreHead {
    int32_t Account_Num;
};
using AccountStoreImage = StoreImage<AccountStoreHead, UserAccount>;

using namespace schema;

const JsonFieldDesc kAccountFields[] = {
    JM_TEXT(UserAccount, User_Name, "User_Name", JSONMAP_OPTIONAL),
    JM_TEXT(UserAccount, User_Pwd, "User_Pwd", JSONMAP_OPTIONAL),
    JM_INT(UserAccount, User_Type, "User_Type", JSONMAP_OPTIONAL),
    JM_END,
};

auto AccountStoreTable(size_t count) {
    const std::array<JsonFieldDesc, 1> head = {
        JM_INT(AccountStoreHead, Account_Num, "Account_Num", JSONMAP_OPTIONAL)};
    return StoreTable(head, AccountStoreImage::ArrayField("Accounts", kAccountFields, count), count);
}

} // namespace

int Stores::LoadAccounts() {
    AccountStoreHead head{};
    if (!ReadStoreHead(account_file_, AccountStoreTable(0).data(), &head)) {
        SaveAccounts();
        head.Account_Num = 0;
    }
    int result = 0;
    if (head.Account_Num >= 1) {
        EntriesRead read = ReadStoreEntries<AccountStoreHead>(
            account_file_, head.Account_Num, &UserAccount::User_Name, AccountStoreTable,
            [](const AccountStoreHead &) {},
            [this](UserAccount &account) {
                // A name twice is skipped without failing the load; the file
                // still did not load whole.
                if (accounts_.Add(account.User_Name, account.User_Pwd, account.User_Type) != 0)
                    account_file_.MarkNotWhole();
                return 0;
            });
        result = read.result;
    }
    // Whatever the file held, "admin" can log in.
    EnsureSuperAdmin();
    return result;
}

void Stores::EnsureSuperAdmin() {
    if (accounts_.Contains(kSuperAdminName)) return;
    char digest[kDigestSize];
    TextDigest(kSuperAdminPassword, digest);
    if (accounts_.Add(kSuperAdminName, digest, ZR_QM_USER_SUPER_ADMIN) != 0) {
        KLOG("[%s]:[%d] add user account failed");
        KLOG("[%s]:[%d] add super administrator account failed.");
        return;
    }
    SaveAccounts();
}

int Stores::SaveAccounts() {
    return account_file_.Save([this](const char *name) {
        std::vector<UserAccount> accounts;
        try {
            accounts = accounts_.All();
        } catch (const std::bad_alloc &) {
            return -1;
        }
        AccountStoreHead head{static_cast<int32_t>(accounts.size())};
        return WriteStoreImage(name, head, accounts, AccountStoreTable);
    });
}

} // namespace korvel
