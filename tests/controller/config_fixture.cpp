#include "config_fixture.h"

#include <QComboBox>
#include <QPushButton>

namespace talvo::testing {

QStringList ListItems(const QComboBox *list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

talvo_sim::ReceiverConfig ConfigTest::Receiver(const std::string &model,
                                               const std::map<std::string, talvo_sim::Settings> &settings,
                                               int number) {
    talvo_sim::ReceiverConfig receiver;
    receiver.model = model;
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:54:56:00:20:%02X", number);
    receiver.mac = mac;
    receiver.address = "127.12.0." + std::to_string(number);
    receiver.settings = settings;
    return receiver;
}

void ConfigTest::Start(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    WriteDevices(AddReceivers(receivers));
    StartLibrary();
    LogIn();
    for (const talvo_sim::ReceiverConfig &receiver : receivers) macs_.push_back(receiver.mac);
    mac_ = macs_.front();
    WaitForOnline(macs_);
    main_ = OpenMainWindow();
    MakeCurrent(mac_);
}

void ConfigTest::MakeCurrent(const std::string &mac) {
    TickOnly(*main_, {mac});
    const std::size_t opened = windows_.Opened().size();
    FindButton(main_.get(), QStringLiteral("设备配置"))->click();
    ASSERT_EQ(windows_.Opened().size(), opened + 1) << "the main window refused " << mac;
    ASSERT_EQ(main_->CurrentDeviceMac().toStdString(), mac);
}

std::unique_ptr<CDevCfgDlg> ConfigTest::OpenConfiguration() { return std::make_unique<CDevCfgDlg>(main_.get()); }

std::vector<SentFields> ConfigTest::Saves(const std::string &section, const std::string &mac) {
    std::vector<SentFields> saves;
    for (const talvo_sim::RequestRecord &request : Fleet().Requests(mac.empty() ? mac_ : mac)) {
        if (request.action != "save" || request.section != section) continue;
        SentFields fields = request.query;
        fields.erase("action");
        fields.erase("section");
        saves.push_back(fields);
    }
    return saves;
}

SentFields ConfigTest::OnlySave(const std::string &section, const std::string &mac) {
    std::vector<SentFields> saves = Saves(section, mac);
    EXPECT_EQ(saves.size(), 1u) << "saves of " << section;
    return saves.empty() ? SentFields{} : saves.back();
}

void ConfigTest::ClearRequests() {
    for (const std::string &mac : macs_) Fleet().ClearRequests(mac);
    prompts_.Clear();
}

void ConfigTest::TakeOffline(const std::string &mac) {
    Fleet().TakeOffline(mac);
    WaitForOnline({mac}, false);
}

} // namespace talvo::testing
