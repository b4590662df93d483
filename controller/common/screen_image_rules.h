// What a receiver accepts as its start-up or standby image, per model: the
// largest file and the resolution. The configuration window's image page and
// the batch window's image page apply the same rules; they word one message
// differently.
#pragma once

#include <QByteArray>
#include <QString>

namespace talvo {

// The library's image kinds.
enum class ScreenKind { StartUp = 0, Standby = 1 };

// Whose wording a refusal takes.
enum class RuleWording { DevicePage, BatchPage };

// The filter of the image chooser.
inline constexpr char kScreenImageFilter[] = "image files ( *.jpg; ) |*.jpg;  | All Files (*.*) |*.*||";

// The message of the first rule that the image at `path` breaks as `model`'s
// image of `kind`: the size first, then the resolution of the decoded image.
// Empty when the image passes (also for a model without rules).
QString ScreenImageRefusal(ScreenKind kind, const QByteArray &model, const QString &path, RuleWording wording);

} // namespace talvo
