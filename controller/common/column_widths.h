// Column widths as shares of a list's visible width: each column in turn
// takes its fraction of the whole width (truncated) and the last column the
// rest. Works on every item view with columns (QTableView, QTreeView).
#pragma once

#include <QWidget>

#include <algorithm>
#include <initializer_list>

namespace talvo {

template <class View>
void SizeColumnsByFractions(View &view, std::initializer_list<double> fractions) {
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

} // namespace talvo
