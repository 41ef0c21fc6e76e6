#pragma once

#include "addin/LiveObjects.h"

#include <memory>

namespace expwiz {

class UiServices;

// What every object of the add-in library shares: the desktop services
// (whose application title the wizard sets) and the live-object count.
struct AddinContext {
    std::shared_ptr<UiServices> ui;
    LiveObjects live;
};

} // namespace expwiz
