#include "TestFiles.h"

#include "export/ValueFormatter.h"

#include <QDate>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <array>

using namespace expwiz;
using enum FieldType;

namespace {
struct Case { FieldType type; const char* value; const char* expected; };

// Each case through the text and the byte path (the same text as UTF-8).
void expectAll(const ValueFormatter& f, const std::vector<Case>& cases)
{
    QString buffer;
    std::string bytes;
    for (const Case& c : cases) {
        const QString value = QString::fromUtf8(c.value);
        SCOPED_TRACE(QStringLiteral("type %1, value [%2]").arg(int(c.type)).arg(value).toStdString());
        EXPECT_EQ(f.format(c.type, value, buffer).toString(), QString::fromUtf8(c.expected));
        EXPECT_EQ(f.format(c.type, std::string_view(c.value), buffer, bytes), std::string_view(c.expected));
    }
}

ValueFormatter in(const char* locale, bool isoDates = false)
{
    return ValueFormatter(QLocale(QString::fromLatin1(locale)), isoDates);
}
} // namespace

TEST(Format, EachTypeCodeInItsLocaleRoundingHalfAwayFromZeroFourDigitYearsAndOtherTextsUnchanged)
{
    for (const char* name : {"C", "en_US"}) {
        SCOPED_TRACE(name);
        expectAll(in(name), {
            {Fraction, "0.075", "7.50000"}, {Fraction, "1", "100.00000"}, {Fraction, "-0.5", "-50.00000"},
            {Fraction, "", ""}, {Fraction, "n/a", "n/a"},
            {Amount, "1234.5", "1234.50"}, {Amount, "7", "7.00"}, {Amount, "-1234.567", "-1234.57"},
            {Amount, "123456789012.3", "123456789012.30"}, {Amount, "1.0e-05", "0.00"}, {Amount, "2.5E+3", "2500.00"},
            {Amount, "  12 ", "12.00"}, {Amount, "+3", "3.00"}, {Amount, "", ""},
            {YesNo, "T", "Yes"}, {YesNo, "F", "No"}, {YesNo, "", "No"}, {YesNo, "t", "No"},
            {Indicator, "Y", "T"}, {Indicator, " ", "T"}, {Indicator, "", "F"},
            {Life, "507", "0507"}, {Life, "12345", "12345"}, {Life, "0", "0000"}, {Life, "-3", "-0003"}, {Life, "", ""},
            {Plain, "0.075", "0.075"}, {TransferPercent, "0.5", "0.5"}, {Text, " a,b\"c ", " a,b\"c "}, {Date, "", ""},
        });
    }
    expectAll(in("en_US"), {{Date, "2024-03-07", "3/7/2024"}, {Date, "1925-12-31 13:45:00", "12/31/1925"},
                            {Date, "2024-03-07T08:00:00.250Z", "3/7/2024"}, {Date, "2024-03-07T08:00+01:00", "3/7/2024"},
                            {Date, "2024-03-07 23:59:59", "3/7/2024"}, {Date, "2024-03-07T08:00-23:59", "3/7/2024"}});
    expectAll(in("C", true), {{Date, "1925-12-31 13:45:00", "1925-12-31"}, {Amount, "7", "7.00"}});
    expectAll(in("bg_BG"), {{Date, "2024-03-07", "7.03.2024 \u0433."}});
    // More of de_DE in ExportRunTest's byte-exact file; the host's own text uses "." only.
    expectAll(in("de_DE"), {{Amount, "-0.75", "-0,75"}, {Amount, "1234,5", "1234,5"}});
    expectAll(in("C"), {
        {Date, "2024-03-07", "7 Mar 2024"}, {Date, "2024-02-29", "29 Feb 2024"},
        {Amount, "2.675", "2.68"},   // binary 2.67499... would give 2.67
        {Amount, "0.125", "0.13"}, {Amount, "-0.125", "-0.13"}, {Amount, "1.005", "1.01"}, {Amount, "9.995", "10.00"},
        {Amount, "999.9999", "1000.00"}, {Amount, "0.004", "0.00"}, {Amount, "0.005", "0.01"},
        {Amount, "-0.001", "0.00"},   // no "-0.00"
        {Amount, "000123.40", "123.40"}, {Life, "2.5", "0003"}, {Life, "9999.5", "10000"}, {Life, "0.4", "0000"},
        {Amount, "44108.79", "44108.79"}, {Amount, "-0.00", "0.00"}, {Amount, "0.5", "0.50"}, {Amount, "7.", "7.00"},
        {Amount, "-585.7", "-585.70"}, {Life, "7.", "0007"}, {Life, "-0", "0000"}, {Life, "00507", "0507"},
        {Fraction, "0.0000005", "0.00005"}, {Fraction, "0.00000049", "0.00005"}, {Fraction, "0.00000004", "0.00000"},
        {Fraction, "12.3456789", "1234.56789"},
    });
    // Two-digit years are widened so no date loses its century.
    for (const auto& [locale, pattern] : {std::pair{"en_US", "M/d/yyyy"}, std::pair{"de_DE", "dd.MM.yyyy"},
                                          std::pair{"sv_SE", "yyyy-MM-dd"}, std::pair{"bg_BG", "d.MM.yyyy '\u0433'."}})
        EXPECT_EQ(in(locale).datePattern().pattern(), QString::fromUtf8(pattern));
    const QDate dates[] = {QDate(2024, 3, 7), QDate(1925, 12, 31), QDate(2000, 1, 1), QDate(9999, 12, 31),
                           QDate(1, 1, 1), QDate(2024, 10, 15)};
    for (const char* name : {"C", "en_US", "en_GB", "de_DE", "fr_FR", "sv_SE", "ja_JP", "ru_RU", "pl_PL", "hu_HU",
                             "ko_KR", "nl_NL", "pt_BR", "es_ES", "fi_FI", "cs_CZ", "it_IT", "zh_CN", "tr_TR",
                             "da_DK", "nb_NO", "el_GR", "he_IL", "vi_VN", "en_ZA", "bg_BG"}) {
        const ValueFormatter f = in(name);
        for (const QDate& d : dates) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(name), d.toString(Qt::ISODate)).toStdString());
            EXPECT_EQ(f.formatted(Date, d.toString(Qt::ISODate)), QLocale(name).toString(d, f.datePattern().pattern()));
        }
    }
    SCOPED_TRACE("texts that are not numbers or dates stay unchanged");
    std::vector<Case> cases;
    for (const char* text : {"1,234.5", "12 34", "1e", "1e+", ".", "-", "+", "inf", "nan", "0x10", "&H10", "1.2.3",
                             "12abc", "$12", "1e999", "D100", "M\u00fcller"})
        for (FieldType t : {Fraction, Amount, Life})
            cases.push_back({t, text, text});
    for (const char* text : {"2023-02-29", "2024-13-01", "2024-00-10", "0000-01-01", "2024-3-7", "07/03/2024",
                             "2024-03-07x", "2024-03-07 25:00", "2024-03-07 10:60", "2024-03-07T10:00:60",
                             "2024-03-07 10:00:00.", "2024-03-07 10:00Z ", "2024-03-07T10:00+24:00",
                             "2024-03-07T10:00+05:60", "2024-03-07T10:00:00+5", "2024-03-07T10", "2024-03-07 10:0",
                             "2024-03-07 10:00:5", "2024-03-07 10:00x", "20240307"})
        cases.push_back({Date, text, text});
    expectAll(in("C"), cases);
}

TEST(Format, RandomNumbersAgreeWithDecimalArithmeticRoundingHalfUp)
{
    // Python's decimal is the reference: exact scaling, ROUND_HALF_UP (halves away from 0), no -0.
    QRandomGenerator random(20240307);
    const auto digits = [&](int n, bool fives) {
        QString s;
        for (int d = 0; d < n; ++d)
            s += QLatin1Char(char('0' + (fives && random.bounded(4) == 0 ? 5 : random.bounded(10))));
        return s;
    };
    QStringList values;
    for (int i = 0; i < 3000; ++i) {
        const int intDigits = random.bounded(13), fracDigits = random.bounded(11);
        QString v = (random.bounded(3) == 0 ? "-" : "") + digits(intDigits, false);
        if (fracDigits > 0 || intDigits == 0)
            v += '.' + digits(std::max(fracDigits, 1), true);
        if (random.bounded(5) == 0)
            v += QStringLiteral("e%1%2").arg(random.bounded(2) ? "-" : "+").arg(random.bounded(15));
        values << v;
    }
    const QStringList expected = QVariant(testfiles::python(
        "import json,sys\n"
        "from decimal import Decimal, ROUND_HALF_UP, getcontext\n"
        "getcontext().prec = 200\n"
        "def fmt(v, shift, places, minint):\n"
        "    q = Decimal(v).scaleb(shift).quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_UP)\n"
        "    i, _, f = format(q.copy_abs(), 'f').partition('.')\n"
        "    return ('-' if q < 0 else '') + i.rjust(minint, '0') + ((',' + f) if places else '')\n"
        "print(json.dumps([t for v in sys.argv[1:]\n"
        "    for t in (fmt(v, 0, 2, 1), fmt(v, 2, 5, 1), fmt(v, 0, 0, 4))]))\n",
        values).toVariantList()).toStringList();
    ASSERT_EQ(expected.size(), 3 * values.size());
    std::vector<QByteArray> texts;   // what the cases point into
    std::vector<Case> cases;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        texts.push_back(values[i / 3].toUtf8());
        texts.push_back(expected[i].toUtf8());
        cases.push_back({std::array{Amount, Fraction, Life}[i % 3], texts.end()[-2].constData(),
                         texts.back().constData()});
    }
    expectAll(in("de_DE"), cases);
}
