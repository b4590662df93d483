// Exports of the library's life. ZR_QM_KorvelSysLogOut lives with the log routine.
#include "core/manager.h"
#include "korvel.h"

int ZR_QM_Init(void) { return korvel::InitLibrary(); }

int ZR_QM_DeInit(void) { return korvel::DeInitLibrary(); }
