#include "ReportSample.h"

#include <QLocale>

#include <vector>

namespace reportsample {

QString companyName()
{
    return QStringLiteral("M\u00fcller {Holz} \\ S\u00f6hne \u20ac");
}

QDateTime now()
{
    return QDateTime(QDate(2026, 12, 5), QTime(9, 5, 41));
}

expwiz::FieldMapReportValues values()
{
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id <= 1027; ++id)
        ids.push_back(id);
    return expwiz::FieldMapReportValues::from(companyName(), QStringLiteral("Tax"), false, QString(), ids, false);
}

QString filledText()
{
    return expwiz::FieldMapReport::fill(values(), now(), QLocale(QStringLiteral("en_US")));
}

QStringList columnLabels()
{
    return {
        QStringLiteral("G/L Accum Account No"),  QStringLiteral("Acquisition Date"),
        QStringLiteral("G/L Asset Account No"),  QStringLiteral("System No"),
        QStringLiteral("Checked Out Date"),      QStringLiteral("Class"),
        QStringLiteral("ADS Life"),              QStringLiteral("Company Asset No"),
        QStringLiteral("Condition"),             QStringLiteral("Custodian"),
        QStringLiteral("Department"),            QStringLiteral("Description"),
        QStringLiteral("Expected Return Date"),  QStringLiteral("G/L Expense Account No"),
        QStringLiteral("Floor"),                 QStringLiteral("Orvi User Field 1"),
        QStringLiteral("Orvi User Field 2"),     QStringLiteral("Orvi User Field 3"),
        QStringLiteral("Orvi User Field 4"),     QStringLiteral("Orvi User Field 5"),
        QStringLiteral("Orvi User Field 6"),     QStringLiteral("Orvi User Field 7"),
        QStringLiteral("Orvi User Field 8"),     QStringLiteral("Orvi User Field 9"),
        QStringLiteral("Orvi User Field 10"),    QStringLiteral("Insurance Category"),
        QStringLiteral("ITC Option"),
    };
}

} // namespace reportsample
