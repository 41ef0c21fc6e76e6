#pragma once

#include "addin/AddinContext.h"
#include "host/OrvoClassServer.h"

#include <QObject>

namespace expwiz {

// The library's root object: creates the public classes by ProgID, counts
// them for unloading and edits the host's add-in list.
class ExpWizardPlugin : public QObject, public orvo::IOrvoClassServer {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvoClassServer_iid FILE "expwiz.json")
    Q_INTERFACES(orvo::IOrvoClassServer)
public:
    ExpWizardPlugin();
    ~ExpWizardPlugin() override;

    QStringList progIds() const override;
    orvo::ObjectPtr createInstance(const QString& progId) override;
    bool canUnloadNow() const override;
    void registerServer(orvo::IOrvoAddinRegistry& registry, const QString& libraryPath) override;
    void unregisterServer(orvo::IOrvoAddinRegistry& registry) override;

private:
    AddinContext context_;
};

} // namespace expwiz
