#pragma once

#include "wizard/WizardStep.h"

namespace expwiz {

// What will be exported; the export runs here.
class SummaryStep : public WizardStep {
    Q_OBJECT
public:
    SummaryStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);

    // Runs the export of the choices made (the Export button).
    void startExport();
};

} // namespace expwiz
