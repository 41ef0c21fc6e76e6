#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <vector>

namespace expwiz {

// What the report shows besides the date and time. Plain text: fill()
// escapes it for RTF. `fieldMapLines` is RTF already (see reportLines).
struct FieldMapReportValues {
    QString companyName;
    QString bookName;
    QString includeHeader;   // "Yes" / "No"
    QString fieldMapLines;
    QString fileName;        // the map's name, "N/A" for a new map
    QString totalColumns;    // the entry count in decimal digits

    // The values the wizard gives: Yes/No from the header option, "N/A" for
    // an unnamed map, the count and lines from the ids.
    static FieldMapReportValues from(const QString& companyName, const QString& bookName, bool includeHeader,
                                     const QString& mapName, const std::vector<int32_t>& ids, bool isGASB);
};

// The printed field map report: a fixed RTF template with placeholders for
// the date, time, company, map name, one line per column, the count, the book
// and the header option.
class FieldMapReport {
public:
    static QString templateText();

    // One "\par \tab \tab <letters> \tab \tab \tab <label>" per entry, labels
    // after the edition renames and RTF-escaped. Empty for an empty map.
    static QString reportLines(const std::vector<int32_t>& ids, bool isGASB);

    // The template with every placeholder replaced in one pass over the
    // template, so a value is never searched for placeholders itself (a
    // company named "%COUNT" prints as such). Values are RTF-escaped, so
    // braces and backslashes in a company name cannot break the document.
    static QString fill(const FieldMapReportValues& values, const QDateTime& now, const QLocale& locale);

    // "\" "{" "}" escaped with a backslash, every non-ASCII UTF-16 unit as
    // \uN? with N its signed 16-bit value.
    static QString escape(const QString& text);

    // "Dec 5, 2026": the locale's abbreviated month, day without zero, year.
    static QString formatDate(const QDate& date, const QLocale& locale);
    // "09:05 AM": 12-hour clock, two-digit hour and minutes, the locale's designator.
    static QString formatTime(const QTime& time, const QLocale& locale);
};

} // namespace expwiz
