#include "QtPrinters.h"
#include "ReportSample.h"

#include <gtest/gtest.h>

// The report as the printer receives it, written out by hand: a new map of
// the standard edition, no header row, a company name that must be escaped.
TEST(ReportText, FilledReportIsExactByteForByte)
{
    const char* const columns[] = {
        "A \\tab \\tab \\tab G/L Accum Account No",   "B \\tab \\tab \\tab Acquisition Date",
        "C \\tab \\tab \\tab G/L Asset Account No",   "D \\tab \\tab \\tab System No",
        "E \\tab \\tab \\tab Checked Out Date",       "F \\tab \\tab \\tab Class",
        "G \\tab \\tab \\tab ADS Life",               "H \\tab \\tab \\tab Company Asset No",
        "I \\tab \\tab \\tab Condition",              "J \\tab \\tab \\tab Custodian",
        "K \\tab \\tab \\tab Department",             "L \\tab \\tab \\tab Description",
        "M \\tab \\tab \\tab Expected Return Date",   "N \\tab \\tab \\tab G/L Expense Account No",
        "O \\tab \\tab \\tab Floor",                  "P \\tab \\tab \\tab Orvi User Field 1",
        "Q \\tab \\tab \\tab Orvi User Field 2",      "R \\tab \\tab \\tab Orvi User Field 3",
        "S \\tab \\tab \\tab Orvi User Field 4",      "T \\tab \\tab \\tab Orvi User Field 5",
        "U \\tab \\tab \\tab Orvi User Field 6",      "V \\tab \\tab \\tab Orvi User Field 7",
        "W \\tab \\tab \\tab Orvi User Field 8",      "X \\tab \\tab \\tab Orvi User Field 9",
        "Y \\tab \\tab \\tab Orvi User Field 10",     "Z \\tab \\tab \\tab Insurance Category",
        "AA \\tab \\tab \\tab ITC Option",
    };
    QByteArray expected =
        "{\\rtf1\\ansi\\deff0\\deftab720"
        "{\\fonttbl"
        "{\\f0\\fswiss MS Sans Serif;}"
        "{\\f1\\froman\\fcharset2 Symbol;}"
        "{\\f2\\fswiss\\fprq2 Arial;}"
        "{\\f3\\froman Times New Roman;}}"
        "{\\colortbl\\red0\\green0\\blue0;}"
        "\\deflang1033\\pard\\plain\\f2\\fs20 "
        "\\par Dec 5, 2026"
        "\\par 09:05 AM"
        "\\par \\pard\\qc\\plain\\f2\\fs28\\b M\\u252?ller \\{Holz\\} \\\\ S\\u246?hne \\u8364?\\plain\\f2\\fs20 "
        "\\par \\plain\\f2\\fs22\\b Export Map File\\plain\\f2\\fs20"
        "\\par \\pard\\plain\\f2\\fs20 File Name: N/A"
        "\\par"
        "\\par \\plain\\f2\\fs20\\b\\ul \\tab \\tab Column \\tab \\tab Description"
        "\\par \\plain\\f2\\fs20 ";
    for (const char* column : columns)
        expected += QByteArray("\\par \\tab \\tab ") + column;
    expected +=
        "\\par"
        "\\par \\plain\\f2\\fs20 \\tab \\tab 27 \\tab Total Number of Fields Exported per Asset"
        "\\par"
        "\\par \\plain\\f2\\fs20\\b\\ul \\tab \\tab Map Options"
        "\\par \\plain\\f2\\fs20 \\tab \\tab Retrieve Book Fields from: \\tab Tax"
        "\\par \\tab \\tab Include a Header Row? \\tab \\tab No"
        "\\par }";

    const QString filled = reportsample::filledText();
    for (const QChar c : filled)
        ASSERT_LT(c.unicode(), 0x80) << "the document is plain ASCII";
    EXPECT_EQ(filled.toLatin1().toStdString(), expected.toStdString());
}
