// Column widths as shares of a list's visible width: each column in turn
// takes its fraction of the whole width (truncated) and the last column the
// rest. Works on every item view with columns (QTableView, QTreeView).
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace talvo {

template <class View>
void SizeColumnsByFractions(View &view, const std::vector<double> &fractions) {
    const int width = view.viewport()->width();
    int left = width;
    int column = 0;
    for (double fraction : fractions) {
        const int share = static_cast<int>(width * fraction);
        view.setColumnWidth(column++, share);
        left -= share;
    }
    view.setColumnWidth(column, std::max(left, 0));
}

// Sizes the columns of `view` by `fractions` once, when it first shows (its
// width is known then); later resizing leaves them alone.
template <class View>
void SizeColumnsOnFirstShow(View &view, std::vector<double> fractions) {
    class Sizer : public QObject {
    public:
        Sizer(View &view, std::vector<double> fractions)
            : QObject(&view), view_(view), fractions_(std::move(fractions)) {}
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Show) {
                SizeColumnsByFractions(view_, fractions_);
                view_.removeEventFilter(this);
                deleteLater();
            }
            return false;
        }

    private:
        View &view_;
        std::vector<double> fractions_;
    };
    view.installEventFilter(new Sizer(view, std::move(fractions)));
}

} // namespace talvo
