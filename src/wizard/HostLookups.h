#pragma once

#include "host/OrvoInterfaces.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace expwiz {

// The wizard's lists hold names and ids only; these find the host's
// objects again. The first match in the host's order wins.
class HostLookups {
public:
    static std::shared_ptr<orvo::IOrvoCompany> companyNamed(orvo::IOrvoDatabase* database, const QString& name);
    static std::shared_ptr<orvo::IOrvoBook> bookWithId(orvo::IOrvoCompany& company, std::optional<int32_t> bookId);
};

} // namespace expwiz
