#include "export/ShortDatePattern.h"

#include <QDate>

namespace expwiz {

namespace {

void appendNumber(int value, int minDigits, QString& out)
{
    char16_t buf[16];
    int n = 16;
    do {
        buf[--n] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0 && n > 0);
    while (16 - n < minDigits && n > 0)
        buf[--n] = u'0';
    out.append(QStringView(buf + n, 16 - n));
}

bool digits(QStringView text, qsizetype at, int count, int& value) noexcept
{
    if (at + count > text.size())
        return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[at + i].unicode();
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// HH:MM[:SS[.fraction]][Z|+HH:MM|-HH:MM] from `at` to the end.
bool isTime(QStringView text, qsizetype at) noexcept
{
    int h = 0, m = 0, s = 0;
    if (!digits(text, at, 2, h) || at + 2 >= text.size() || text[at + 2] != QLatin1Char(':')
        || !digits(text, at + 3, 2, m) || h > 23 || m > 59)
        return false;
    at += 5;
    if (at < text.size() && text[at] == QLatin1Char(':')) {
        if (!digits(text, at + 1, 2, s) || s > 59)
            return false;
        at += 3;
        if (at < text.size() && text[at] == QLatin1Char('.')) {
            ++at;
            const qsizetype start = at;
            while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128)
                ++at;
            if (at == start)
                return false;
        }
    }
    if (at == text.size())
        return true;
    if (text[at] == QLatin1Char('Z'))
        return at + 1 == text.size();
    if (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-')) {
        int oh = 0, om = 0;
        return at + 6 == text.size() && digits(text, at + 1, 2, oh) && text[at + 3] == QLatin1Char(':')
            && digits(text, at + 4, 2, om) && oh <= 23 && om <= 59;
    }
    return false;
}

} // namespace

ShortDatePattern::ShortDatePattern(const QLocale& locale)
{
    for (int m = 1; m <= 12; ++m) {
        monthShort_ << locale.monthName(m, QLocale::ShortFormat);
        monthLong_ << locale.monthName(m, QLocale::LongFormat);
    }
    for (int d = 1; d <= 7; ++d) {
        dayShort_ << locale.dayName(d, QLocale::ShortFormat);
        dayLong_ << locale.dayName(d, QLocale::LongFormat);
    }
    compile(locale.dateFormat(QLocale::ShortFormat));
}

void ShortDatePattern::compile(const QString& format)
{
    auto literal = [this](QStringView text) {
        if (tokens_.empty() || tokens_.back().kind != Kind::Literal)
            tokens_.push_back({Kind::Literal, QString()});
        tokens_.back().literal += text;
    };
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text is literal; '' is a quote, inside quotes or not.
            qsizetype j = i + 1;
            if (j < n && format[j] == QLatin1Char('\'')) {
                literal(u"'");
                pattern_ += QStringLiteral("''");
                i = j + 1;
                continue;
            }
            QString text;
            for (; j < n; ++j) {
                if (format[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && format[j + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        ++j;
                        continue;
                    }
                    break;
                }
                text += format[j];
            }
            literal(text);
            pattern_ += format.mid(i, std::min(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && format[i + run] == c)
            ++run;
        if (c == QLatin1Char('d')) {
            const Kind kinds[] = {Kind::Day, Kind::Day2, Kind::DayShortName, Kind::DayLongName};
            tokens_.push_back({kinds[std::min<qsizetype>(run, 4) - 1], QString()});
            pattern_ += QString(std::min<qsizetype>(run, 4), c);
        } else if (c == QLatin1Char('M')) {
            const Kind kinds[] = {Kind::Month, Kind::Month2, Kind::MonthShortName, Kind::MonthLongName};
            tokens_.push_back({kinds[std::min<qsizetype>(run, 4) - 1], QString()});
            pattern_ += QString(std::min<qsizetype>(run, 4), c);
        } else if (c == QLatin1Char('y')) {
            tokens_.push_back({Kind::Year4, QString()});
            pattern_ += QStringLiteral("yyyy");
        } else {
            literal(QStringView(format).mid(i, run));
            pattern_ += format.mid(i, run);
        }
        i += run;
    }
}

void ShortDatePattern::append(int year, int month, int day, QString& out) const
{
    for (const Token& t : tokens_) {
        switch (t.kind) {
        case Kind::Literal:
            out += t.literal;
            break;
        case Kind::Day:
            appendNumber(day, 1, out);
            break;
        case Kind::Day2:
            appendNumber(day, 2, out);
            break;
        case Kind::DayShortName:
            out += dayShort_[QDate(year, month, day).dayOfWeek() - 1];
            break;
        case Kind::DayLongName:
            out += dayLong_[QDate(year, month, day).dayOfWeek() - 1];
            break;
        case Kind::Month:
            appendNumber(month, 1, out);
            break;
        case Kind::Month2:
            appendNumber(month, 2, out);
            break;
        case Kind::MonthShortName:
            out += monthShort_[month - 1];
            break;
        case Kind::MonthLongName:
            out += monthLong_[month - 1];
            break;
        case Kind::Year4:
            appendNumber(year, 4, out);
            break;
        }
    }
}

bool ShortDatePattern::parseIsoDate(QStringView text, int& year, int& month, int& day) noexcept
{
    if (text.size() < 10 || !digits(text, 0, 4, year) || text[4] != QLatin1Char('-')
        || !digits(text, 5, 2, month) || text[7] != QLatin1Char('-') || !digits(text, 8, 2, day))
        return false;
    if (year < 1 || !QDate::isValid(year, month, day))
        return false;
    if (text.size() == 10)
        return true;
    const QChar separator = text[10];
    return (separator == QLatin1Char('T') || separator == QLatin1Char(' ')) && isTime(text, 11);
}

} // namespace expwiz
