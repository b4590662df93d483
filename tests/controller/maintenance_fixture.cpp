#include "maintenance_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <chrono>
#include <thread>

namespace talvo::testing {

void MaintenanceTest::SetUp() {
    ConfigTest::SetUp();
    SetFileChooser(&files_);
}

void MaintenanceTest::TearDown() {
    SetFileChooser(nullptr);
    ConfigTest::TearDown();
}

QString MaintenanceTest::Jpeg(const std::string &name, QSize size, qint64 bytes) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPG", 50));
    EXPECT_LE(encoded.size(), bytes ? bytes : encoded.size()) << name << " encodes larger than asked";
    if (bytes > encoded.size()) encoded.append(QByteArray(bytes - encoded.size(), '\0'));
    return QString::fromStdString(cwd_.Write(name, encoded.toStdString()));
}

QString MaintenanceTest::FileOfSize(const std::string &name, qint64 bytes) {
    const QString path = QString::fromStdString(cwd_.File(name));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray content(bytes, 'k');
    for (qint64 i = 0; i < bytes; i += 4093) content[i] = static_cast<char>(i / 4093);
    file.write(content);
    return path;
}

QString MaintenanceTest::Missing(const std::string &name) const { return QString::fromStdString(cwd_.File(name)); }

int MaintenanceTest::CountRequests(const std::string &mac, const std::string &action, const std::string &section) {
    int count = 0;
    for (const talvo_sim::RequestRecord &request : Fleet().Requests(mac)) {
        const std::string &kind = request.protocol == "tcp" ? request.protocol : request.action;
        if (kind == action && (section.empty() || request.section == section)) ++count;
    }
    return count;
}

int MaintenanceTest::ChangingRequests() {
    int count = 0;
    for (const std::string &mac : macs_)
        for (const talvo_sim::RequestRecord &request : Fleet().Requests(mac))
            if (request.action != "read" && request.action != "login" && request.action != "logout") ++count;
    return count;
}

std::size_t MaintenanceTest::WaitForUpload(const std::string &mac, const std::string &section) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        const talvo_sim::ReceiverSnapshot now = Fleet().Snapshot(mac);
        if (auto file = now.files.find(section); file != now.files.end()) return file->second.size;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << mac << " received no " << section;
    return 0;
}

} // namespace talvo::testing
