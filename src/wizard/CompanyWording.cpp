#include "wizard/CompanyWording.h"

#include "catalog/Edition.h"

namespace expwiz {

namespace {

const QString IntroStart = QStringLiteral(
    "Step 1: The first step in completing a custom export is to choose the assets to be exported. ");
const QString IntroEnd = QStringLiteral("Or, you can export a subset of assets by selecting a different group.");

} // namespace

CompanyWording CompanyWording::forEdition(const Edition& edition)
{
    CompanyWording wording{
        QStringLiteral("Co&mpanies:"), QStringLiteral("&Include company data?"), QStringLiteral("Company Name:"),
        IntroStart
            + QStringLiteral("You can export asset information for all assets within a company by selecting the "
                             "All Orvo Assets group. ")
            + IntroEnd};
    // The organization wording applies first; the short-word editions then
    // put the company wording back, so they read "company" in any case.
    if (edition.isGASB) {
        wording = {QStringLiteral("Organi&zations:"), QStringLiteral("Include organization data?"),
                   QStringLiteral("Name of Organization:"),
                   IntroStart
                       + QStringLiteral("You can export asset information for all assets within an organization "
                                        "by selecting the All Orvo Assets group. ")
                       + IntroEnd};
    }
    if (edition.isOEM) {
        wording = {QStringLiteral("Co&mpanies:"), QStringLiteral("&Include company data?"),
                   QStringLiteral("Company Name:"),
                   IntroStart
                       + QStringLiteral("You can export asset information for all assets within a company by "
                                        "selecting the All Assets group. ")
                       + IntroEnd};
    }
    return wording;
}

} // namespace expwiz
