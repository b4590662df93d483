// Buttons of the configuration and batch windows' pages.
#pragma once

#include <initializer_list>

class QBoxLayout;
class QPushButton;
class QString;
class QWidget;

namespace talvo {

// A button that Enter does not press: a page acts only on a click.
QPushButton *ActionButton(const QString &text, QWidget *page);

// "取消": closes the whole window the page sits in.
QPushButton *CloseWindowButton(QWidget *page);

// A row with `buttons` side by side in the middle.
QBoxLayout *CentredButtons(std::initializer_list<QPushButton *> buttons);

// Lays out a page of one action: `action` and "取消" in the middle of `page`.
void LayOutActionAndCancel(QWidget *page, QPushButton *action);

} // namespace talvo
