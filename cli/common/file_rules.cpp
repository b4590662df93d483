#include "common/file_rules.h"

#include <cstring>

namespace talvoctl {
namespace {

constexpr std::uint64_t kKiB = 1024, kMiB = 1024 * 1024;

enum class Fit { Exactly, AtMost, EitherExactly };

struct ScreenRule {
    const char *models[3];
    ScreenKind kind;
    std::uint64_t largest;
    Fit fit;
    ImageSize size;
};

// Per model and screen: the largest file, and the resolution it must have
// (exactly, at most, or exactly 800 x 600 or 1920 x 1080).
constexpr ScreenRule kScreenRules[] = {
    {{"TALVO_JX"}, ScreenKind::Startup, 2 * kMiB, Fit::Exactly, {1920, 1080}},
    {{"TALVO_HX", "TALVO_MX", "TALVO_NX"}, ScreenKind::Startup, 256 * kKiB, Fit::Exactly, {800, 600}},
    {{"TALVO_SX", "TALVO_TX"}, ScreenKind::Startup, 512 * kKiB, Fit::EitherExactly, {}},
    {{"TALVO_JX"}, ScreenKind::Standby, 6 * kMiB, Fit::AtMost, {3840, 2160}},
    {{"TALVO_HX", "TALVO_MX", "TALVO_NX"}, ScreenKind::Standby, 512 * kKiB, Fit::AtMost, {1920, 1080}},
    {{"TALVO_SX", "TALVO_TX"}, ScreenKind::Standby, 1 * kMiB, Fit::AtMost, {1920, 1080}},
};

const ScreenRule *FindRule(const std::string &model, ScreenKind kind) {
    for (const ScreenRule &rule : kScreenRules) {
        if (rule.kind != kind) continue;
        for (const char *name : rule.models) {
            if (name != nullptr && model == name) return &rule;
        }
    }
    return nullptr;
}

std::string Pixels(ImageSize size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

std::string SizeText(std::uint64_t bytes) {
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MB" : std::to_string(bytes / kKiB) + " KB";
}

bool Equal(ImageSize a, ImageSize b) { return a.width == b.width && a.height == b.height; }

unsigned Byte(const std::string &bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

bool IsFrameHeader(unsigned marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

ImageSize JpegSize(const std::string &bytes) {
    if (bytes.size() < 4 || Byte(bytes, 0) != 0xFF || Byte(bytes, 1) != 0xD8) return {};
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (Byte(bytes, at) != 0xFF) return {};
        unsigned marker = Byte(bytes, at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return {}; // image data before any frame header
        std::size_t length = Byte(bytes, at + 2) << 8 | Byte(bytes, at + 3);
        if (length < 2) return {};
        if (IsFrameHeader(marker)) {
            if (length < 7 || at + 9 > bytes.size()) return {};
            int height = static_cast<int>(Byte(bytes, at + 5) << 8 | Byte(bytes, at + 6));
            int width = static_cast<int>(Byte(bytes, at + 7) << 8 | Byte(bytes, at + 8));
            return {width, height};
        }
        at += 2 + length;
    }
    return {};
}

std::optional<std::uint64_t> ScreenSizeLimit(const std::string &model, ScreenKind kind) {
    const ScreenRule *rule = FindRule(model, kind);
    if (rule == nullptr) return std::nullopt;
    return rule->largest;
}

std::optional<std::string> ScreenRuleViolation(const std::string &model, ScreenKind kind, std::uint64_t file_size,
                                               ImageSize size) {
    const ScreenRule *rule = FindRule(model, kind);
    if (rule == nullptr) return std::nullopt;
    if (file_size > rule->largest) return "the image is larger than " + SizeText(rule->largest) + " for " + model;
    bool fits = false;
    std::string wanted;
    switch (rule->fit) {
    case Fit::Exactly:
        fits = Equal(size, rule->size);
        wanted = "exactly " + Pixels(rule->size);
        break;
    case Fit::AtMost:
        fits = size.width > 0 && size.height > 0 && size.width <= rule->size.width && size.height <= rule->size.height;
        wanted = "at most " + Pixels(rule->size);
        break;
    case Fit::EitherExactly:
        fits = Equal(size, {800, 600}) || Equal(size, {1920, 1080});
        wanted = "800x600 or 1920x1080";
        break;
    }
    if (fits) return std::nullopt;
    return "the image is " + Pixels(size) + " pixels; " + model + " takes " + wanted;
}

std::string FileNameOf(const std::string &path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string &path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

} // namespace talvoctl
