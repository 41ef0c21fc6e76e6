#pragma once

#include "export/ProgressPace.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace expwiz {

// How an export talks to whoever runs it. Every callback is optional.
struct ExportCallbacks {
    // Before a row is written: its 1-based number and the counted total.
    // Called for the first row, then as often as the pace says.
    std::function<void(int32_t row, int32_t total)> progress;
    // Called right after progress, so a window repaints it and sees a click
    // on Stop before the row is written.
    std::function<void()> processEvents;
    // Looked at once per row, before the row is written. Return true once per
    // request: the engine does not clear it.
    std::function<bool()> stopRequested;
    // Asked after a stop request; true ends the run keeping the complete
    // rows, false goes on. Without it a request stops at once.
    std::function<bool()> confirmStop;
    // True while the count query runs (a busy pointer), then false.
    std::function<void(bool)> busy;
    // How often progress and processEvents are called: every row (a zero
    // interval), or at most once per interval by this clock (empty: the
    // monotonic system clock).
    std::chrono::milliseconds progressInterval{0};
    ProgressPace::Clock clock;
};

} // namespace expwiz
