#include "Commands.h"

#include "host/OrvoInterfaces.h"
#include "pghost/PgSession.h"
#include "refhost/HostDatabase.h"
#include "refhost/HostDataFolder.h"
#include "refhost/ReferenceHost.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHash>
#include <QTextStream>

namespace {

// The host data folder as one JSON document: names exactly as stored, so
// scripts never parse the listing meant for people.
QJsonObject describeHost(orvo::refhost::ReferenceHost& host)
{
    QJsonArray databases;
    for (const auto& entry : host.Databases()) {
        QJsonObject database{{"name", entry->Name()}};
        auto opened = host.OpenDatabase(entry->Name());
        database.insert("available", opened != nullptr);
        QJsonArray companies;
        if (opened) {
            auto connection = opened->Database()->Connection();
            for (const auto& company : opened->Database()->Companies()) {
                QJsonArray groups, books;
                auto list = orvo::viewAs<orvo::IOrvoWritableCompany>(company)->GroupManager()->GroupList();
                for (int32_t i = 0; i < list->Count(); ++i)
                    groups.append(list->Item(i)->Name());
                for (const auto& book : company->Books())
                    books.append(QJsonObject{{"id", book->BookID()}, {"name", book->Name()}, {"active", book->IsActive()}});
                companies.append(QJsonObject{
                    {"id", company->CompanyID()},
                    {"name", company->Name()},
                    {"available", company->IsAvailable()},
                    {"inventory", company->HasInventory()},
                    {"assets", connection->CountRows(QStringLiteral("SELECT count(*) FROM Asset WHERE companyid = %1")
                                                         .arg(company->CompanyID()))},
                    {"groups", groups},
                    {"books", books}});
            }
        }
        database.insert("companies", companies);
        databases.append(database);
    }
    return QJsonObject{{"dataFolder", host.dataFolder()},
                       {"edition", host.ApplicationType()},
                       {"title", host.Title()},
                       {"databaseInUse", host.DatabaseName()},
                       {"databases", databases}};
}

} // namespace

int runListCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Show what a host data folder holds."));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("The host data folder."), QStringLiteral("DIR"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print databases, companies, groups and books as JSON."));
    parser.addOptions({data, json});
    if (const auto done = parseCommandLine(parser, arguments))
        return *done;
    if (!parser.isSet(data)) {
        printError(QStringLiteral("list: name the host data folder with --data DIR."));
        return 2;
    }
    QTextStream out(stdout);
    try {
        auto host = orvo::refhost::ReferenceHost::open(parser.value(data));
        if (parser.isSet(json)) {
            out << QJsonDocument(describeHost(*host)).toJson(QJsonDocument::Indented);
            return 0;
        }
        out << "Host data folder " << host->dataFolder() << ": edition " << host->ApplicationType() << ", \""
            << host->Title() << "\", database in use \"" << host->DatabaseName() << "\"\n";
        // Where a server database lives, without its password.
        QHash<QString, QString> servers;
        for (const auto& record : orvo::refhost::HostDataFolder(host->dataFolder()).readDatabases()) {
            if (orvo::refhost::isConnectionString(record.file))
                servers.insert(record.name, orvo::pghost::displayConnection(record.file));
        }
        for (const auto& entry : host->Databases()) {
            out << "Database \"" << entry->Name() << "\"";
            if (servers.contains(entry->Name()))
                out << " on " << servers.value(entry->Name());
            out << "\n";
            auto opened = host->OpenDatabase(entry->Name());
            if (!opened) {
                out << "  (cannot be opened)\n";
                continue;
            }
            auto database = opened->Database();
            auto connection = database->Connection();
            for (const auto& company : database->Companies()) {
                out << "  Company " << company->CompanyID() << " \"" << company->Name() << "\""
                    << (company->IsAvailable() ? "" : " (not available)")
                    << (company->HasInventory() ? ", inventory" : "") << ", "
                    << connection->CountRows(QStringLiteral("SELECT count(*) FROM Asset WHERE companyid = %1")
                                                 .arg(company->CompanyID()))
                    << " assets\n";
                auto groups = orvo::viewAs<orvo::IOrvoWritableCompany>(company)->GroupManager()->GroupList();
                for (int32_t i = 0; i < groups->Count(); ++i)
                    out << "    Group \"" << groups->Item(i)->Name() << "\"\n";
                for (const auto& book : company->Books())
                    out << "    Book " << book->BookID() << " \"" << book->Name() << "\""
                        << (book->IsActive() ? "" : " (inactive)") << "\n";
            }
        }
    } catch (const orvo::HostError& e) {
        printError(QStringLiteral("list: ") + e.description());
        return 1;
    }
    return 0;
}
