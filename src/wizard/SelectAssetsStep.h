#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// The company, the group and the book of the assets to export.
class SelectAssetsStep : public WizardStep {
    Q_OBJECT
public:
    SelectAssetsStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
};

} // namespace expwiz
