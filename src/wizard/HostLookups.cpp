#include "wizard/HostLookups.h"

namespace expwiz {

std::shared_ptr<orvo::IOrvoCompany> HostLookups::companyNamed(orvo::IOrvoDatabase* database, const QString& name)
{
    if (!database)
        return {};
    for (const auto& company : database->Companies()) {
        if (company->Name() == name)
            return company;
    }
    return {};
}

std::shared_ptr<orvo::IOrvoBook> HostLookups::bookWithId(orvo::IOrvoCompany& company, std::optional<int32_t> bookId)
{
    if (!bookId)
        return {};
    for (const auto& book : company.Books()) {
        if (book->BookID() == *bookId)
            return book;
    }
    return {};
}

} // namespace expwiz
