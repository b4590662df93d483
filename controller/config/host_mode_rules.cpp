#include "config/host_mode_rules.h"

#include "common/cp936.h"

namespace talvo {
namespace {

const QString kDongle = QStringLiteral("按键");

} // namespace

std::array<QString, kHostColumnCount - 1> MemberCells(const CompereMember &member) {
    std::array<QString, kHostColumnCount - 1> cells;
    cells[0] = FieldText(member.conn_ip);
    const QByteArray type = FieldBytes(member.conn_type);
    const QByteArray name = FieldBytes(member.conn_name);
    if (type == "unknow" || name == "unknow") return cells;
    cells[1] = type == "dongle" ? kDongle : FromCp936(type);
    cells[2] = QString::fromUtf8(name); // receivers send the sender's name as UTF-8
    cells[3] = FieldText(member.play_video);
    cells[4] = FieldText(member.play_audio);
    cells[5] = QString::number(member.media_num);
    return cells;
}

// A hardware button can be told to start casting; any other sender starts
// its cast itself.
std::optional<HostButtonStates> ButtonsFor(const QString &type, const QString &video) {
    const bool dongle = type == kDongle;
    if (video == QLatin1String("true")) return HostButtonStates{false, true, true, true};
    if (video == QLatin1String("false")) return HostButtonStates{dongle, false, false, false};
    return std::nullopt;
}

} // namespace talvo
