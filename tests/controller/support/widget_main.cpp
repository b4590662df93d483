// Main of the controller's widget tests: the test network only, Qt's
// offscreen platform, and the program's own application object.
#include <gtest/gtest.h>

#include <QtGlobal>

#include <cstdio>

#include "app/qm_app.h"
#include "testnet_guard.h"

namespace {

// Drops the offscreen platform's notes on window features it lacks and on the
// runtime folder it makes for itself; every other message is printed.
void PrintMessage(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) std::abort();
}

} // namespace

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(PrintMessage);
    ::testing::InitGoogleTest(&argc, argv);
    talvo::CQMApp app(argc, argv);
    return RUN_ALL_TESTS();
}
