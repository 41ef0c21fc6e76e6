#pragma once

namespace expwiz {

class UiServices;

// The busy (hourglass) pointer for as long as the guard lives, so every
// way out of a long operation restores the normal pointer.
class BusyPointer {
public:
    explicit BusyPointer(UiServices& ui);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UiServices& ui_;
};

} // namespace expwiz
