// The image rules per model and kind, on their boundaries, in both wordings:
// a file exactly at the size limit passes and one byte more is refused, the
// size is checked before the resolution, and an image that cannot be decoded
// counts as 0 x 0.
#include <gtest/gtest.h>

#include "common/screen_image_rules.h"
#include "maintenance_fixture.h"

namespace talvo::testing {
namespace {

class ScreenImageRulesTest : public MaintenanceTest {};

struct RuleCase {
    ScreenKind kind;
    const char *model;
    QSize size;
    qint64 bytes;               // 0: as encoded
    const char *device_refusal; // configuration page; "" passes
    const char *batch_refusal;  // batch page
};

const RuleCase kStartUpCases[] = {
    {ScreenKind::StartUp, "TALVO_JX", {1920, 1080}, 2'097'152, "", ""},
    {ScreenKind::StartUp, "TALVO_JX", {1920, 1080}, 2'097'153, "图片大小超过2M!", "图片大小超过2M!"},
    {ScreenKind::StartUp, "TALVO_JX", {1920, 1081}, 0, "图片分辨率必须是1920x1080!", "图片分辨率必须是1920x1080!"},
    {ScreenKind::StartUp, "TALVO_JX", {800, 600}, 0, "图片分辨率必须是1920x1080!", "图片分辨率必须是1920x1080!"},
    {ScreenKind::StartUp, "TALVO_HX", {800, 600}, 262'144, "", ""},
    {ScreenKind::StartUp, "TALVO_HX", {800, 600}, 300'000, "图片大小超过256K!", "图片大小超过256K!"},
    {ScreenKind::StartUp, "TALVO_MX", {1024, 768}, 0, "图片分辨率必须是800x600!", "图片分辨率必须是800x600!"},
    {ScreenKind::StartUp, "TALVO_NX", {800, 600}, 262'145, "图片大小超过256K!", "图片大小超过256K!"},
    // size before resolution
    {ScreenKind::StartUp, "TALVO_NX", {1920, 1080}, 262'145, "图片大小超过256K!", "图片大小超过256K!"},
    {ScreenKind::StartUp, "TALVO_SX", {800, 600}, 524'288, "", ""},
    {ScreenKind::StartUp, "TALVO_TX", {1920, 1080}, 524'288, "", ""},
    {ScreenKind::StartUp, "TALVO_TX", {1920, 1080}, 524'289, "图片大小超过512K!", "图片大小超过512K!"},
    {ScreenKind::StartUp, "TALVO_SX", {1024, 768}, 0, "图片分辨率只能是800x600或1920x1080!",
     "图片分辨率只能是800x600或1920x1080!"},
    // models without rules, names compared exactly
    {ScreenKind::StartUp, "TALVO_ZX", {1024, 768}, 3'000'000, "", ""},
    {ScreenKind::StartUp, "talvo_hx", {1024, 768}, 300'000, "", ""},
};

const RuleCase kStandbyCases[] = {
    {ScreenKind::Standby, "TALVO_JX", {3840, 2160}, 5'242'880, "", ""},
    {ScreenKind::Standby, "TALVO_JX", {3840, 2160}, 6'291'456, "", ""},
    {ScreenKind::Standby, "TALVO_JX", {3840, 2160}, 6'291'457, "文件大小超过6M!", "图片大小超过6M!"},
    {ScreenKind::Standby, "TALVO_JX", {3841, 2160}, 0, "图片分辨率超过3840x2160!", "图片分辨率超过3840x2160!"},
    {ScreenKind::Standby, "TALVO_JX", {3840, 2161}, 0, "图片分辨率超过3840x2160!", "图片分辨率超过3840x2160!"},
    {ScreenKind::Standby, "TALVO_HX", {1920, 1080}, 524'288, "", ""},
    {ScreenKind::Standby, "TALVO_NX", {800, 600}, 614'400, "文件大小超过512K!", "图片大小超过512K!"},
    {ScreenKind::Standby, "TALVO_MX", {1921, 1080}, 0, "图片分辨率超过1920x1080!", "图片分辨率超过1920x1080!"},
    {ScreenKind::Standby, "TALVO_SX", {640, 480}, 1'048'576, "", ""},
    {ScreenKind::Standby, "TALVO_TX", {1920, 1080}, 1'048'577, "文件大小超过1M!", "图片大小超过1M!"},
    {ScreenKind::Standby, "TALVO_SX", {1920, 1081}, 0, "图片分辨率超过1920x1080!", "图片分辨率超过1920x1080!"},
    {ScreenKind::Standby, "TALVO_ZX", {5000, 3000}, 0, "", ""},
};

void ExpectRules(const RuleCase &c, const QString &path) {
    const QByteArray model(c.model);
    const std::string where = std::string(c.model) + (c.kind == ScreenKind::StartUp ? " start-up " : " standby ") +
                              std::to_string(c.size.width()) + "x" + std::to_string(c.size.height()) + " " +
                              std::to_string(c.bytes);
    EXPECT_EQ(ScreenImageRefusal(c.kind, model, path, RuleWording::DevicePage), QString::fromUtf8(c.device_refusal))
        << where;
    EXPECT_EQ(ScreenImageRefusal(c.kind, model, path, RuleWording::BatchPage), QString::fromUtf8(c.batch_refusal))
        << where;
}

TEST_F(ScreenImageRulesTest, StartUpImagesMustFitTheModelsSizeAndExactResolution) {
    int n = 0;
    for (const RuleCase &c : kStartUpCases) ExpectRules(c, Jpeg("s" + std::to_string(n++) + ".jpg", c.size, c.bytes));
}

TEST_F(ScreenImageRulesTest, StandbyImagesMustFitTheModelsSizeAndLargestResolution) {
    int n = 0;
    for (const RuleCase &c : kStandbyCases) ExpectRules(c, Jpeg("b" + std::to_string(n++) + ".jpg", c.size, c.bytes));
}

TEST_F(ScreenImageRulesTest, AnImageThatCannotBeDecodedCountsAsNoPixels) {
    const QString broken = FileOfSize("broken.jpg", 1000);
    EXPECT_EQ(ScreenImageRefusal(ScreenKind::StartUp, "TALVO_HX", broken, RuleWording::DevicePage),
              QStringLiteral("图片分辨率必须是800x600!"));
    // 0 x 0 is within every standby limit.
    EXPECT_EQ(ScreenImageRefusal(ScreenKind::Standby, "TALVO_JX", broken, RuleWording::BatchPage), QString());
}

} // namespace
} // namespace talvo::testing
