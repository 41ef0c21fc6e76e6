#include "report/FieldMapPrinter.h"

#include "platform/BusyPointer.h"
#include "platform/UiServices.h"
#include "report/DocumentPrinter.h"
#include "report/PrinterSource.h"
#include "report/RtfDocumentReader.h"

#include <QPrinter>
#include <QTextDocument>

#include <exception>
#include <memory>

namespace expwiz {

namespace {

QString title()
{
    return QStringLiteral("Custom Export");
}

// A printer the print system does not know, or a file printer without a
// file (what Qt falls back to when a named printer has gone), has nowhere
// to send the pages.
bool canTakeOutput(const QPrinter& printer)
{
    if (!printer.isValid())
        return false;
    return printer.outputFormat() != QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
}

} // namespace

QString FieldMapPrinter::noDefaultPrinterMessage()
{
    return QStringLiteral("There is no default printer. Please select a default printer and try again.");
}

QString FieldMapPrinter::printerNotReadyMessage()
{
    // the host's users know this wording; it is kept as it is
    return QStringLiteral("A desitination print need ");
}

QString FieldMapPrinter::failureMessage()
{
    return QStringLiteral("An error occurs when printing");
}

FieldMapPrinter::Outcome FieldMapPrinter::print(const std::function<FieldMapReportValues()>& values,
                                                const QDateTime& now, const QLocale& locale)
{
    QString rtf;
    try {
        rtf = FieldMapReport::fill(values(), now, locale);
    } catch (const std::exception&) {
        ui_.messageBox(failureMessage(), title());
        return Outcome::Failed;
    }
    return printText(rtf);
}

FieldMapPrinter::Outcome FieldMapPrinter::print(const FieldMapReportValues& values, const QDateTime& now,
                                                const QLocale& locale)
{
    return print([&values] { return values; }, now, locale);
}

FieldMapPrinter::Outcome FieldMapPrinter::printText(const QString& rtf)
{
    Outcome outcome = Outcome::Printed;
    {
        const BusyPointer busy(ui_);
        try {
            const std::unique_ptr<QTextDocument> document = RtfDocumentReader::read(rtf);
            const std::unique_ptr<QPrinter> printer = printers_.printer();
            if (!printer)
                outcome = Outcome::NoPrinter;
            else if (!canTakeOutput(*printer))
                outcome = Outcome::NotReady;
            else if (!DocumentPrinter::print(*document, *printer))
                outcome = Outcome::NoPrinter;
        } catch (const std::exception&) {
            outcome = Outcome::NoPrinter;
        }
    }
    if (outcome == Outcome::NoPrinter)
        ui_.messageBox(noDefaultPrinterMessage(), title(), BoxIcon::Information);
    else if (outcome == Outcome::NotReady)
        ui_.messageBox(printerNotReadyMessage(), title());
    return outcome;
}

} // namespace expwiz
