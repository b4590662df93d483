#include "common/file_chooser.h"

#include <QFileDialog>
#include <QStringList>

namespace talvo {
namespace {

class DialogFileChooser : public FileChooser {
public:
    QString ChooseFileToOpen(QWidget *parent, const QString &filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), DialogFilter(filter));
    }
};

FileChooser *&Installed() {
    static FileChooser *chooser = nullptr;
    return chooser;
}

} // namespace

void SetFileChooser(FileChooser *chooser) { Installed() = chooser; }

QString ChooseFileToOpen(QWidget *parent, const QString &filter) {
    static DialogFileChooser dialog;
    return (Installed() ? *Installed() : dialog).ChooseFileToOpen(parent, filter);
}

QString DialogFilter(const QString &filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        if (description.isEmpty() && patterns.isEmpty()) continue;
        entries << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace talvo
