#pragma once

#include "fieldmap/FieldMapReport.h"

// The report used throughout: a new map of the first columns of the
// standard edition (27 unless asked), for a company whose name needs
// escaping, filled on 5 December 2026 at 09:05 in English.
namespace reportsample {

inline QDateTime now()
{
    return QDateTime(QDate(2026, 12, 5), QTime(9, 5, 41));
}

inline QLocale english()
{
    return QLocale(QStringLiteral("en_US"));
}

inline expwiz::FieldMapReportValues values(int32_t lastId = 1027, bool header = false)
{
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id <= lastId; ++id)
        ids.push_back(id);
    return expwiz::FieldMapReportValues::from(QStringLiteral("M\u00fcller {Holz} \\ S\u00f6hne \u20ac"),
                                              QStringLiteral("Tax"), header, QString(), ids, false);
}

inline QString filledText()
{
    return expwiz::FieldMapReport::fill(values(), now(), english());
}

} // namespace reportsample
