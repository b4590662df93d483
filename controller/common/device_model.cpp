#include "common/device_model.h"

#include "common/cp936.h"
#include "korvel.h"

namespace talvo {

DeviceModel ReadDeviceModel(const char *mac) {
    DeviceInfo info{};
    DeviceModel read;
    read.result = ZR_QM_GetDeviceInfo(mac, &info);
    if (read.result == 0) read.model = FieldBytes(info.Device_Type);
    return read;
}

} // namespace talvo
