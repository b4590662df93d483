// Pieces the account and password windows share: the user type names, the
// boxes of their forms, the checks of a new password, and their buttons.
#pragma once

#include <QByteArray>
#include <QString>

#include "korvel.h"

class QBoxLayout;
class QDialog;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace talvo {

// Display name of a user type: 0 "超级管理员账号", 1 "管理员账号",
// 2 "普通账号"; the empty text for any other type.
QString UserTypeName(int type);
// The type whose display name is `text`, -1 when none is.
int GetUserTypeByStr(const QString &text);

// A password box taking at most `limit` characters, shown masked.
QLineEdit *PasswordBox(QWidget *parent, int limit, const char *object_name);
// A read-only text box.
QLineEdit *ShownBox(QWidget *parent, const char *object_name);

// Keeps only ASCII letters and digits in `box` on every change (a character
// outside ASCII goes whole) and puts the caret at the end of what is left.
void KeepAsciiLettersAndDigits(QLineEdit *box);

// The checks of a new password, in order: a box left empty, the length
// (characters), and the confirmation.
struct NewPasswordRule {
    int shortest;
    int longest;
    const char *empty_notice;
    const char *length_notice;
    const char *mismatch_notice;
};
// The notice for the first check that fails; the empty text when all pass.
QString RefusalOf(const NewPasswordRule &rule, bool any_box_empty, const QString &password,
                  const QString &confirmation);

// The "当前密码：", "新密码：" and "确认密码：" boxes of a password change.
struct PasswordBoxes {
    QLineEdit *current = nullptr;
    QLineEdit *fresh = nullptr;
    QLineEdit *confirmation = nullptr;

    // The notice for the first check of `rule` that fails, the empty text
    // when all pass.
    QString Refusal(const NewPasswordRule &rule) const;
    void Clear() const;
};
// Adds the three boxes, each taking at most `limit` characters, to `form`.
PasswordBoxes AddPasswordRows(QWidget *window, QFormLayout *form, int limit);

// Adds the window's default button `accept_text` and "取消" (closes without
// a change) below the form and fits the window to it; returns the default
// button.
QPushButton *AddFormButtons(QDialog *window, QBoxLayout *column, const char *accept_text);

// The library's text of a box (code page 936).
QByteArray BoxBytes(const QLineEdit *box);

} // namespace talvo
