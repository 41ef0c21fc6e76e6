#include "Commands.h"

#include "catalog/Edition.h"
#include "catalog/FieldCatalog.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <algorithm>

int runFieldsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("List the exportable fields of an edition."));
    parser.addHelpOption();
    const QCommandLineOption edition(QStringLiteral("edition"), QStringLiteral("Edition code (default 1)."),
                                     QStringLiteral("CODE"), QStringLiteral("1"));
    const QCommandLineOption inventory(QStringLiteral("inventory"), QStringLiteral("Count the inventory fields in."));
    const QCommandLineOption category(QStringLiteral("category"), QStringLiteral("Only the fields of this category."),
                                      QStringLiteral("NAME"));
    parser.addOptions({edition, inventory, category});
    if (!parser.parse(arguments)) {
        printError(QStringLiteral("fields: ") + parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
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
        out << id << '\t' << catalog.displayLabel(id, e.isGASB) << '\t' << entry.typeCode << '\t'
            << entry.columnExpression() << '\t' << in.join(QStringLiteral("; ")) << '\n';
    }
    return 0;
}
