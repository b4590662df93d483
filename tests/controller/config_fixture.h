// Fixture of the configuration window's tests: simulated receivers online in
// the library, the main window open, one of them its current device, and the
// saves the receivers received.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/dev_cfg_dlg.h"
#include "controller_fixture.h"

class QComboBox;

namespace talvo::testing {

using SentFields = std::map<std::string, std::string>;

// The texts of a drop-down list's entries, in order.
QStringList ListItems(const QComboBox *list);

class ConfigTest : public ControllerTest {
protected:
    // A receiver of `model` with `settings` replacing its defaults per section.
    static talvo_sim::ReceiverConfig Receiver(const std::string &model,
                                              const std::map<std::string, talvo_sim::Settings> &settings = {},
                                              int number = 1);
    // Adds the receivers, starts the library, waits until they are online
    // and opens the main window with the first one as current device.
    void Start(const std::vector<talvo_sim::ReceiverConfig> &receivers);
    void Start(const talvo_sim::ReceiverConfig &receiver) { Start(std::vector{receiver}); }
    // Makes `mac` the main window's current device through "设备配置".
    void MakeCurrent(const std::string &mac);

    // The configuration window, as the main window opens it.
    std::unique_ptr<CDevCfgDlg> OpenConfiguration();
    // One page on its own, a child of the main window.
    template <class Page>
    std::unique_ptr<Page> OpenPage() {
        return std::make_unique<Page>(main_.get());
    }

    // The fields (without action and section) of every save of `section`
    // that `mac` (default: the first receiver) received, oldest first.
    std::vector<SentFields> Saves(const std::string &section, const std::string &mac = {});
    // The fields of the one save of `section` since the last ClearRequests.
    SentFields OnlySave(const std::string &section, const std::string &mac = {});
    void ClearRequests();
    void TakeOffline(const std::string &mac);

    std::unique_ptr<CQMDlg> main_;
    std::vector<std::string> macs_;
    std::string mac_; // the first receiver
};

} // namespace talvo::testing
