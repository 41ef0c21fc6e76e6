#include "refhost/RealText.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace orvo::refhost {

namespace {
// What the host shows is SQLite's "%!.15g": 15 significant digits without
// trailing zeros, exponent form below 1e-4 and from 1e15 on, and a ".0"
// that marks a whole number as REAL. The digits come from std::to_chars,
// which rounds exactly; the layout follows SQLite's.
constexpr int kDigits = 15;

// A positive value's decimal digits and exponent, as std::to_chars writes
// them in scientific form: the shortest that reads back (precision -1), or
// rounded to 1 + precision digits.
struct Scientific {
    char digits[48];
    int count = 0;
    int exponent = 0;
};

Scientific scientific(double magnitude, int precision)
{
    char buffer[64];   // at most 41 digits, a point and "e-308"
    const char* end = precision < 0
        ? std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific).ptr
        : std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, precision).ptr;
    Scientific s;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            s.digits[s.count++] = *p;
    const bool negativeExponent = p + 1 < end && p[1] == '-';
    for (p += 2; p < end; ++p)
        s.exponent = s.exponent * 10 + (*p - '0');
    if (negativeExponent)
        s.exponent = -s.exponent;
    return s;
}

// Most amounts are a whole number of cents or of millionths. When the value
// is the double nearest to k / 10^places with k below 10^15, that decimal is
// its shortest text (no two decimals of at most 15 digits share a double),
// so k's own digits give it without std::to_chars.
bool fewPlaces(double magnitude, Scientific& s)
{
    constexpr struct {
        double scale;
        int places;
    } kScales[] = {{1e2, 2}, {1e6, 6}};
    for (const auto& [scale, places] : kScales) {
        const double scaled = magnitude * scale;
        if (!(scaled < 1e15))
            return false;
        const auto k = static_cast<int64_t>(scaled + 0.5);
        if (k == 0 || k >= 1'000'000'000'000'000 || static_cast<double>(k) / scale != magnitude)
            continue;
        char reversed[16];
        int n = 0;
        for (int64_t rest = k; rest > 0; rest /= 10)
            reversed[n++] = char('0' + rest % 10);
        for (int i = 0; i < n; ++i)
            s.digits[i] = reversed[n - 1 - i];
        s.count = n;
        s.exponent = n - 1 - places;
        return true;
    }
    return false;
}

} // namespace

void appendRealText(double value, std::string& out)
{
    // Rare values keep SQLite's own text: its words for infinity, its signed
    // zero, and from 1e100 on the digits of its scaling in long double.
    if (!std::isfinite(value) || value == 0.0 || std::fabs(value) >= 1e100) {
        char buffer[64];
        sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", value);
        out += buffer;
        return;
    }
    const double magnitude = std::fabs(value);
    Scientific s;
    if (!fewPlaces(magnitude, s))
        s = scientific(magnitude, -1);
    // The shortest text equals the 15-digit rounding when it is no longer,
    // except for subnormal values, whose neighbours are relatively far apart.
    if (s.count > kDigits || magnitude < std::numeric_limits<double>::min()) {
        // Rounded to 15 digits from 21: exact unless the value lies near half
        // a unit of the 15th digit, where SQLite's own rounding (in long
        // double arithmetic) decides; those rare values are left to it.
        s = scientific(magnitude, 20);
        const std::string_view rest(s.digits + kDigits, 6);
        if (rest >= "499000" && rest <= "501000") {
            char buffer[64];
            sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", value);
            out += buffer;
            return;
        }
        s.count = kDigits;
        if (rest[0] >= '5') {
            int i = kDigits - 1;
            while (i >= 0 && s.digits[i] == '9')
                s.digits[i--] = '0';
            if (i >= 0) {
                ++s.digits[i];
            } else {
                s.digits[0] = '1';
                ++s.exponent;
            }
        }
    }
    const char* digits = s.digits;
    int count = s.count;
    const int exponent = s.exponent;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    const bool negative = value < 0;

    char text[48];
    int at = 0;
    if (negative)
        text[at++] = '-';
    if (exponent < -4 || exponent >= kDigits) {
        text[at++] = digits[0];
        text[at++] = '.';
        if (count == 1)
            text[at++] = '0';
        for (int i = 1; i < count; ++i)
            text[at++] = digits[i];
        text[at++] = 'e';
        text[at++] = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100)
            text[at++] = char('0' + magnitude / 100);
        text[at++] = char('0' + magnitude / 10 % 10);
        text[at++] = char('0' + magnitude % 10);
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            text[at++] = i < count ? digits[i] : '0';
        text[at++] = '.';
        if (count <= exponent + 1)
            text[at++] = '0';
        for (int i = exponent + 1; i < count; ++i)
            text[at++] = digits[i];
    } else {
        text[at++] = '0';
        text[at++] = '.';
        for (int i = -1; i > exponent; --i)
            text[at++] = '0';
        for (int i = 0; i < count; ++i)
            text[at++] = digits[i];
    }
    out.append(text, static_cast<size_t>(at));
}

} // namespace orvo::refhost
