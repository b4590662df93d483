// TALVO controller: the desktop program that manages a fleet of TALVO
// receivers through the KORVEL library.
#include "app/qm_app.h"

int main(int argc, char **argv) {
    talvo::CQMApp app(argc, argv);
    return app.Run();
}
