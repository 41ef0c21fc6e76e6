#include "addin/ExpWizardAddin.h"

#include "addin/AddinMessages.h"
#include "addin/ExpWizardMenu.h"
#include "addin/ExpWizardOperation.h"

namespace expwiz {

ExpWizardAddin::ExpWizardAddin(AddinContext context) : context_(std::move(context)), token_(context_.live.track())
{
}

QString ExpWizardAddin::Name()
{
    return QStringLiteral("Orvo Export Wizard");
}

QString ExpWizardAddin::ProgID()
{
    return QStringLiteral("expwiz.clsExpWizard");
}

void ExpWizardAddin::Initialize(orvo::ObjectPtr addinManager)
{
    // A failing step stops the sequence; what is done stays done.
    try {
        if (!addinManager)
            throw orvo::HostError(orvo::errnum::ObjectRequired, QStringLiteral("Object required"));
        auto operation = std::make_shared<ExpWizardOperation>(context_);
        operation->Initialize(shared_from_this());
        orvo::viewAs<orvo::IOrvoAddinManager>(addinManager)
            ->AddOperation(QStringLiteral("ExportWizardDlg"), QStringLiteral("Export"), operation);
        operation.reset();

        auto menu = std::make_shared<ExpWizardMenu>(context_);
        menu->InstalledInto(addinManager);
        orvo::viewAs<orvo::IOrvoMenuManager>(addinManager)->AddMenuItem(menu);
    } catch (const std::exception& error) {
        AddinMessages::showError(*context_.ui, QStringLiteral("an error occurred"), error);
    }
}

} // namespace expwiz
