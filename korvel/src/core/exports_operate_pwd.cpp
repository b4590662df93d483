// Export of the device operate password change.
#include "core/api_frame.h"
#include "core/export_args.h"
#include "core/operate_password.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

int ZR_QM_ModifyDevOperatePwd(const char *user, const char *current, const char *password) {
    return korvel::WithManager([&](korvel::Manager &manager) {
        if (korvel::AnyEmpty(user, current, password)) return KORVEL_PARAM_ERROR();
        if (!manager.Accounts().LoggedIn()) return ZR_QM_ERR_NOT_LOGGED_IN;
        return korvel::ChangeOperatePassword(manager, user, current, password);
    });
}
