#include "export/ValueFormatter.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using expwiz::FieldType;
using expwiz::ValueFormatter;

namespace {
struct Case {
    FieldType type;
    const char* value;
    const char* expected;
};

void expectAll(const ValueFormatter& f, std::initializer_list<Case> cases)
{
    QString buffer;
    for (const Case& c : cases) {
        const QString value = QString::fromUtf8(c.value);
        SCOPED_TRACE(QStringLiteral("type %1, value [%2]").arg(int(c.type)).arg(value).toStdString());
        EXPECT_EQ(f.format(c.type, value, buffer).toString(), QString::fromUtf8(c.expected));
        // The byte path gives the same text as UTF-8.
        std::string bytes;
        EXPECT_EQ(f.format(c.type, std::string_view(c.value), buffer, bytes), std::string_view(c.expected));
    }
}
} // namespace

TEST(Format, EachTypeCodeInTheCAndUsLocales)
{
    for (const char* name : {"C", "en_US"}) {
        SCOPED_TRACE(name);
        const ValueFormatter f{QLocale(QString::fromLatin1(name))};
        expectAll(f, {
            {FieldType::Fraction, "0.075", "7.50000"},
            {FieldType::Fraction, "1", "100.00000"},
            {FieldType::Fraction, "-0.5", "-50.00000"},
            {FieldType::Fraction, "", ""},
            {FieldType::Fraction, "n/a", "n/a"},
            {FieldType::Amount, "1234.5", "1234.50"},
            {FieldType::Amount, "7", "7.00"},
            {FieldType::Amount, "-1234.567", "-1234.57"},
            {FieldType::Amount, "123456789012.3", "123456789012.30"},
            {FieldType::Amount, "1.0e-05", "0.00"},
            {FieldType::Amount, "2.5E+3", "2500.00"},
            {FieldType::Amount, "  12 ", "12.00"},
            {FieldType::Amount, "+3", "3.00"},
            {FieldType::Amount, "", ""},
            {FieldType::YesNo, "T", "Yes"},
            {FieldType::YesNo, "F", "No"},
            {FieldType::YesNo, "", "No"},
            {FieldType::YesNo, "t", "No"},
            {FieldType::Indicator, "Y", "T"},
            {FieldType::Indicator, " ", "T"},
            {FieldType::Indicator, "", "F"},
            {FieldType::Life, "507", "0507"},
            {FieldType::Life, "12345", "12345"},
            {FieldType::Life, "0", "0000"},
            {FieldType::Life, "-3", "-0003"},
            {FieldType::Life, "", ""},
            {FieldType::Plain, "0.075", "0.075"},
            {FieldType::TransferPercent, "0.5", "0.5"},
            {FieldType::Text, " a,b\"c ", " a,b\"c "},
            {FieldType::Date, "", ""},
        });
    }
    expectAll(ValueFormatter(QLocale(QStringLiteral("en_US"))), {
        {FieldType::Date, "2024-03-07", "3/7/2024"},
        {FieldType::Date, "1925-12-31 13:45:00", "12/31/1925"},
        {FieldType::Date, "2024-03-07T08:00:00.250Z", "3/7/2024"},
        {FieldType::Date, "2024-03-07T08:00+01:00", "3/7/2024"},
    });
    expectAll(ValueFormatter(QLocale::c()), {{FieldType::Date, "2024-03-07", "7 Mar 2024"}});
}

TEST(Format, GermanLocaleWritesADecimalCommaAndItsOwnShortDate)
{
    const ValueFormatter f{QLocale(QStringLiteral("de_DE"))};
    expectAll(f, {
        {FieldType::Fraction, "0.075", "7,50000"},
        {FieldType::Amount, "1234.5", "1234,50"},
        {FieldType::Amount, "-0.75", "-0,75"},
        {FieldType::Amount, "1234,5", "1234,5"},   // the host's own text uses "." only
        {FieldType::Life, "507", "0507"},
        {FieldType::Date, "2024-03-07", "07.03.2024"},
        {FieldType::YesNo, "T", "Yes"},
    });
}

TEST(Format, RoundingWorksOnTheDecimalDigitsAndAHalfGoesAwayFromZero)
{
    const ValueFormatter f{QLocale::c()};
    expectAll(f, {
        {FieldType::Amount, "2.675", "2.68"},     // binary 2.67499... would give 2.67
        {FieldType::Amount, "0.125", "0.13"},
        {FieldType::Amount, "-0.125", "-0.13"},
        {FieldType::Amount, "1.005", "1.01"},
        {FieldType::Amount, "9.995", "10.00"},
        {FieldType::Amount, "999.9999", "1000.00"},
        {FieldType::Amount, "0.004", "0.00"},
        {FieldType::Amount, "-0.001", "0.00"},    // no "-0.00"
        {FieldType::Amount, "0.005", "0.01"},
        {FieldType::Amount, "000123.40", "123.40"},
        {FieldType::Life, "2.5", "0003"},
        {FieldType::Life, "9999.5", "10000"},
        {FieldType::Life, "0.4", "0000"},
        {FieldType::Fraction, "0.0000005", "0.00005"},
        {FieldType::Fraction, "0.00000049", "0.00005"},
        {FieldType::Fraction, "0.00000004", "0.00000"},
        {FieldType::Fraction, "12.3456789", "1234.56789"},
    });
}

TEST(Format, TextsThatAreNotNumbersOrDatesStayUnchanged)
{
    const ValueFormatter f{QLocale::c()};
    for (const char* text : {"1,234.5", "12 34", "1e", "1e+", ".", "-", "+", "inf", "nan", "0x10", "&H10",
                             "1.2.3", "12abc", "$12", "1e999", "D100"}) {
        SCOPED_TRACE(text);
        for (FieldType t : {FieldType::Fraction, FieldType::Amount, FieldType::Life})
            EXPECT_EQ(f.formatted(t, QString::fromLatin1(text)), QString::fromLatin1(text));
    }
    for (const char* text : {"2023-02-29", "2024-13-01", "2024-00-10", "0000-01-01", "2024-3-7", "07/03/2024",
                             "2024-03-07x", "2024-03-07 25:00", "2024-03-07T10:00:00+5", "20240307"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(f.formatted(FieldType::Date, QString::fromLatin1(text)), QString::fromLatin1(text));
    }
    EXPECT_EQ(f.formatted(FieldType::Date, "2024-02-29"), "29 Feb 2024");
}

TEST(Format, ShortDatesMatchTheLocalesOwnRenderingWithAFourDigitYear)
{
    {
        SCOPED_TRACE("two-digit years are widened so no date loses its century");
        EXPECT_EQ(ValueFormatter(QLocale(QStringLiteral("en_US"))).datePattern().pattern(), "M/d/yyyy");
        EXPECT_EQ(ValueFormatter(QLocale(QStringLiteral("de_DE"))).datePattern().pattern(), "dd.MM.yyyy");
        EXPECT_EQ(ValueFormatter(QLocale(QStringLiteral("sv_SE"))).datePattern().pattern(), "yyyy-MM-dd");
    }
    const QDate dates[] = {QDate(2024, 3, 7), QDate(1925, 12, 31), QDate(2000, 1, 1), QDate(9999, 12, 31),
                           QDate(1, 1, 1), QDate(2024, 10, 15)};
    for (const char* name : {"C", "en_US", "en_GB", "de_DE", "fr_FR", "sv_SE", "ja_JP", "ru_RU", "pl_PL", "hu_HU",
                             "ko_KR", "nl_NL", "pt_BR", "es_ES", "fi_FI", "cs_CZ", "it_IT", "zh_CN", "tr_TR",
                             "da_DK", "nb_NO", "el_GR", "he_IL", "vi_VN", "en_ZA"}) {
        const QLocale locale{QString::fromLatin1(name)};
        const ValueFormatter f{locale};
        for (const QDate& d : dates) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(name), d.toString(Qt::ISODate)).toStdString());
            EXPECT_EQ(f.formatted(FieldType::Date, d.toString(Qt::ISODate)),
                      locale.toString(d, f.datePattern().pattern()));
        }
    }
}

TEST(Format, RandomNumbersAgreeWithDecimalArithmeticRoundingHalfUp)
{
    // Python's decimal module is the reference: exact decimal scaling and
    // ROUND_HALF_UP (a half away from zero), no "-0".
    QRandomGenerator random(20240307);
    QStringList values;
    for (int i = 0; i < 3000; ++i) {
        QString v;
        if (random.bounded(3) == 0)
            v += QLatin1Char('-');
        const int intDigits = random.bounded(13);
        for (int d = 0; d < intDigits; ++d)
            v += QLatin1Char(char('0' + random.bounded(10)));
        const int fracDigits = random.bounded(11);
        if (fracDigits > 0 || intDigits == 0) {
            v += QLatin1Char('.');
            for (int d = 0; d < std::max(fracDigits, 1); ++d)
                v += QLatin1Char(char('0' + (random.bounded(4) == 0 ? 5 : random.bounded(10))));
        }
        if (random.bounded(5) == 0)
            v += QStringLiteral("e%1%2").arg(random.bounded(2) ? "-" : "+").arg(random.bounded(15));
        values << v;
    }
    QTemporaryDir dir;
    QFile input(dir.filePath("values.txt"));
    ASSERT_TRUE(input.open(QIODevice::WriteOnly));
    input.write(values.join(QLatin1Char('\n')).toLatin1());
    input.close();

    QProcess python;
    python.start("python3", {"-c",
                             "import sys\n"
                             "from decimal import Decimal, ROUND_HALF_UP, getcontext\n"
                             "getcontext().prec = 200\n"
                             "def fmt(v, shift, places, minint):\n"
                             "    q = Decimal(v).scaleb(shift).quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_UP)\n"
                             "    s = format(q.copy_abs(), 'f')\n"
                             "    i, _, f = s.partition('.')\n"
                             "    i = i.rjust(minint, '0')\n"
                             "    return ('-' if q < 0 else '') + i + ((',' + f) if places else '')\n"
                             "for v in open(sys.argv[1]).read().split('\\n'):\n"
                             "    print(fmt(v, 0, 2, 1), fmt(v, 2, 5, 1), fmt(v, 0, 0, 4))\n",
                             input.fileName()});
    ASSERT_TRUE(python.waitForFinished(60000));
    const QStringList expected = QString::fromLatin1(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(expected.size(), values.size());

    const ValueFormatter f{QLocale(QStringLiteral("de_DE"))};
    for (int i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        const QString got = f.formatted(FieldType::Amount, values[i]) + ' ' + f.formatted(FieldType::Fraction, values[i])
            + ' ' + f.formatted(FieldType::Life, values[i]);
        ASSERT_EQ(got, expected[i]);
    }
}
