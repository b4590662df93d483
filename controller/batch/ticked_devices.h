// What every page of the batch window does around its library call: collect
// the devices ticked in the main window's list at the moment it acts, check
// that they share one model, ask the confirmation and tell the outcome.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "common/device_set.h"

class QWidget;

namespace talvo {

// The ticked devices, top row first. Refused with a notice, and nothing
// returned, when the list is empty or nothing is ticked (`no_selection`),
// when the library does not know a ticked device ("设备不存在！") or holds it
// as offline ("设备不在线，不允许批量操作！"); the first such row decides.
std::optional<DeviceSet> CollectTickedDevices(QWidget *page, const QString &no_selection);

// The MACs of the rows ticked now, without checks or messages.
QList<QByteArray> TickedMacsNow(const QWidget *page);

// "请再次确认是否进行批量操作？"; true only for Yes.
bool ConfirmBatch(QWidget *page);

// The model of every device of `devices`. Nothing when two differ (notice
// `mixed`) or when a device's record cannot be read (no notice).
std::optional<QByteArray> CommonModel(QWidget *page, const DeviceSet &devices, const QString &mixed);

// The one notice of a batch call's result.
struct BatchMessages {
    const char *success; // 0
    const char *partial; // ZR_QM_ERR_BATCH_PARTIAL
    const char *failure; // anything else
};
void ShowBatchOutcome(QWidget *page, int result, const BatchMessages &messages);

} // namespace talvo
