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
    QString programPath = QStringLiteral("/opt/orvo");
    QString helpFileName = QStringLiteral("orvo.hlp");
    QString availability = QStringLiteral("Available");
    QString databaseName = QStringLiteral("Orvo Demo");
    QStringList failOn;
    QString failDescription = QStringLiteral("The host failed.");

    QStringList calls;
    struct Operation {
        QString name, verb;
        std::shared_ptr<orvo::IOrvoOperation> operation;
    };
    std::vector<Operation> operations;
    std::vector<std::shared_ptr<orvo::IOrvoMenuItem>> menuItems;

    void AddOperation(const QString& name, const QString& verb,
                      std::shared_ptr<orvo::IOrvoOperation> operation) override
    {
        record(QStringLiteral("AddOperation(%1,%2)").arg(name, verb));
        operations.push_back({name, verb, std::move(operation)});
    }
    void AddMenuItem(std::shared_ptr<orvo::IOrvoMenuItem> item) override
    {
        record(QStringLiteral("AddMenuItem"));
        menuItems.push_back(std::move(item));
    }
    void ShowHelp(int32_t context) override { record(QStringLiteral("ShowHelp(%1)").arg(context)); }
    QString HelpFileName() override { return record(QStringLiteral("HelpFileName"), helpFileName); }
    QString Title() override { return record<QString>(QStringLiteral("Title"), "Orvo Test"); }
    int32_t ApplicationType() override { return record(QStringLiteral("ApplicationType"), appType); }
    QString ProgramPath() override { return record(QStringLiteral("ProgramPath"), programPath); }
    QString AvailabilityText() override { return record(QStringLiteral("AvailabilityText"), availability); }
    QString DatabaseName() override { return record(QStringLiteral("DatabaseName"), databaseName); }
    void SetApplicationType(int32_t code) override { record(QStringLiteral("SetApplicationType(%1)").arg(code)); }
    void SetSystemDatabaseName(const QString& name) override
    {
        record(QStringLiteral("SetSystemDatabaseName(%1)").arg(name));
    }
    void SetSystemDatabaseKind(const QString& kind) override
    {
        record(QStringLiteral("SetSystemDatabaseKind(%1)").arg(kind));
    }
    orvo::OrvoCollection<orvo::IOrvoDatabaseEntry> Databases() override
    {
        return record(QStringLiteral("Databases"), orvo::OrvoCollection<orvo::IOrvoDatabaseEntry>{});
    }
    std::shared_ptr<orvo::IOrvoDatabaseEntry> OpenDatabase(const QString& name) override
    {
        return record(QStringLiteral("OpenDatabase(%1)").arg(name), std::shared_ptr<orvo::IOrvoDatabaseEntry>{});
    }

private:
    template <class T = int>
    T record(const QString& call, T answer = {})
    {
        calls << call;
        if (failOn.contains(call.section(QLatin1Char('('), 0, 0)))
            throw orvo::HostError(orvo::errnum::HostFailure, failDescription);
        return answer;
    }
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
    void SetEnabled(bool value) override { enabled = value; }
    bool enabled = true;
};

} // namespace testhost
