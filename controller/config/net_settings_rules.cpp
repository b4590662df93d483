#include "config/net_settings_rules.h"

#include <utility>

namespace talvo {

const QStringList &BandChannels(int band) {
    static const QStringList g2_4 = {QStringLiteral("1"),  QStringLiteral("2"), QStringLiteral("3"),
                                     QStringLiteral("4"),  QStringLiteral("5"), QStringLiteral("6"),
                                     QStringLiteral("7"),  QStringLiteral("8"), QStringLiteral("9"),
                                     QStringLiteral("10"), QStringLiteral("11")};
    static const QStringList g5 = {QStringLiteral("36"),  QStringLiteral("40"),  QStringLiteral("44"),
                                   QStringLiteral("48"),  QStringLiteral("149"), QStringLiteral("153"),
                                   QStringLiteral("157"), QStringLiteral("161"), QStringLiteral("165")};
    return band == 0 ? g2_4 : g5;
}

QString StationStateText(const QByteArray &connect_status) {
    static const std::pair<const char *, const char *> states[] = {
        {"Connected", "已连接"},
        {"Unconnected", "未连接"},
        {"Offline", "无网卡"},
        {"Connection failed", "连接失败"},
        {"Connecting(about 10 seconds)...", "正在连接中（大概需要10秒钟）……"},
    };
    for (const auto &[status, text] : states)
        if (connect_status == status) return QString::fromUtf8(text);
    return {};
}

NetSections DecideSections(const QByteArray &wired_use_dhcp, const QByteArray &connect_status) {
    const bool has_station = !connect_status.isEmpty() && connect_status.compare("Offline", Qt::CaseInsensitive) != 0;
    NetSections sections;
    if (wired_use_dhcp.isEmpty())
        sections.station = has_station;
    else
        sections.wired = !has_station;
    sections.columns = sections.station || sections.wired ? 4 : 2;
    return sections;
}

bool IsValidSsid(const QByteArray &ssid) {
    if (ssid.size() < 2 || ssid.size() > 32) return false;
    if (ssid[0] == '\'' || ssid[0] == '-') return false;
    for (char byte : ssid) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '%' || c == '\\') return false;
    }
    return true;
}

QString HotspotPasswordProblem(const QByteArray &password, const QByteArray &confirmation) {
    if (password.isEmpty() && confirmation.isEmpty()) return {};
    if (password != confirmation) return QStringLiteral("密码不一致！");
    if (password.size() < 8 || password.size() > 16) return QStringLiteral("密码为8~16字符！");
    for (char c : password) {
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alphanumeric) return QStringLiteral("密码只能为数字或字母！");
    }
    return {};
}

} // namespace talvo
