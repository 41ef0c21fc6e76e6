#include "wizard/SelectAssetsStep.h"

namespace expwiz {

SelectAssetsStep::SelectAssetsStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 1, 201, parent)
{
}

} // namespace expwiz
