// Every log line of the program goes through the library's log routine, as
// "[unit]:[line]message". A source file names its unit once and then logs
// with the format texts as they stand:
//
//     constexpr char kLogUnit[] = "QMDlg";
//     TALVO_LOG("[%s]:[%d]ZR_QM_Logout failed, error id: 0x%x.\n", result);
#pragma once

#include "korvel.h"

#define TALVO_LOG(format, ...) ZR_QM_KorvelSysLogOut(format, kLogUnit, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
