#include "report/FieldMapPrinter.h"

#include "ProgramRun.h"
#include "QtPrinters.h"
#include "fieldmap/FieldMapReport.h"
#include "host/HostError.h"
#include "platform/ScriptedUiServices.h"
#include "report/DefaultPrinterSource.h"
#include "report/PdfPrinterSource.h"
#include "report/RtfDocumentReader.h"

#include <QDir>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <numeric>

using expwiz::RtfDocumentReader;
using expwiz::ScriptedUiServices;
using Outcome = expwiz::FieldMapPrinter::Outcome;
using Values = std::function<expwiz::FieldMapReportValues()>;
using Make = std::function<std::unique_ptr<QPrinter>()>;

namespace {

// The report used throughout: a new map of the standard edition's first columns, for a company
// whose name needs escaping, filled on 5 December 2026 at 09:05 in English.
const QDateTime filledAt(QDate(2026, 12, 5), QTime(9, 5, 41));
const QLocale english(QStringLiteral("en_US"));

expwiz::FieldMapReportValues sampleValues(int32_t lastId = 1027, bool header = false)
{
    std::vector<int32_t> ids(lastId - 1000);
    std::iota(ids.begin(), ids.end(), 1001);
    return expwiz::FieldMapReportValues::from(QStringLiteral("M\u00fcller {Holz} \\ S\u00f6hne \u20ac"),
                                              QStringLiteral("Tax"), header, QString(), ids, false);
}

// A character format as "[size b i u family ~hint]" without what is off or unset; "" for plain 12.
QString describe(const QTextCharFormat& f)
{
    static const char* const hints[] = {"sans", "serif", "typewriter", "decorative", "system",
                                        "any",  "cursive", "monospace", "fantasy"};
    QString s = QString::number(f.fontPointSize());
    if (f.fontWeight() != QFont::Normal)
        s += f.fontWeight() == QFont::Bold ? QStringLiteral(" b") : QStringLiteral(" w%1").arg(f.fontWeight());
    s += QString(f.fontItalic() ? " i" : "") + (f.fontUnderline() ? " u" : "");
    for (const QString& family : f.fontFamilies().toStringList())
        s += QLatin1Char(' ') + family;
    if (f.hasProperty(QTextFormat::FontStyleHint))
        s += QStringLiteral(" ~") + QLatin1String(hints[f.fontStyleHint() % 9]);
    return s == QLatin1String("12") ? QString() : QLatin1Char('[') + s + QLatin1Char(']');
}

// The document as lines: the tab stop in twips unless 720, then per paragraph its alignment
// (L C R J) and each run of text after its format; an empty paragraph shows its own format.
QString dump(const QTextDocument& doc)
{
    QStringList lines;
    const qreal pixelsPerInch = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    if (const long tab = std::lround(doc.defaultTextOption().tabStopDistance() * 1440 / pixelsPerInch); tab != 720)
        lines << QStringLiteral("tab %1").arg(tab);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        QString runs = b.text().isEmpty() ? describe(b.charFormat()) : QString();
        for (auto it = b.begin(); !it.atEnd(); ++it)
            runs += describe(it.fragment().charFormat()) + it.fragment().text();
        lines << QString(a == Qt::AlignHCenter ? "C" : a == Qt::AlignRight ? "R" : a == Qt::AlignJustify ? "J" : "L")
                     + (runs.isEmpty() ? QString() : QLatin1Char(' ') + runs);
    }
    return lines.join(QLatin1Char('\n')).replace(QLatin1Char('\t'), QStringLiteral("\\t"));
}

// Prints on the printer the test chooses, noting whether the busy pointer showed when it was
// asked for (-1: never asked); every message must come with the normal pointer back.
struct Printing : expwiz::PrinterSource {
    explicit Printing(Make make) : make(std::move(make)) {}
    std::unique_ptr<QPrinter> printer() override
    {
        busyWhenAsked = ui.busyDepth();
        return make();
    }
    Outcome print(const Values& values)
    {
        ui.queueAnswer([this](const ScriptedUiServices::Box&) {
            EXPECT_EQ(ui.busyDepth(), 0) << "the busy pointer is gone before the message";
            return expwiz::BoxAnswer::Ok;
        });
        const auto outcome = expwiz::FieldMapPrinter(ui, *this).print(values, filledAt, english);
        EXPECT_EQ(ui.busyDepth(), 0) << "normal pointer afterwards";
        return outcome;
    }
    ScriptedUiServices ui;
    Make make;
    int busyWhenAsked = -1;
};

} // namespace

// The filled report, and the text, formats and paragraphs of small documents, broken ones included.
TEST(ReportReader, ReadsTheReportAndSmallDocumentsWithTheirFormatsAndSurvivesBrokenInput)
{
    const QString full = expwiz::FieldMapReport::fill(sampleValues(), filledAt, english);
    EXPECT_EQ(dump(*RtfDocumentReader::read(full)) + QLatin1Char('\n'),
              QString::fromUtf8(readBytes(EXPWIZ_GOLDEN_DIR "/filled-report.txt")));
    const QString fonts = "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Serifa;}{\\f1\\fswiss Sansa;}"
                          "{\\f2\\fmodern\\fcharset0 Mono;}{\\f3\\fscript Hand;}{\\f4\\fdecor Fancy;}}";
    const QString sansa = "[12 Sansa ~sans]";
    const struct { QString rtf, dump; } cases[] = {
        // groups restore formats on closing; switches off; every font kind
        {fonts + "a{\\b\\ul\\fs40\\f0 b}c}", "L " + sansa + "a[20 b u Serifa ~serif]b" + sansa + "c"},
        {fonts + "\\b\\ul\\fs30 a\\b0 b\\ulnone c\\ul\\b d\\plain e\\ul f\\ul0 g\\i h\\i0 i}",
         "L [15 b u Sansa ~sans]a[15 u Sansa ~sans]b[15 Sansa ~sans]c[15 b u Sansa ~sans]d" + sansa
             + "e[12 u Sansa ~sans]f" + sansa + "g[12 i Sansa ~sans]h" + sansa + "i"},
        {fonts + "\\f2 m\\f3 s\\f4 d\\f9 x}", "L [12 Mono ~typewriter]m[12 Hand ~cursive]s[12 Fancy ~decorative]dx"},
        {fonts + "a\\deff0 b}", "L " + sansa + "a[12 Serifa ~serif]b"},   // a new default font applies at once
        // alignment is the setting at the paragraph's end; \pard resets
        {"{\\rtf1 l\\par \\qc c\\par c\\par \\pard l\\ql\\par c\\qc\\par \\qr r\\par \\qj j}",
         "L l\nC c\nC c\nL l\nC c\nR r\nJ j"},
        {"{\\rtf1\\fs20\\b\\par\\b0\\fs16 x\\par}", "L [10 b]\nL [8]x\nL"},   // empty paragraphs keep their format
        {"{\\rtf1\\deftab1440 \\tab x}", "tab 1440\nL \\tx"},
        // \u with its fallback, negative and paired; \uc; hex escapes in the Windows code page
        {"{\\rtf1 M\\u252?ller S\\u246 ohne \\u-1793?\\u-10179?\\u-8704?.\\u8364\\'80x}",
         "L M\u00fcller S\u00f6hne \uf8ff\U0001F600.\u20acx"},
        {"{\\rtf1\\uc2 \\u233 ab c{\\uc0 \\u233 d}\\u233 xyz}", "L \u00e9 c\u00e9d\u00e9z"},
        {"{\\rtf1\\uc1 \\u233\\b x\\u233\\{y}", "L \u00e9x\u00e9y"},   // a fallback swallows a control
        {"{\\rtf1 caf\\'e9 \\'80\\'93\\'96\\'9f\\'81\\'7F\\'A0}", "L caf\u00e9 \u20ac\u201c\u2013\u0178\ufffd\x7f\u00a0"},
        {"{\\rtf1 a\\\\b\\{c\\}d\\~e\\_f}", "L a\\b{c}d\u00a0e\u2011f"},
        // line breaks in the source are no text, escaped ones are
        {"{\\rtf1 ab\r\ncd\ne\rf\\\ng\\line h\\par i}", "L abcdef\nL g\u2028h\nL i"},
        // skipped groups take their formats along
        {"{\\rtf1{\\*\\b\\fs40 W;}{\\info\\b\\qc y{\\title T}}\\fs18\\unknownword12 a\\zz-3 "
         "b{\\*\\shppict{\\pict 0102}}c{\\stylesheet s}{\\header h}{\\footer f}{\\footnote n}"
         "{\\listtable l}}", "L [9]abc"},
        {"{\\rtf1\\b  two\\b0 x}", "L [12 b] twox"},   // one blank delimits a control word
        {QStringLiteral("{\\rtf1 a\tb") + QChar(1) + QChar(0x1f) + "c}", "L a\\tbc"},
        // broken input: unbalanced braces, cut-off escapes, absurd numbers, deep nesting
        {"}}a{\\b b", "L a[12 b]b"},
        {"{\\rtf1 a{{{b", "L ab"},
        {"{\\rtf1 {\\b a}}}}{\\b x}", "L [12 b]a"},
        {"{\\rtf1 \\fs99999999999999999999 x\\fs-4 y\\fs0 z\\fs1 w\\fs2 v\\fs3277 t\\fs3276 s}", "L xyzw[1]vt[1638]s"},
        {"{\\rtf1 \\u99999999999999999999 ?x\\u-99999 ?y\\u65536 ?z", "L xyz"},
        {"{\\rtf1 \\deftab0 \\deftab-720 \\deftab999999999 \\tab x", "L \\tx"},
        {"{\\rtf1 \\deftab31680 \\deftab31681 \\tab x\\u-4", "tab 31680\nL \\tx\ufffc"},   // the largest stop; a cut-off end
        {"{\\rtf1 \\f77 unknown \\uc99 \\u65 A\\uc-1 B", "L unknown AB"},
        {"{\\rtf1 \\'", "L"}, {"{\\rtf1 \\'4", "L 4"}, {"{\\rtf1 \\'zz", "L zz"}, {"\\", "L"}, {"{\\rtf1 \\u-", "L"},
        {"{\\*", "L"}, {"{\\fonttbl{\\f0 never closed", "L"}, {QString(QChar(0)) + "\x01\x7f", "L \x7f"},
        {"{\\rtf1 " + QString(200000, '{') + "\\b x" + QString(200000, '}') + "y}", "L [12 b]xy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf.left(100).toStdString());
        EXPECT_EQ(dump(*RtfDocumentReader::read(c.rtf)), c.dump);
    }
    for (qsizetype n = 0; n < full.size(); n += 7)
        ASSERT_NE(RtfDocumentReader::read(full.left(n)), nullptr) << "cut at " << n;
}

// Every line of a report of every column prints, in order and across page breaks, with the
// columns' letters and labels standing in the same place on every line.
TEST(ReportPrint, PdfShowsEveryLineOfTheReportWithTheColumnsAligned)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("map report.pdf");
    const auto values = sampleValues(1113, true);
    Printing printing([&] { return expwiz::PdfPrinterSource(pdf).printer(); });
    EXPECT_EQ(printing.print([&] { return values; }), Outcome::Printed);
    EXPECT_TRUE(printing.ui.boxes().empty());
    EXPECT_EQ(printing.busyWhenAsked, 1) << "busy while printing";
    const ProgramRun text = runCli({"-layout", pdf, "-"}, {}, QStringLiteral("/usr/bin/pdftotext"));
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    // the font's ligatures ("ff") come back as one character
    const QStringList pages =
        text.out.normalized(QString::NormalizationForm_KC).split(u'\f', Qt::SkipEmptyParts);
    EXPECT_GE(pages.size(), 3);

    QStringList expected =
        RtfDocumentReader::read(expwiz::FieldMapReport::fill(values, filledAt, english))->toPlainText().split('\n');
    for (QString& line : expected)
        line = line.simplified();
    expected.removeAll(QString());
    ASSERT_EQ(expected.size(), 113 + 10);
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
        EXPECT_EQ(std::pair(letterAt.size(), labelAt.size()), std::pair(1LL, 1LL));
        EXPECT_GT(*labelAt.begin(), *letterAt.begin() + 3);
    }
    EXPECT_EQ(found, expected.size()) << "missing: " << expected.value(found).toStdString() << " in\n"
                                      << pages.join('\n').toStdString();
    EXPECT_EQ(columns, 113);
}

TEST(ReportPrint, NoPrinterAndFailuresAreToldAndNothingIsPrinted)
{
    QTemporaryDir dir;
    const Make none = [] { return std::unique_ptr<QPrinter>(); };
    const struct { const char* name; Make printer; Outcome outcome;
                   Values values = [] { return sampleValues(); }; } cases[] = {
        {"no default printer", none, Outcome::NoPrinter},
        {"the desktop's own default printer, where there is none",
         QPrinterInfo::defaultPrinter().isNull() ? Make([] { return expwiz::DefaultPrinterSource().printer(); }) : none,
         Outcome::NoPrinter},
        {"a file printer without a file, as Qt leaves a printer that has gone", [] {
             auto printer = std::make_unique<QPrinter>();
             printer->setOutputFormat(QPrinter::PdfFormat);
             return printer;
         }, Outcome::NotReady},
        {"the output cannot be created", [&] { return expwiz::PdfPrinterSource(dir.filePath("no/r.pdf")).printer(); },
         Outcome::NoPrinter},
        {"the report's values cannot be read from the host", none, Outcome::Failed,
         []() -> expwiz::FieldMapReportValues { throw orvo::HostError(91, "object not set"); }},
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
        Printing printing(c.printer);
        EXPECT_EQ(printing.print(c.values), c.outcome);
        ASSERT_EQ(printing.ui.boxes().size(), 1u);
        const auto& [text, icon] = told.at(c.outcome);
        const auto& box = printing.ui.boxes()[0];
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(text, QStringLiteral("Custom Export"), icon, expwiz::BoxButtons::Ok));
        // no printer is asked for when the values cannot be read
        EXPECT_EQ(printing.busyWhenAsked, c.outcome == Outcome::Failed ? -1 : 1) << "busy while asking";
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing is written to disk";
}
