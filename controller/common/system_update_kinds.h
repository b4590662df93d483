// The two kinds of system update a page offers, kernel and file system: the
// file each needs and how its progress is shown.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace talvo {

// The library's update kinds.
enum class UpdateKind { Kernel = 1, FileSystem = 2 };

struct UpdateKindRules {
    UpdateKind kind;
    const char *extension;         // exact, after the last '.'
    const char *extension_message; // the extension is another
    qint64 largest;                // bytes; a file of exactly this size passes
    const char *size_message;      // the file is larger
    int poll_period_ms;            // how often the progress is read
    int bar_step;                  // the progress bar's step per tick
};

const UpdateKindRules &RulesOf(UpdateKind kind);

// The file name the library's product table expects for `model`'s `kind`;
// nothing when the table has no such model.
std::optional<QString> ExpectedUpdateFile(UpdateKind kind, const QByteArray &model);

// The filter of the file chooser: only `model`'s expected file, or any file
// of the kind when the model is not in the product table.
QString UpdateFileFilter(UpdateKind kind, const QByteArray &model);

} // namespace talvo
