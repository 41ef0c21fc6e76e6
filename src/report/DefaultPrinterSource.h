#pragma once

#include "report/PrinterSource.h"

namespace expwiz {

// The system's default printer, as the print system names it at the time
// of asking; nothing when no default printer is set up.
class DefaultPrinterSource : public PrinterSource {
public:
    std::unique_ptr<QPrinter> printer() override;
};

} // namespace expwiz
