#include "device/models.h"

#include <cstring>
#include <string>
#include <strings.h>

#include "core/log.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

const char *const kModelNames[] = {"TALVO_HX", "TALVO_JX", "TALVO_MX", "TALVO_NX", "TALVO_SX", "TALVO_TX", "unknow"};

ProductInfo ProductRow(const char *code) {
    ProductInfo row{};
    std::string model = std::string("TALVO_") + code;
    CopyText(row.upgrade_file, (model + ".tar.bz2").c_str());
    CopyText(row.dev_type, model.c_str());
    CopyText(row.uboot_file, (std::string("u-boot-") + code + ".bin").c_str());
    CopyText(row.kernel_file, (std::string("uImage-") + code + ".bin").c_str());
    CopyText(row.filesystem_file, (std::string("upgrade-") + code + "-TALVO.tar.lzma").c_str());
    return row;
}

const ProductInfo *ProductTable() {
    static const ProductInfo table[kModelCount] = {ProductRow("HX"), ProductRow("JX"), ProductRow("MX"),
                                                   ProductRow("NX"), ProductRow("SX"), ProductRow("TX")};
    return table;
}

} // namespace

const char *ModelName(uint32_t index) { return kModelNames[index < kModelCount ? index : kUnknownModel]; }

uint32_t ModelIndex(const char *name) {
    for (uint32_t i = 0; i < kModelCount; ++i) {
        if (EqualsIgnoreCase(name, kModelNames[i])) return i;
    }
    KLOG("[%s]:[%d] unkown device type!");
    return kUnknownModel;
}

bool IsKnownModel(const char *name) {
    if (name == nullptr) return false;
    for (uint32_t i = 0; i < kModelCount; ++i) {
        if (std::strcmp(name, kModelNames[i]) == 0) return true;
    }
    return false;
}

int GetProductInfo(const char *model, ProductInfo *info) {
    if (model == nullptr || info == nullptr) return -1;
    for (uint32_t i = 0; i < kModelCount; ++i) {
        const ProductInfo &row = ProductTable()[i];
        if (std::strncmp(model, row.dev_type, sizeof row.dev_type) == 0) {
            *info = row;
            return 0;
        }
    }
    return -2;
}

} // namespace korvel

int ZR_QM_GetProductInfo(const char *model, ProductInfo *info) { return korvel::GetProductInfo(model, info); }
