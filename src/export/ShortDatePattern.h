#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

namespace expwiz {

// The locale's short date form, compiled once so that writing a date cell
// needs no locale lookup and no format parsing.
//
// A two-digit year in the locale's pattern is widened to four digits: the
// common desktop short date forms carry the century (3/7/2024, 07.03.2024),
// and an export that wrote "24" would lose it for every date it holds.
// Digits are always ASCII, as spreadsheet programs read them.
class ShortDatePattern {
public:
    explicit ShortDatePattern(const QLocale& locale);

    // The locale's short date format with the year widened, in QLocale's
    // pattern syntax (for display and comparison).
    const QString& pattern() const { return pattern_; }

    // Appends the date; year, month and day must form a valid date.
    void append(int year, int month, int day, QString& out) const;
    // The same as UTF-8 bytes.
    void append(int year, int month, int day, std::string& out) const;

    // Reads "YYYY-MM-DD", optionally followed by a time
    // ("T" or " ", then HH:MM[:SS[.fraction]] and an optional "Z" or
    // +HH:MM offset). False for anything else or an impossible date.
    static bool parseIsoDate(QStringView text, int& year, int& month, int& day) noexcept;
    static bool parseIsoDate(std::string_view text, int& year, int& month, int& day) noexcept;

private:
    enum class Kind { Literal, Day, Day2, DayShortName, DayLongName, Month, Month2, MonthShortName,
                      MonthLongName, Year4 };
    struct Token {
        Kind kind;
        QString literal;
        std::string literalUtf8;
    };
    void compile(const QString& format);
    template <class Out, class Names>
    void appendTo(int year, int month, int day, Out& out, Out Token::*literal, const Names& monthShort,
                  const Names& monthLong, const Names& dayShort, const Names& dayLong) const;

    std::vector<Token> tokens_;
    QString pattern_;
    QStringList monthShort_, monthLong_, dayShort_, dayLong_;
    struct {
        std::vector<std::string> monthShort, monthLong, dayShort, dayLong;
    } utf8_;
};

} // namespace expwiz
