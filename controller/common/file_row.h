// One file row of an image or update page: a button that opens the file
// chooser, the path box (at most 1024 characters) and the button that sends
// the file. The page decides what the send button does.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace talvo {

class FileRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPathLimit = 1024;

    FileRow(const QString &choose_text, const QString &send_text, QWidget *parent);

    QString Path() const;
    QLineEdit *PathBox() const { return path_; }
    QPushButton *ChooseButton() const { return choose_; }
    QPushButton *SendButton() const { return send_; }

    // Opens the file chooser with `filter`; a chosen file's full path goes
    // into the path box, a cancelled choice leaves the box as it was.
    void Choose(const QString &filter);

private:
    QPushButton *choose_;
    QLineEdit *path_;
    QPushButton *send_;
};

} // namespace talvo
