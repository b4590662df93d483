/* The public header compiles as C, and its records keep their widths and order. */
#include <stddef.h>

#include "korvel.h"

#define CHECK(expr) _Static_assert(expr, #expr)

CHECK(sizeof(DeviceInfo) == 496);
CHECK(offsetof(DeviceInfo, Wired_IpAddr) == 64);
CHECK(offsetof(DeviceInfo, Device_Type) == 80);
CHECK(offsetof(DeviceInfo, Device_Ver) == 112);
CHECK(offsetof(DeviceInfo, Wired_MacAddr) == 144);
CHECK(offsetof(DeviceInfo, Device_Alias) == 162);
CHECK(offsetof(DeviceInfo, Device_Group) == 290);
CHECK(offsetof(DeviceInfo, Device_UserName) == 418);
CHECK(offsetof(DeviceInfo, Device_PwdMd5) == 450);
CHECK(offsetof(DeviceInfo, RunTime) == 484);
CHECK(offsetof(DeviceInfo, RebootCount) == 492);

CHECK(sizeof(UserAccount) == 72);
CHECK(offsetof(UserAccount, User_Type) == 68);

CHECK(sizeof(DeviceNetStatus) == 8 + 64 + 16 + 16 + 8 + 8 + 8 + 8 + 18 + 16 + 16 + 16 + 18 + 16 + 16 + 8 + 18 + 16 +
                                     16 + 16 + 16 + 16 + 32);
CHECK(offsetof(DeviceNetStatus, dev_mac) == sizeof(DeviceNetStatus) - 32);

CHECK(sizeof(NetConfig) == 8 + 64 + 16 + 16 + 32 + 64 + 8 + 8 + 8 + 64 + 32 + 8 + 16 * 5 + 32 * 4);
CHECK(offsetof(NetConfig, router_wifi_ssid) == 224);
CHECK(offsetof(NetConfig, router_passwd) == 288);

CHECK(sizeof(VideoOutConfig) == 9 * 16 + 3 * 8);
CHECK(sizeof(PinCodeConfig) == 24);
CHECK(sizeof(CompereMember) == 100);
CHECK(offsetof(CompereMember, media_num) == 96);
CHECK(sizeof(CompereList) == 4 + 32 * 100);
CHECK(sizeof(MulticastModeConfig) == 8 + 32 + 32 + 8 + 8 + 16 + 16 + 256 + 256);
CHECK(sizeof(DeviceStatistics) == 12);
CHECK(sizeof(ProductInfo) == 64 + 32 + 32 + 32 + 64);
CHECK(sizeof(ZR_QM_MacText) == 32);
CHECK(sizeof(ZR_QM_GroupName) == 128);

CHECK((unsigned)ZR_QM_ERR_NOT_INIT == 0xFF800000u);
CHECK((unsigned)ZR_QM_ERR_DEV_OFFLINE == 0xFF80001Du);
CHECK((unsigned)ZR_QM_ERR_HTTP == 0xFF800600u);
CHECK((unsigned)ZR_QM_ERR_TIMEOUT == 0xFF80060Eu);

int korvel_records_layout_checked(void) { return 1; }
