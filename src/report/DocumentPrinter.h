#pragma once

class QPrinter;
class QTextDocument;

namespace expwiz {

// Prints a rich-text document on a printer, page by page, within margins
// of an inch at the top and bottom and an inch and a quarter at the sides.
class DocumentPrinter {
public:
    // Lays `document` out for the printer (its layout is changed) and paints
    // every page. False when the printer cannot be painted on or a page
    // cannot be started or finished; nothing then counts as printed.
    static bool print(QTextDocument& document, QPrinter& printer);
};

} // namespace expwiz
