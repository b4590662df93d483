// The progress bar of a system update page with its text "升级中，请等待......"
// and one polling timer per update kind. A tick reads the progress and moves
// the bar at most one step, and only while the bar is behind; success is
// declared when the bar itself has reached 100, failure when the progress
// read fails. Tests call Tick() in place of the timers.
#pragma once

#include <QTimer>

#include <functional>
#include <optional>

#include "common/system_update_kinds.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace talvo {

class UpdateProgress {
public:
    // Reads the progress of `kind`: a value of 0 to 100, a negative one for
    // a failed update, or nothing when there is nothing to read this tick.
    using Poll = std::function<std::optional<int>(UpdateKind)>;
    static constexpr int kFastPeriodMs = 100;

    // The bar and the text are children of `page`, hidden until Start().
    // Above `fast_above` the timer polls every 100 ms.
    UpdateProgress(QWidget *page, int fast_above, Poll poll);
    UpdateProgress(const UpdateProgress &) = delete;
    UpdateProgress &operator=(const UpdateProgress &) = delete;

    QProgressBar *Bar() const { return bar_; }
    QLabel *Text() const { return text_; }
    const QTimer &Timer(UpdateKind kind) const;

    // Bar at 0 with the kind's step, the kind's timer started, bar and text shown.
    void Start(UpdateKind kind);
    void Tick(UpdateKind kind);

private:
    QTimer &TimerOf(UpdateKind kind);
    void Finish(UpdateKind kind, const QString &message);

    QWidget *page_;
    int fast_above_;
    Poll poll_;
    QProgressBar *bar_;
    QLabel *text_;
    int step_ = 1;
    QTimer kernel_timer_;
    QTimer file_system_timer_;
};

} // namespace talvo
