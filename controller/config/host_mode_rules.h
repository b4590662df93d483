// The rules of the host mode page: the cells of a member's row and which
// member actions a row allows.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "korvel.h"

namespace talvo {

// Member operations of the receiver.
enum HostOperation {
    kStartCast = 0,
    kStopCast = 1,
    kSingleScreen = 2,
    kShareSoundOn = 3,
    kShareSoundOff = 4,
};

// List columns.
enum HostColumn {
    kTickColumn,
    kIpColumn,
    kTypeColumn,
    kNameColumn,
    kVideoColumn,
    kAudioColumn,
    kMediaColumn,
    kHostColumnCount
};

// The texts of a member's row, columns 1 to 6 (index 0 is column 1). A member
// the receiver calls "unknow" by type or name shows its address only.
std::array<QString, kHostColumnCount - 1> MemberCells(const CompereMember &member);

// Which of "投屏", "退屏", "单屏", "声音分享" a ticked row allows, from its
// 类型 and 视频状态 cells; nothing when the video state is neither "true"
// nor "false", which leaves the buttons as they are.
using HostButtonStates = std::array<bool, 4>;
std::optional<HostButtonStates> ButtonsFor(const QString &type, const QString &video);

} // namespace talvo
