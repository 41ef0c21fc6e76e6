#include "wizard/FieldMapStep.h"

namespace expwiz {

FieldMapStep::FieldMapStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 3, 204, parent)
{
}

} // namespace expwiz
