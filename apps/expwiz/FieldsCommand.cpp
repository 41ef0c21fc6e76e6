#include "Commands.h"

#include "catalog/Edition.h"
#include "catalog/FieldCatalog.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <algorithm>
#include <iterator>

namespace {

// How an export writes each type of field, by type code.
struct TypeName {
    const char* name;
    const char* meaning;
};
constexpr TypeName kTypeNames[] = {
    {"number", "ids and plain numbers, as stored"},
    {"percent", "a percentage as stored (50 is 50 %)"},
    {"fraction", "a share stored as a fraction, written x100 with five decimals (0.125 -> 12.50000)"},
    {"amount", "two decimals, no grouping; the decimal point follows --locale"},
    {"yes/no", "Yes or No"},
    {"text", "as stored"},
    {"date", "the --locale short date, or yyyy-MM-dd with --date-format iso"},
    {"life", "years and months as YYMM, at least four digits (0507: 5 years 7 months)"},
    {"flag", "T when the field holds anything, else F"},
};

} // namespace

int runFieldsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("List the exportable fields of an edition."));
    const QCommandLineOption edition(QStringLiteral("edition"), QStringLiteral("Edition code (default 1)."),
                                     QStringLiteral("CODE"), QStringLiteral("1"));
    const QCommandLineOption inventory(QStringLiteral("inventory"), QStringLiteral("Count the inventory fields in."));
    const QCommandLineOption category(QStringLiteral("category"), QStringLiteral("Only the fields of this category."),
                                      QStringLiteral("NAME"));
    parser.addOptions({edition, inventory, category});
    if (const auto done = parseCommandLine(parser, arguments))
        return *done;
    bool ok = false;
    const expwiz::Edition e = expwiz::Edition::fromCode(parser.value(edition).toInt(&ok));
    if (!ok) {
        printError(QStringLiteral("fields: --edition takes a whole number, not '%1'.").arg(parser.value(edition)));
        return 2;
    }
    const bool inv = parser.isSet(inventory) && !e.isLite;
    const QStringList offered = expwiz::FieldCatalog::offeredCategories(e.isLite, inv);
    if (parser.isSet(category) && !offered.contains(parser.value(category))) {
        printError(QStringLiteral("fields: no category \"%1\" in this edition. Categories: %2.")
                       .arg(parser.value(category), offered.join(QStringLiteral(", "))));
        return 2;
    }
    const auto& catalog = expwiz::FieldCatalog::instance();
    QTextStream out(stdout);
    out << "id\tlabel\ttype\tcolumn\tcategories\n";
    const auto typeName = [](const expwiz::FieldCatalogEntry& entry) {
        const auto code = static_cast<size_t>(entry.type);
        return code < std::size(kTypeNames) ? QString::fromLatin1(kTypeNames[code].name) : entry.typeCode;
    };
    for (int32_t id = expwiz::kFirstFieldId; id <= expwiz::kLastFieldId; ++id) {
        QStringList in;
        for (const QString& name : offered) {
            const auto ids = expwiz::FieldCatalog::categoryFieldIds(name, e.isLite, e.isGASB, inv);
            if (std::find(ids.begin(), ids.end(), id) != ids.end())
                in << name;
        }
        if (parser.isSet(category) ? !in.contains(parser.value(category)) : in.isEmpty())
            continue;
        const auto& entry = catalog.entry(id);
        out << id << '\t' << catalog.displayLabel(id, e.isGASB) << '\t' << typeName(entry) << '\t'
            << entry.columnExpression() << '\t' << in.join(QStringLiteral("; ")) << '\n';
    }
    // After a blank line, so a script reading the table stops before it.
    out << "\nTypes:\n";
    for (const TypeName& type : kTypeNames)
        out << "  " << qSetFieldWidth(10) << Qt::left << type.name << qSetFieldWidth(0) << type.meaning << '\n';
    return 0;
}
