#include "report/FieldMapPrinter.h"

#include "QtPrinters.h"
#include "ReportSample.h"
#include "host/HostError.h"
#include "platform/ScriptedUiServices.h"
#include "report/DefaultPrinterSource.h"
#include "report/PdfPrinterSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using expwiz::BoxIcon;
using expwiz::FieldMapPrinter;
using expwiz::ScriptedUiServices;

namespace {

const QLocale kEnglish(QStringLiteral("en_US"));

// Gives what the test chooses and notes whether the busy pointer showed
// while the printer was asked for.
class TestPrinterSource : public expwiz::PrinterSource {
public:
    TestPrinterSource(ScriptedUiServices& ui, std::function<std::unique_ptr<QPrinter>()> make)
        : ui_(ui), make_(std::move(make))
    {
    }
    std::unique_ptr<QPrinter> printer() override
    {
        ++asked;
        busyWhenAsked = ui_.busyDepth();
        return make_();
    }
    int asked = 0;
    int busyWhenAsked = -1;

private:
    ScriptedUiServices& ui_;
    std::function<std::unique_ptr<QPrinter>()> make_;
};

// The text of a PDF as pdftotext lays it out.
QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    // the font's ligatures ("ff") come back as one character
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// EXPWIZ_REPORT_PDF_DIR keeps the printed PDFs there, to look at them.
void keepCopy(const QString& pdf)
{
    const QString dir = qEnvironmentVariable("EXPWIZ_REPORT_PDF_DIR");
    if (dir.isEmpty())
        return;
    const QString copy = QDir(dir).filePath(QFileInfo(pdf).fileName());
    QFile::remove(copy);
    QFile::copy(pdf, copy);
}

// The box the user sees must come after the normal pointer is back.
void expectOneBox(ScriptedUiServices& ui, const QString& text, BoxIcon icon)
{
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, text);
    EXPECT_EQ(ui.boxes()[0].title, QStringLiteral("Custom Export"));
    EXPECT_EQ(ui.boxes()[0].icon, icon);
    EXPECT_EQ(ui.boxes()[0].buttons, expwiz::BoxButtons::Ok);
    EXPECT_EQ(ui.busyDepth(), 0);
}

void queueOkSeenWithNormalPointer(ScriptedUiServices& ui)
{
    ui.queueAnswer([&ui](const ScriptedUiServices::Box&) {
        EXPECT_EQ(ui.busyDepth(), 0) << "the busy pointer is gone before the message";
        return expwiz::BoxAnswer::Ok;
    });
}

} // namespace

TEST(ReportPrint, PdfShowsTheCompanyEveryColumnAndTheOptions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("map report.pdf"));
    ScriptedUiServices ui;
    expwiz::PdfPrinterSource pdfSource(pdf);
    TestPrinterSource source(ui, [&] { return pdfSource.printer(); });

    EXPECT_EQ(FieldMapPrinter(ui, source).print(reportsample::values(), reportsample::now(), kEnglish),
              FieldMapPrinter::Outcome::Printed);
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(source.busyWhenAsked, 1) << "busy while printing";
    EXPECT_EQ(ui.busyDepth(), 0) << "normal pointer afterwards";
    ASSERT_TRUE(QFile::exists(pdf));
    keepCopy(pdf);

    const QString text = pdfText(pdf);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.simplified();
    lines.removeAll(QString());

    // braces, backslash and accents of the company print as typed
    QStringList expected = {QStringLiteral("Dec 5, 2026"), QStringLiteral("09:05 AM"), reportsample::companyName(),
                            QStringLiteral("Export Map File"), QStringLiteral("File Name: N/A"),
                            QStringLiteral("Column Description")};
    const QStringList labels = reportsample::columnLabels();
    for (int i = 0; i < labels.size(); ++i)
        expected << (i < 26 ? QString(QChar(u'A' + i)) : QStringLiteral("AA")) + QLatin1Char(' ') + labels[i];
    expected << QStringLiteral("27 Total Number of Fields Exported per Asset") << QStringLiteral("Map Options")
             << QStringLiteral("Retrieve Book Fields from: Tax") << QStringLiteral("Include a Header Row? No");
    for (const QString& line : expected)
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << " missing from\n" << text.toStdString();

    {
        SCOPED_TRACE("the columns stand in the same place on every line");
        const QStringList raw = text.split(QLatin1Char('\n'));
        QList<qsizetype> letterAt;
        QList<qsizetype> labelAt;
        for (int i = 0; i < labels.size(); ++i) {
            for (const QString& line : raw) {
                if (line.trimmed().endsWith(QLatin1Char(' ') + labels[i]) && !line.contains(QStringLiteral("Total"))) {
                    letterAt << line.indexOf(QRegularExpression(QStringLiteral("\\S")));
                    labelAt << line.lastIndexOf(labels[i]);
                    break;
                }
            }
        }
        ASSERT_EQ(letterAt.size(), labels.size());
        for (int i = 1; i < labels.size(); ++i) {
            EXPECT_EQ(letterAt[i], letterAt[0]) << i;
            EXPECT_EQ(labelAt[i], labelAt[0]) << i;
        }
        EXPECT_GT(labelAt[0], letterAt[0] + 3);
    }
}

TEST(ReportPrint, LongMapContinuesOnFurtherPagesWithNothingLost)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("all fields.pdf"));
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id <= 1113; ++id)
        ids.push_back(id);
    const auto values = expwiz::FieldMapReportValues::from(QStringLiteral("Acme"), QStringLiteral("Internal"), true,
                                                           QStringLiteral("everything"), ids, false);
    ScriptedUiServices ui;
    expwiz::PdfPrinterSource source(pdf);
    ASSERT_EQ(FieldMapPrinter(ui, source).print(values, reportsample::now(), kEnglish),
              FieldMapPrinter::Outcome::Printed);
    keepCopy(pdf);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(pages.hasMatch());
    EXPECT_GE(pages.captured(1).toInt(), 3);

    // every column once, in order, across the page breaks
    const QString text = pdfText(pdf);
    const QRegularExpression columnLine(QStringLiteral("^\\s*([A-Z]{1,2})\\s{2,}(\\S.*)$"),
                                        QRegularExpression::MultilineOption);
    QStringList letters;
    for (auto it = columnLine.globalMatch(text); it.hasNext();)
        letters << it.next().captured(1);
    ASSERT_EQ(letters.size(), 113) << text.toStdString();
    EXPECT_EQ(letters.first(), QStringLiteral("A"));
    EXPECT_EQ(letters[26], QStringLiteral("AA"));
    EXPECT_EQ(letters.last(), QStringLiteral("DI"));
    EXPECT_TRUE(text.contains(QStringLiteral("113 Total Number of Fields Exported per Asset"))
                || text.simplified().contains(QStringLiteral("113 Total Number of Fields Exported per Asset")));
    EXPECT_TRUE(text.simplified().contains(QStringLiteral("Include a Header Row? Yes")));
}

TEST(ReportPrint, NoPrinterAndFailuresAreToldAndNothingIsPrinted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        SCOPED_TRACE("no default printer");
        ScriptedUiServices ui;
        queueOkSeenWithNormalPointer(ui);
        TestPrinterSource source(ui, [] { return std::unique_ptr<QPrinter>(); });
        EXPECT_EQ(FieldMapPrinter(ui, source).print(reportsample::values(), reportsample::now(), kEnglish),
                  FieldMapPrinter::Outcome::NoPrinter);
        expectOneBox(ui, QStringLiteral("There is no default printer. Please select a default printer and try again."),
                     BoxIcon::Information);
        EXPECT_EQ(source.busyWhenAsked, 1);
    }
    if (QPrinterInfo::defaultPrinter().isNull()) {
        SCOPED_TRACE("the desktop's own default printer, where there is none");
        ScriptedUiServices ui;
        queueOkSeenWithNormalPointer(ui);
        expwiz::DefaultPrinterSource source;
        EXPECT_EQ(FieldMapPrinter(ui, source).print(reportsample::values(), reportsample::now(), kEnglish),
                  FieldMapPrinter::Outcome::NoPrinter);
        expectOneBox(ui, QStringLiteral("There is no default printer. Please select a default printer and try again."),
                     BoxIcon::Information);
    }
    {
        SCOPED_TRACE("a printer with nowhere to send the pages");
        ScriptedUiServices ui;
        queueOkSeenWithNormalPointer(ui);
        TestPrinterSource source(ui, [] {
            // a file printer without a file, as Qt leaves a printer that has gone
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            return printer;
        });
        const auto outcome = FieldMapPrinter(ui, source).print(reportsample::values(), reportsample::now(), kEnglish);
        EXPECT_EQ(outcome, FieldMapPrinter::Outcome::NotReady);
        expectOneBox(ui, QStringLiteral("A desitination print need "), BoxIcon::None);
    }
    {
        SCOPED_TRACE("printing fails: the output cannot be created");
        ScriptedUiServices ui;
        queueOkSeenWithNormalPointer(ui);
        const QString pdf = dir.filePath(QStringLiteral("missing folder/report.pdf"));
        expwiz::PdfPrinterSource source(pdf);
        EXPECT_EQ(FieldMapPrinter(ui, source).print(reportsample::values(), reportsample::now(), kEnglish),
                  FieldMapPrinter::Outcome::NoPrinter);
        expectOneBox(ui, QStringLiteral("There is no default printer. Please select a default printer and try again."),
                     BoxIcon::Information);
        EXPECT_FALSE(QFile::exists(pdf));
    }
    {
        SCOPED_TRACE("the report's values cannot be read from the host");
        ScriptedUiServices ui;
        queueOkSeenWithNormalPointer(ui);
        TestPrinterSource source(ui, [] { return std::unique_ptr<QPrinter>(); });
        const auto outcome = FieldMapPrinter(ui, source).print(
            []() -> expwiz::FieldMapReportValues { throw orvo::HostError(91, QStringLiteral("object not set")); },
            reportsample::now(), kEnglish);
        EXPECT_EQ(outcome, FieldMapPrinter::Outcome::Failed);
        expectOneBox(ui, QStringLiteral("An error occurs when printing"), BoxIcon::None);
        EXPECT_EQ(source.asked, 0) << "no printer is asked for";
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "nothing is written to disk";
}
