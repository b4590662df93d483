// The form of a page: one row per setting, its label right-aligned in the
// left column and its controls left-aligned in the right column, side by
// side. Rows keep the order they were added in; a hidden row takes no room,
// so the rows shown follow each other without gaps.
#pragma once

#include <QList>
#include <QString>

#include <initializer_list>

class QGridLayout;
class QLabel;
class QWidget;

namespace talvo {

class RowGrid {
  public:
    // A grid of rows on `page`, which owns it as a child layout.
    explicit RowGrid(QWidget *page);

    QGridLayout *Layout() const { return grid_; }
    // Appends a row and returns its number.
    int AddRow(const QString &label, std::initializer_list<QWidget *> controls);
    void SetRowVisible(int row, bool visible);
    void SetRowEnabled(int row, bool enabled);
    bool IsRowVisible(int row) const;
    QLabel *RowLabel(int row) const { return rows_.at(row).label; }
    // The rows not hidden, top to bottom.
    QList<int> VisibleRows() const;

  private:
    struct Row {
        QLabel *label;
        QWidget *controls;
    };
    QWidget *page_;
    QGridLayout *grid_;
    QList<Row> rows_;
};

} // namespace talvo
