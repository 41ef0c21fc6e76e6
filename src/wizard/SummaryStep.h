#pragma once

#include "wizard/WizardStep.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace expwiz {

// What will be exported: company, group, file and the map with the column
// each field lands in. The export runs here, with its progress and Stop.
class SummaryStep : public WizardStep {
    Q_OBJECT
public:
    SummaryStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);

    void load() override;
    void enter() override;

    // Runs the export of the choices made (the Export button).
    void startExport();
    bool isExporting() const { return exporting_; }

signals:
    // The navigation must be locked (true) while the export runs, and
    // unlocked (false) however it ends.
    void navigationLocked(bool locked);

private:
    void fillSummaryStep();
    void fillSummaryFieldList();
    void showExportProgress(const QString& text);

    QLabel* companyLabel_ = nullptr;
    QLabel* companyName_ = nullptr;
    QLabel* group_ = nullptr;
    QLabel* exportFile_ = nullptr;
    QGroupBox* mapFrame_ = nullptr;
    QListWidget* map_ = nullptr;
    QLabel* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool exporting_ = false;
};

} // namespace expwiz
