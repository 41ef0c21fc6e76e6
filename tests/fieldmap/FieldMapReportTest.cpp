#include "fieldmap/FieldMapReport.h"

#include "QtPrinters.h"

#include <QFile>

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
    // Columns as the organization edition labels them, company and book escaped where needed.
    const FieldMapReportValues values = FieldMapReportValues::from(
        QStringLiteral("M\u00fcller {Holz} \\ S\u00f6hne %COUNT"), QStringLiteral("Tax %BOOKNAME"), true,
        QStringLiteral("Q1 map"), firstIds(27), true);
    const QString filled = FieldMapReport::fill(values, kMorning, QLocale(QStringLiteral("en_US")));
    QFile golden(QStringLiteral(EXPWIZ_GOLDEN_DIR "/org-27-columns.rtf"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << golden.fileName().toStdString();
    EXPECT_EQ(filled.toLatin1().toStdString(), golden.readAll().toStdString());
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
