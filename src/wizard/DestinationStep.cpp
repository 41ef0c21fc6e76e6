#include "wizard/DestinationStep.h"

namespace expwiz {

DestinationStep::DestinationStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 4, 202, parent)
{
}

} // namespace expwiz
