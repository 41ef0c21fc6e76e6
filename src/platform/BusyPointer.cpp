#include "platform/BusyPointer.h"

#include "platform/UiServices.h"

namespace expwiz {

BusyPointer::BusyPointer(UiServices& ui) : ui_(ui)
{
    ui_.beginBusy();
}

BusyPointer::~BusyPointer()
{
    ui_.endBusy();
}

} // namespace expwiz
