#include "fieldmap/FieldMapReport.h"

#include "QtPrinters.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expwiz::FieldMapReport;
using expwiz::FieldMapReportValues;

namespace {

const QDateTime kMorning(QDate(2026, 12, 5), QTime(9, 5, 41));
const QLocale kEnglish(u"en_US"_s);

} // namespace

// The frame of a new map without a header row reads back exactly in the report suite.
TEST(Report, FilledDocumentIsExactForATwentySevenColumnMap)
{
    // Columns as the organization edition labels them, company and book escaped where needed.
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id <= 1027; ++id)
        ids.push_back(id);
    const auto values = FieldMapReportValues::from(u"M\u00fcller {Holz} \\ S\u00f6hne %COUNT"_s, u"Tax %BOOKNAME"_s,
                                                   true, u"Q1 map"_s, ids, true);
    const QString filled = FieldMapReport::fill(values, kMorning, kEnglish);
    QFile golden(QStringLiteral(EXPWIZ_GOLDEN_DIR "/org-27-columns.rtf"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << golden.fileName().toStdString();
    EXPECT_EQ(filled.toLatin1().toStdString(), golden.readAll().toStdString());
    // plain ASCII, whatever the code page of the printer
    for (const QChar c : filled)
        ASSERT_LT(c.unicode(), 0x80);
    EXPECT_TRUE(FieldMapReport::reportLines({}, false).isEmpty());   // an empty map has no lines
}

TEST(Report, DatesTimesAndEscapes)
{
    for (const auto& [time, text] : {std::pair{QTime(9, 5), "09:05 AM"}, std::pair{QTime(0, 30), "12:30 AM"},
                                     std::pair{QTime(12, 0), "12:00 PM"}, std::pair{QTime(23, 59, 59), "11:59 PM"},
                                     std::pair{QTime(13, 7), "01:07 PM"}})
        EXPECT_EQ(FieldMapReport::formatTime(time, kEnglish), QLatin1String(text)) << text;
    for (const auto& [date, text] : {std::pair{QDate(2026, 12, 5), "Dec 5, 2026"}, std::pair{QDate(2027, 1, 31), "Jan 31, 2027"},
                                     std::pair{QDate(999, 3, 1), "Mar 1, 0999"}})
        EXPECT_EQ(FieldMapReport::formatDate(date, kEnglish), QLatin1String(text)) << text;
    for (const auto& [in, out] : {std::pair{u"plain text 100%"_s, "plain text 100%"}, std::pair{u"{a}\\b\x7F"_s, "\\{a\\}\\\\b\x7F"},
                                  std::pair{u"ü€"_s, "\\u252?\\u8364?"}, std::pair{QString(QChar(0xF8FF)), "\\u-1793?"},
                                  std::pair{QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"}})
        EXPECT_EQ(FieldMapReport::escape(in), QLatin1String(out)) << out;

    // another language's month name and designators arrive escaped
    const QLocale de(u"de_DE"_s);
    const QString filled = FieldMapReport::fill(FieldMapReportValues::from(u"x"_s, u"y"_s, true, QString(), {1004}, false),
                                                QDateTime(QDate(2026, 3, 5), QTime(15, 0)), de);
    EXPECT_TRUE(filled.contains(u"\\par "_s + FieldMapReport::escape(de.monthName(3, QLocale::ShortFormat))
                                + u" 5, 2026\\par 03:00 "_s + FieldMapReport::escape(de.pmText())));
}
