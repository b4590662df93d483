// What the video output page offers per model: the rows it shows (and the
// fields Save writes), the HDMI and VGA resolutions, the display modes and
// the rotations, each with the value the device uses.
#pragma once

#include <QByteArray>

#include <array>
#include <vector>

namespace talvo {

// Rows of the page, top to bottom.
enum VideoRow {
    kHdmiRow,
    kVgaRow,
    kOsdShownRow,
    kOsdTransparencyRow,
    kVgaGainRow,
    kSharpnessRow,
    kVolumeRow,
    kDisplayModeRow,
    kRotationRow,
    kAutoFullScreenRow,
    kAutoShutdownRow,
    kVideoRowCount
};

// A list entry: the text shown and the value the device uses, which is the
// text itself unless given.
struct VideoChoice {
    const char *shown;
    const char *value = nullptr;
    const char *Value() const { return value ? value : shown; }
};
using VideoChoices = std::vector<VideoChoice>;

struct VideoModel {
    const char *name;
    std::array<bool, kVideoRowCount> rows; // shown, and written by Save
    const VideoChoices *hdmi;
    const VideoChoices *vga;
    const VideoChoices *display_modes; // empty for models without the row
    const VideoChoices *rotations;
};

// The model of that name (letter case ignored); nullptr for any other name.
const VideoModel *FindVideoModel(const QByteArray &name);

// The model whose rows and lists serve when the device's model cannot be read.
const VideoModel &FallbackVideoModel();

// A model the page does not know shows every row, fills no list and writes
// only the OSD transparency, sharpness and volume.
bool ShowsRow(const VideoModel *model, VideoRow row);
bool WritesRow(const VideoModel *model, VideoRow row);

} // namespace talvo
