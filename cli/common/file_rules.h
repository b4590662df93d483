// What a file must be before it goes to receivers, as the desktop program
// checks it: screen images by the model's size and resolution limits,
// system-update images and firmware packages by their expected names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace talvoctl {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Width and height from a JPEG file's frame header; 0 x 0 when the bytes
// hold no readable one.
ImageSize JpegSize(const std::string &bytes);

enum class ScreenKind { Startup = 0, Standby = 1 };

// The largest image file the model takes for the screen (bytes), or
// nothing when the model has no rule.
std::optional<std::uint64_t> ScreenSizeLimit(const std::string &model, ScreenKind kind);

// Why an image of `file_size` bytes and `size` pixels does not suit the
// model's screen, or nothing when it does.
std::optional<std::string> ScreenRuleViolation(const std::string &model, ScreenKind kind, std::uint64_t file_size,
                                               ImageSize size);

// The text after the last '.' of the path's file name ("" without one).
std::string ExtensionOf(const std::string &path);
// The file name: the text after the last '/'.
std::string FileNameOf(const std::string &path);

} // namespace talvoctl
