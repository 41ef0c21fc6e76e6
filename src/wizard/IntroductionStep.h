#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// The first step: a welcome text and a picture; it has no inputs.
class IntroductionStep : public WizardStep {
    Q_OBJECT
public:
    IntroductionStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
};

} // namespace expwiz
