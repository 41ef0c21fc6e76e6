#include "export/ValueFormatter.h"

#include "export/DecimalNumber.h"

namespace expwiz {

ValueFormatter::ValueFormatter(const QLocale& locale, bool isoDates)
    : decimalPoint_(locale.decimalPoint()), datePattern_(locale), isoDates_(isoDates)
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

namespace {
// UTF-16 to UTF-8 for the few formatted texts that are not ASCII (a
// locale's decimal separator or month names).
void appendUtf8(QStringView text, std::string& out)
{
    const QByteArray bytes = text.toUtf8();
    out.append(bytes.constData(), static_cast<size_t>(bytes.size()));
}
} // namespace

std::string_view ValueFormatter::format(FieldType type, std::string_view value, QString& buffer,
                                        std::string& bytes) const
{
    switch (type) {
    case FieldType::YesNo:
        return value == "T" ? std::string_view("Yes") : std::string_view("No");
    case FieldType::Indicator:
        return value.empty() ? std::string_view("F") : std::string_view("T");
    case FieldType::Plain:
    case FieldType::TransferPercent:
    case FieldType::Text:
        return value;
    case FieldType::Fraction:
    case FieldType::Amount:
    case FieldType::Date:
    case FieldType::Life:
        break;
    }
    // Numbers and dates are short ASCII texts: widened on the stack, they
    // go through the one text formatter.
    char16_t wide[64];
    QString wideText;
    QStringView view;
    bool ascii = value.size() <= std::size(wide);
    for (size_t i = 0; ascii && i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        ascii = c < 0x80;
        wide[i] = c;
    }
    if (ascii) {
        view = QStringView(wide, static_cast<qsizetype>(value.size()));
    } else {
        wideText = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
        view = wideText;
    }
    const QStringView result = format(type, view, buffer);
    if (result.data() == view.data() && result.size() == view.size())
        return value;
    bytes.resize(static_cast<size_t>(result.size()));
    for (qsizetype i = 0; i < result.size(); ++i) {
        const char16_t c = result[i].unicode();
        if (c >= 0x80) {
            bytes.resize(0);
            appendUtf8(result, bytes);
            break;
        }
        bytes[static_cast<size_t>(i)] = static_cast<char>(c);
    }
    return bytes;
}

QString ValueFormatter::formatted(FieldType type, const QString& value) const
{
    QString buffer;
    return format(type, value, buffer).toString();
}

} // namespace expwiz
