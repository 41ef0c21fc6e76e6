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

class FilteredDatabase : public orvo::IOrvoDatabase, public orvo::IOrvoDatabaseEntry,
                         public std::enable_shared_from_this<FilteredDatabase> {
public:
    FilteredDatabase(std::shared_ptr<orvo::IOrvoDatabaseEntry> real, QStringList without)
        : real_(std::move(real)), without_(std::move(without)) {}
    QString Name() override { return real_->Name(); }
    std::shared_ptr<orvo::IOrvoDatabase> Database() override { return shared_from_this(); }
    std::shared_ptr<orvo::IOrvoConnection> Connection() override { return real_->Database()->Connection(); }
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override
    {
        auto companies = real_->Database()->Companies();
        for (auto& company : companies)
            if (without_.contains(company->Name()))
                company = std::make_shared<GroupManagerless>(company);
        return companies;
    }

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
    return std::make_shared<FilteredDatabase>(std::move(entry), noGroupManager);
}

} // namespace testhost
