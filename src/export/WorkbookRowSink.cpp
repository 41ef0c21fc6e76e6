#include "export/WorkbookRowSink.h"

#include "export/ShortDatePattern.h"
#include "host/HostError.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace expwiz {

namespace {

// Longer texts do not fit a cell; they are cut there rather than failing
// the whole export.
constexpr qsizetype kMaxCellText = 32767;
constexpr uint16_t kMaxColumns = 16384;

} // namespace

WorkbookRowSink::WorkbookRowSink(const QString& targetPath, int32_t sheetRows)
    : file_(targetPath),
      folder_(QFile::encodeName(QFileInfo(file_.targetPath()).absolutePath())),
      sheetRows_(std::clamp<int32_t>(sheetRows, 2, LXW_ROW_MAX)),
      formatter_(QLocale::c()),
      utf8_(QStringConverter::Utf8)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // Beside the target: the rows need the space the workbook will, and the
    // library's row files are unlinked, so nothing stays behind a crash.
    options.tmpdir = folder_.data();
    options.use_zip64 = LXW_TRUE;
    book_ = workbook_new_opt(QFile::encodeName(file_.temporaryPath()).constData(), &options);
    if (!book_) {
        file_.discard();
        throw orvo::HostError(orvo::errnum::PathFileAccess,
                              QStringLiteral("Cannot create the workbook %1.").arg(file_.targetPath()));
    }
    amountFormat_ = workbook_add_format(book_);
    format_set_num_format(amountFormat_, "0.00");
    percentFormat_ = workbook_add_format(book_);
    format_set_num_format(percentFormat_, "0.00000%");
    dateFormat_ = workbook_add_format(book_);
    // Unambiguous in every locale, and with its century.
    format_set_num_format(dateFormat_, "yyyy-mm-dd");
    topFormat_ = workbook_add_format(book_);
    format_set_bold(topFormat_);
    addSheet();
}

WorkbookRowSink::~WorkbookRowSink()
{
    discard();
}

void WorkbookRowSink::discard() noexcept
{
    if (book_) {
        lxw_workbook_free(book_);
        book_ = nullptr;
    }
    file_.discard();
}

void WorkbookRowSink::check(int error)
{
    if (error == LXW_NO_ERROR || error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return;
    const QString reason = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error)));
    discard();
    throw orvo::HostError(orvo::errnum::PathFileAccess,
                          QStringLiteral("Cannot write %1: %2").arg(file_.targetPath(), reason));
}

void WorkbookRowSink::addSheet()
{
    const QByteArray name = sheets_.empty() ? QByteArray("Assets")
                                            : "Assets " + QByteArray::number(qsizetype(sheets_.size()) + 1);
    lxw_worksheet* sheet = workbook_add_worksheet(book_, name.constData());
    if (!sheet)
        check(LXW_ERROR_MEMORY_MALLOC_FAILED);
    sheets_.push_back(sheet);
    row_ = 0;
    column_ = 0;
    for (const QStringList& line : std::as_const(topLines_)) {
        for (const QString& cell : line)
            writeText(cell, topFormat_);
        ++row_;
        column_ = 0;
    }
    if (!topLines_.empty())
        worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(topLines_.size()), 0);
}

void WorkbookRowSink::widen(qsizetype width)
{
    if (widths_.size() <= column_)
        widths_.resize(column_ + 1, 0);
    widths_[column_] = std::max(widths_[column_], width);
}

void WorkbookRowSink::writeText(QStringView text, lxw_format* format)
{
    if (column_ >= kMaxColumns)
        return;
    if (!text.isEmpty()) {
        text = text.left(kMaxCellText);
        // The file format writes a control character such as CR as _x000D_;
        // a text that holds such a sequence itself has its "_" escaped, so
        // a spreadsheet shows it as typed.
        if (text.contains(u"_x")) {
            static const QRegularExpression escaped(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
            escapedText_ = text.toString().replace(escaped, QStringLiteral("_x005F_\\1"));
            text = escapedText_;
        }
        bytes_.resize(static_cast<size_t>(utf8_.requiredSpace(text.size())) + 1);
        char* end = utf8_.appendToBuffer(bytes_.data(), text);
        *end = '\0';
        check(worksheet_write_string(sheets_.back(), row_, column_, bytes_.data(), format));
        widen(text.size());
    }
    ++column_;
}

void WorkbookRowSink::writeNumber(double number, lxw_format* format, qsizetype shownWidth)
{
    if (column_ >= kMaxColumns)
        return;
    check(worksheet_write_number(sheets_.back(), row_, column_, number, format));
    widen(shownWidth);
    ++column_;
}

void WorkbookRowSink::textLine(QStringView csvLine)
{
    // Only before the rows: these lines head every sheet.
    topLines_.push_back(splitCsvLine(csvLine));
    for (const QString& cell : std::as_const(topLines_.back()))
        writeText(cell, topFormat_);
    ++row_;
    ++lines_;
    column_ = 0;
    worksheet_freeze_panes(sheets_.back(), static_cast<lxw_row_t>(topLines_.size()), 0);
}

void WorkbookRowSink::value(FieldType type, QStringView hostValue)
{
    if (!rowsStarted_ && column_ == 0 && row_ >= static_cast<uint32_t>(sheetRows_))
        addSheet();
    rowsStarted_ = true;
    switch (type) {
    case FieldType::Amount:
    case FieldType::Fraction:
    case FieldType::TransferPercent: {
        // The number the CSV shows, rounded as there, so that sums agree.
        const QStringView shown = formatter_.format(type, hostValue, buffer_);
        bool ok = false;
        const double number = shown.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            break;
        if (type == FieldType::Fraction)
            writeNumber(number / 100.0, percentFormat_, shown.size() + 1);
        else
            writeNumber(number, type == FieldType::Amount ? amountFormat_ : nullptr, shown.size());
        return;
    }
    case FieldType::Date: {
        int year = 0, month = 0, day = 0;
        // Spreadsheets count days from 1900; earlier dates stay text.
        if (!ShortDatePattern::parseIsoDate(hostValue, year, month, day) || year < 1900)
            break;
        lxw_datetime date{year, month, day, 0, 0, 0.0};
        if (column_ >= kMaxColumns)
            return;
        check(worksheet_write_datetime(sheets_.back(), row_, column_, &date, dateFormat_));
        widen(10);
        ++column_;
        return;
    }
    case FieldType::Plain:
    case FieldType::YesNo:
    case FieldType::Text:
    case FieldType::Life:
    case FieldType::Indicator:
        break;
    }
    writeText(formatter_.format(type, hostValue, buffer_));
}

void WorkbookRowSink::text(QStringView cell)
{
    if (!rowsStarted_ && column_ == 0 && row_ >= static_cast<uint32_t>(sheetRows_))
        addSheet();
    rowsStarted_ = true;
    writeText(cell);
}

void WorkbookRowSink::endRow()
{
    ++row_;
    ++lines_;
    column_ = 0;
    rowsStarted_ = false;
}

void WorkbookRowSink::commit()
{
    if (!book_)
        throw orvo::HostError(orvo::errnum::BadFileMode,
                              QStringLiteral("Cannot write %1: the workbook is closed.").arg(file_.targetPath()));
    for (lxw_worksheet* sheet : sheets_)
        for (size_t c = 0; c < widths_.size(); ++c)
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 static_cast<double>(std::clamp<qsizetype>(widths_[c] + 2, 8, 60)), nullptr);
    errno = 0;
    const lxw_error error = workbook_close(book_);   // frees the workbook in any case
    book_ = nullptr;
    if (error != LXW_NO_ERROR) {
        const int err = errno;
        file_.discard();
        if (err != 0)
            throw orvo::fileError(err, QStringLiteral("Cannot write"), file_.targetPath());
        throw orvo::HostError(orvo::errnum::PathFileAccess,
                              QStringLiteral("Cannot write %1: %2").arg(file_.targetPath(),
                                                                        QString::fromUtf8(lxw_strerror(error))));
    }
    file_.commit();
}

QStringList WorkbookRowSink::splitCsvLine(QStringView line)
{
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            cells << cell;
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells << cell;
    return cells;
}

} // namespace expwiz
