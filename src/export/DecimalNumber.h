#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <string_view>

namespace expwiz {

// A number as the host writes it in a value text ("1234.5", "-0.075",
// "1.0e-05", " 7 "), kept as its decimal digits, so that rounding works on
// the digits the user sees rather than on a binary approximation: 2.675 with
// two decimals is 2.68, 0.125 is 0.13. A half is rounded away from zero.
// Lives on the stack; parsing and formatting allocate nothing beyond the
// caller's output buffer.
class DecimalNumber {
public:
    // False, leaving the object unusable, when the text is not a plain decimal
    // number (optional blanks, sign, digits with one ".", optional exponent).
    // Thousands separators, a locale's decimal comma, hex and "inf"/"nan" are
    // not numbers.
    bool parse(QStringView text) noexcept;
    // The same on the host's UTF-8 bytes (a number is ASCII).
    bool parse(std::string_view text) noexcept;

    // Appends value × 10^shift, rounded to `decimals` decimals, with at least
    // `minIntegerDigits` integer digits (zero padded), no grouping, a leading
    // "-" for a negative value that does not round to zero.
    void appendFixed(int shift, int decimals, int minIntegerDigits, QStringView decimalPoint,
                     QString& out) const;
    // The same as UTF-8 bytes, with the decimal point in UTF-8.
    void appendFixed(int shift, int decimals, int minIntegerDigits, std::string_view decimalPoint,
                     std::string& out) const;

private:
    template <class Char>
    bool parseUnits(const Char* text, qsizetype size) noexcept;
    template <class Char>
    size_t composeFixed(int shift, int decimals, int minIntegerDigits, std::basic_string_view<Char> decimalPoint,
                        Char* text, size_t capacity) const;

    static constexpr int kMaxDigits = 120;
    static constexpr int kMaxExponent = 400;
    static constexpr size_t kMaxText = kMaxDigits + kMaxExponent + 64;

    // Significant digits, no leading zeros; only [0, count_) is ever read,
    // so the array is not cleared for every value parsed.
    std::array<char, kMaxDigits> digits_;
    int count_ = 0;                           // 0 means the value is zero
    int exponent_ = 0;                        // value = digits × 10^exponent_
    bool negative_ = false;
};

} // namespace expwiz
