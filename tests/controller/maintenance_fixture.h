// Fixture of the maintenance pages' and the batch window's tests: simulated
// receivers online with the main window open (the configuration tests'
// fixture), the files an operator picks (JPEG images of a given resolution
// and exact size, update files of a given size) and a file chooser that
// hands them over and keeps the filters it was shown.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "common/file_chooser.h"
#include "config_fixture.h"

namespace talvo::testing {

class ScriptedFileChooser : public FileChooser {
public:
    QString ChooseFileToOpen(QWidget *, const QString &filter) override {
        filters_ << filter;
        return next_;
    }
    // The path the next choice returns; empty: the operator cancels.
    void WillChoose(const QString &path) { next_ = path; }
    const QStringList &Filters() const { return filters_; }

private:
    QString next_;
    QStringList filters_;
};

class MaintenanceTest : public ConfigTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A JPEG image of `size` pixels in the test folder, padded after its end
    // marker to exactly `bytes` bytes (0: as encoded).
    QString Jpeg(const std::string &name, QSize size, qint64 bytes = 0);
    // A file of exactly `bytes` bytes in the test folder (`name` may hold
    // folders below it).
    QString FileOfSize(const std::string &name, qint64 bytes);
    // A path in the test folder where no file is.
    QString Missing(const std::string &name) const;

    // The requests of `mac` with `action` (and `section` when given); TCP
    // commands have the action "tcp".
    int CountRequests(const std::string &mac, const std::string &action, const std::string &section = {});
    // Requests that change a receiver (neither reads nor logins), all receivers.
    int ChangingRequests();
    // Waits, without running the event loop (so that no page timer fires),
    // until `mac` has received the file of upload `section`; its size.
    std::size_t WaitForUpload(const std::string &mac, const std::string &section);

    ScriptedFileChooser files_;
};

} // namespace talvo::testing
