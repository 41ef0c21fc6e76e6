#include "addin/ExpWizardPlugin.h"

#include "addin/AssetAllocInfo.h"
#include "addin/ExpWizardAddin.h"
#include "addin/ExpWizardMenu.h"
#include "addin/ExpWizardOperation.h"
#include "platform/QtUiServices.h"

namespace expwiz {

namespace {
const QString AddinProgId = QStringLiteral("expwiz.clsExpWizard");
}

ExpWizardPlugin::ExpWizardPlugin()
{
    context_.ui = std::make_shared<QtUiServices>();
}

ExpWizardPlugin::~ExpWizardPlugin() = default;

QStringList ExpWizardPlugin::progIds() const
{
    return {AddinProgId, QStringLiteral("expwiz.clsExpWizardMenu"), QStringLiteral("expwiz.clsExpWizardOperation"),
            QStringLiteral("expwiz.clsAssetAllocInfo")};
}

orvo::ObjectPtr ExpWizardPlugin::createInstance(const QString& progId)
{
    if (progId.compare(AddinProgId, Qt::CaseInsensitive) == 0)
        return std::make_shared<ExpWizardAddin>(context_);
    if (progId.compare(QStringLiteral("expwiz.clsExpWizardMenu"), Qt::CaseInsensitive) == 0)
        return std::make_shared<ExpWizardMenu>(context_);
    if (progId.compare(QStringLiteral("expwiz.clsExpWizardOperation"), Qt::CaseInsensitive) == 0)
        return std::make_shared<ExpWizardOperation>(context_);
    if (progId.compare(QStringLiteral("expwiz.clsAssetAllocInfo"), Qt::CaseInsensitive) == 0)
        return std::make_shared<AssetAllocInfo>(context_.live.track());
    return {};
}

bool ExpWizardPlugin::canUnloadNow() const
{
    return context_.live.count() == 0;
}

void ExpWizardPlugin::registerServer(orvo::IOrvoAddinRegistry& registry, const QString& libraryPath)
{
    registry.Register(AddinProgId, libraryPath);
}

void ExpWizardPlugin::unregisterServer(orvo::IOrvoAddinRegistry& registry)
{
    registry.Unregister(AddinProgId);
}

} // namespace expwiz
