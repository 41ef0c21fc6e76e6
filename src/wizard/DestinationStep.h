#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// The folder and name of the export file.
class DestinationStep : public WizardStep {
    Q_OBJECT
public:
    DestinationStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
};

} // namespace expwiz
