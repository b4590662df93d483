#include "common/update_progress.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

#include "common/prompt.h"

namespace talvo {
namespace {

void HideKeepingPlace(QWidget *widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

} // namespace

UpdateProgress::UpdateProgress(QWidget *page, int fast_above, Poll poll)
    : page_(page), fast_above_(fast_above), poll_(std::move(poll)),
      bar_(new QProgressBar(page)), text_(new QLabel(QStringLiteral("升级中，请等待......"), page)) {
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    HideKeepingPlace(bar_);
    HideKeepingPlace(text_);
    QObject::connect(&kernel_timer_, &QTimer::timeout, [this] { Tick(UpdateKind::Kernel); });
    QObject::connect(&file_system_timer_, &QTimer::timeout, [this] { Tick(UpdateKind::FileSystem); });
}

const QTimer &UpdateProgress::Timer(UpdateKind kind) const {
    return kind == UpdateKind::Kernel ? kernel_timer_ : file_system_timer_;
}

QTimer &UpdateProgress::TimerOf(UpdateKind kind) {
    return kind == UpdateKind::Kernel ? kernel_timer_ : file_system_timer_;
}

void UpdateProgress::Start(UpdateKind kind) {
    const UpdateKindRules &rules = RulesOf(kind);
    bar_->setRange(0, 100);
    step_ = rules.bar_step;
    bar_->setValue(0);
    TimerOf(kind).start(rules.poll_period_ms);
    bar_->show();
    text_->show();
}

void UpdateProgress::Tick(UpdateKind kind) {
    const std::optional<int> progress = poll_(kind);
    if (!progress) return;
    if (*progress < 0) {
        Finish(kind, QStringLiteral("升级失败！"));
        return;
    }
    if (*progress > fast_above_) TimerOf(kind).start(kFastPeriodMs);
    const int position = bar_->value();
    if (position >= 100) {
        Finish(kind, QStringLiteral("升级成功！"));
        return;
    }
    if (position < *progress) bar_->setValue(std::min(position + step_, bar_->maximum()));
}

void UpdateProgress::Finish(UpdateKind kind, const QString &message) {
    bar_->hide();
    text_->hide();
    TimerOf(kind).stop();
    Notice(page_, message);
}

} // namespace talvo
