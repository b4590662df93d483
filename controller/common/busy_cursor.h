// Shows the busy cursor while a blocking library call runs on the UI thread.
#pragma once

#include <QApplication>
#include <QCursor>

namespace talvo {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace talvo
