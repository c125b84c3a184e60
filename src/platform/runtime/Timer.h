#pragma once

#include "platform/runtime/Component.h"

#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

namespace vx {

// The class library's timer on the thread's Qt event loop: while Enabled and Interval > 0 it
// calls OnTimer every Interval milliseconds. Changing Enabled or Interval starts the count
// afresh. A handler may free the timer; its exceptions are shown as error messages and never
// cross the event loop.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t interval);

    std::function<void(TComponent* sender)> OnTimer;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    void Update();
    void Fire();

    bool enabled_ = true;
    uint32_t interval_ = 1000;
    std::unique_ptr<QTimer> timer_;
    // Shared with a running handler, which must not touch the timer once it is freed.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool firing_ = false;
};

} // namespace vx
