#include "core/export_frame.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {

int RefuseArguments() { return KORVEL_PARAM_ERROR(); }

int ExportFileBatch(const ZR_QM_MacText *macs, unsigned int count, const char *path, const BatchMember &member,
                    const FileRequestMaker &make) {
    return WithManager([&](Manager &manager) {
        if (MissingList(macs, count) || !FitsBatchPath(path)) return RefuseArguments();
        return RunFileBatch(manager, {macs, count}, path, member, make);
    });
}

int ExportProgressBatch(const ZR_QM_MacText *macs, unsigned int count, const BatchMember &member,
                        const DeviceRequest &request, int (*combine)(const BatchResults &)) {
    return WithManager([&](Manager &manager) {
        if (MissingList(macs, count)) return RefuseArguments();
        BatchResults results = RunWorkers(manager, {macs, count}, member, request);
        return results.ended_early != 0 ? results.ended_early : combine(results);
    });
}

} // namespace korvel
