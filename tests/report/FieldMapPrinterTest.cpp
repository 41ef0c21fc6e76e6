#include "report/FieldMapPrinter.h"

#include "QtPrinters.h"
#include "ReportSample.h"
#include "host/HostError.h"
#include "platform/ScriptedUiServices.h"
#include "report/DefaultPrinterSource.h"
#include "report/PdfPrinterSource.h"
#include "report/RtfDocumentReader.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using expwiz::ScriptedUiServices;
using Outcome = expwiz::FieldMapPrinter::Outcome;
using Values = std::function<expwiz::FieldMapReportValues()>;
using Make = std::function<std::unique_ptr<QPrinter>()>;

namespace {

// Gives the printer the test chooses and notes whether the busy pointer
// showed when it was asked for (-1: never asked).
struct TestPrinterSource : expwiz::PrinterSource {
    TestPrinterSource(ScriptedUiServices& ui, Make make) : ui(ui), make(std::move(make)) {}
    std::unique_ptr<QPrinter> printer() override
    {
        busyWhenAsked = ui.busyDepth();
        return make();
    }
    ScriptedUiServices& ui;
    Make make;
    int busyWhenAsked = -1;
};

// Prints; every message must come with the normal pointer back.
Outcome print(ScriptedUiServices& ui, expwiz::PrinterSource& source, const Values& values)
{
    ui.queueAnswer([&ui](const ScriptedUiServices::Box&) {
        EXPECT_EQ(ui.busyDepth(), 0) << "the busy pointer is gone before the message";
        return expwiz::BoxAnswer::Ok;
    });
    const auto outcome = expwiz::FieldMapPrinter(ui, source).print(values, reportsample::now(), reportsample::english());
    EXPECT_EQ(ui.busyDepth(), 0) << "normal pointer afterwards";
    return outcome;
}

// The text of each page of a PDF as pdftotext lays it out.
// EXPWIZ_REPORT_PDF_DIR keeps a copy of the PDF there, to look at.
QStringList pdfPages(const QString& pdf)
{
    if (const QString keep = qEnvironmentVariable("EXPWIZ_REPORT_PDF_DIR"); !keep.isEmpty())
        QFile::copy(pdf, QDir(keep).filePath(QFileInfo(pdf).fileName()));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000) && p.exitCode() == 0) << p.readAllStandardError().toStdString();
    // the font's ligatures ("ff") come back as one character
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    return text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
}

} // namespace

// Every line of the report prints, in order and across page breaks, with
// the columns' letters and labels standing in the same place on every line.
TEST(ReportPrint, PdfShowsEveryLineOfTheReportWithTheColumnsAligned)
{
    QTemporaryDir dir;
    for (const auto& [lastId, minPages] : {std::pair{1027, 1}, std::pair{1113, 3}}) {
        SCOPED_TRACE(lastId);
        const QString pdf = dir.filePath(QStringLiteral("map report %1.pdf").arg(lastId));
        const auto values = reportsample::values(lastId, lastId > 1100);
        ScriptedUiServices ui;
        TestPrinterSource source(ui, [&] { return expwiz::PdfPrinterSource(pdf).printer(); });
        EXPECT_EQ(print(ui, source, [&] { return values; }), Outcome::Printed);
        EXPECT_TRUE(ui.boxes().empty());
        EXPECT_EQ(source.busyWhenAsked, 1) << "busy while printing";
        const QStringList pages = pdfPages(pdf);
        EXPECT_GE(pages.size(), minPages);

        QStringList expected = expwiz::RtfDocumentReader::read(expwiz::FieldMapReport::fill(
                                   values, reportsample::now(), reportsample::english()))->toPlainText().split('\n');
        for (QString& line : expected)
            line = line.simplified();
        expected.removeAll(QString());
        ASSERT_EQ(expected.size(), lastId - 1000 + 10);
        qsizetype found = 0, columns = 0;
        for (const QString& page : pages) {
            QSet<qsizetype> letterAt, labelAt;   // on one page
            for (const QString& line : page.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                found += found < expected.size() && line.simplified() == expected[found];
                const auto column = QRegularExpression(QStringLiteral("^(\\s*)[A-Z]{1,2}(\\s{2,})\\S")).match(line);
                if (column.hasMatch()) {
                    ++columns;
                    letterAt << column.capturedLength(1);
                    labelAt << column.capturedEnd(2);
                }
            }
            EXPECT_EQ(letterAt.size(), 1);
            EXPECT_EQ(labelAt.size(), 1);
            EXPECT_GT(*labelAt.begin(), *letterAt.begin() + 3);
        }
        EXPECT_EQ(found, expected.size()) << "missing: " << expected.value(found).toStdString() << " in\n"
                                          << pages.join('\n').toStdString();
        EXPECT_EQ(columns, lastId - 1000);
    }
}

TEST(ReportPrint, NoPrinterAndFailuresAreToldAndNothingIsPrinted)
{
    QTemporaryDir dir;
    const Make none = [] { return std::unique_ptr<QPrinter>(); };
    const Values sample = [] { return reportsample::values(); };
    const struct {
        const char* name;
        Make printer;
        Values values;
        Outcome outcome;
    } cases[] = {
        {"no default printer", none, sample, Outcome::NoPrinter},
        {"the desktop's own default printer, where there is none",
         QPrinterInfo::defaultPrinter().isNull() ? Make([] { return expwiz::DefaultPrinterSource().printer(); }) : none,
         sample, Outcome::NoPrinter},
        {"a file printer without a file, as Qt leaves a printer that has gone",
         [] {
             auto printer = std::make_unique<QPrinter>();
             printer->setOutputFormat(QPrinter::PdfFormat);
             return printer;
         },
         sample, Outcome::NotReady},
        {"the output cannot be created", [&] { return expwiz::PdfPrinterSource(dir.filePath("no/r.pdf")).printer(); },
         sample, Outcome::NoPrinter},
        {"the report's values cannot be read from the host", none,
         []() -> expwiz::FieldMapReportValues { throw orvo::HostError(91, "object not set"); }, Outcome::Failed},
    };
    // What the user is told for each outcome.
    const std::map<Outcome, std::pair<QString, expwiz::BoxIcon>> told = {
        {Outcome::NoPrinter,
         {"There is no default printer. Please select a default printer and try again.", expwiz::BoxIcon::Information}},
        {Outcome::NotReady, {"A desitination print need ", expwiz::BoxIcon::None}},
        {Outcome::Failed, {"An error occurs when printing", expwiz::BoxIcon::None}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUiServices ui;
        TestPrinterSource source(ui, c.printer);
        EXPECT_EQ(print(ui, source, c.values), c.outcome);
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0].text, told.at(c.outcome).first);
        EXPECT_EQ(ui.boxes()[0].title, QStringLiteral("Custom Export"));
        EXPECT_EQ(ui.boxes()[0].icon, told.at(c.outcome).second);
        EXPECT_EQ(ui.boxes()[0].buttons, expwiz::BoxButtons::Ok);
        // no printer is asked for when the values cannot be read
        EXPECT_EQ(source.busyWhenAsked, c.outcome == Outcome::Failed ? -1 : 1) << "busy while asking";
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "nothing is written to disk";
}
