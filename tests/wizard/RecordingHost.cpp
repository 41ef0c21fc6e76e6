#include "RecordingHost.h"

namespace testhost {

void RecordingHost::record(const QString& call)
{
    calls << call;
    const QString name = call.section(QLatin1Char('('), 0, 0);
    if (failOn.contains(name))
        throw orvo::HostError(orvo::errnum::HostFailure, failDescription);
}

void RecordingHost::AddOperation(const QString& name, const QString& verb,
                                 std::shared_ptr<orvo::IOrvoOperation> operation)
{
    record(QStringLiteral("AddOperation(%1,%2)").arg(name, verb));
    operations.push_back({name, verb, std::move(operation)});
}

void RecordingHost::AddMenuItem(std::shared_ptr<orvo::IOrvoMenuItem> item)
{
    record(QStringLiteral("AddMenuItem"));
    menuItems.push_back(std::move(item));
}

QString RecordingHost::HelpFileName()
{
    record(QStringLiteral("HelpFileName"));
    return helpFileName;
}

void RecordingHost::ShowHelp(int32_t context)
{
    record(QStringLiteral("ShowHelp(%1)").arg(context));
    helpContexts.push_back(context);
}

QString RecordingHost::Title()
{
    record(QStringLiteral("Title"));
    return title;
}

int32_t RecordingHost::ApplicationType()
{
    record(QStringLiteral("ApplicationType"));
    return appType;
}

QString RecordingHost::ProgramPath()
{
    record(QStringLiteral("ProgramPath"));
    return programPath;
}

QString RecordingHost::AvailabilityText()
{
    record(QStringLiteral("AvailabilityText"));
    return availability;
}

QString RecordingHost::DatabaseName()
{
    record(QStringLiteral("DatabaseName"));
    return databaseName;
}

void RecordingHost::SetApplicationType(int32_t code)
{
    record(QStringLiteral("SetApplicationType(%1)").arg(code));
}

void RecordingHost::SetSystemDatabaseName(const QString& name)
{
    record(QStringLiteral("SetSystemDatabaseName(%1)").arg(name));
}

void RecordingHost::SetSystemDatabaseKind(const QString& kind)
{
    record(QStringLiteral("SetSystemDatabaseKind(%1)").arg(kind));
}

orvo::OrvoCollection<orvo::IOrvoDatabaseEntry> RecordingHost::Databases()
{
    record(QStringLiteral("Databases"));
    return {};
}

std::shared_ptr<orvo::IOrvoDatabaseEntry> RecordingHost::OpenDatabase(const QString& name)
{
    record(QStringLiteral("OpenDatabase(%1)").arg(name));
    return {};
}

} // namespace testhost
