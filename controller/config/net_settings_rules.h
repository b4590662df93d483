// The fixed tables and rules of the network settings page: bands, channels,
// signal levels, the station states, which sections a device's settings call
// for, and the checks of the hotspot's name and password.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace talvo {

// A drop-down entry: the text shown and the value the device uses.
struct NetChoice {
    const char *shown;
    const char *value;
};

inline constexpr std::array<NetChoice, 2> kBands = {{{"2.4G", "g2_4"}, {"5G", "g5"}}};
inline constexpr std::array<NetChoice, 3> kSignalLevels = {{{"高", "100"}, {"中", "60"}, {"低", "20"}}};

// The channels of band `band` (0: 2.4 GHz, any other: 5 GHz); text = value.
const QStringList &BandChannels(int band);

// The shown text of a station state (`connect_status`, compared exactly);
// empty for a state that is not in the table.
QString StationStateText(const QByteArray &connect_status);

// The sections a device's settings call for. Without a wired port
// (`wired_use_dhcp` empty) the station section shows when the device has a
// Wi-Fi card; with one, the wired section shows when it has none.
struct NetSections {
    bool station = false;
    bool wired = false;
    int columns = 2;
};
NetSections DecideSections(const QByteArray &wired_use_dhcp, const QByteArray &connect_status);

// Hotspot name: 2 to 32 printable ASCII bytes without '"', '%' and '\',
// not beginning with an apostrophe or a hyphen.
bool IsValidSsid(const QByteArray &ssid);

// Why a new hotspot password is refused: the message to show, or an empty
// text when it is accepted. Both boxes empty means no change and is accepted.
QString HotspotPasswordProblem(const QByteArray &password, const QByteArray &confirmation);

} // namespace talvo
