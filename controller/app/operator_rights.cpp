#include "app/operator_rights.h"

#include "common/log.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";

} // namespace

bool MayArrangeDevices() {
    const int type = ZR_QM_GetCurUserType();
    if (type < 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetCurUserType failed, error id:0x%x.\n", static_cast<unsigned>(type));
        return false;
    }
    return type != ZR_QM_USER_ORDINARY;
}

} // namespace talvo
