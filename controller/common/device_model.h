// The model name of a managed device, from its record in the library.
#pragma once

#include <QByteArray>

namespace talvo {

struct DeviceModel {
    int result = 0;   // the library's result; the model is empty unless 0
    QByteArray model; // e.g. "TALVO_JX"
};

DeviceModel ReadDeviceModel(const char *mac);

} // namespace talvo
