// talvo-screenshots DIRECTORY: renders every window and page of TALVO
// controller against a simulated fleet into PNG files in DIRECTORY. It runs
// inside the test network (scripts/screenshots) on Qt's offscreen platform;
// the library's store files go to a temporary directory.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "capture.h"
#include "common/prompt.h"
#include "korvel.h"
#include "shots.h"
#include "showcase_fleet.h"

namespace {

// Message boxes are not pictured: each is answered with OK and its text
// printed, so that a window that refuses to open says why.
class PrintingPrompter : public talvo::Prompter {
public:
    bool Show(QWidget *, talvo::PromptKind, const QString &text) override {
        std::fprintf(stderr, "talvo-screenshots: message box \"%s\"\n", qPrintable(text));
        return true;
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("TALVO controller"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: talvo-screenshots DIRECTORY\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QTemporaryDir stores;
    if (!QDir().mkpath(output) || !stores.isValid() || !QDir::setCurrent(stores.path())) {
        std::fprintf(stderr, "talvo-screenshots: cannot prepare %s\n", qPrintable(output));
        return 1;
    }
    PrintingPrompter prompter;
    talvo::SetPrompter(&prompter);
    talvo::screenshots::Capture capture(output);
    try {
        ZR_QM_Init();
        if (ZR_QM_Login("admin", "pelun") < 0) throw std::runtime_error("admin cannot log in");
        talvo::screenshots::ShowcaseFleet fleet;
        fleet.Start();
        talvo::screenshots::TakeAll(capture, fleet);
        ZR_QM_DeInit();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "talvo-screenshots: %s\n", error.what());
        return 1;
    }
    talvo::SetPrompter(nullptr);
    std::printf("%d pictures in %s\n", capture.Saved(), qPrintable(output));
    return capture.Failed() == 0 ? 0 : 1;
}
