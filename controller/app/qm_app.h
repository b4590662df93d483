// The application object: brings the library up, runs the login window and
// takes the library down again when the login window's run ends.
#pragma once

#include <QApplication>

namespace talvo {

class CQMApp : public QApplication {
    Q_OBJECT

public:
    CQMApp(int &argc, char **argv);

    // The whole run of the program; its result is the process's exit status.
    int Run();
};

} // namespace talvo
