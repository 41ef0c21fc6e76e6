#pragma once

#include <cstdint>
#include <functional>

namespace expwiz {

// How an export talks to whoever runs it. Every callback is optional.
struct ExportCallbacks {
    // Before each row is written: its 1-based number and the counted total.
    std::function<void(int32_t row, int32_t total)> progress;
    // Called twice per row, around progress, so a window stays alive.
    std::function<void()> processEvents;
    // Looked at once per row, before the row is written. Return true once per
    // request: the engine does not clear it.
    std::function<bool()> stopRequested;
    // Asked after a stop request; true ends the run keeping the complete
    // rows, false goes on. Without it a request stops at once.
    std::function<bool()> confirmStop;
    // True while the count query runs (a busy pointer), then false.
    std::function<void(bool)> busy;
};

} // namespace expwiz
