#pragma once

#include "fieldmap/FieldMapReport.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

namespace expwiz {

class PrinterSource;
class UiServices;

// Prints the field map report for the Field Map step's Print Map command.
// Nothing is written to disk and nothing of the wizard is changed.
class FieldMapPrinter {
public:
    enum class Outcome {
        Printed,
        NoPrinter,    // no printer to print on, or printing it failed
        NotReady,     // the printer cannot be painted on
        Failed,       // the report could not be made (e.g. a host read failed)
    };

    // The messages, shown with OK and the title "Custom Export".
    static QString noDefaultPrinterMessage();   // information icon
    static QString printerNotReadyMessage();    // no icon
    static QString failureMessage();            // no icon

    FieldMapPrinter(UiServices& ui, PrinterSource& printers) : ui_(ui), printers_(printers) {}

    // Builds the report from `values` (called here, so a failing host read
    // is reported like any other failure), fills it for `now` in `locale`,
    // and prints it with the busy pointer showing. Every failure is shown
    // to the user after the normal pointer is back, and returned.
    Outcome print(const std::function<FieldMapReportValues()>& values, const QDateTime& now,
                  const QLocale& locale = QLocale::system());
    Outcome print(const FieldMapReportValues& values, const QDateTime& now,
                  const QLocale& locale = QLocale::system());

    // The filled report text on the printer: the busy pointer, the document,
    // the printer from the source, the pages; the no-printer messages.
    Outcome printText(const QString& rtf);

private:
    UiServices& ui_;
    PrinterSource& printers_;
};

} // namespace expwiz
