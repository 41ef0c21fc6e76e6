#include "wizard/SummaryStep.h"

namespace expwiz {

SummaryStep::SummaryStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 5, 205, parent)
{
}

void SummaryStep::startExport()
{
}

} // namespace expwiz
