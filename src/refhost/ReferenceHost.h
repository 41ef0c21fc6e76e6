#pragma once

#include "host/OrvoInterfaces.h"
#include "refhost/HostDataFolder.h"
#include "refhost/HostDatabase.h"

#include <functional>
#include <memory>
#include <vector>

namespace orvo::refhost {

// The host's add-in manager over a host data folder: the one object the
// host hands an add-in, which it can view as the menu manager, the
// application, the environment and the business-logic object.
class ReferenceHost : public IOrvoAddinManager, public IOrvoMenuManager, public IOrvoApplication,
                      public IOrvoEnvironment, public IOrvoBusinessApp, public IOrvoHostFiles {
public:
    // Raises HostError with a description naming the file when the folder
    // is not a usable host data folder.
    static std::shared_ptr<ReferenceHost> open(const QString& dataFolder);

    struct RegisteredOperation {
        QString name;
        QString verb;
        std::shared_ptr<IOrvoOperation> operation;
    };

    // IOrvoAddinManager, IOrvoMenuManager
    void AddOperation(const QString& name, const QString& verb, std::shared_ptr<IOrvoOperation> operation) override;
    void AddMenuItem(std::shared_ptr<IOrvoMenuItem> item) override;
    // IOrvoApplication
    QString HelpFileName() override { return settings_.helpFileName; }
    void ShowHelp(int32_t context) override;
    QString Title() override { return settings_.title; }
    int32_t ApplicationType() override { return settings_.applicationType; }
    QString ProgramPath() override { return settings_.programPath; }
    // IOrvoEnvironment
    QString AvailabilityText() override { return settings_.availabilityText; }
    QString DatabaseName() override { return settings_.databaseName; }
    // IOrvoBusinessApp
    void SetApplicationType(int32_t code) override { appTypeSetByAddin_ = code; }
    void SetSystemDatabaseName(const QString& name) override { systemDatabaseName_ = name; }
    void SetSystemDatabaseKind(const QString& kind) override { systemDatabaseKind_ = kind; }
    OrvoCollection<IOrvoDatabaseEntry> Databases() override;
    std::shared_ptr<IOrvoDatabaseEntry> OpenDatabase(const QString& name) override;
    // IOrvoHostFiles: the folder's settings and lists, every database file
    // with its -wal, -shm and -journal companions.
    QStringList HostFiles() override;

    // Why the last OpenDatabase gave no object (empty when it gave one or
    // knew no such database).
    const QString& openDatabaseError() const { return openError_; }

    const std::vector<RegisteredOperation>& operations() const { return operations_; }
    const std::vector<std::shared_ptr<IOrvoMenuItem>>& menuItems() const { return menuItems_; }
    void setHelpHandler(std::function<void(int32_t context)> handler) { helpHandler_ = std::move(handler); }
    HostSettings& settings() { return settings_; }
    QString dataFolder() const { return folder_.path(); }
    QString addinListPath() const { return folder_.addinListPath(); }
    QString systemDatabaseName() const { return systemDatabaseName_; }
    QString systemDatabaseKind() const { return systemDatabaseKind_; }
    int32_t applicationTypeSetByAddin() const { return appTypeSetByAddin_; }
    // Drops the operations and menu items (the host has called Terminate).
    void releaseAddins();

private:
    explicit ReferenceHost(HostDataFolder folder);

    HostDataFolder folder_;
    HostSettings settings_;
    std::vector<std::shared_ptr<HostDatabase>> databases_;
    std::vector<RegisteredOperation> operations_;
    std::vector<std::shared_ptr<IOrvoMenuItem>> menuItems_;
    std::function<void(int32_t)> helpHandler_;
    QString systemDatabaseName_;
    QString systemDatabaseKind_;
    int32_t appTypeSetByAddin_ = 0;
    QString openError_;
};

} // namespace orvo::refhost
