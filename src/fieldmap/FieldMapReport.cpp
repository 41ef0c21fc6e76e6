#include "fieldmap/FieldMapReport.h"

#include "catalog/FieldCatalog.h"

#include <array>

namespace expwiz {

namespace {

// The document exactly as the report is defined; a blank at the end of a
// piece belongs to it.
constexpr std::array<const char*, 23> kTemplatePieces = {
    R"({\rtf1\ansi\deff0\deftab720)",
    R"({\fonttbl)",
    R"({\f0\fswiss MS Sans Serif;})",
    R"({\f1\froman\fcharset2 Symbol;})",
    R"({\f2\fswiss\fprq2 Arial;})",
    R"({\f3\froman Times New Roman;}})",
    R"({\colortbl\red0\green0\blue0;})",
    R"(\deflang1033\pard\plain\f2\fs20 )",
    R"(\par %DATE)",
    R"(\par %TIME)",
    R"(\par \pard\qc\plain\f2\fs28\b %COMPANYNAME\plain\f2\fs20 )",
    R"(\par \plain\f2\fs22\b Export Map File\plain\f2\fs20)",
    R"(\par \pard\plain\f2\fs20 File Name: %FILENAME)",
    R"(\par)",
    R"(\par \plain\f2\fs20\b\ul \tab \tab Column \tab \tab Description)",
    R"(\par \plain\f2\fs20 %FIELDMAPINFO)",
    R"(\par)",
    R"(\par \plain\f2\fs20 \tab \tab %COUNT \tab Total Number of Fields Exported per Asset)",
    R"(\par)",
    R"(\par \plain\f2\fs20\b\ul \tab \tab Map Options)",
    R"(\par \plain\f2\fs20 \tab \tab Retrieve Book Fields from: \tab %BOOKNAME)",
    R"(\par \tab \tab Include a Header Row? \tab \tab %INCLUDEHEADER)",
    R"(\par })",
};

} // namespace

FieldMapReportValues FieldMapReportValues::from(const QString& companyName, const QString& bookName,
                                                bool includeHeader, const QString& mapName,
                                                const std::vector<int32_t>& ids, bool isGASB)
{
    FieldMapReportValues v;
    v.companyName = companyName;
    v.bookName = bookName;
    v.includeHeader = includeHeader ? QStringLiteral("Yes") : QStringLiteral("No");
    v.fieldMapLines = FieldMapReport::reportLines(ids, isGASB);
    v.fileName = mapName.isEmpty() ? QStringLiteral("N/A") : mapName;
    v.totalColumns = QString::number(ids.size());
    return v;
}

QString FieldMapReport::templateText()
{
    QString text;
    for (const char* piece : kTemplatePieces)
        text += QLatin1String(piece);
    return text;
}

QString FieldMapReport::reportLines(const std::vector<int32_t>& ids, bool isGASB)
{
    const FieldCatalog& catalog = FieldCatalog::instance();
    QString lines;
    for (size_t i = 0; i < ids.size(); ++i)
        lines += QLatin1String(R"(\par \tab \tab )") + FieldCatalog::columnName(static_cast<int32_t>(i))
                 + QLatin1String(R"( \tab \tab \tab )") + escape(catalog.displayLabel(ids[i], isGASB));
    return lines;
}

QString FieldMapReport::escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u > 0x7F) {
            out += QLatin1String("\\u") + QString::number(static_cast<int16_t>(u)) + QLatin1Char('?');
        } else {
            out += c;
        }
    }
    return out;
}

QString FieldMapReport::formatDate(const QDate& date, const QLocale& locale)
{
    return locale.monthName(date.month(), QLocale::ShortFormat) + QLatin1Char(' ') + QString::number(date.day())
           + QLatin1String(", ") + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString FieldMapReport::formatTime(const QTime& time, const QLocale& locale)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 ").arg(hour12, 2, 10, QLatin1Char('0')).arg(time.minute(), 2, 10, QLatin1Char('0'))
           + (time.hour() < 12 ? locale.amText() : locale.pmText());
}

QString FieldMapReport::fill(const FieldMapReportValues& values, const QDateTime& now, const QLocale& locale)
{
    struct Placeholder {
        QLatin1String name;
        QString value;
    };
    const std::array<Placeholder, 8> placeholders = {{
        {QLatin1String("%DATE"), escape(formatDate(now.date(), locale))},
        {QLatin1String("%TIME"), escape(formatTime(now.time(), locale))},
        {QLatin1String("%COMPANYNAME"), escape(values.companyName)},
        {QLatin1String("%COUNT"), escape(values.totalColumns)},
        {QLatin1String("%BOOKNAME"), escape(values.bookName)},
        {QLatin1String("%FILENAME"), escape(values.fileName)},
        {QLatin1String("%INCLUDEHEADER"), escape(values.includeHeader)},
        {QLatin1String("%FIELDMAPINFO"), values.fieldMapLines},
    }};

    const QString text = templateText();
    QString out;
    out.reserve(text.size() + values.fieldMapLines.size() + 256);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype percent = text.indexOf(QLatin1Char('%'), i);
        if (percent < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, percent - i);
        i = percent;
        bool replaced = false;
        for (const Placeholder& p : placeholders) {
            if (QStringView(text).mid(i).startsWith(p.name)) {
                out += p.value;
                i += p.name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[i];
            ++i;
        }
    }
    return out;
}

} // namespace expwiz
