#include "export/ShortDatePattern.h"

#include <QDate>

#include <type_traits>

namespace expwiz {

namespace {

template <class Char>
unsigned unit(Char c) noexcept
{
    return static_cast<std::make_unsigned_t<Char>>(c);
}

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

void appendNumber(int value, int minDigits, std::string& out)
{
    char buf[16];
    int n = 16;
    do {
        buf[--n] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && n > 0);
    while (16 - n < minDigits && n > 0)
        buf[--n] = '0';
    out.append(buf + n, size_t(16 - n));
}

void appendText(const QString& text, QString& out)
{
    out += text;
}

void appendText(const std::string& text, std::string& out)
{
    out += text;
}

template <class Char>
bool digits(const Char* text, qsizetype size, qsizetype at, int count, int& value) noexcept
{
    if (at + count > size)
        return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned c = unit(text[at + i]);
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + int(c - '0');
    }
    return true;
}

// HH:MM[:SS[.fraction]][Z|+HH:MM|-HH:MM] from `at` to the end.
template <class Char>
bool isTime(const Char* text, qsizetype size, qsizetype at) noexcept
{
    int h = 0, m = 0, s = 0;
    if (!digits(text, size, at, 2, h) || at + 2 >= size || unit(text[at + 2]) != ':'
        || !digits(text, size, at + 3, 2, m) || h > 23 || m > 59)
        return false;
    at += 5;
    if (at < size && unit(text[at]) == ':') {
        if (!digits(text, size, at + 1, 2, s) || s > 59)
            return false;
        at += 3;
        if (at < size && unit(text[at]) == '.') {
            ++at;
            const qsizetype start = at;
            while (at < size && unit(text[at]) >= '0' && unit(text[at]) <= '9')
                ++at;
            if (at == start)
                return false;
        }
    }
    if (at == size)
        return true;
    if (unit(text[at]) == 'Z')
        return at + 1 == size;
    if (unit(text[at]) == '+' || unit(text[at]) == '-') {
        int oh = 0, om = 0;
        return at + 6 == size && digits(text, size, at + 1, 2, oh) && unit(text[at + 3]) == ':'
            && digits(text, size, at + 4, 2, om) && oh <= 23 && om <= 59;
    }
    return false;
}

template <class Char>
bool parseIso(const Char* text, qsizetype size, int& year, int& month, int& day) noexcept
{
    if (size < 10 || !digits(text, size, 0, 4, year) || unit(text[4]) != '-'
        || !digits(text, size, 5, 2, month) || unit(text[7]) != '-' || !digits(text, size, 8, 2, day))
        return false;
    if (year < 1 || !QDate::isValid(year, month, day))
        return false;
    if (size == 10)
        return true;
    const unsigned separator = unit(text[10]);
    return (separator == 'T' || separator == ' ') && isTime(text, size, 11);
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
    // The same texts in UTF-8, for cells composed as bytes.
    const auto utf8 = [](const QString& text) { return text.toStdString(); };
    for (Token& t : tokens_)
        t.literalUtf8 = utf8(t.literal);
    for (const QString& name : std::as_const(monthShort_))
        utf8_.monthShort.push_back(utf8(name));
    for (const QString& name : std::as_const(monthLong_))
        utf8_.monthLong.push_back(utf8(name));
    for (const QString& name : std::as_const(dayShort_))
        utf8_.dayShort.push_back(utf8(name));
    for (const QString& name : std::as_const(dayLong_))
        utf8_.dayLong.push_back(utf8(name));
}

void ShortDatePattern::compile(const QString& format)
{
    auto literal = [this](QStringView text) {
        if (tokens_.empty() || tokens_.back().kind != Kind::Literal)
            tokens_.push_back({Kind::Literal, QString(), {}});
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
            tokens_.push_back({kinds[std::min<qsizetype>(run, 4) - 1], QString(), {}});
            pattern_ += QString(std::min<qsizetype>(run, 4), c);
        } else if (c == QLatin1Char('M')) {
            const Kind kinds[] = {Kind::Month, Kind::Month2, Kind::MonthShortName, Kind::MonthLongName};
            tokens_.push_back({kinds[std::min<qsizetype>(run, 4) - 1], QString(), {}});
            pattern_ += QString(std::min<qsizetype>(run, 4), c);
        } else if (c == QLatin1Char('y')) {
            tokens_.push_back({Kind::Year4, QString(), {}});
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
    appendTo(year, month, day, out, &Token::literal, monthShort_, monthLong_, dayShort_, dayLong_);
}

void ShortDatePattern::append(int year, int month, int day, std::string& out) const
{
    appendTo(year, month, day, out, &Token::literalUtf8, utf8_.monthShort, utf8_.monthLong, utf8_.dayShort,
             utf8_.dayLong);
}

template <class Out, class Names>
void ShortDatePattern::appendTo(int year, int month, int day, Out& out, Out Token::*literal, const Names& monthShort,
                                const Names& monthLong, const Names& dayShort, const Names& dayLong) const
{
    for (const Token& t : tokens_) {
        switch (t.kind) {
        case Kind::Literal:
            appendText(t.*literal, out);
            break;
        case Kind::Day:
            appendNumber(day, 1, out);
            break;
        case Kind::Day2:
            appendNumber(day, 2, out);
            break;
        case Kind::DayShortName:
            appendText(dayShort[QDate(year, month, day).dayOfWeek() - 1], out);
            break;
        case Kind::DayLongName:
            appendText(dayLong[QDate(year, month, day).dayOfWeek() - 1], out);
            break;
        case Kind::Month:
            appendNumber(month, 1, out);
            break;
        case Kind::Month2:
            appendNumber(month, 2, out);
            break;
        case Kind::MonthShortName:
            appendText(monthShort[month - 1], out);
            break;
        case Kind::MonthLongName:
            appendText(monthLong[month - 1], out);
            break;
        case Kind::Year4:
            appendNumber(year, 4, out);
            break;
        }
    }
}

bool ShortDatePattern::parseIsoDate(QStringView text, int& year, int& month, int& day) noexcept
{
    return parseIso(text.utf16(), text.size(), year, month, day);
}

bool ShortDatePattern::parseIsoDate(std::string_view text, int& year, int& month, int& day) noexcept
{
    return parseIso(text.data(), qsizetype(text.size()), year, month, day);
}

} // namespace expwiz
