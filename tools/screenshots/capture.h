// Saving windows as PNG files, including the modal windows that the program
// opens and runs itself.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace talvo::screenshots {

class Capture {
public:
    explicit Capture(QString directory) : directory_(std::move(directory)) {}

    // Renders `window` into <directory>/<name>.png; false (with a line on
    // standard error) when the file cannot be written.
    bool Save(QWidget &window, const QString &name);

    // Calls `open`, which runs a modal window; once that window is up,
    // `shoot` gets it, and the window is closed afterwards.
    void WhileModal(const std::function<void()> &open, const std::function<void(QDialog &)> &shoot);

    int Saved() const { return saved_; }
    int Failed() const { return failed_; }

private:
    QString directory_;
    int saved_ = 0;
    int failed_ = 0;
};

// Lets queued work of the window (loads on show, timers) run for `ms`.
void Settle(int ms = 300);

} // namespace talvo::screenshots
