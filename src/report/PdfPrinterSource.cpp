#include "report/PdfPrinterSource.h"

#include <QPageSize>
#include <QPrinter>

namespace expwiz {

std::unique_ptr<QPrinter> PdfPrinterSource::printer()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setOutputFileName(outputFile_);
    return printer;
}

} // namespace expwiz
