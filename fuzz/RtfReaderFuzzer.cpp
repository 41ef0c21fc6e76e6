// The report's rich text: any text gives a document no longer than the
// text itself, and any company name put into the report reads back from it
// exactly (characters below the blank other than the tab aside, which the
// rich text form has no plain way to hold).

#include "FuzzScratch.h"

#include "fieldmap/FieldMapReport.h"
#include "report/RtfDocumentReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <memory>

using namespace expwiz;
using expwiz::fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and text layout need the application object; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const std::unique_ptr<QTextDocument> doc = RtfDocumentReader::read(text);
    require(doc->characterCount() <= text.size() + 1, "a document never holds more characters than its text");

    FieldMapReportValues values;
    values.companyName = text;
    values.fileName = QStringLiteral("N/A");
    values.totalColumns = QStringLiteral("0");
    values.includeHeader = QStringLiteral("No");
    const QString rtf = FieldMapReport::fill(values, QDateTime(QDate(2026, 12, 5), QTime(9, 5)), QLocale::c());
    QString expected;
    for (const QChar c : text) {
        if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1)
            expected += QChar::ParagraphSeparator;   // the document's own frame marks start new blocks
        else if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
            expected += c;
    }
    require(RtfDocumentReader::read(rtf)->toRawText().contains(expected), "the company name reads back");
    return 0;
}
