#include "common/screen_image_rules.h"

#include <QList>
#include <QSize>

#include <array>

#include "common/file_checks.h"

namespace talvo {
namespace {

enum class Fit {
    ExactlyOne, // the resolution must be one of the listed ones
    Within,     // width and height at most those of the first listed one
};

struct ImageRule {
    ScreenKind kind;
    std::array<const char *, 3> models; // nullptr where fewer
    qint64 largest;                     // bytes; a file of exactly this size passes
    const char *size_message;           // batch page
    const char *device_size_message;    // configuration page
    Fit fit;
    QList<QSize> resolutions;
    const char *resolution_message;
};

const QList<ImageRule> &Rules() {
    static const QList<ImageRule> rules = {
        {ScreenKind::StartUp, {"TALVO_JX"}, 2'097'152, "图片大小超过2M!", "图片大小超过2M!", Fit::ExactlyOne,
         {QSize(1920, 1080)}, "图片分辨率必须是1920x1080!"},
        {ScreenKind::StartUp, {"TALVO_HX", "TALVO_MX", "TALVO_NX"}, 262'144, "图片大小超过256K!",
         "图片大小超过256K!", Fit::ExactlyOne, {QSize(800, 600)}, "图片分辨率必须是800x600!"},
        {ScreenKind::StartUp, {"TALVO_SX", "TALVO_TX"}, 524'288, "图片大小超过512K!", "图片大小超过512K!",
         Fit::ExactlyOne, {QSize(800, 600), QSize(1920, 1080)}, "图片分辨率只能是800x600或1920x1080!"},
        {ScreenKind::Standby, {"TALVO_JX"}, 6'291'456, "图片大小超过6M!", "文件大小超过6M!", Fit::Within,
         {QSize(3840, 2160)}, "图片分辨率超过3840x2160!"},
        {ScreenKind::Standby, {"TALVO_HX", "TALVO_MX", "TALVO_NX"}, 524'288, "图片大小超过512K!",
         "文件大小超过512K!", Fit::Within, {QSize(1920, 1080)}, "图片分辨率超过1920x1080!"},
        {ScreenKind::Standby, {"TALVO_SX", "TALVO_TX"}, 1'048'576, "图片大小超过1M!", "文件大小超过1M!",
         Fit::Within, {QSize(1920, 1080)}, "图片分辨率超过1920x1080!"},
    };
    return rules;
}

const ImageRule *RuleFor(ScreenKind kind, const QByteArray &model) {
    for (const ImageRule &rule : Rules()) {
        if (rule.kind != kind) continue;
        for (const char *name : rule.models)
            if (name && model == name) return &rule;
    }
    return nullptr;
}

bool ResolutionFits(const ImageRule &rule, QSize size) {
    if (rule.fit == Fit::Within)
        return size.width() <= rule.resolutions[0].width() && size.height() <= rule.resolutions[0].height();
    return rule.resolutions.contains(size);
}

} // namespace

QString ScreenImageRefusal(ScreenKind kind, const QByteArray &model, const QString &path, RuleWording wording) {
    const ImageRule *rule = RuleFor(kind, model);
    if (!rule) return {};
    if (FileSize(path).value_or(0) > rule->largest)
        return QString::fromUtf8(wording == RuleWording::BatchPage ? rule->size_message : rule->device_size_message);
    if (!ResolutionFits(*rule, DecodedImageSize(path))) return QString::fromUtf8(rule->resolution_message);
    return {};
}

} // namespace talvo
