#pragma once

#include <QGroupBox>

namespace expwiz {

class UiServices;
struct WizardState;

// One page of the wizard: a framed panel whose caption is the step title
// (its "tag" property holds the title's string id). The shell calls the
// virtual operations; a step works on WizardState and its own widgets and
// tells the shell through signals when Next or Export must be re-evaluated.
class WizardStep : public QGroupBox {
    Q_OBJECT
public:
    WizardStep(WizardState& state, UiServices& ui, int index, int titleId, QWidget* parent = nullptr);
    ~WizardStep() override;

    int index() const { return index_; }
    int titleId() const { return titleId_; }

    // Once, while the window loads (wording, first lists).
    virtual void load() {}
    // When the step is reached with Next or Export (not with Back).
    virtual void enter() {}
    // Before leaving with Next or Export; false keeps the wizard here (the
    // step has told the user why).
    virtual bool canLeaveForward() { return true; }
    // Before leaving with Back.
    virtual bool canLeaveBack() { return true; }
    // This step's share of the Export button rule (e.g. "a group is
    // listed", "a file name is given"). Steps without inputs say true.
    virtual bool allowsExport() const { return true; }
    // A company was chosen on Select Assets (by the user or by the
    // program): the step resets what depends on the company.
    virtual void companyChosen() {}

signals:
    // The step wants Next enabled or disabled (e.g. an empty list).
    void nextEnabledRequested(bool enabled);
    // An input of the Export button rule changed.
    void exportInputsChanged();

protected:
    WizardState& state() { return state_; }
    const WizardState& state() const { return state_; }
    UiServices& ui() { return ui_; }

private:
    WizardState& state_;
    UiServices& ui_;
    int index_;
    int titleId_;
};

} // namespace expwiz
