#include "report/DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace expwiz {

bool DocumentPrinter::print(QTextDocument& document, QPrinter& printer)
{
    printer.setFullPage(false);
    // A printer with wider hardware margins keeps its own.
    printer.setPageMargins(QMarginsF(90, 72, 90, 72), QPageLayout::Point);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    document.documentLayout()->setPaintDevice(&printer);
    document.setDocumentMargin(0);
    const QSizeF pageSize = printer.pageRect(QPrinter::DevicePixel).size();
    document.setPageSize(pageSize);

    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return false;
        }
        // A line the layout moved to the next page starts exactly on this
        // page's bottom edge; without the sliver taken off it would be drawn
        // (clipped, yet still in the page's text) on both pages.
        const QRectF page(QPointF(0, i * pageSize.height()), pageSize - QSizeF(0, 0.5));
        painter.save();
        painter.translate(0, -page.top());
        document.drawContents(&painter, page);
        painter.restore();
    }
    return painter.end();
}

} // namespace expwiz
