#include "common/prompt.h"

#include <QMessageBox>

namespace talvo {
namespace {

class MessageBoxPrompter : public Prompter {
public:
    bool Show(QWidget *parent, PromptKind kind, const QString &text) override {
        QMessageBox box(parent);
        box.setText(text);
        switch (kind) {
        case PromptKind::Notice:
            Configure(box, QString::fromUtf8(kProgramName), QMessageBox::Warning, QMessageBox::Ok);
            break;
        case PromptKind::PlainNotice:
            Configure(box, QString::fromUtf8(kProgramName), QMessageBox::NoIcon, QMessageBox::Ok);
            break;
        case PromptKind::ConfirmOkCancel:
            Configure(box, QStringLiteral("提示"), QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case PromptKind::ConfirmYesNo:
            Configure(box, QString::fromUtf8(kProgramName), QMessageBox::Question,
                      QMessageBox::Yes | QMessageBox::No);
            break;
        }
        int answer = box.exec();
        return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
    }

private:
    static void Configure(QMessageBox &box, const QString &caption, QMessageBox::Icon icon,
                          QMessageBox::StandardButtons buttons) {
        box.setWindowTitle(caption);
        box.setIcon(icon);
        box.setStandardButtons(buttons);
    }
};

Prompter *&Installed() {
    static Prompter *prompter = nullptr;
    return prompter;
}

Prompter &Current() {
    static MessageBoxPrompter message_boxes;
    return Installed() ? *Installed() : message_boxes;
}

} // namespace

void SetPrompter(Prompter *prompter) { Installed() = prompter; }

void Notice(QWidget *parent, const QString &text) { Current().Show(parent, PromptKind::Notice, text); }

void PlainNotice(QWidget *parent, const QString &text) { Current().Show(parent, PromptKind::PlainNotice, text); }

bool ConfirmOkCancel(QWidget *parent, const QString &text) {
    return Current().Show(parent, PromptKind::ConfirmOkCancel, text);
}

bool ConfirmYesNo(QWidget *parent, const QString &text) {
    return Current().Show(parent, PromptKind::ConfirmYesNo, text);
}

} // namespace talvo
