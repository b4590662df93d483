#include "common/system_update_kinds.h"

#include "common/cp936.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr UpdateKindRules kKernel = {UpdateKind::Kernel, "bin", "文件格式必需是bin!", 4'194'304,
                                     "内核升级文件超过4M！", 500, 2};
constexpr UpdateKindRules kFileSystem = {UpdateKind::FileSystem, "lzma", "文件格式必需是lzma!", 15'728'640,
                                         "文件系统升级文件超过15M！", 1500, 1};

// A file name of the filter is cut to this many characters.
constexpr qsizetype kFilterNameLimit = 32;

} // namespace

const UpdateKindRules &RulesOf(UpdateKind kind) { return kind == UpdateKind::Kernel ? kKernel : kFileSystem; }

std::optional<QString> ExpectedUpdateFile(UpdateKind kind, const QByteArray &model) {
    ProductInfo product{};
    if (ZR_QM_GetProductInfo(model.constData(), &product) != 0) return std::nullopt;
    return kind == UpdateKind::Kernel ? FieldText(product.kernel_file) : FieldText(product.filesystem_file);
}

QString UpdateFileFilter(UpdateKind kind, const QByteArray &model) {
    const std::optional<QString> expected = ExpectedUpdateFile(kind, model);
    if (!expected) {
        return kind == UpdateKind::Kernel
                   ? QStringLiteral("BIN files ( *.bin; ) |*.bin;  | All Files (*.*) |*.*||")
                   : QStringLiteral("LZMA files ( *.tar.lzma; ) |*.tar.lzma;  | All Files (*.*) |*.*||");
    }
    const QString name = expected->left(kFilterNameLimit);
    const QString description = kind == UpdateKind::Kernel ? QStringLiteral("BIN files") : QStringLiteral("LZMA files");
    return description + QStringLiteral(" ( ") + name + QStringLiteral("; ) |") + name + QStringLiteral("; ||");
}

} // namespace talvo
