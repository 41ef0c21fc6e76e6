#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// A new field map, or a saved one to open.
class SelectMapStep : public WizardStep {
    Q_OBJECT
public:
    SelectMapStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
};

} // namespace expwiz
