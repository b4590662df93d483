// The program's file-open dialog, behind a seam so that tests choose the file.
#pragma once

#include <QString>

class QWidget;

namespace talvo {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Asks for one existing file. `filter` has the form
    // "description|patterns|description|patterns||", e.g.
    // "image files ( *.jpg; ) |*.jpg;  | All Files (*.*) |*.*||".
    // Returns the chosen full path, or an empty text when cancelled.
    virtual QString ChooseFileToOpen(QWidget *parent, const QString &filter) = 0;
};

// Installs `chooser`; nullptr restores the real dialog. The caller keeps ownership.
void SetFileChooser(FileChooser *chooser);

QString ChooseFileToOpen(QWidget *parent, const QString &filter);

// `filter` in the dialog's own form: "description (patterns);;...".
QString DialogFilter(const QString &filter);

} // namespace talvo
