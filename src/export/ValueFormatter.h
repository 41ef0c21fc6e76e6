#pragma once

#include "catalog/FieldCatalog.h"
#include "export/ShortDatePattern.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace expwiz {

// Writes a field value the way the export shows it, by the field's type
// code. Built once per run from the formatting locale (decimal separator,
// short date form); formatting a cell makes no locale lookup.
//
// Values come from the host in its own canonical text: numbers with "." as
// the decimal point, dates as ISO text. A value that is not a number (or,
// for dates, not a date) is written unchanged; an empty value stays empty
// except for the yes/no and indicator codes, which always answer.
class ValueFormatter {
public:
    // isoDates: dates as yyyy-MM-dd, for programs that read the file,
    // instead of the locale's short date.
    explicit ValueFormatter(const QLocale& locale, bool isoDates = false);

    // The text to write for `value`: either `value` itself, a constant, or
    // `buffer` filled with the formatted text. The view is valid until the
    // next call with the same buffer or a change of `value`.
    QStringView format(FieldType type, QStringView value, QString& buffer) const;

    // The same on the host's UTF-8 bytes, with the same result: either
    // `value` itself, a constant, or `bytes` filled with the formatted text
    // (`buffer` is not used: the bytes are formatted as bytes).
    std::string_view format(FieldType type, std::string_view value, QString& buffer, std::string& bytes) const;

    // Convenience for callers off the hot path.
    QString formatted(FieldType type, const QString& value) const;

    const ShortDatePattern& datePattern() const { return datePattern_; }
    const QString& decimalPoint() const { return decimalPoint_; }

private:
    QStringView fixed(QStringView value, int shift, int decimals, int minIntegerDigits,
                      QString& buffer) const;
    std::string_view fixed(std::string_view value, int shift, int decimals, int minIntegerDigits,
                           std::string& bytes) const;

    QString decimalPoint_;
    std::string decimalPointUtf8_;
    ShortDatePattern datePattern_;
    bool isoDates_;
};

} // namespace expwiz
