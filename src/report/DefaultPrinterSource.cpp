#include "report/DefaultPrinterSource.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace expwiz {

std::unique_ptr<QPrinter> DefaultPrinterSource::printer()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

} // namespace expwiz
