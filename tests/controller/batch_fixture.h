// Fixture of the batch window's tests: simulated receivers online and logged
// in to (as after the operator has worked with them), the main window open
// with its list of them, and the batch window over it.
#pragma once

#include <memory>
#include <vector>

#include "batch/dev_batch_operate_dlg.h"
#include "maintenance_fixture.h"

namespace talvo::testing {

class BatchTest : public MaintenanceTest {
protected:
    // Starts the receivers and the main window and opens the batch window.
    void StartBatch(const std::vector<talvo_sim::ReceiverConfig> &receivers);
    // How often each receiver has rebooted, in the order of macs_.
    std::vector<int> RebootCounts();
    // Waits until the receivers at `rebooted` (positions in macs_) have
    // rebooted once since `before` and are back, online in the library and
    // logged in to again; the others must not have rebooted. Clears faults.
    void WaitForReboots(const std::vector<int> &before, const std::vector<int> &rebooted);

    std::unique_ptr<CDevBatchOperateDlg> window_;
};

} // namespace talvo::testing
