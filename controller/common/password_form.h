// The form of a password page: three password boxes under their labels and,
// below them, the page's action button beside "取消", in the middle of the
// page.
#pragma once

#include <array>

class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace talvo {

// The boxes in the order of `labels`; each takes at most `limit` characters.
std::array<QLineEdit *, 3> AddPasswordForm(QWidget *page, const std::array<QString, 3> &labels, int limit,
                                           QPushButton *action);

} // namespace talvo
