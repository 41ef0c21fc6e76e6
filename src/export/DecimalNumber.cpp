#include "export/DecimalNumber.h"

#include <algorithm>
#include <type_traits>

namespace expwiz {

namespace {
// One code unit of UTF-16 or UTF-8: every character a number has is ASCII.
template <class Char>
unsigned unit(Char c) noexcept
{
    return static_cast<std::make_unsigned_t<Char>>(c);
}
template <class Char>
bool isBlank(Char c) noexcept
{
    return unit(c) == ' ' || unit(c) == '\t';
}
template <class Char>
bool isDigit(Char c) noexcept
{
    return unit(c) >= '0' && unit(c) <= '9';
}
} // namespace

bool DecimalNumber::parse(QStringView text) noexcept
{
    return parseUnits(text.utf16(), text.size());
}

bool DecimalNumber::parse(std::string_view text) noexcept
{
    return parseUnits(text.data(), static_cast<qsizetype>(text.size()));
}

template <class Char>
bool DecimalNumber::parseUnits(const Char* text, qsizetype size) noexcept
{
    qsizetype i = 0;
    qsizetype end = size;
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;

    negative_ = false;
    if (i < end && (unit(text[i]) == '-' || unit(text[i]) == '+')) {
        negative_ = unit(text[i]) == '-';
        ++i;
    }

    count_ = 0;
    exponent_ = 0;
    int mantissaDigits = 0;
    bool afterPoint = false;
    for (; i < end; ++i) {
        const Char c = text[i];
        if (isDigit(c)) {
            ++mantissaDigits;
            const char d = static_cast<char>(unit(c) - '0');
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
        } else if (unit(c) == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;

    if (i < end && (unit(text[i]) == 'e' || unit(text[i]) == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (unit(text[i]) == '-' || unit(text[i]) == '+')) {
            negativeExponent = unit(text[i]) == '-';
            ++i;
        }
        int exponent = 0;
        int exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i) {
            exponent = exponent * 10 + static_cast<int>(unit(text[i]) - '0');
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
    // Composed locally and appended once: one call into the string per value.
    std::array<char16_t, kMaxText> text;
    const size_t n = composeFixed(shift, decimals, minIntegerDigits,
                                  std::u16string_view(decimalPoint.utf16(), size_t(decimalPoint.size())),
                                  text.data(), text.size());
    out.append(QStringView(text.data(), qsizetype(n)));
}

void DecimalNumber::appendFixed(int shift, int decimals, int minIntegerDigits, std::string_view decimalPoint,
                                std::string& out) const
{
    std::array<char, kMaxText> text;
    out.append(text.data(), composeFixed(shift, decimals, minIntegerDigits, decimalPoint, text.data(), text.size()));
}

template <class Char>
size_t DecimalNumber::composeFixed(int shift, int decimals, int minIntegerDigits,
                                   std::basic_string_view<Char> decimalPoint, Char* text, size_t capacity) const
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

    size_t at = 0;
    auto put = [&](Char c) {
        if (at < capacity)
            text[at++] = c;
    };
    if (negative_ && significant > 0)
        put(Char('-'));
    const int integerDigits = std::max(significant - decimals, 0);
    for (int pad = integerDigits; pad < minIntegerDigits; ++pad)
        put(Char('0'));
    for (int j = 0; j < integerDigits; ++j)
        put(Char('0' + n[static_cast<size_t>(first + j)]));
    if (decimals > 0) {
        for (const Char c : decimalPoint)
            put(c);
        for (int pad = significant; pad < decimals; ++pad)
            put(Char('0'));
        for (int j = std::max(significant - decimals, 0); j < significant; ++j)
            put(Char('0' + n[static_cast<size_t>(first + j)]));
    }
    return at;
}

} // namespace expwiz
