#pragma once

#include <chrono>
#include <functional>

namespace expwiz {

// Decides when a long run shows its progress: the first time it is asked,
// then once the interval has passed since it last said yes. A window that
// repaints its progress for every row spends its time laying out text
// rather than exporting; ten to thirty updates a second look just as live.
class ProgressPace {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // A zero interval makes every call due, without reading the clock.
    // Without a clock the monotonic system clock is read.
    explicit ProgressPace(std::chrono::milliseconds interval = {}, Clock clock = {})
        : interval_(interval), clock_(std::move(clock))
    {
    }

    bool due()
    {
        if (interval_.count() <= 0)
            return true;
        const auto now = clock_ ? clock_() : std::chrono::steady_clock::now();
        if (started_ && now - last_ < interval_)
            return false;
        started_ = true;
        last_ = now;
        return true;
    }

private:
    std::chrono::milliseconds interval_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_{};
    bool started_ = false;
};

} // namespace expwiz
