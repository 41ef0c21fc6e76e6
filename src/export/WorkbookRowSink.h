#pragma once

#include "export/AtomicFile.h"
#include "export/RowSink.h"
#include "export/ValueFormatter.h"

#include <QStringEncoder>

#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace expwiz {

// An Excel workbook that a spreadsheet opens typed: amounts and percentages
// are numbers with a number format, dates are dates, and everything else
// (ids, flags, lives, text) is text exactly as the CSV writes it with the
// C locale. The lines at the top (company line, header) are split into
// cells as a CSV reader would, and frozen; a sheet that is full continues
// on the next one, which starts with the same lines.
//
// The rows stream to temporary files of the library (constant memory); the
// workbook is assembled into a temporary beside the target at commit and
// renamed over it, so a failure leaves the previous file as it was.
class WorkbookRowSink final : public RowSink {
public:
    WorkbookRowSink(const QString& targetPath, int32_t sheetRows);
    ~WorkbookRowSink() override;
    WorkbookRowSink(const WorkbookRowSink&) = delete;
    WorkbookRowSink& operator=(const WorkbookRowSink&) = delete;

    void textLine(QStringView csvLine) override;
    void value(FieldType type, QStringView hostValue) override;
    void text(QStringView cell) override;
    void endRow() override;
    void commit() override;
    void discard() noexcept override;
    const QString& targetPath() const override { return file_.targetPath(); }
    int64_t linesInFile() const override { return lines_; }

    // The cells of one CSV line, as a reader of RFC 4180 sees them.
    static QStringList splitCsvLine(QStringView line);

private:
    void addSheet();
    void writeText(QStringView text, lxw_format* format = nullptr);
    void writeNumber(double number, lxw_format* format, qsizetype shownWidth);
    void check(int error);
    void widen(qsizetype width);

    AtomicFile file_;
    QByteArray folder_;                 // where the library keeps its row files
    lxw_workbook* book_ = nullptr;
    std::vector<lxw_worksheet*> sheets_;
    lxw_format* amountFormat_ = nullptr;
    lxw_format* percentFormat_ = nullptr;
    lxw_format* dateFormat_ = nullptr;
    lxw_format* topFormat_ = nullptr;
    int32_t sheetRows_;
    std::vector<QStringList> topLines_;  // repeated at the top of every sheet
    uint32_t row_ = 0;
    uint16_t column_ = 0;
    bool rowsStarted_ = false;
    int64_t lines_ = 0;                  // top lines and rows, once each
    std::vector<qsizetype> widths_;      // widest text per column, all sheets
    ValueFormatter formatter_;
    QString buffer_;
    QString escapedText_;
    QStringEncoder utf8_;
    std::vector<char> bytes_;
};

} // namespace expwiz
