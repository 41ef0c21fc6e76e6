#pragma once

#include <QString>

namespace expwiz {

struct Edition;

// The captions that call the owner of the assets a company or, in the
// public-sector and regional editions, an organization. The short-word
// editions use the company wording with their own group name.
struct CompanyWording {
    QString companiesLabel;      // Select Assets list label
    QString includeCompanyData;  // Field Map option
    QString companyNameLabel;    // Summary label
    QString selectAssetsIntro;   // Select Assets explanation

    static CompanyWording forEdition(const Edition& edition);
};

} // namespace expwiz
