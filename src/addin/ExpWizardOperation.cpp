#include "addin/ExpWizardOperation.h"

#include "addin/AddinMessages.h"
#include "wizard/WizardDialog.h"

namespace expwiz {

ExpWizardOperation::ExpWizardOperation(const AddinContext& context)
    : ui_(context.ui), token_(context.live.track())
{
}

void ExpWizardOperation::Initialize(orvo::ObjectPtr /*addin*/)
{
}

int32_t ExpWizardOperation::PerformOperation(const QString& /*value*/, orvo::ObjectPtr /*params*/)
{
    try {
        WizardDialog form(*ui_);
        return form.runForm(addinManager_);
    } catch (const std::exception& error) {
        AddinMessages::showError(*ui_, QStringLiteral("An error occurred in IOrvoOperation_PerformOperation."), error);
        return 0;
    }
}

void ExpWizardOperation::InstalledInto(orvo::ObjectPtr addinManager)
{
    addinManager_ = orvo::viewAs<orvo::IOrvoAddinManager>(addinManager);
}

void ExpWizardOperation::Terminate()
{
    addinManager_.reset();
}

} // namespace expwiz
