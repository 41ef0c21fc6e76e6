#include "RecordingHost.h"

namespace testhost {

namespace {

struct GroupManagerless : orvo::IOrvoCompany, orvo::IOrvoWritableCompany {
    std::shared_ptr<orvo::IOrvoCompany> real;

    explicit GroupManagerless(std::shared_ptr<orvo::IOrvoCompany> company) : real(std::move(company)) {}
    QString Name() override { return real->Name(); }
    int16_t CompanyID() override { return real->CompanyID(); }
    bool IsAvailable() override { return real->IsAvailable(); }
    bool HasInventory() override { return real->HasInventory(); }
    orvo::OrvoCollection<orvo::IOrvoBook> Books() override { return real->Books(); }
    bool Open() override { return real->Open(); }
    void Close() override { real->Close(); }
    std::shared_ptr<orvo::IOrvoGroupManager> GroupManager() override { return nullptr; }
};

struct FilteredDatabase : orvo::IOrvoDatabase, orvo::IOrvoDatabaseEntry,
                          std::enable_shared_from_this<FilteredDatabase> {
    std::shared_ptr<orvo::IOrvoDatabaseEntry> real;
    QStringList without;

    FilteredDatabase(std::shared_ptr<orvo::IOrvoDatabaseEntry> entry, QStringList names)
        : real(std::move(entry)), without(std::move(names)) {}
    QString Name() override { return real->Name(); }
    std::shared_ptr<orvo::IOrvoDatabase> Database() override { return shared_from_this(); }
    std::shared_ptr<orvo::IOrvoConnection> Connection() override { return real->Database()->Connection(); }
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override
    {
        auto companies = real->Database()->Companies();
        for (auto& company : companies)
            if (without.contains(company->Name()))
                company = std::make_shared<GroupManagerless>(company);
        return companies;
    }
};

} // namespace

std::shared_ptr<orvo::IOrvoDatabaseEntry> GrouplessHost::OpenDatabase(const QString& name)
{
    auto entry = real->OpenDatabase(name);
    if (!entry)
        return nullptr;
    return std::make_shared<FilteredDatabase>(std::move(entry), noGroupManager);
}

} // namespace testhost
