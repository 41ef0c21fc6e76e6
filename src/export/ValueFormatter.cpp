#include "export/ValueFormatter.h"

#include "export/DecimalNumber.h"

#include <algorithm>

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
    if (shift == 0) {
        // Most of the host's numbers ("44108.79", "585.7", "507") need
        // neither rounding nor a sign rule: their digits are written as they
        // are, padded, and only the others are taken apart.
        const char* p = value.data();
        const char* const end = p + value.size();
        const bool negative = p < end && *p == '-';
        p += negative ? 1 : 0;
        const char* const integer = p;
        bool nonZero = false;
        for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p)
            nonZero |= *p != '0';
        const auto integerDigits = static_cast<int>(p - integer);
        const bool point = p < end && *p == '.';
        const char* const fraction = p + (point ? 1 : 0);
        for (p = fraction; p < end && static_cast<unsigned>(*p - '0') < 10; ++p)
            nonZero |= *p != '0';
        const auto fractionDigits = static_cast<int>(p - fraction);
        if (p == end && integerDigits > 0 && (integerDigits == 1 || *integer != '0')
            && integerDigits + fractionDigits <= 64 && fractionDigits <= decimals && (nonZero || !negative)) {
            if (point == (decimals > 0) && fractionDigits == decimals && integerDigits >= minIntegerDigits
                && (decimals == 0 || decimalPointUtf8_ == "."))
                return value;
            bytes.resize(0);
            if (negative)
                bytes += '-';
            bytes.append(static_cast<size_t>(std::max(minIntegerDigits - integerDigits, 0)), '0');
            bytes.append(integer, static_cast<size_t>(integerDigits));
            if (decimals > 0) {
                bytes += decimalPointUtf8_;
                bytes.append(fraction, static_cast<size_t>(fractionDigits));
                bytes.append(static_cast<size_t>(decimals - fractionDigits), '0');
            }
            return bytes;
        }
    }
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
