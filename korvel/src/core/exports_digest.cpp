#include <cstring>

#include "core/api_frame.h"
#include "core/digest.h"
#include "core/log.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

int ZR_QM_CalcFileMD5(char *md5, const char *path) {
    return korvel::WithManager([&](korvel::Manager &) {
        if (md5 == nullptr || path == nullptr) return ZR_QM_ERR_PARAM;
        char digest[korvel::kDigestSize] = {0};
        int result = korvel::FileDigest(path, digest);
        if (result != 0) {
            KLOG("[%s]:[%d] Calculate file md5 failed.");
            return result;
        }
        std::memcpy(md5, digest, sizeof digest);
        return 0;
    });
}
