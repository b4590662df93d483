#include "app/qm_app.h"

#include "app/login_dlg.h"
#include "common/open_file_limit.h"
#include "korvel.h"
#include "res/state_icons.h"

namespace talvo {

CQMApp::CQMApp(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("TALVO controller"));
    setWindowIcon(ProgramIcon());
}

int CQMApp::Run() {
    RaiseOpenFileLimit();
    ZR_QM_Init(); // a failed start shows at log-in, which the library then refuses
    {
        CLoginDlg login;
        login.exec();
    }
    ZR_QM_DeInit();
    return 0;
}

} // namespace talvo
