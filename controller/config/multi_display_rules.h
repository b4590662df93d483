// The rules of the multi-display mode page: its modes and directions with
// their device values, the rows each setting shows, and the address checks.
#pragma once

#include <QByteArray>

#include <array>

namespace talvo {

struct ModeChoice {
    const char *shown;
    const char *value;
};

enum MultiDisplayMode { kWiredMode, kWirelessMode, kRtspMode };
inline constexpr std::array<ModeChoice, 3> kMultiDisplayModes = {
    {{"有线多屏显示", "multicast"}, {"无线多屏显示", "unicast"}, {"rtsp多屏同显", "rtsp"}}};

enum MultiDisplayDirection { kReceive, kSend };
inline constexpr std::array<ModeChoice, 2> kMultiDisplayDirections = {{{"接收", "in"}, {"发送", "out"}}};

// How many of the modes a model offers: RTSP only on TALVO_SX and TALVO_TX.
int OfferedModeCount(const QByteArray &model);

// Rows of the page, top to bottom.
enum MultiDisplayRow {
    kEnableRow,
    kModeRow,
    kDirectionRow,
    kAudioRow,
    kUnicastOutputRow,
    kUnicastAddressRow,
    kMulticastAddressRow,
    kRtspAddressRow,       // the address to receive from, editable
    kRtspServerAddressRow, // the receiver's own address, shown only
    kMultiDisplayRowCount
};

struct MultiDisplayChoice {
    bool enabled = false;
    int mode = kWiredMode;
    int direction = kReceive;
    bool unicast_output = false;
};

// Which rows the choice shows.
std::array<bool, kMultiDisplayRowCount> VisibleRows(const MultiDisplayChoice &choice);

// A unicast address names one receiver: no part 255, not multicast
// (224 to 239 first), not 0.0.0.0, and not in 192.168.118.x, the receivers'
// own hotspot network.
bool IsValidUnicastAddress(const std::array<int, 4> &address);
// A multicast group address: 224 to 239 first.
bool IsValidMulticastAddress(const std::array<int, 4> &address);

} // namespace talvo
