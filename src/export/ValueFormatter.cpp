#include "export/ValueFormatter.h"

#include "export/DecimalNumber.h"

namespace expwiz {

ValueFormatter::ValueFormatter(const QLocale& locale, bool isoDates)
    : decimalPoint_(locale.decimalPoint()), decimalPointUtf8_(decimalPoint_.toStdString()), datePattern_(locale),
      isoDates_(isoDates)
{
}

QStringView ValueFormatter::fixed(QStringView value, int shift, int decimals,
                                  int minIntegerDigits, QString& buffer) const
{
    DecimalNumber number;
    if (!number.parse(value))
        return value;
    buffer.resize(0);
    number.appendFixed(shift, decimals, minIntegerDigits, decimalPoint_, buffer);
    return buffer;
}

QStringView ValueFormatter::format(FieldType type, QStringView value, QString& buffer) const
{
    switch (type) {
    case FieldType::Fraction:
        // "#0.00000%" with the percent sign cut off again: the fraction
        // times 100 with five decimals.
        return fixed(value, 2, 5, 1, buffer);
    case FieldType::Amount:
        // "#######0.00": every integer digit, no grouping, two decimals.
        return fixed(value, 0, 2, 1, buffer);
    case FieldType::Date: {
        int year = 0, month = 0, day = 0;
        if (!ShortDatePattern::parseIsoDate(value, year, month, day))
            return value;
        buffer.resize(0);
        if (isoDates_) {
            // The date part of the host's text, without a time.
            buffer.append(value.left(10));
            return buffer;
        }
        datePattern_.append(year, month, day, buffer);
        return buffer;
    }
    case FieldType::YesNo:
        return value == u"T" ? QStringView(u"Yes") : QStringView(u"No");
    case FieldType::Indicator:
        return value.isEmpty() ? QStringView(u"F") : QStringView(u"T");
    case FieldType::Life:
        // "0000": a whole number, at least four digits.
        return fixed(value, 0, 0, 4, buffer);
    case FieldType::Plain:
    case FieldType::TransferPercent:
    case FieldType::Text:
        break;
    }
    return value;
}

std::string_view ValueFormatter::fixed(std::string_view value, int shift, int decimals, int minIntegerDigits,
                                      std::string& bytes) const
{
    DecimalNumber number;
    if (!number.parse(value))
        return value;
    bytes.resize(0);
    number.appendFixed(shift, decimals, minIntegerDigits, decimalPointUtf8_, bytes);
    return bytes;
}

std::string_view ValueFormatter::format(FieldType type, std::string_view value, QString& /*buffer*/,
                                        std::string& bytes) const
{
    // The same cases as for text, on bytes: numbers and dates are ASCII, so
    // anything else is not one and stays as it is.
    switch (type) {
    case FieldType::YesNo:
        return value == "T" ? std::string_view("Yes") : std::string_view("No");
    case FieldType::Indicator:
        return value.empty() ? std::string_view("F") : std::string_view("T");
    case FieldType::Fraction:
        return fixed(value, 2, 5, 1, bytes);
    case FieldType::Amount:
        return fixed(value, 0, 2, 1, bytes);
    case FieldType::Life:
        return fixed(value, 0, 0, 4, bytes);
    case FieldType::Date: {
        int year = 0, month = 0, day = 0;
        if (!ShortDatePattern::parseIsoDate(value, year, month, day))
            return value;
        if (isoDates_)
            return value.substr(0, 10);
        bytes.resize(0);
        datePattern_.append(year, month, day, bytes);
        return bytes;
    }
    case FieldType::Plain:
    case FieldType::TransferPercent:
    case FieldType::Text:
        break;
    }
    return value;
}

QString ValueFormatter::formatted(FieldType type, const QString& value) const
{
    QString buffer;
    return format(type, value, buffer).toString();
}

} // namespace expwiz
