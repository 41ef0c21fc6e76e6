#include "wizard/WizardStep.h"

namespace expwiz {

WizardStep::WizardStep(WizardState& state, UiServices& ui, int index, int titleId, QWidget* parent)
    : QGroupBox(parent), state_(state), ui_(ui), index_(index), titleId_(titleId)
{
    setObjectName(QStringLiteral("fraStep%1").arg(index));
    setProperty("tag", titleId);
}

WizardStep::~WizardStep() = default;

} // namespace expwiz
