#include "config/row_grid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

namespace talvo {
namespace {

// Labels end 3/8 of the width in, controls start there; 20 pixels apart
// from the middle line, and 20 between the items of one row.
constexpr int kLabelStretch = 3;
constexpr int kControlStretch = 5;
constexpr int kColumnGap = 40;
constexpr int kItemGap = 20;

} // namespace

RowGrid::RowGrid(QWidget *page) : page_(page), grid_(new QGridLayout) {
    grid_->setColumnStretch(0, kLabelStretch);
    grid_->setColumnStretch(1, kControlStretch);
    grid_->setHorizontalSpacing(kColumnGap);
}

int RowGrid::AddRow(const QString &label, std::initializer_list<QWidget *> controls) {
    const int row = static_cast<int>(rows_.size());
    auto *text = new QLabel(label, page_);
    auto *box = new QWidget(page_);
    auto *line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(kItemGap);
    // Aligned, so that a control keeps its own width instead of filling the row.
    for (QWidget *control : controls) line->addWidget(control, 0, Qt::AlignLeft | Qt::AlignVCenter);
    line->addStretch(1);
    grid_->addWidget(text, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid_->addWidget(box, row, 1);
    rows_.push_back({text, box});
    return row;
}

void RowGrid::SetRowVisible(int row, bool visible) {
    rows_.at(row).label->setVisible(visible);
    rows_.at(row).controls->setVisible(visible);
}

void RowGrid::SetRowEnabled(int row, bool enabled) {
    rows_.at(row).label->setEnabled(enabled);
    rows_.at(row).controls->setEnabled(enabled);
}

bool RowGrid::IsRowVisible(int row) const { return !rows_.at(row).controls->isHidden(); }

QList<int> RowGrid::VisibleRows() const {
    QList<int> visible;
    for (int row = 0; row < rows_.size(); ++row)
        if (IsRowVisible(row)) visible << row;
    return visible;
}

} // namespace talvo
