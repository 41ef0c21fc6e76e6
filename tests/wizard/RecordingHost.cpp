#include "RecordingHost.h"

namespace testhost {

namespace {

class GroupManagerless : public orvo::IOrvoCompany, public orvo::IOrvoWritableCompany {
public:
    explicit GroupManagerless(std::shared_ptr<orvo::IOrvoCompany> real) : real_(std::move(real)) {}
    QString Name() override { return real_->Name(); }
    int16_t CompanyID() override { return real_->CompanyID(); }
    bool IsAvailable() override { return real_->IsAvailable(); }
    bool HasInventory() override { return real_->HasInventory(); }
    orvo::OrvoCollection<orvo::IOrvoBook> Books() override { return real_->Books(); }
    bool Open() override { return real_->Open(); }
    void Close() override { real_->Close(); }
    std::shared_ptr<orvo::IOrvoGroupManager> GroupManager() override { return nullptr; }

private:
    std::shared_ptr<orvo::IOrvoCompany> real_;
};

class FilteredDatabase : public orvo::IOrvoDatabase, public orvo::IOrvoDatabaseEntry {
public:
    FilteredDatabase(std::shared_ptr<orvo::IOrvoDatabaseEntry> real, QStringList without)
        : real_(std::move(real)), without_(std::move(without))
    {
    }
    QString Name() override { return real_->Name(); }
    std::shared_ptr<orvo::IOrvoDatabase> Database() override
    {
        return std::dynamic_pointer_cast<orvo::IOrvoDatabase>(self_.lock());
    }
    std::shared_ptr<orvo::IOrvoConnection> Connection() override { return real_->Database()->Connection(); }
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override
    {
        auto companies = real_->Database()->Companies();
        for (auto& company : companies) {
            if (without_.contains(company->Name()))
                company = std::make_shared<GroupManagerless>(company);
        }
        return companies;
    }
    std::weak_ptr<FilteredDatabase> self_;

private:
    std::shared_ptr<orvo::IOrvoDatabaseEntry> real_;
    QStringList without_;
};

} // namespace

std::shared_ptr<orvo::IOrvoDatabaseEntry> GrouplessHost::OpenDatabase(const QString& name)
{
    auto entry = real->OpenDatabase(name);
    if (!entry)
        return nullptr;
    auto filtered = std::make_shared<FilteredDatabase>(std::move(entry), noGroupManager);
    filtered->self_ = filtered;
    return filtered;
}

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
