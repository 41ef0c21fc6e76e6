#include "wizard/SelectMapStep.h"

namespace expwiz {

SelectMapStep::SelectMapStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 2, 203, parent)
{
}

} // namespace expwiz
