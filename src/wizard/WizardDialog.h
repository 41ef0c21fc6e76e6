#pragma once

#include "host/OrvoInterfaces.h"
#include "wizard/WizardState.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QPushButton;
class QStackedWidget;

namespace expwiz {

class PrinterSource;
class UiServices;
class WizardStep;
class SummaryStep;

// The export wizard window: six steps shown one at a time above a row of
// navigation buttons (Help, Cancel, Back, Next, Export). runForm binds it
// to the host, decides the edition, shows it modally and returns -1000
// however it closes.
class WizardDialog : public QDialog {
    Q_OBJECT
public:
    enum NavButton { Help = 0, Cancel = 1, Back = 2, Next = 3, Export = 4 };
    static constexpr int StepCount = 6;
    static constexpr int32_t ResultAlways = -1000;
    static constexpr int32_t HelpContextBase = 30600;

    explicit WizardDialog(UiServices& ui, QWidget* parent = nullptr);
    ~WizardDialog() override;

    int32_t runForm(orvo::ObjectPtr addinManager);

    // Where the field map report is printed (tests print into a PDF file).
    void setPrinterSource(PrinterSource& printers);

    WizardState& state() { return state_; }
    UiServices& ui() { return ui_; }
    WizardStep* step(int index) const { return steps_.at(static_cast<size_t>(index)); }
    QPushButton* navButton(NavButton button) const { return nav_.at(static_cast<size_t>(button)); }

    // Shows a step; only direction 2 (Next, Export) runs its entry operation.
    void ShowStep(int16_t step, int16_t direction);
    void UpdateNavButtons(int16_t step);
    void UpdateWindowCaption(int16_t step);
    // The single rule that enables Export.
    void UpdateExportButton();
    void cmdNav_Click(int index);

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void wireSteps();
    void detectEdition();
    void formLoad();
    void navigate(int index);
    bool leaveForward();
    void showClickError(const QString& description);

    WizardState state_;
    UiServices& ui_;
    QStackedWidget* stack_ = nullptr;
    std::array<WizardStep*, StepCount> steps_{};
    SummaryStep* summary_ = nullptr;
    std::array<QPushButton*, 5> nav_{};
};

} // namespace expwiz
