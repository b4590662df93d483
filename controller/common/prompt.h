// The program's message boxes, behind one seam so that tests answer them and
// read the texts shown. The windows call the four functions below; nothing
// else opens a message box.
#pragma once

#include <QString>

class QWidget;

namespace talvo {

// The program name, caption of the notices.
inline constexpr const char kProgramName[] = "TALVO controller";

enum class PromptKind {
    Notice,          // caption "TALVO controller", warning icon, OK
    PlainNotice,     // caption "TALVO controller", no icon, OK
    ConfirmOkCancel, // caption "提示", OK and Cancel
    ConfirmYesNo,    // caption "TALVO controller", question icon, Yes and No
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows one message box and waits for it; true when OK or Yes was chosen.
    virtual bool Show(QWidget *parent, PromptKind kind, const QString &text) = 0;
};

// Installs `prompter` for every later message box; nullptr restores the real
// message boxes. The caller keeps ownership.
void SetPrompter(Prompter *prompter);

void Notice(QWidget *parent, const QString &text);
void PlainNotice(QWidget *parent, const QString &text);
bool ConfirmOkCancel(QWidget *parent, const QString &text);
bool ConfirmYesNo(QWidget *parent, const QString &text);

} // namespace talvo
