#include "common/device_set.h"

#include "common/cp936.h"

namespace talvo {

DeviceSet::DeviceSet(const QList<QByteArray> &macs)
    : slots_(std::make_unique<ZR_QM_MacText[]>(static_cast<std::size_t>(macs.size()))),
      count_(static_cast<unsigned int>(macs.size())) {
    for (unsigned int i = 0; i < count_; ++i) WriteField(slots_[i], macs[static_cast<qsizetype>(i)]);
}

} // namespace talvo
