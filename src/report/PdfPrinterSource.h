#pragma once

#include "report/PrinterSource.h"

#include <QString>

#include <utility>

namespace expwiz {

// A PDF file in place of a printer; the file is written when printing ends.
class PdfPrinterSource : public PrinterSource {
public:
    explicit PdfPrinterSource(QString outputFile) : outputFile_(std::move(outputFile)) {}

    std::unique_ptr<QPrinter> printer() override;

private:
    QString outputFile_;
};

} // namespace expwiz
