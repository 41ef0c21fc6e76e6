#pragma once

#include "addin/AddinContext.h"
#include "host/OrvoInterfaces.h"

namespace expwiz {

// The add-in's one host operation ("ExportWizardDlg", verb "Export"):
// each run opens a fresh wizard bound to the host's add-in manager.
class ExpWizardOperation : public orvo::IOrvoOperation {
public:
    explicit ExpWizardOperation(const AddinContext& context);

    // Called once by the add-in before registration; keeps nothing.
    void Initialize(orvo::ObjectPtr addin);

    int32_t PerformOperation(const QString& value, orvo::ObjectPtr params) override;
    void InstalledInto(orvo::ObjectPtr addinManager) override;
    void Terminate() override;

private:
    std::shared_ptr<UiServices> ui_;
    LiveObjects::Token token_;
    std::shared_ptr<orvo::IOrvoAddinManager> addinManager_;
};

} // namespace expwiz
