#include "addin/ExpWizardMenu.h"

#include "addin/AddinMessages.h"
#include "catalog/Edition.h"
#include "wizard/WizardDialog.h"

namespace expwiz {

ExpWizardMenu::ExpWizardMenu(const AddinContext& context) : ui_(context.ui), token_(context.live.track())
{
}

void ExpWizardMenu::InstalledInto(orvo::ObjectPtr addinManager)
{
    addinManager_ = orvo::viewAs<orvo::IOrvoAddinManager>(addinManager);
    hostApplication_ = orvo::viewAs<orvo::IOrvoApplication>(addinManager);
    isOrganizationMode_ = hostApplication_ && Edition::isOrganizationCode(hostApplication_->ApplicationType());
}

QString ExpWizardMenu::Title()
{
    return QStringLiteral("Custom &Export...");
}

QString ExpWizardMenu::Placement()
{
    return isOrganizationMode_
        ? QStringLiteral("&File,ADD,BEFORE=&Edit,,~Organization &Utilities,ADD,AFTER=1135,,~item,ADD,BEFORE=2301,,")
        : QStringLiteral("&File,ADD,BEFORE=&Edit,,~Company &Utilities,ADD,AFTER=1135,,~item,ADD,BEFORE=2301,,");
}

QString ExpWizardMenu::StatusText()
{
    return QStringLiteral("Click this item to launch the export wizard.");
}

int32_t ExpWizardMenu::OnClick(const QString& /*value*/)
{
    // The wizard needs the host on every step, so the command runs it bound
    // to the add-in manager exactly as the registered operation does.
    try {
        if (!addinManager_)
            throw orvo::HostError(orvo::errnum::ObjectRequired,
                                  QStringLiteral("The menu command is not installed in a host."));
        WizardDialog form(*ui_);
        form.runForm(addinManager_);
        return 1;
    } catch (const std::exception& error) {
        AddinMessages::showError(*ui_, QStringLiteral("An error occurred in IOrvoMenuItem_OnClick."), error);
        return 0;
    }
}

void ExpWizardMenu::Terminate()
{
    addinManager_.reset();
    hostApplication_.reset();
}

void ExpWizardMenu::UpdateMenuItem()
{
    if (!guiObject_)
        return;
    auto gui = orvo::viewAs<orvo::IOrvoGUIObject>(guiObject_);
    // After Terminate there is no host to run the wizard against.
    if (!addinManager_) {
        gui->SetEnabled(false);
        return;
    }
    const QString availability = orvo::viewAs<orvo::IOrvoEnvironment>(addinManager_)->AvailabilityText();
    gui->SetEnabled(!availability.isEmpty());
}

} // namespace expwiz
