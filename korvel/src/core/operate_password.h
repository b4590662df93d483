// Change of the device operate password: the credentials the library logs in
// to every receiver with. The receivers' own passwords are not changed here
// (the batch password change does that).
#pragma once

#include "core/manager.h"

namespace korvel {

// Checks the operate user name and the current password, stores the new
// digest as the operate password and as every managed device's login
// password, logs every device in again with it (results ignored) and saves the
// device store. 0; -1 for another operate user; ZR_QM_ERR_PASSWORD. Arguments
// are checked by the caller (non-empty).
int ChangeOperatePassword(Manager &manager, const char *user, const char *current, const char *password);

} // namespace korvel
