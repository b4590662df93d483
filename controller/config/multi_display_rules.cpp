#include "config/multi_display_rules.h"

#include <algorithm>

namespace talvo {

int OfferedModeCount(const QByteArray &model) { return model == "TALVO_SX" || model == "TALVO_TX" ? 3 : 2; }

std::array<bool, kMultiDisplayRowCount> VisibleRows(const MultiDisplayChoice &choice) {
    std::array<bool, kMultiDisplayRowCount> rows{};
    rows[kEnableRow] = true;
    if (!choice.enabled) return rows;
    rows[kModeRow] = rows[kDirectionRow] = true;
    const bool sending = choice.direction == kSend;
    switch (choice.mode) {
    case kWiredMode:
        rows[kMulticastAddressRow] = true;
        break;
    case kWirelessMode:
        rows[kAudioRow] = rows[kUnicastOutputRow] = sending;
        rows[kUnicastAddressRow] = sending && choice.unicast_output;
        break;
    case kRtspMode:
        rows[kRtspAddressRow] = !sending;
        rows[kRtspServerAddressRow] = sending;
        break;
    default:
        break;
    }
    return rows;
}

bool IsValidUnicastAddress(const std::array<int, 4> &address) {
    if (std::find(address.begin(), address.end(), 255) != address.end()) return false;
    if (IsValidMulticastAddress(address)) return false;
    if (address == std::array<int, 4>{0, 0, 0, 0}) return false;
    return !(address[0] == 192 && address[1] == 168 && address[2] == 118);
}

bool IsValidMulticastAddress(const std::array<int, 4> &address) { return address[0] >= 224 && address[0] <= 239; }

} // namespace talvo
