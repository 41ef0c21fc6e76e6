#include "Commands.h"

#include "host/HostError.h"
#include "pghost/PgDemo.h"
#include "pghost/PgSession.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

int runDemoCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Create a deterministic demo host data folder."));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder to create."), QStringLiteral("DIR"));
    const QCommandLineOption assets(QStringLiteral("assets"), QStringLiteral("Assets of the main demo company (default 240)."),
                                    QStringLiteral("N"), QStringLiteral("240"));
    const QCommandLineOption edition(QStringLiteral("edition"), QStringLiteral("The host's edition code (default 1)."),
                                     QStringLiteral("CODE"), QStringLiteral("1"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Replace the folder if it holds earlier demo data, and the host's "
                                                  "tables in existing server databases."));
    const QCommandLineOption postgres(QStringLiteral("postgres"),
                                      QStringLiteral("Put the databases on this PostgreSQL server (a libpq connection "
                                                     "string or URI; its database is used to create the demo ones)."),
                                      QStringLiteral("CONNINFO"));
    const QCommandLineOption prefix(QStringLiteral("db-prefix"),
                                    QStringLiteral("With --postgres: the server databases are NAME_orvo_demo and "
                                                   "NAME_public_sector (default orvo)."),
                                    QStringLiteral("NAME"), QStringLiteral("orvo"));
    parser.addOptions({out, assets, edition, force, postgres, prefix});
    if (const auto done = parseCommandLine(parser, arguments))
        return *done;
    if (!parser.isSet(out)) {
        printError(QStringLiteral("demo: say where with --out DIR."));
        return 2;
    }
    bool ok = false;
    orvo::refhost::DemoOptions options;
    options.assets = parser.value(assets).toInt(&ok);
    if (!ok || options.assets < 0) {
        printError(QStringLiteral("demo: --assets takes a whole number of 0 or more, not '%1'.").arg(parser.value(assets)));
        return 2;
    }
    options.applicationType = parser.value(edition).toInt(&ok);
    if (!ok) {
        printError(QStringLiteral("demo: --edition takes a whole number, not '%1'.").arg(parser.value(edition)));
        return 2;
    }

    const QString folder = QDir(parser.value(out)).absolutePath();
    QDir dir(folder);
    // Replacing the demo data keeps the add-ins the user registered in it.
    std::vector<orvo::refhost::AddinEntry> addins;
    if (dir.exists() && !dir.isEmpty()) {
        if (!parser.isSet(force) || !orvo::refhost::DemoData::isDemoFolder(folder)) {
            printError(QStringLiteral("demo: %1 is not empty. %2")
                           .arg(folder, orvo::refhost::DemoData::isDemoFolder(folder)
                                            ? QStringLiteral("Add --force to replace the earlier demo data.")
                                            : QStringLiteral("Choose a new or empty folder.")));
            return 1;
        }
        addins = orvo::refhost::AddinRegistry(dir.filePath(QStringLiteral("addins.list"))).entries();
        if (!dir.removeRecursively()) {
            printError(QStringLiteral("demo: cannot remove the earlier demo data in %1.").arg(folder));
            return 1;
        }
    }
    QElapsedTimer timer;
    timer.start();
    try {
        if (parser.isSet(postgres))
            orvo::pghost::PgDemo::create(folder, options,
                                         {parser.value(postgres), parser.value(prefix), parser.isSet(force)});
        else
            orvo::refhost::DemoData::create(folder, options);
        orvo::refhost::AddinRegistry registry(dir.filePath(QStringLiteral("addins.list")));
        for (const auto& addin : addins)
            registry.Register(addin.progId, addin.libraryPath);
    } catch (const orvo::HostError& e) {
        printError(QStringLiteral("demo: ") + e.description());
        return 1;
    }
    QTextStream(stdout) << "Demo host data folder: " << folder << " (" << options.assets
                        << " assets in the main company, " << timer.elapsed() << " ms)\n";
    if (!addins.empty())
        QTextStream(stdout) << "Kept " << addins.size() << " add-in registration(s) in " << folder << "/addins.list\n";
    if (parser.isSet(postgres))
        QTextStream(stdout) << "Databases " << orvo::pghost::PgDemo::databaseNames(parser.value(prefix)).join(", ")
                            << " on " << orvo::pghost::displayConnection(parser.value(postgres)) << "\n";
    return 0;
}
