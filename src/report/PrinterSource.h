#pragma once

#include <memory>

class QPrinter;

namespace expwiz {

// Where a report is printed. The desktop gives its default printer; tests
// and batch runs give a PDF file.
class PrinterSource {
public:
    virtual ~PrinterSource();

    // A printer ready to be painted on, or nothing when there is none.
    virtual std::unique_ptr<QPrinter> printer() = 0;
};

} // namespace expwiz
