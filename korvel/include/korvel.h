/*
 * KORVEL: management library for TALVO network display receivers.
 *
 * Flat C interface. Records are caller-owned, fixed-size and zeroed by the
 * caller; texts are zero-terminated 8-bit arrays whose width includes the
 * terminator, passed through unchanged (code page 936 bytes). Lists are
 * arrays allocated with malloc and released by the caller with free; a list
 * export sets *out only when it returns a count above 0.
 */
#ifndef KORVEL_H
#define KORVEL_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(KORVEL_BUILDING)
#    define KORVEL_API __declspec(dllexport)
#  else
#    define KORVEL_API __declspec(dllimport)
#  endif
#else
#  define KORVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Result codes ------------------------------------------------------ */

#define ZR_QM_OK                      0
#define ZR_QM_ERR_NOT_INIT            (-8388608) /* 0xFF800000 */
#define ZR_QM_ERR_PARAM               (-8388607) /* 0xFF800001 */
#define ZR_QM_ERR_FILE_OPEN           (-8388606) /* 0xFF800002 */
#define ZR_QM_ERR_NO_MEMORY           (-8388605) /* 0xFF800003 */
#define ZR_QM_ERR_DEV_NOT_FOUND       (-8388604) /* 0xFF800004 */
#define ZR_QM_ERR_DEV_NO_SESSION      (-8388603) /* 0xFF800005 */
#define ZR_QM_ERR_DEV_EXISTS          (-8388602) /* 0xFF800006 */
#define ZR_QM_ERR_DEV_TYPE            (-8388601) /* 0xFF800007 */
#define ZR_QM_ERR_FILE_READ           (-8388600) /* 0xFF800008 */
#define ZR_QM_ERR_MAC_MISMATCH        (-8388599) /* 0xFF800009 */
#define ZR_QM_ERR_CONNECT             (-8388598) /* 0xFF80000A */
#define ZR_QM_ERR_ACCESS_DENIED       (-8388597) /* 0xFF80000B */
#define ZR_QM_ERR_JSON                (-8388596) /* 0xFF80000C */
#define ZR_QM_ERR_DEV_REFUSED         (-8388595) /* 0xFF80000D */
#define ZR_QM_ERR_DEV_AUTH            (-8388594) /* 0xFF80000E */
#define ZR_QM_ERR_BATCH_PARTIAL       (-8388593) /* 0xFF80000F */
#define ZR_QM_ERR_BATCH_FAILED        (-8388592) /* 0xFF800010 */
#define ZR_QM_ERR_GROUP               (-8388590) /* 0xFF800012 */
#define ZR_QM_ERR_GROUP_NAME_LONG     (-8388589) /* 0xFF800013 */
#define ZR_QM_ERR_USER_EXISTS         (-8388588) /* 0xFF800014 */
#define ZR_QM_ERR_USER_NOT_FOUND      (-8388587) /* 0xFF800015 */
#define ZR_QM_ERR_PASSWORD            (-8388586) /* 0xFF800016 */
#define ZR_QM_ERR_NOT_LOGGED_IN       (-8388585) /* 0xFF800017 */
#define ZR_QM_ERR_ALREADY_LOGGED_IN   (-8388584) /* 0xFF800018 */
#define ZR_QM_ERR_SUPER_ADMIN         (-8388583) /* 0xFF800019 */
#define ZR_QM_ERR_MULTICAST_IN_NINE   (-8388581) /* 0xFF80001B */
#define ZR_QM_ERR_NINE_IN_MULTICAST   (-8388580) /* 0xFF80001C */
#define ZR_QM_ERR_DEV_OFFLINE         (-8388579) /* 0xFF80001D */
#define ZR_QM_ERR_HTTP                (-8387072) /* 0xFF800600 */
#define ZR_QM_ERR_HTTP_401            (-8387071) /* 0xFF800601 */
#define ZR_QM_ERR_DEV_LOGIN           (-8387070) /* 0xFF800602 */
#define ZR_QM_ERR_HTTP_400            (-8387068) /* 0xFF800604 */
#define ZR_QM_ERR_HTTP_403            (-8387067) /* 0xFF800605 */
#define ZR_QM_ERR_HTTP_404            (-8387066) /* 0xFF800606 */
#define ZR_QM_ERR_HTTP_500            (-8387065) /* 0xFF800607 */
#define ZR_QM_ERR_HTTP_501            (-8387064) /* 0xFF800608 */
#define ZR_QM_ERR_HTTP_502            (-8387063) /* 0xFF800609 */
#define ZR_QM_ERR_HTTP_503            (-8387062) /* 0xFF80060A */
#define ZR_QM_ERR_HTTP_411            (-8387061) /* 0xFF80060B */
#define ZR_QM_ERR_HTTP_417            (-8387060) /* 0xFF80060C */
#define ZR_QM_ERR_HTTP_505            (-8387059) /* 0xFF80060D */
#define ZR_QM_ERR_TIMEOUT             (-8387058) /* 0xFF80060E */

/* ---- Device states ----------------------------------------------------- */

#define ZR_QM_STATE_IDLE     0 /* "运行" */
#define ZR_QM_STATE_SHARE    1 /* "投屏" */
#define ZR_QM_STATE_UPGRADE  2 /* "升级" */
#define ZR_QM_STATE_STANDBY  3 /* "待机" */
#define ZR_QM_STATE_OFFLINE  4 /* "掉线" */
#define ZR_QM_STATE_UNKNOWN  5 /* "掉线" */

/* ---- User types -------------------------------------------------------- */

#define ZR_QM_USER_SUPER_ADMIN 0
#define ZR_QM_USER_ADMIN       1
#define ZR_QM_USER_ORDINARY    2

/* ---- Records ----------------------------------------------------------- */

/* One managed or discovered receiver. Field names are the device store keys;
 * the three counters are not stored. */
typedef struct DeviceInfo {
    char Wifi_SSID[64];        /* hotspot SSID, the device's name */
    char Wired_IpAddr[16];     /* dotted IPv4 of the wired interface */
    char Device_Type[32];      /* model name */
    char Device_Ver[32];       /* firmware version */
    char Wired_MacAddr[18];    /* identity */
    char Device_Alias[128];
    char Device_Group[128];
    char Device_UserName[32];  /* login user name */
    char Device_PwdMd5[33];    /* MD5 of the login password, lower-case hex */
    uint32_t RunTime;          /* last reported run time; 0 while offline */
    uint32_t StateDuration;    /* seconds online (states 0..2) or offline */
    uint32_t RebootCount;
} DeviceInfo;

typedef struct UserAccount {
    char User_Name[32];
    char User_Pwd[33];         /* MD5 hex */
    int32_t User_Type;         /* 0 super administrator, 1 administrator, 2 ordinary */
} UserAccount;

/* Network status of a receiver (section "dev_status"). */
typedef struct DeviceNetStatus {
    char wifi_on_status[8];
    char wifi_ssid_status[64];
    char wifi_ipaddr_status[16];
    char wifi_ipmask_status[16];
    char wifi_fre_stauts[8];
    char wifi_channel_status[8];
    char wifi_signal_strength_status[8];
    char wired_use_dhcp_status[8];
    char wifi_mac_addr_status[18];
    char wired_ipaddr_status[16];
    char wired_ipmask_status[16];
    char wired_gateway_status[16];
    char wired_mac_addr_status[18];
    char wired_pridns_status[16];
    char wired_secdns_status[16];
    char wlan1_use_dhcp_status[8];
    char wlan1_mac_addr_status[18];
    char wlan1_ipaddr_status[16];
    char wlan1_ipmask_status[16];
    char wlan1_gateway_status[16];
    char wlan1_pridns_status[16];
    char wlan1_secdns_status[16];
    char dev_mac[32];
} DeviceNetStatus;

/* Network settings (section "net_settings"). */
typedef struct NetConfig {
    char wifi_on[8];
    char wifi_ssid[64];
    char wifi_ipaddr[16];
    char wifi_ipmask[16];
    char wifi_pwd[32];
    char wifi_countries[64];
    char wifi_fre[8];
    char wifi_channel[8];
    char wifi_signal_strength[8];
    char router_wifi_ssid[64];
    char router_passwd[32];
    char wired_use_dhcp[8];
    char wired_ipaddr[16];
    char wired_ipmask[16];
    char wired_ipgateway[16];
    char wired_pridns[16];
    char wired_secdns[16];
    char dev_ver_info[32];     /* read only */
    char dev_type[32];         /* read only */
    char connect_status[32];   /* read only */
    char dev_mac[32];          /* read only */
} NetConfig;

/* Video output settings (section "video_out"). */
typedef struct VideoOutConfig {
    char video_hdmi_resu[16];
    char video_vga_resu[16];
    char video_osd_transparency[16];
    char input_vga_gain[16];
    char input_vga_sharp[16];
    char sound_volume[16];
    char display_mode[16];
    char osd_on[16];
    char rotate_str[16];
    char auto_fullscreen[8];
    char auto_shutdown[8];
    char auto_shutdown_sec[8];
} VideoOutConfig;

/* Pin code policy (section "pin_code"). */
typedef struct PinCodeConfig {
    char use_input_code[8];
    char input_code[16];       /* read only */
} PinCodeConfig;

/* One sender connected to a receiver in host mode. */
typedef struct CompereMember {
    char conn_ip[16];
    char conn_type[32];
    char conn_name[32];
    char play_video[8];
    char play_audio[8];
    int32_t media_num;
} CompereMember;

#define ZR_QM_COMPERE_MAX 32

typedef struct CompereList {
    int32_t num;
    CompereMember devs[ZR_QM_COMPERE_MAX];
} CompereList;

/* Multi-display settings (section "multi_mode"). */
typedef struct MulticastModeConfig {
    char multi_display_enable[8];
    char multi_display_mode[32];
    char multi_display_type[32];
    char multi_display_audio[8];
    char multi_display_ip_enable[8];
    char multi_display_multi_ip[16];
    char multi_display_uni_ip[16];
    char multi_display_rtsp_addr[256];
    char multi_display_rtsp_srv_addr[256]; /* read only */
} MulticastModeConfig;

typedef struct DeviceStatistics {
    uint32_t offline_num;  /* states 4 and 5 */
    uint32_t online_num;   /* states 0 and 2 */
    uint32_t share_num;    /* state 1 */
} DeviceStatistics;

/* Per-model file names. */
typedef struct ProductInfo {
    char upgrade_file[64];     /* firmware package, e.g. "TALVO_HX.tar.bz2" */
    char dev_type[32];         /* model name */
    char uboot_file[32];       /* boot loader image */
    char kernel_file[32];      /* kernel image */
    char filesystem_file[64];  /* file-system image */
} ProductInfo;

typedef char ZR_QM_MacText[32];     /* one slot of a MAC list */
typedef char ZR_QM_GroupName[128];  /* one slot of a group list */

/* ---- Life -------------------------------------------------------------- */

KORVEL_API int ZR_QM_Init(void);
KORVEL_API int ZR_QM_DeInit(void);
KORVEL_API void ZR_QM_KorvelSysLogOut(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* ---- Operator accounts ------------------------------------------------- */

KORVEL_API int ZR_QM_Login(const char *user, const char *password);
KORVEL_API int ZR_QM_Logout(void);
KORVEL_API int ZR_QM_GetCurUserType(void);
KORVEL_API int ZR_QM_GetCurUserName(char *name /* 32 bytes */);
KORVEL_API int ZR_QM_GetAllUserAccountInfo(UserAccount **accounts);
KORVEL_API int ZR_QM_AddUser(const char *user, const char *password, int type);
KORVEL_API int ZR_QM_DelUser(const char *user);
KORVEL_API int ZR_QM_ModifyUserPwd(const char *user, const char *current, const char *password);
KORVEL_API int ZR_QM_ModifyUserType(const char *user, int type);
KORVEL_API int ZR_QM_ModifyDevOperatePwd(const char *user, const char *current, const char *password);

/* ---- Discovery and registry -------------------------------------------- */

KORVEL_API int ZR_QM_SearchDevice(void);
KORVEL_API int ZR_QM_UpdateDeviceInfo(void);
KORVEL_API int ZR_QM_AddDevice(const char *ip, const char *user, const char *password, DeviceInfo *info);
KORVEL_API int ZR_QM_DelDevice(const char *mac);
KORVEL_API int ZR_QM_GetDeviceList(DeviceInfo **devices);
KORVEL_API int ZR_QM_GetDeviceInfo(const char *mac, DeviceInfo *info);
KORVEL_API int ZR_QM_GetSearchDeviceList(DeviceInfo **devices);
KORVEL_API int ZR_QM_ClearSearchDeviceList(void);
KORVEL_API int ZR_QM_AddSearchDevicesToDeviceList(const ZR_QM_MacText *macs, unsigned int count);
KORVEL_API int ZR_QM_SetDevLoginUserNamePwd(const char *mac, const char *user, const char *password);

/* ---- Device session and state ------------------------------------------ */

KORVEL_API int ZR_QM_LoginDevice(const char *mac, const char *user, const char *password);
KORVEL_API int ZR_QM_LogoutDevice(const char *mac);
KORVEL_API int ZR_QM_GetDeviceState(const char *mac, int *state);
KORVEL_API int ZR_QM_GetDeviceStateStr(const char *mac, char *text /* 32 bytes */);
KORVEL_API int ZR_QM_GetStateStrByEn(int state, char *text /* 32 bytes */);
KORVEL_API int ZR_QM_BatchGetDevicState(const ZR_QM_MacText *macs, int *states, unsigned int count);
KORVEL_API int ZR_QM_UpdateAllDeviceState(void);
KORVEL_API int ZR_QM_GetDevStatistics(DeviceStatistics *statistics);
KORVEL_API int ZR_QM_GetDevicStatus(const char *mac, DeviceNetStatus *status);
KORVEL_API int ZR_QM_GetDeviceVersion(const char *mac, char *version /* 32 bytes */);

/* ---- Configuration ----------------------------------------------------- */

KORVEL_API int ZR_QM_GetDeviceNetConf(const char *mac, NetConfig *config);
KORVEL_API int ZR_QM_SetDeviceNetConf(const char *mac, const NetConfig *config);
KORVEL_API int ZR_QM_GetDeviceVOConf(const char *mac, VideoOutConfig *config);
KORVEL_API int ZR_QM_SetDeviceVOConf(const char *mac, const VideoOutConfig *config);
KORVEL_API int ZR_QM_GetDevicePinCode(const char *mac, PinCodeConfig *config);
KORVEL_API int ZR_QM_SetDevicePinCode(const char *mac, const PinCodeConfig *config);
KORVEL_API int ZR_QM_SetDeviceWebLoginPWD(const char *mac, const char *current, const char *password);
KORVEL_API int ZR_QM_SetDeviceWifi(const char *mac, int open);
KORVEL_API int ZR_QM_BatchSetDeviceWifi(const ZR_QM_MacText *macs, unsigned int count, int open);
KORVEL_API int ZR_QM_BatchSetDeviceLoginPWD(const ZR_QM_MacText *macs, unsigned int count,
                                            const char *current, const char *password);

/* ---- Maintenance ------------------------------------------------------- */

KORVEL_API int ZR_QM_DeviceFactoryReset(const char *mac);
KORVEL_API int ZR_QM_BatchDeviceFactoryReset(const ZR_QM_MacText *macs, unsigned int count);
KORVEL_API int ZR_QM_DeviceReboot(const char *mac);
KORVEL_API int ZR_QM_BatchDeviceReboot(const ZR_QM_MacText *macs, unsigned int count);
KORVEL_API int ZR_QM_DeviceReboot_Ex(const char *mac);
KORVEL_API int ZR_QM_BatchDeviceReboot_Ex(const ZR_QM_MacText *macs, unsigned int count);
KORVEL_API int ZR_QM_DeviceContol(const char *mac, int command);
KORVEL_API int ZR_QM_BatchDeviceContol(const ZR_QM_MacText *macs, unsigned int count, int command);

/* ---- Firmware and screens ---------------------------------------------- */

KORVEL_API int ZR_QM_UpgradeDevice(const char *mac, const char *path);
KORVEL_API int ZR_QM_BatchUpgradeDevice(const ZR_QM_MacText *macs, unsigned int count, const char *path);
KORVEL_API int ZR_QM_GetDeviceUpgradeProgress(const char *mac);
KORVEL_API int ZR_QM_BatchGetDeviceUpgradeProgress(const ZR_QM_MacText *macs, unsigned int count);
KORVEL_API int ZR_QM_DevSystemUpdate(const char *mac, int kind, const char *path);
KORVEL_API int ZR_QM_BatchDevSystemUpdate(const ZR_QM_MacText *macs, unsigned int count, int kind,
                                          const char *path, const char *md5);
KORVEL_API int ZR_QM_GetDeviceSystemUpdateProgress(const char *mac, int kind);
KORVEL_API int ZR_QM_BatchGetDeviceSystemUpdateProgress(const ZR_QM_MacText *macs, unsigned int count,
                                                        int kind);
KORVEL_API int ZR_QM_SetDeviceScreen(const char *mac, int kind, const char *path);
KORVEL_API int ZR_QM_BatchSetDeviceScreen(const ZR_QM_MacText *macs, unsigned int count, int kind,
                                          const char *path);

/* ---- Groups and alias -------------------------------------------------- */

KORVEL_API int ZR_QM_SaveDevAlias(const char *mac, const char *alias);
KORVEL_API int ZR_QM_AddDevGroup(const char *name);
KORVEL_API int ZR_QM_DelDevGroup(const char *name);
KORVEL_API int ZR_QM_ChangeGroupName(const char *current, const char *name);
KORVEL_API int ZR_QM_GetGroupList(ZR_QM_GroupName **names);
KORVEL_API int ZR_QM_GetGroupDevList(const char *name, DeviceInfo **devices);
KORVEL_API int ZR_QM_MoveDevToNewGroup(const char *mac, const char *group);

/* ---- Display modes ----------------------------------------------------- */

KORVEL_API int ZR_QM_GetCompereList(const char *mac, CompereList *list);
KORVEL_API int ZR_QM_SetCompereMember(const char *mac, int operation, const CompereMember *member);
KORVEL_API int ZR_QM_GetMulticastMode(const char *mac, MulticastModeConfig *config);
KORVEL_API int ZR_QM_SetMulticastMode(const char *mac, const MulticastModeConfig *config);

/* ---- Other ------------------------------------------------------------- */

KORVEL_API int ZR_QM_CalcFileMD5(char *md5 /* 33 bytes */, const char *path);
KORVEL_API int ZR_QM_GetProductInfo(const char *model, ProductInfo *info);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KORVEL_H */
