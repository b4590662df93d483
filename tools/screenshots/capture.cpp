#include "capture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace talvo::screenshots {

void Settle(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::sendPostedEvents();
    }
}

bool Capture::Save(QWidget &window, const QString &name) {
    Settle();
    const QString path = QDir(directory_).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "talvo-screenshots: cannot write %s\n", qPrintable(path));
        ++failed_;
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    ++saved_;
    return true;
}

void Capture::WhileModal(const std::function<void()> &open, const std::function<void(QDialog &)> &shoot) {
    bool shot = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (shot || window == nullptr || !window->isVisible()) return;
        shot = true;
        poll.stop();
        shoot(*window);
        window->reject();
    });
    poll.start(50);
    open();
    if (!shot) {
        std::fprintf(stderr, "talvo-screenshots: the window did not open\n");
        ++failed_;
    }
}

} // namespace talvo::screenshots
