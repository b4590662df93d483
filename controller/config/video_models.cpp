#include "config/video_models.h"

namespace talvo {
namespace {

const VideoChoices kNoChoices;

const VideoChoices kJxHdmi = {
    {"auto"},
    {"3840x2160 60P", "3840x2160_60"},
    {"3840x2160 30P", "3840x2160_30"},
    {"2560x1600"},
    {"1920x1200"},
    {"1920x1080P60"},
    {"1920x1080P30"},
    {"1600x1200"},
    {"1680x1050"},
    {"1440x900"},
    {"1366x768"},
    {"1280x1024"},
    {"1280x800"},
    {"1280x720"},
    {"1024x768"},
    {"800x600"},
};

const VideoChoices kSxTxHdmi = {
    {"auto"},     {"3840x2160P30"}, {"1920x1200"}, {"1920x1080P60"}, {"1920x1080P30"}, {"1600x1200"}, {"1680x1050"},
    {"1440x900"}, {"1366x768"},     {"1280x1024"}, {"1280x800"},     {"1280x720"},     {"1024x768"},  {"800x600"},
};

const VideoChoices kHdmi = {
    {"auto"},     {"1920x1200"}, {"1920x1080P60"}, {"1920x1080P30"}, {"1600x1200"}, {"1680x1050"}, {"1440x900"},
    {"1366x768"}, {"1280x1024"}, {"1280x800"},     {"1280x720"},     {"1024x768"},  {"800x600"},
};

const VideoChoices kJxVga = {
    {"auto"},      {"1920x1080"}, {"1600x1200"}, {"1680x1050"}, {"1440x900"}, {"1366x768"},
    {"1280x1024"}, {"1280x800"},  {"1280x720"},  {"1024x768"},  {"800x600"},
};

const VideoChoices kHxVga = {
    {"auto"},     {"1920x1200"}, {"1920x1080"}, {"1600x1200"}, {"1680x1050"}, {"1440x900"},
    {"1366x768"}, {"1280x1024"}, {"1280x800"},  {"1280x720"},  {"1024x768"},  {"800x600"},
};

const VideoChoices kSxTxVga = {
    {"auto"},      {"1920x1080"}, {"1680x1050"}, {"1440x900"}, {"1366x768"},
    {"1280x1024"}, {"1280x800"},  {"1280x720"},  {"1024x768"}, {"800x600"},
};

const VideoChoices kJxDisplayModes = {
    {"正常四画面模式", "0"}, {"正常九画面模式", "3"}, {"固定四画面模式", "1"},
    {"固定九画面模式", "2"}, {"手机四画面模式", "4"}, {"手机九画面模式", "5"},
};

const VideoChoices kRotations = {{"正常显示", "0"}, {"旋转90", "90"}, {"旋转270", "270"}};

// Rows in VideoRow order: HDMI, VGA, OSD shown, OSD transparency, VGA gain,
// sharpness, volume, display mode, rotation, auto full screen, auto shut-down.
constexpr bool Y = true, N = false;
const VideoModel kModels[] = {
    {"TALVO_JX", {Y, Y, Y, Y, Y, Y, Y, Y, N, Y, N}, &kJxHdmi, &kJxVga, &kJxDisplayModes, &kNoChoices},
    {"TALVO_SX", {Y, Y, Y, Y, Y, Y, Y, N, Y, Y, Y}, &kSxTxHdmi, &kSxTxVga, &kNoChoices, &kRotations},
    {"TALVO_TX", {Y, N, Y, Y, N, Y, Y, N, Y, Y, Y}, &kSxTxHdmi, &kSxTxVga, &kNoChoices, &kRotations},
    {"TALVO_HX", {Y, Y, N, Y, Y, Y, Y, N, N, N, N}, &kHdmi, &kHxVga, &kNoChoices, &kNoChoices},
    {"TALVO_MX", {Y, N, N, Y, N, Y, Y, N, N, N, N}, &kHdmi, &kNoChoices, &kNoChoices, &kNoChoices},
    {"TALVO_NX", {Y, N, N, Y, N, Y, Y, N, N, N, N}, &kHdmi, &kNoChoices, &kNoChoices, &kNoChoices},
};

} // namespace

const VideoModel *FindVideoModel(const QByteArray &name) {
    for (const VideoModel &model : kModels)
        if (name.compare(model.name, Qt::CaseInsensitive) == 0) return &model;
    return nullptr;
}

const VideoModel &FallbackVideoModel() { return *FindVideoModel("TALVO_HX"); }

bool ShowsRow(const VideoModel *model, VideoRow row) { return model ? model->rows[row] : true; }

bool WritesRow(const VideoModel *model, VideoRow row) {
    if (model) return model->rows[row];
    return row == kOsdTransparencyRow || row == kSharpnessRow || row == kVolumeRow;
}

} // namespace talvo
