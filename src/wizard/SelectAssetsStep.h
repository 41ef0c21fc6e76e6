#pragma once

#include "wizard/WizardStep.h"

#include <memory>

class QComboBox;
class QLabel;
class QListWidget;

namespace orvo {
class IOrvoCompany;
}

namespace expwiz {

// The database, the company (organization) and the group of the assets to
// export. The lists hold names only, in the host's order, so a company or
// group is found again by its name or position.
class SelectAssetsStep : public WizardStep {
    Q_OBJECT
public:
    SelectAssetsStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);

    void load() override;
    void enter() override;
    bool canLeaveForward() override;
    bool allowsExport() const override;

    // Lists the companies of the database shown in the database box.
    void fillCompanyList();

signals:
    // A company entry was chosen (by the user or by the program); the
    // other steps reset what depends on the company.
    void companySelected();

private:
    void fillDatabaseList();
    void companyClicked();
    void fillGroupList();
    void updateGroupStepNext();
    bool openSelectedCompany();
    std::shared_ptr<orvo::IOrvoCompany> findCompany(const QString& name);
    void takeGroupObjects();
    void loadAllocationLists();

    QLabel* intro_ = nullptr;
    QLabel* companyLabel_ = nullptr;
    QComboBox* databases_ = nullptr;
    QListWidget* companies_ = nullptr;
    QListWidget* groups_ = nullptr;
};

} // namespace expwiz
