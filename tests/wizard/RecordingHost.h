#pragma once

#include "host/OrvoInterfaces.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace testhost {

// A host that answers from settings and records every call by name, in
// order, so tests can check what the add-in asked and in which order.
// A call whose name is in failOn raises HostError with failDescription.
class RecordingHost : public orvo::IOrvoAddinManager, public orvo::IOrvoMenuManager,
                      public orvo::IOrvoApplication, public orvo::IOrvoEnvironment,
                      public orvo::IOrvoBusinessApp {
public:
    int32_t appType = 1;
    QString title = QStringLiteral("Orvo Test");
    QString programPath = QStringLiteral("/opt/orvo");
    QString helpFileName = QStringLiteral("orvo.hlp");
    QString availability = QStringLiteral("Available");
    QString databaseName = QStringLiteral("Orvo Demo");
    QStringList failOn;
    QString failDescription = QStringLiteral("The host failed.");

    QStringList calls;
    std::vector<int32_t> helpContexts;
    struct Operation {
        QString name;
        QString verb;
        std::shared_ptr<orvo::IOrvoOperation> operation;
    };
    std::vector<Operation> operations;
    std::vector<std::shared_ptr<orvo::IOrvoMenuItem>> menuItems;

    void AddOperation(const QString& name, const QString& verb,
                      std::shared_ptr<orvo::IOrvoOperation> operation) override;
    void AddMenuItem(std::shared_ptr<orvo::IOrvoMenuItem> item) override;
    QString HelpFileName() override;
    void ShowHelp(int32_t context) override;
    QString Title() override;
    int32_t ApplicationType() override;
    QString ProgramPath() override;
    QString AvailabilityText() override;
    QString DatabaseName() override;
    void SetApplicationType(int32_t code) override;
    void SetSystemDatabaseName(const QString& name) override;
    void SetSystemDatabaseKind(const QString& kind) override;
    orvo::OrvoCollection<orvo::IOrvoDatabaseEntry> Databases() override;
    std::shared_ptr<orvo::IOrvoDatabaseEntry> OpenDatabase(const QString& name) override;

private:
    void record(const QString& call);
};

// A recording host whose databases are those of a real host, except that
// the companies named in noGroupManager give no group manager.
class GrouplessHost : public RecordingHost {
public:
    std::shared_ptr<orvo::IOrvoBusinessApp> real;
    QStringList noGroupManager;

    orvo::OrvoCollection<orvo::IOrvoDatabaseEntry> Databases() override { return real->Databases(); }
    std::shared_ptr<orvo::IOrvoDatabaseEntry> OpenDatabase(const QString& name) override;
};

// Only the add-in manager interface: every other view of it fails.
class BareAddinManager : public orvo::IOrvoAddinManager {
public:
    void AddOperation(const QString&, const QString&, std::shared_ptr<orvo::IOrvoOperation>) override {}
};

// The host's menu GUI object: remembers the last Enabled it was given.
class RecordingGuiObject : public orvo::IOrvoGUIObject {
public:
    void SetEnabled(bool value) override
    {
        enabled = value;
        ++sets;
    }
    bool enabled = true;
    int sets = 0;
};

} // namespace testhost
