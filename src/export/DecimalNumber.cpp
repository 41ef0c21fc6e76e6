#include "export/DecimalNumber.h"

#include <algorithm>

namespace expwiz {

namespace {
bool isBlank(QChar c) noexcept
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool isDigit(QChar c) noexcept
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}
} // namespace

bool DecimalNumber::parse(QStringView text) noexcept
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;

    negative_ = false;
    if (i < end && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative_ = text[i] == QLatin1Char('-');
        ++i;
    }

    count_ = 0;
    exponent_ = 0;
    int mantissaDigits = 0;
    bool afterPoint = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ++mantissaDigits;
            const char d = static_cast<char>(c.unicode() - '0');
            if (count_ == 0 && d == 0) {
                if (afterPoint)
                    --exponent_;   // a leading zero after the point only scales
                continue;
            }
            if (count_ == kMaxDigits)
                return false;
            digits_[static_cast<size_t>(count_++)] = d;
            if (afterPoint)
                --exponent_;
        } else if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;

    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        int exponent = 0;
        int exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i) {
            exponent = exponent * 10 + (text[i].unicode() - '0');
            if (exponent > kMaxExponent)
                return false;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
        exponent_ += negativeExponent ? -exponent : exponent;
    }
    if (i != end)
        return false;
    if (count_ == 0)
        exponent_ = 0;
    // Values far outside what a database column holds are not numbers here;
    // this also bounds the length of the formatted text.
    return count_ == 0 || (count_ + exponent_ <= kMaxExponent && count_ + exponent_ >= -kMaxExponent);
}

void DecimalNumber::appendFixed(int shift, int decimals, int minIntegerDigits,
                                QStringView decimalPoint, QString& out) const
{
    // n = round(value × 10^(shift + decimals)) as decimal digits.
    std::array<char, kMaxDigits + kMaxExponent + 32> n;   // only [0, len) is read
    int len = 0;
    if (count_ > 0) {
        const int k = exponent_ + shift + decimals;
        if (k >= 0) {
            std::copy_n(digits_.begin(), count_, n.begin());
            std::fill_n(n.begin() + count_, k, char(0));
            len = count_ + k;
        } else {
            const int drop = -k;
            if (drop < count_) {
                len = count_ - drop;
                std::copy_n(digits_.begin(), len, n.begin() + 1);
                n[0] = 0;
                if (digits_[static_cast<size_t>(len)] >= 5) {
                    int at = len;
                    while (n[static_cast<size_t>(at)] == 9)
                        n[static_cast<size_t>(at--)] = 0;
                    ++n[static_cast<size_t>(at)];
                }
                ++len;   // n[0] holds a possible carry
            } else if (drop == count_ && digits_[0] >= 5) {
                n[0] = 1;
                len = 1;
            }
        }
    }
    int first = 0;
    while (first < len && n[static_cast<size_t>(first)] == 0)
        ++first;
    const int significant = len - first;

    // Composed locally and appended once: one call into the string per value.
    std::array<char16_t, kMaxDigits + kMaxExponent + 64> text;
    size_t at = 0;
    auto put = [&](char16_t c) {
        if (at < text.size())
            text[at++] = c;
    };
    if (negative_ && significant > 0)
        put(u'-');
    const int integerDigits = std::max(significant - decimals, 0);
    for (int pad = integerDigits; pad < minIntegerDigits; ++pad)
        put(u'0');
    for (int j = 0; j < integerDigits; ++j)
        put(char16_t(u'0' + n[static_cast<size_t>(first + j)]));
    if (decimals > 0) {
        for (const QChar c : decimalPoint)
            put(c.unicode());
        for (int pad = significant; pad < decimals; ++pad)
            put(u'0');
        for (int j = std::max(significant - decimals, 0); j < significant; ++j)
            put(char16_t(u'0' + n[static_cast<size_t>(first + j)]));
    }
    out.append(QStringView(text.data(), qsizetype(at)));
}

} // namespace expwiz
