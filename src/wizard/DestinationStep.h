#pragma once

#include "wizard/WizardStep.h"

class QLineEdit;

namespace expwiz {

// Where the CSV file goes: a file name (".csv" is always added) and a
// folder. Leaving forward makes the full export path, asking before an
// existing file is replaced or a missing folder is created.
class DestinationStep : public WizardStep {
    Q_OBJECT
public:
    DestinationStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);

    void companyChosen() override;
    void enter() override;
    bool canLeaveForward() override;
    bool canLeaveBack() override;
    bool allowsExport() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool validateFileName();
    bool validateDestination();
    void browse();
    void applyNextRule();
    int32_t applicationType() const;

    QLineEdit* fileName_ = nullptr;
    QLineEdit* location_ = nullptr;
    // The last file name that passed the file name check.
    QString lastValidFileName_;
};

} // namespace expwiz
