// The device set of a library call that acts on several devices: one 32-byte
// MAC slot per device, each zero-terminated with the rest of the slot zero.
#pragma once

#include <QByteArray>
#include <QList>

#include <memory>

#include "korvel.h"

namespace talvo {

class DeviceSet {
public:
    explicit DeviceSet(const QList<QByteArray> &macs);

    const ZR_QM_MacText *Macs() const { return slots_.get(); }
    unsigned int Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    const char *Mac(unsigned int index) const { return slots_[index]; }

private:
    std::unique_ptr<ZR_QM_MacText[]> slots_;
    unsigned int count_ = 0;
};

} // namespace talvo
