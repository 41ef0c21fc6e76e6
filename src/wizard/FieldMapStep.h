#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// The fields to export and their order.
class FieldMapStep : public WizardStep {
    Q_OBJECT
public:
    FieldMapStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
};

} // namespace expwiz
