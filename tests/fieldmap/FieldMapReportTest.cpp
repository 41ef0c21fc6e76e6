#include "fieldmap/FieldMapReport.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <utility>

using expwiz::FieldMapReport;
using expwiz::FieldMapReportValues;

namespace {

std::vector<int32_t> firstIds(int n)
{
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id < 1001 + n; ++id)
        ids.push_back(id);
    return ids;
}

const QDateTime kMorning(QDate(2026, 12, 5), QTime(9, 5, 41));

} // namespace

TEST(Report, FilledDocumentIsExactForATwentySevenColumnMap)
{
    // Columns as the organization edition labels them, escaped where needed.
    const std::vector<std::pair<const char*, const char*>> columns = {
        {"A", "G/L Accum Account No"}, {"B", "Acquisition Date"}, {"C", "G/L Asset Account No"},
        {"D", "System No"}, {"E", "Checked Out Date"}, {"F", "Class"}, {"G", "ADS Life"},
        {"H", "Tag No"}, {"I", "Condition"}, {"J", "Custodian"}, {"K", "Department"},
        {"L", "Description"}, {"M", "Expected Return Date"}, {"N", "G/L Expense Account No"},
        {"O", "Floor"}, {"P", "Orvi User Field 1"}, {"Q", "Orvi User Field 2"}, {"R", "Orvi User Field 3"},
        {"S", "Orvi User Field 4"}, {"T", "Orvi User Field 5"}, {"U", "Orvi User Field 6"},
        {"V", "Orvi User Field 7"}, {"W", "Orvi User Field 8"}, {"X", "Orvi User Field 9"},
        {"Y", "Orvi User Field 10"}, {"Z", "Fund"}, {"AA", "ITC Option"},
    };
    QString lines;
    for (const auto& [letters, label] : columns)
        lines += QStringLiteral("\\par \\tab \\tab %1 \\tab \\tab \\tab %2").arg(QLatin1String(letters), QLatin1String(label));

    const QString expected =
        QStringLiteral("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
                       "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 Arial;}{\\f3\\froman Times New Roman;}}"
                       "{\\colortbl\\red0\\green0\\blue0;}\\deflang1033\\pard\\plain\\f2\\fs20 "
                       "\\par Dec 5, 2026"
                       "\\par 09:05 AM"
                       "\\par \\pard\\qc\\plain\\f2\\fs28\\b M\\u252?ller \\{Holz\\} \\\\ S\\u246?hne %COUNT\\plain\\f2\\fs20 "
                       "\\par \\plain\\f2\\fs22\\b Export Map File\\plain\\f2\\fs20"
                       "\\par \\pard\\plain\\f2\\fs20 File Name: Q1 map"
                       "\\par"
                       "\\par \\plain\\f2\\fs20\\b\\ul \\tab \\tab Column \\tab \\tab Description"
                       "\\par \\plain\\f2\\fs20 ")
        + lines
        + QStringLiteral("\\par"
                         "\\par \\plain\\f2\\fs20 \\tab \\tab 27 \\tab Total Number of Fields Exported per Asset"
                         "\\par"
                         "\\par \\plain\\f2\\fs20\\b\\ul \\tab \\tab Map Options"
                         "\\par \\plain\\f2\\fs20 \\tab \\tab Retrieve Book Fields from: \\tab Tax %BOOKNAME"
                         "\\par \\tab \\tab Include a Header Row? \\tab \\tab Yes"
                         "\\par }");

    const FieldMapReportValues values = FieldMapReportValues::from(
        QStringLiteral("Müller {Holz} \\ Söhne %COUNT"), QStringLiteral("Tax %BOOKNAME"), true,
        QStringLiteral("Q1 map"), firstIds(27), true);
    const QString filled = FieldMapReport::fill(values, kMorning, QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(filled.toStdString(), expected.toStdString());
    // the document is plain ASCII, whatever the code page of the printer
    for (const QChar c : filled)
        ASSERT_LT(c.unicode(), 0x80);
}

TEST(Report, NewMapWithoutHeaderRowAndTheDocumentFrame)
{
    const FieldMapReportValues values =
        FieldMapReportValues::from(QStringLiteral("Acme"), QStringLiteral("Internal"), false, QString(), {1004}, false);
    EXPECT_EQ(values.fileName, QStringLiteral("N/A"));
    EXPECT_EQ(values.totalColumns, QStringLiteral("1"));
    const QString filled = FieldMapReport::fill(values, kMorning, QLocale(QStringLiteral("en_US")));
    EXPECT_TRUE(filled.contains(QStringLiteral("File Name: N/A\\par")));
    EXPECT_TRUE(filled.endsWith(QStringLiteral("Include a Header Row? \\tab \\tab No\\par }")));
    EXPECT_TRUE(filled.contains(QStringLiteral("\\par \\plain\\f2\\fs20 \\par \\tab \\tab A \\tab \\tab \\tab System No\\par")));
    EXPECT_FALSE(filled.contains(QLatin1Char('%')));

    // an empty map has no lines; the template stays balanced
    EXPECT_TRUE(FieldMapReport::reportLines({}, false).isEmpty());
    const QString tpl = FieldMapReport::templateText();
    EXPECT_EQ(tpl.count(QLatin1Char('{')), tpl.count(QLatin1Char('}')));
    for (const char* p : {"%DATE", "%TIME", "%COMPANYNAME", "%COUNT", "%BOOKNAME", "%FILENAME", "%INCLUDEHEADER", "%FIELDMAPINFO"})
        EXPECT_EQ(tpl.count(QLatin1String(p)), 1) << p;
}

TEST(Report, DateAndTimeForms)
{
    const QLocale en(QStringLiteral("en_US"));
    struct Case {
        QTime time;
        const char* text;
    };
    for (const Case& c : {Case{QTime(9, 5), "09:05 AM"}, Case{QTime(0, 30), "12:30 AM"}, Case{QTime(12, 0), "12:00 PM"},
                          Case{QTime(23, 59, 59), "11:59 PM"}, Case{QTime(13, 7), "01:07 PM"}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FieldMapReport::formatTime(c.time, en), QLatin1String(c.text));
    }
    EXPECT_EQ(FieldMapReport::formatDate(QDate(2026, 12, 5), en), QStringLiteral("Dec 5, 2026"));
    EXPECT_EQ(FieldMapReport::formatDate(QDate(2027, 1, 31), en), QStringLiteral("Jan 31, 2027"));
    EXPECT_EQ(FieldMapReport::formatDate(QDate(999, 3, 1), en), QStringLiteral("Mar 1, 0999"));

    // another language's month name and designators arrive escaped
    const QLocale de(QStringLiteral("de_DE"));
    const QString filled = FieldMapReport::fill(FieldMapReportValues::from(QStringLiteral("x"), QStringLiteral("y"), true,
                                                                           QString(), {1004}, false),
                                                QDateTime(QDate(2026, 3, 5), QTime(15, 0)), de);
    EXPECT_TRUE(filled.contains(QStringLiteral("\\par ") + FieldMapReport::escape(de.monthName(3, QLocale::ShortFormat))
                                + QStringLiteral(" 5, 2026\\par 03:00 ") + FieldMapReport::escape(de.pmText())));
}

TEST(Report, EscapingCoversBracesBackslashesAndEveryNonAsciiUnit)
{
    struct Case {
        QString in;
        const char* out;
    };
    const Case cases[] = {
        {QStringLiteral("plain text 100%"), "plain text 100%"},
        {QStringLiteral("{a}\\b"), "\\{a\\}\\\\b"},
        {QStringLiteral("ü€"), "\\u252?\\u8364?"},
        {QString(QChar(0xF8FF)), "\\u-1793?"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(FieldMapReport::escape(c.in), QLatin1String(c.out));
    }
}
