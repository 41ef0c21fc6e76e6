#pragma once

#include "addin/AddinContext.h"
#include "host/OrvoInterfaces.h"

namespace expwiz {

// The add-in's root class: registers the export operation and the menu
// command with the host.
class ExpWizardAddin : public orvo::IOrvoAddin, public std::enable_shared_from_this<ExpWizardAddin> {
public:
    explicit ExpWizardAddin(AddinContext context);

    void Initialize(orvo::ObjectPtr addinManager) override;
    QString Name() override;
    QString ProgID() override;
    bool ApplicationTypeSupported(int32_t /*appType*/) override { return true; }

private:
    AddinContext context_;
    LiveObjects::Token token_;
};

} // namespace expwiz
