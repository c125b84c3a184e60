#include "platform/runtime/Timer.h"

#include "platform/runtime/UiServices.h"

#include <QTimer>

#include <limits>

namespace vx {

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Fire(); });
    Update();
}

TTimer::~TTimer() {
    *alive_ = false;
    timer_->stop();
    // Freed from its own handler: Qt is still inside the QTimer's signal.
    if (firing_)
        timer_.release()->deleteLater();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(uint32_t interval) {
    if (interval_ == interval)
        return;
    interval_ = interval;
    Update();
}

void TTimer::Update() {
    timer_->stop();
    if (enabled_ && interval_ > 0) {
        timer_->setInterval(
            static_cast<int>(std::min<uint32_t>(interval_, std::numeric_limits<int>::max())));
        timer_->start();
    }
}

void TTimer::Fire() {
    if (!OnTimer)
        return;
    std::shared_ptr<bool> alive = alive_;
    auto handler = OnTimer; // the handler may reassign OnTimer or free the timer
    firing_ = true;
    try {
        handler(this);
    } catch (const std::exception& e) {
        Ui().MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
    if (*alive)
        firing_ = false;
}

const TClassInfo& TTimer::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTimer>("TTimer", &TComponent::StaticClassInfo())
            .Boolean(
                "Enabled", [](const TTimer& t) { return t.Enabled(); },
                [](TTimer& t, int64_t v) { t.SetEnabled(v != 0); }, true)
            .Integer(
                "Interval", [](const TTimer& t) { return t.Interval(); },
                [](TTimer& t, int64_t v) { t.SetInterval(static_cast<uint32_t>(v)); }, 1000,
                nullptr, "Cardinal")
            .Event("OnTimer")
            .Build();
    return info;
}

} // namespace vx
